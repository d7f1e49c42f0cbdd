// The bootstrap pages of a new database file.
//
// Page 0 is the header (its masked part written through the same RC4 mask
// the reader removes), page 1 the file's page map, page 2 the definition of
// MSysObjects, page 3 the usage maps of MSysObjects, its indexes and long
// value columns, pages 4 and 5 the (empty) roots of its two indexes. Its
// rows, and the other system tables, are then written through the normal
// write path, so a new file is made by the same code that changes one.
#include "jet/storage/write/new_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/pages/database_header.h"
#include "jet/storage/write/data_page.h"
#include "jet/storage/write/index_writer.h"
#include "jet/storage/write/table_def_writer.h"
#include "jet/storage/write/usage_map.h"

namespace jet::storage {

namespace {

using namespace write;

constexpr uint32_t kPageSize = 4096;
constexpr uint16_t kCodePage1252 = 1252;

// Pages of a file still in memory.
class MemoryStore : public PageStore {
 public:
  uint32_t pageSize() const override { return kPageSize; }
  uint32_t pageCount() const override { return static_cast<uint32_t>(pages_.size()); }
  Result<PageRef> read(uint32_t n) override {
    if (n >= pages_.size()) return Error{errc::kUnspecified, "página inexistente"};
    return PageRef(pages_[n]);
  }
  Result<std::span<uint8_t>> change(uint32_t n) override {
    if (n >= pages_.size()) return Error{errc::kUnspecified, "página inexistente"};
    return std::span<uint8_t>(pages_[n]->data(), pages_[n]->size());
  }
  Result<uint32_t> allocate() override {
    pages_.push_back(std::make_shared<PageBuffer>(kPageSize, 0));
    return static_cast<uint32_t>(pages_.size() - 1);
  }
  const std::vector<std::shared_ptr<PageBuffer>>& pages() const { return pages_; }

 private:
  std::vector<std::shared_ptr<PageBuffer>> pages_;
};

double nowAsAccessDate() {
  using namespace std::chrono;
  double seconds = duration<double>(system_clock::now().time_since_epoch()).count();
  return 25569.0 + seconds / 86400.0;  // 1970-01-01 is day 25569
}

std::vector<uint8_t> headerPage(FileFormat format, double created) {
  std::vector<uint8_t> p(kPageSize, 0);
  p[1] = 0x01;
  const char* id = format == FileFormat::Jet4 ? "Standard Jet DB" : "Standard ACE DB";
  std::memcpy(&p[format::kHeaderIdOffset], id, std::strlen(id) + 1);
  put32(&p[format::kHeaderVersionOffset],
        format == FileFormat::Jet4 ? format::kVersionJet4 : format::kVersionAce12);
  put16(&p[format::kHeaderCodePageOffset], kCodePage1252);
  // An empty password is stored as the mask the reader takes off: the
  // creation date's whole part.
  uint32_t whole = static_cast<uint32_t>(static_cast<int64_t>(created));
  for (size_t i = 0; i < format::kHeaderPasswordLengthJet4; ++i) {
    p[format::kHeaderPasswordOffset + i] = static_cast<uint8_t>(whole >> (8 * (i % 4)));
  }
  put32(&p[format::kHeaderSortOrderOffsetJet4], format::kGeneralSortOrder);
  putF64(&p[format::kHeaderCreationDateOffset], created);
  rc4Apply(format::kHeaderMaskKey, std::span<uint8_t>(p.data() + format::kHeaderMaskedOffset,
                                                      format::kHeaderMaskedLengthJet4));
  return p;
}

ColumnDef col(const char* name, ColumnType t, uint16_t size = 0) {
  ColumnDef c;
  c.name = name;
  c.type = t;
  c.size = t == ColumnType::Text ? static_cast<uint16_t>(size * 2) : size;
  return c;
}

}  // namespace

FileFormat formatForPath(const std::string& path) {
  std::string tail = path.size() >= 5 ? path.substr(path.size() - 5) : path;
  for (char& ch : tail) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return tail == "ACCDB" ? FileFormat::Ace12 : FileFormat::Jet4;
}

TableSchema catalogSchema() {
  TableSchema s;
  s.name = "MSysObjects";
  s.system = true;
  s.columns = {col("Id", ColumnType::Long),
               col("ParentId", ColumnType::Long),
               col("Name", ColumnType::Text, 255),
               col("Type", ColumnType::Integer),
               col("DateCreate", ColumnType::DateTime),
               col("DateUpdate", ColumnType::DateTime),
               col("Owner", ColumnType::Binary, 255),
               col("Flags", ColumnType::Long),
               col("Database", ColumnType::Memo),
               col("Connect", ColumnType::Memo),
               col("ForeignName", ColumnType::Text, 255),
               col("RmtInfoShort", ColumnType::Binary, 255),
               col("RmtInfoLong", ColumnType::OLE),
               col("Lv", ColumnType::OLE),
               col("LvProp", ColumnType::OLE),
               col("LvModule", ColumnType::OLE),
               col("LvExtra", ColumnType::OLE)};
  IndexDef byId;
  byId.name = "Id";
  byId.primary = true;
  byId.unique = true;
  byId.columns = {IndexColumn{0, true}};
  IndexDef byParent;
  byParent.name = "ParentIdName";
  byParent.columns = {IndexColumn{1, true}, IndexColumn{2, true}};
  s.indexes = {byId, byParent};
  return s;
}

Status writeBootstrapFile(const std::string& path, FileFormat format) {
  if (format != FileFormat::Jet4 && format != FileFormat::Ace12) {
    return Error{errc::kNotSupported,
                 "El motor sólo crea bases de datos .mdb (Jet 4) y .accdb (ACE 12)."};
  }
  MemoryStore store;
  for (int i = 0; i < 6; ++i) (void)store.allocate();
  double created = nowAsAccessDate();
  std::copy_n(headerPage(format, created).begin(), kPageSize, (*store.change(0)).begin());

  // Page 1: the file's own page map (no free pages recorded).
  {
    DataPage dp(*store.change(1));
    dp.format(0);
    std::vector<uint8_t> map(kMapRowSize, 0);
    (void)dp.addRow(map);
  }
  // Page 3: usage maps of MSysObjects.
  NewTableDef d;
  d.schema = catalogSchema();
  auto placements = placeColumns(d.schema);
  if (!placements) return placements.status();
  d.placements = *placements;
  d.page = format::kCatalogTableDefPage;
  DataPage maps(*store.change(3));
  maps.format(0);
  auto addMap = [&]() { return RowPointer{3, *maps.addRow(emptyInlineMap(0))}; };
  d.usedPages = addMap();
  d.freePages = addMap();
  for (size_t i = 0; i < d.schema.indexes.size(); ++i) {
    d.indexMaps.push_back(addMap());
    d.indexRoots.push_back(static_cast<uint32_t>(4 + i));
  }
  for (size_t i = 0; i < d.schema.columns.size(); ++i) {
    ColumnType t = d.schema.columns[i].type;
    if (t != ColumnType::Memo && t != ColumnType::OLE) continue;
    NewTableDef::LongValueMaps m;
    m.columnNumber = d.placements[i].number;
    m.used = addMap();
    m.free = addMap();
    d.longValueMaps.push_back(m);
  }
  for (size_t i = 0; i < d.schema.indexes.size(); ++i) {
    IndexPage leaf;
    leaf.parent = d.page;
    JET_TRY(writeIndexPage(store, d.indexRoots[i], leaf));
    JET_TRY(UsageMap(store, d.indexMaps[i]).set(d.indexRoots[i], true));
  }
  auto tdef = buildTableDef(d, kPageSize);
  if (!tdef) return tdef.status();
  std::copy(tdef->begin(), tdef->end(), (*store.change(2)).begin());

  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (errno == EEXIST) {
      return Error{errc::kUnspecified, "Ya existe un archivo llamado '" + path + "'."};
    }
    return Error{errc::kUnspecified,
                 "No se puede crear '" + path + "': " + std::string(std::strerror(errno))};
  }
  for (const auto& page : store.pages()) {
    if (::write(fd, page->data(), page->size()) != static_cast<ssize_t>(page->size())) {
      ::close(fd);
      ::unlink(path.c_str());
      return Error{errc::kUnspecified, "No se pudo escribir '" + path + "'."};
    }
  }
  fsync(fd);
  ::close(fd);
  return Status::ok();
}

}  // namespace jet::storage
