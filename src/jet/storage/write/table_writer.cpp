// TableWriter: rows, long values, usage maps, counters and indexes of one
// table, changed together within one statement.
#include "jet/storage/write/table_writer.h"

#include <algorithm>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/errors.h"
#include "jet/storage/index_key.h"
#include "jet/storage/row_codec.h"
#include "jet/storage/table_cursor.h"
#include "jet/storage/write/byte_writer.h"
#include "jet/storage/write/data_page.h"
#include "jet/storage/write/row_index_key.h"
#include "jet/storage/write/table_def_writer.h"
#include "jet/storage/write/usage_map.h"

namespace jet::storage::write {

namespace {

// A page stays listed as having room while it has at least this much.
constexpr uint16_t kRoomWorthListing = 512;
// Listed pages tried for a new row before a page is added.
constexpr size_t kPagesTriedForRoom = 8;
// Listed pages looked at for one that holds nothing, to give to an index.
constexpr size_t kPagesTriedForSpare = 16;
// Long values up to this size stay in the row.
constexpr size_t kInlineLongValue = 64;
constexpr size_t kLongValueFieldSize = 12;

RowPointer unpackPointer(uint32_t raw) {
  return RowPointer{raw >> 8, static_cast<uint16_t>(raw & 0xFF)};
}

Error rowGone() {
  return Error{errc::kUnspecified, "La fila ya no existe: otro usuario la ha eliminado."};
}

}  // namespace

Result<TableLayout> locateTableLayout(ByteSpan b, const TableDef& def, FileFormat fileFormat) {
  const format::Layout& l = format::layoutFor(fileFormat);
  auto bad = [&](const char* what) {
    return damaged("definición de tabla (página " + std::to_string(def.page) + "): " + what);
  };
  auto nc = readU16(b, l.tdefColumnCountOffset);
  auto nri = readU32(b, l.tdefRealIndexCountOffset);
  auto ni = readU32(b, l.tdefIndexCountOffset);
  auto rows = readU32(b, l.tdefRowCountOffset);
  auto autoNum = readU32(b, l.tdefAutoNumberOffset);
  auto freePages = readU32(b, l.tdefFreePagesOffset);
  if (!nc || !nri || !ni || !rows || !autoNum || !freePages) return bad("cabecera corta");
  if (*nri > 1000 || *ni > 1000) return bad("demasiados índices");
  TableLayout out;
  out.rowCount = *rows;
  out.lastAutoNumber = *autoNum;
  out.freePages = unpackPointer(*freePages);
  size_t columnsAt = l.tdefFirstEntryOffset + size_t{*nri} * l.realIndexEntrySize;
  out.compressed.assign(def.placements.size(), false);
  out.sortOrder.assign(def.placements.size(), 0);
  out.sortVersion.assign(def.placements.size(), 0);
  for (uint16_t i = 0; i < *nc; ++i) {
    size_t e = columnsAt + size_t{i} * l.columnEntrySize;
    auto number = readU16(b, e + l.colNumberOffset);
    auto order = readU16(b, e + l.colMiscOffset);
    if (!number || !order || !fits(b, e, l.columnEntrySize)) return bad("campos cortados");
    uint8_t misc = l.colCompressedFlagsOffset ? b[e + l.colCompressedFlagsOffset] : 0;
    uint8_t version = l.colSortVersionOffset ? b[e + l.colSortVersionOffset] : 0;
    for (size_t c = 0; c < def.placements.size(); ++c) {
      if (def.placements[c].number != *number) continue;
      out.compressed[c] = (misc & 0x01) != 0;
      out.sortOrder[c] = *order;
      out.sortVersion[c] = version;
    }
  }
  size_t at = columnsAt + size_t{*nc} * l.columnEntrySize;
  auto skipNames = [&](uint32_t count) -> bool {
    for (uint32_t i = 0; i < count; ++i) {
      auto len = l.nameLengthSize == 1 ? std::optional<uint16_t>(readU8(b, at)) : readU16(b, at);
      if (!len || !fits(b, at + l.nameLengthSize, *len)) return false;
      at += l.nameLengthSize + *len;
    }
    return true;
  };
  if (!skipNames(*nc)) return bad("nombres de campo cortados");
  for (uint32_t i = 0; i < *nri; ++i) {
    if (!fits(b, at, l.realIndexDefSize)) return bad("índices cortados");
    RealIndex ix;
    ix.defOffset = at;
    for (int k = 0; k < format::kIndexMaxColumns; ++k) {
      uint16_t number = *readU16(b, at + l.realIndexDefColumnsOffset + 3 * k);
      uint8_t order = *readU8(b, at + l.realIndexDefColumnsOffset + 2 + 3 * k);
      if (number == 0xFFFF) continue;
      int pos = -1;
      for (size_t c = 0; c < def.placements.size(); ++c) {
        if (def.placements[c].number == number) pos = static_cast<int>(c);
      }
      if (pos < 0) return bad("un índice nombra un campo que no existe");
      ix.columns.push_back(IndexColumn{pos, order != 0});
    }
    ix.usedPages = unpackPointer(*readU32(b, at + l.realIndexDefUsedPagesOffset));
    ix.root = *readU32(b, at + l.realIndexDefRootOffset);
    ix.flags = *readU8(b, at + l.realIndexDefFlagsOffset);
    out.indexes.push_back(std::move(ix));
    at += l.realIndexDefSize;
  }
  at += size_t{*ni} * l.logicalIndexEntrySize;
  if (!skipNames(*ni)) return bad("nombres de índice cortados");
  // Access 97 keeps no usage maps of its own per long-value column.
  if (l.jet3) return out;
  for (int guard = 0; guard < 300; ++guard) {
    auto col = readU16(b, at);
    if (!col || *col == 0xFFFF || !fits(b, at, 10)) break;
    TableLayout::LongValueMaps m;
    m.columnNumber = *col;
    m.used = unpackPointer(*readU32(b, at + 2));
    m.free = unpackPointer(*readU32(b, at + 6));
    out.longValueMaps.push_back(m);
    at += 10;
  }
  return out;
}

Result<TableLayout> loadTableLayout(Pager& pager, const TableDef& def) {
  auto bytes = readTableDefBytes(pager, def.page);
  if (!bytes) return bytes.status();
  return locateTableLayout(ByteSpan(*bytes), def, pager.format());
}

Status patchTableDef(PageStore& store, uint32_t first, size_t offset, const uint8_t* data,
                     size_t n) {
  const size_t ps = store.pageSize();
  uint32_t page = first;
  size_t base = 0;        // logical offset where this page's bytes start
  size_t headerSkip = 0;  // continuation pages carry an 8-byte header
  for (uint32_t hops = 0; hops <= store.pageCount(); ++hops) {
    size_t span = ps - headerSkip;
    while (n > 0 && offset >= base && offset < base + span) {
      auto c = store.change(page);
      if (!c) return c.status();
      size_t in = offset - base;
      size_t take = std::min(n, span - in);
      std::copy(data, data + take, c->begin() + static_cast<std::ptrdiff_t>(headerSkip + in));
      data += take;
      offset += take;
      n -= take;
    }
    if (n == 0) return Status::ok();
    auto ref = store.read(page);
    if (!ref) return ref.status();
    uint32_t next = get32((*ref)->data() + 4);
    if (next == 0) break;
    base += span;
    headerSkip = 8;
    page = next;
  }
  return damaged("la definición de la tabla es más corta de lo que dice");
}

// --- long values ---

class TableWriter::LongValues : public LongValueSink {
 public:
  LongValues(TableWriter& w, uint16_t columnNumber) : w_(w), column_(columnNumber) {}

  Result<std::vector<uint8_t>> storeLongValue(std::vector<uint8_t> data) override {
    std::vector<uint8_t> field(kLongValueFieldSize, 0);
    uint32_t length = static_cast<uint32_t>(data.size());
    if (data.size() > format::kLongValueLengthMask) {
      return Error{errc::kOverflow, "El valor largo es demasiado grande"};
    }
    if (data.size() <= kInlineLongValue) {
      put32(field.data(), length | format::kLongValueInline);
      field.insert(field.end(), data.begin(), data.end());
      return field;
    }
    const size_t maxRow = w_.pager_.pageSize() - dataPageHeaderSize(w_.pager_.pageSize()) - 2;
    if (data.size() <= maxRow) {
      auto at = place(data);
      if (!at) return at.status();
      put32(field.data(), length | format::kLongValueSinglePage);
      put32(field.data() + 4, packRowPointer(*at));
      return field;
    }
    const size_t chunk = maxRow - 4;
    size_t pieces = (data.size() + chunk - 1) / chunk;
    RowPointer next{0, 0};
    for (size_t k = pieces; k-- > 0;) {
      size_t from = k * chunk;
      size_t to = std::min(data.size(), from + chunk);
      std::vector<uint8_t> row(4);
      put32(row.data(), next.page == 0 ? 0 : packRowPointer(next));
      row.insert(row.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
                 data.begin() + static_cast<std::ptrdiff_t>(to));
      auto at = place(row);
      if (!at) return at.status();
      next = *at;
    }
    put32(field.data(), length);
    put32(field.data() + 4, packRowPointer(next));
    return field;
  }

 private:
  const TableLayout::LongValueMaps* maps() const {
    for (const auto& m : w_.layout_.longValueMaps) {
      if (m.columnNumber == column_) return &m;
    }
    return nullptr;
  }

  Result<RowPointer> place(const std::vector<uint8_t>& row) {
    // Pages stay with the usage map that lists them: reuse only one this
    // column's writer started.
    auto& last = w_.lastLongValuePage_;
    if (last && w_.lastLongValueColumn_ == column_ && *last < w_.pager_.pageCount()) {
      auto c = w_.pager_.change(*last);
      if (!c) return c.status();
      DataPage dp(*c);
      if (dp.owner() == kLongValueOwner) {
        if (auto slot = dp.addRow(row)) {
          JET_TRY(w_.noteLongValueRoom(*last));
          return RowPointer{*last, *slot};
        }
      }
    }
    // A page an earlier value left with room, listed in the column's map
    // of pages with free space.
    const auto* listedIn = maps();
    if (listedIn && listedIn->used.page != 0 && listedIn->free.page != 0) {
      UsageMap freeMap(w_.pager_, listedIn->free);
      auto listed = freeMap.pages();
      if (!listed) return listed.status();
      for (size_t k = 0; k < listed->size() && k < kPagesTriedForRoom; ++k) {
        uint32_t n = (*listed)[listed->size() - 1 - k];
        if (n == 0 || n >= w_.pager_.pageCount()) continue;
        auto ref = w_.pager_.read(n);
        if (!ref) return ref.status();
        if (get32(&(**ref)[4]) != kLongValueOwner ||
            (**ref)[0] != static_cast<uint8_t>(format::PageType::Data)) {
          JET_TRY(freeMap.set(n, false));
          continue;
        }
        auto c = w_.pager_.change(n);
        if (!c) return c.status();
        auto slot = DataPage(*c).addRow(row);
        JET_TRY(w_.noteLongValueRoom(n));
        if (slot) {
          last = n;
          w_.lastLongValueColumn_ = column_;
          return RowPointer{n, *slot};
        }
      }
    }
    auto n = w_.takePage();
    if (!n) return n.status();
    auto c = w_.pager_.change(*n);
    if (!c) return c.status();
    DataPage dp(*c);
    dp.format(kLongValueOwner);
    auto slot = dp.addRow(row);
    if (!slot) return Error{errc::kUnspecified, "El valor largo no cabe en una página"};
    w_.lastLongValuePage_ = *n;
    w_.lastLongValueColumn_ = column_;
    // Jet 4 lists the page in the column's own map (or the table's);
    // Access 97 lists long-value pages in no table map at all, and its
    // readers take a page the table's map lists for one of its data pages.
    const auto* m = maps();
    if (!w_.fileLayout().jet3) {
      RowPointer owner = m && m->used.page ? m->used : w_.def_->usedPages;
      JET_TRY(UsageMap(w_.pager_, owner).set(*n, true));
    }
    JET_TRY(w_.noteLongValueRoom(*n));
    return RowPointer{*n, *slot};
  }

  TableWriter& w_;
  uint16_t column_;
};

// --- pages for indexes ---

// The pager as the index code sees it, its new pages taken from the table's
// emptied ones first, so that space freed by deletes goes to the index
// pages later inserts need instead of the file growing.
class TableWriter::PagesForIndexes : public PageStore {
 public:
  // `index`: the real index whose pages these are, for its usage map.
  PagesForIndexes(TableWriter& w, size_t index) : w_(w), index_(index) {}
  uint32_t pageSize() const override { return w_.pager_.pageSize(); }
  uint32_t pageCount() const override { return w_.pager_.pageCount(); }
  Result<PageRef> read(uint32_t n) override { return w_.pager_.read(n); }
  Result<std::span<uint8_t>> change(uint32_t n) override { return w_.pager_.change(n); }
  Result<uint32_t> allocate() override { return w_.takePage(); }
  bool releases() const override { return true; }
  Status release(uint32_t n) override {
    RowPointer map = w_.layout_.indexes[index_].usedPages;
    if (map.page != 0) JET_TRY(UsageMap(w_.pager_, map).set(n, false));
    return w_.giveBackPage(n);
  }

 private:
  TableWriter& w_;
  size_t index_;
};

Result<uint32_t> TableWriter::takePage() {
  if (layout_.freePages.page != 0) {
    UsageMap free(pager_, layout_.freePages);
    auto listed = free.pages();
    if (!listed) return listed.status();
    for (size_t k = 0; k < listed->size() && k < kPagesTriedForSpare; ++k) {
      uint32_t n = (*listed)[listed->size() - 1 - k];
      auto ours = isOwnDataPage(n);
      if (!ours) return ours.status();
      if (!*ours) continue;
      auto ref = pager_.read(n);
      if (!ref) return ref.status();
      DataPage dp(std::span<uint8_t>(const_cast<uint8_t*>((*ref)->data()), (*ref)->size()));
      if (!dp.holdsNothing()) continue;
      // A row place that named this page now finds no data page there, so
      // an old row pointer reads as "row gone", never as another row.
      JET_TRY(free.set(n, false));
      JET_TRY(UsageMap(pager_, def_->usedPages).set(n, false));
      if (lastPage_ == n) lastPage_.reset();
      auto c = pager_.change(n);
      if (!c) return c.status();
      std::fill(c->begin(), c->end(), 0);
      return n;
    }
  }
  return pager_.allocate();
}

// --- the writer ---

TableWriter::TableWriter(WritePager& pager, std::shared_ptr<const TableDef> def, TableLayout layout)
    : pager_(pager), def_(std::move(def)), layout_(std::move(layout)) {
  rebuild_.assign(layout_.indexes.size(), false);
}

Result<std::unique_ptr<TableWriter>> TableWriter::load(WritePager& pager,
                                                       std::shared_ptr<const TableDef> def) {
  auto layout = loadTableLayout(pager, *def);
  if (!layout) return layout.status();
  return std::unique_ptr<TableWriter>(new TableWriter(pager, std::move(def), std::move(*layout)));
}

RowEncodeOptions TableWriter::encodeOptions() const {
  RowEncodeOptions options;
  options.compressText = layout_.compressed;
  options.jet3 = pager_.format() == FileFormat::Jet3;
  options.codePage = pager_.header().codePage;
  return options;
}

Result<std::vector<uint8_t>> TableWriter::keyOf(const RealIndex& ix,
                                                const std::vector<Value>& values) {
  return rowIndexKey(pager_.format(), *def_, layout_, ix, values);
}

Status TableWriter::addIndexEntries(const std::vector<std::vector<uint8_t>>& keys,
                                    const std::vector<Value>& values, RowId row) {
  for (size_t i = 0; i < layout_.indexes.size(); ++i) {
    const RealIndex& ix = layout_.indexes[i];
    const std::vector<uint8_t>* key = &keys[i];
    if (rebuild_[i]) continue;
    bool unique = ix.flags & format::kIndexUnique;
    bool anyNull = false;
    for (const auto& ic : ix.columns) anyNull = anyNull || values[ic.column].isNull();
    PagesForIndexes pages(*this, i);
    auto done = insertIndexEntry(pages, layout_.indexes[i].root, makeIndexEntry(*key, row),
                                 unique && !anyNull ? key->size() : 0);
    if (!done) return done.status();
    if (!*done) rebuild_[i] = true;
  }
  return Status::ok();
}

Status TableWriter::removeIndexEntries(const std::vector<Value>& values, RowId row) {
  for (size_t i = 0; i < layout_.indexes.size(); ++i) {
    if (rebuild_[i]) continue;
    auto key = keyOf(layout_.indexes[i], values);
    if (!key) {
      rebuild_[i] = true;
      continue;
    }
    PagesForIndexes pages(*this, i);
    auto done = removeIndexEntry(pages, layout_.indexes[i].root, makeIndexEntry(*key, row));
    if (!done) return done.status();
    if (!*done) rebuild_[i] = true;
  }
  return Status::ok();
}

Result<bool> TableWriter::isOwnDataPage(uint32_t page) {
  if (page == 0 || page >= pager_.pageCount()) return false;
  auto ref = pager_.read(page);
  if (!ref) return ref.status();
  const PageBuffer& b = **ref;
  return b[0] == static_cast<uint8_t>(format::PageType::Data) && get32(&b[4]) == def_->page;
}

Status TableWriter::noteFreeSpace(uint32_t page) {
  if (layout_.freePages.page == 0) return Status::ok();
  auto ours = isOwnDataPage(page);
  if (!ours) return ours.status();
  auto ref = pager_.read(page);
  if (!ref) return ref.status();
  DataPage dp(std::span<uint8_t>(const_cast<uint8_t*>((*ref)->data()), (*ref)->size()));
  // A page no longer ours (an index took it) leaves the list.
  bool room = *ours && dp.freeSpace() >= kRoomWorthListing && dp.rowCount() < kMaxRowsPerPage;
  UsageMap map(pager_, layout_.freePages);
  auto listed = map.contains(page);
  if (!listed) return listed.status();
  if (*listed == room) return Status::ok();
  return map.set(page, room);
}

Result<RowId> TableWriter::placeRow(const std::vector<uint8_t>& row, uint16_t flags) {
  auto tryPage = [&](uint32_t n) -> Result<std::optional<uint16_t>> {
    auto ours = isOwnDataPage(n);
    if (!ours) return ours.status();
    if (!*ours) return std::optional<uint16_t>();
    auto c = pager_.change(n);
    if (!c) return c.status();
    DataPage dp(*c);
    // A page whose rows are all gone starts over: its old slots would
    // only take room from the rows to come.
    if (dp.rowCount() > 0 && dp.holdsNothing()) dp.format(def_->page);
    return dp.addRow(row, flags);
  };
  // The page the last row went to first: a run of inserts fills it without
  // looking anything up.
  if (lastPage_ && *lastPage_ != 0 && *lastPage_ < pager_.pageCount()) {
    auto slot = tryPage(*lastPage_);
    if (!slot) return slot.status();
    if (*slot) {
      JET_TRY(noteFreeSpace(*lastPage_));
      return RowId{*lastPage_, **slot};
    }
    JET_TRY(noteFreeSpace(*lastPage_));
  }
  std::vector<uint32_t> candidates;
  if (layout_.freePages.page != 0) {
    auto listed = UsageMap(pager_, layout_.freePages).pages();
    if (!listed) return listed.status();
    // Newest pages first: they are the likeliest to be in memory. Every page
    // listed has room for a row of ordinary size; a few tries are enough.
    for (size_t k = 0; k < listed->size() && k < kPagesTriedForRoom; ++k) {
      candidates.push_back((*listed)[listed->size() - 1 - k]);
    }
  }
  for (uint32_t n : candidates) {
    if (n == 0 || n >= pager_.pageCount()) continue;
    auto slot = tryPage(n);
    if (!slot) return slot.status();
    if (*slot) {
      lastPage_ = n;
      JET_TRY(noteFreeSpace(n));
      return RowId{n, **slot};
    }
    JET_TRY(noteFreeSpace(n));
  }
  auto n = pager_.allocate();
  if (!n) return n.status();
  auto c = pager_.change(*n);
  if (!c) return c.status();
  DataPage dp(*c);
  dp.format(def_->page);
  auto slot = dp.addRow(row, flags);
  if (!slot) return Error{errc::kOverflow, "La fila es demasiado grande para una página"};
  JET_TRY(UsageMap(pager_, def_->usedPages).set(*n, true));
  lastPage_ = *n;
  JET_TRY(noteFreeSpace(*n));
  return RowId{*n, *slot};
}

Result<RowId> TableWriter::insert(std::vector<Value> values, int32_t* autoNumber) {
  const auto& cols = def_->schema.columns;
  if (values.size() != cols.size()) {
    return Error{errc::kSyntax, "El número de valores no coincide con el de campos de la tabla '" +
                                    def_->schema.name + "'"};
  }
  for (size_t i = 0; i < cols.size(); ++i) {
    auto v = coerceForColumn(cols[i], values[i]);
    if (!v) return v.status();
    values[i] = std::move(*v);
    if (!cols[i].autoNumber) continue;
    if (values[i].isNull()) {
      if (layout_.lastAutoNumber >= 0x7FFFFFFF) {
        return Error{errc::kOverflow, "El campo Autonumérico ha llegado a su valor máximo"};
      }
      values[i] = Value::longValue(static_cast<int32_t>(++layout_.lastAutoNumber));
      if (autoNumber) *autoNumber = values[i].asLong();
    } else if (values[i].asLong() > 0 &&
               static_cast<uint32_t>(values[i].asLong()) > layout_.lastAutoNumber) {
      layout_.lastAutoNumber = static_cast<uint32_t>(values[i].asLong());
      if (autoNumber) *autoNumber = values[i].asLong();
    }
  }
  // Keys first: a character an index can't sort fails before anything is written.
  std::vector<std::vector<uint8_t>> keys;
  keys.reserve(layout_.indexes.size());
  for (const RealIndex& ix : layout_.indexes) {
    auto key = keyOf(ix, values);
    if (!key) return key.status();
    keys.push_back(std::move(*key));
  }
  std::vector<std::unique_ptr<LongValues>> sinks;
  struct Sink : LongValueSink {
    TableWriter* w;
    std::vector<std::unique_ptr<LongValues>>* sinks;
    Result<std::vector<uint8_t>> storeLongValue(std::vector<uint8_t> data) override {
      return sinks->back()->storeLongValue(std::move(data));
    }
  };
  // One long-value writer per table is enough: pages are shared by its columns.
  uint16_t firstLong = 0;
  for (size_t i = 0; i < cols.size(); ++i) {
    if (cols[i].type == ColumnType::Memo || cols[i].type == ColumnType::OLE) {
      firstLong = def_->placements[i].number;
      break;
    }
  }
  sinks.push_back(std::make_unique<LongValues>(*this, firstLong));
  Sink sink;
  sink.w = this;
  sink.sinks = &sinks;
  RowEncodeOptions options = encodeOptions();
  auto row = encodeRow(*def_, values, &sink, options);
  if (!row) return row.status();
  auto at = placeRow(*row, 0);
  if (!at) return at.status();
  JET_TRY(addIndexEntries(keys, values, *at));
  ++layout_.rowCount;
  changed_ = true;
  return *at;
}

Result<RowId> TableWriter::dataSlot(RowId row) {
  if (row.page == 0 || row.page >= pager_.pageCount()) return rowGone();
  auto ref = pager_.read(row.page);
  if (!ref) return ref.status();
  const PageBuffer& b = **ref;
  if (b[0] != static_cast<uint8_t>(format::PageType::Data) || get32(&b[4]) != def_->page) {
    return rowGone();
  }
  DataPage dp(std::span<uint8_t>(const_cast<uint8_t*>(b.data()), b.size()));
  auto bounds = dp.rowBounds(row.slot);
  if (!bounds || dp.isDeleted(row.slot)) return rowGone();
  if (!dp.isOverflow(row.slot)) return row;
  if (bounds->second - bounds->first < 4) return damaged("puntero de fila movida corto");
  RowId target{get24(&b[bounds->first + 1]), b[bounds->first]};
  if (target.page == 0 || target.page >= pager_.pageCount())
    return damaged("fila movida fuera del archivo");
  return target;
}

Result<std::vector<uint8_t>> TableWriter::rowBytes(RowId slot) {
  auto ref = pager_.read(slot.page);
  if (!ref) return ref.status();
  DataPage dp(std::span<uint8_t>(const_cast<uint8_t*>((*ref)->data()), (*ref)->size()));
  auto b = dp.rowBounds(slot.slot);
  if (!b) return damaged("fila fuera de su página");
  return std::vector<uint8_t>((*ref)->begin() + b->first, (*ref)->begin() + b->second);
}

Status TableWriter::freeLongValues(const std::vector<uint8_t>& row, const std::vector<bool>* only) {
  for (size_t i = 0; i < def_->schema.columns.size(); ++i) {
    ColumnType t = def_->schema.columns[i].type;
    if (t != ColumnType::Memo && t != ColumnType::OLE) continue;
    if (only && !(*only)[i]) continue;
    auto field = variableFieldBytes(row, def_->placements[i].varIndex, fileLayout().jet3);
    if (!field || field->size() < kLongValueFieldSize) continue;
    auto ref = parseLongValueRef(ByteSpan(*field));
    if (!ref || ref->kind == LongValueRef::Kind::Inline) continue;
    RowPointer at = ref->where;
    for (uint32_t hops = 0; at.page != 0 && hops < 100000; ++hops) {
      if (at.page >= pager_.pageCount()) break;
      auto c = pager_.change(at.page);
      if (!c) return c.status();
      DataPage dp(*c);
      if (dp.owner() != kLongValueOwner || at.slot >= dp.rowCount() || dp.isDeleted(at.slot)) break;
      RowPointer next{0, 0};
      if (ref->kind == LongValueRef::Kind::Chain) {
        auto b = dp.rowBounds(at.slot);
        if (b && b->second - b->first >= 4) next = unpackPointer(get32(c->data() + b->first));
      }
      dp.deleteRow(at.slot);
      if (dp.holdsNothing()) {
        JET_TRY(giveBackLongValuePage(at.page));
      } else {
        JET_TRY(noteLongValueRoom(at.page));
      }
      at = next;
    }
  }
  return Status::ok();
}

Status TableWriter::giveBackLongValuePage(uint32_t page) {
  // Whichever of the table's maps listed it, it now is one of its data
  // pages with room.
  for (const auto& m : layout_.longValueMaps) {
    if (m.used.page != 0) JET_TRY(UsageMap(pager_, m.used).set(page, false));
    if (m.free.page != 0) JET_TRY(UsageMap(pager_, m.free).set(page, false));
  }
  if (lastLongValuePage_ == page) lastLongValuePage_.reset();
  return giveBackPage(page);
}

Status TableWriter::noteLongValueRoom(uint32_t page) {
  auto ref = pager_.read(page);
  if (!ref) return ref.status();
  DataPage dp(std::span<uint8_t>(const_cast<uint8_t*>((*ref)->data()), (*ref)->size()));
  bool room = dp.owner() == kLongValueOwner && dp.freeSpace() >= kRoomWorthListing &&
              dp.rowCount() < kMaxRowsPerPage;
  for (const auto& m : layout_.longValueMaps) {
    if (m.used.page == 0 || m.free.page == 0) continue;
    auto owns = UsageMap(pager_, m.used).contains(page);
    if (!owns) return owns.status();
    if (!*owns) continue;
    UsageMap freeMap(pager_, m.free);
    auto listed = freeMap.contains(page);
    if (!listed) return listed.status();
    if (*listed != room) JET_TRY(freeMap.set(page, room));
  }
  return Status::ok();
}

Status TableWriter::giveBackPage(uint32_t page) {
  auto c = pager_.change(page);
  if (!c) return c.status();
  DataPage dp(*c);
  dp.format(def_->page);
  // One empty, deleted row: a page the map lists is read as holding at
  // least one slot by some readers (mdb-export shows an empty record for
  // a page that counts none); a deleted one they skip. The next row placed
  // here starts the page over.
  dp.addRow({}, format::kRowDeletedFlag);
  JET_TRY(UsageMap(pager_, def_->usedPages).set(page, true));
  return noteFreeSpace(page);
}

Result<RowId> TableWriter::update(RowId row, const std::vector<std::pair<int, Value>>& changes) {
  const auto& cols = def_->schema.columns;
  auto slot = dataSlot(row);
  if (!slot) return slot.status();
  std::vector<int> all(cols.size());
  for (size_t i = 0; i < cols.size(); ++i) all[i] = static_cast<int>(i);
  std::vector<Value> before;
  JET_TRY(readRowAt(pager_, *def_, row, all, before));
  std::vector<Value> after = before;
  std::vector<bool> touched(cols.size(), false);
  for (const auto& [column, value] : changes) {
    if (column < 0 || column >= static_cast<int>(cols.size())) {
      return Error{errc::kSyntax, "Campo fuera de la tabla '" + def_->schema.name + "'"};
    }
    auto v = coerceForColumn(cols[column], value);
    if (!v) return v.status();
    after[column] = std::move(*v);
    touched[column] = true;
  }
  std::vector<bool> keyChanged(layout_.indexes.size(), false);
  for (size_t i = 0; i < layout_.indexes.size(); ++i) {
    for (const auto& ic : layout_.indexes[i].columns) {
      if (touched[ic.column] && !(after[ic.column] == before[ic.column])) keyChanged[i] = true;
    }
    if (keyChanged[i]) {
      auto key = keyOf(layout_.indexes[i], after);
      if (!key) return key.status();
    }
  }
  auto oldBytes = rowBytes(*slot);
  if (!oldBytes) return oldBytes.status();
  RowEncodeOptions options = encodeOptions();
  options.keepLongField.resize(cols.size());
  for (size_t i = 0; i < cols.size(); ++i) {
    bool isLong = cols[i].type == ColumnType::Memo || cols[i].type == ColumnType::OLE;
    if (isLong && !touched[i] && !before[i].isNull()) {
      options.keepLongField[i] =
          variableFieldBytes(*oldBytes, def_->placements[i].varIndex, fileLayout().jet3);
    }
  }
  // Long values go with the first long column's maps, as inserts do.
  uint16_t firstLong = 0;
  for (size_t i = 0; i < cols.size(); ++i) {
    if (cols[i].type == ColumnType::Memo || cols[i].type == ColumnType::OLE) {
      firstLong = def_->placements[i].number;
      break;
    }
  }
  LongValues sink(*this, firstLong);
  auto encoded = encodeRow(*def_, after, &sink, options);
  if (!encoded) return encoded.status();
  // Long values replaced by this update give their rows back.
  {
    std::vector<bool> replaced(cols.size(), false);
    for (size_t i = 0; i < cols.size(); ++i) {
      bool isLong = cols[i].type == ColumnType::Memo || cols[i].type == ColumnType::OLE;
      replaced[i] = isLong && touched[i];
    }
    JET_TRY(freeLongValues(*oldBytes, &replaced));
  }
  auto c = pager_.change(slot->page);
  if (!c) return c.status();
  DataPage dp(*c);
  uint16_t flags = slot->page == row.page && slot->slot == row.slot ? 0 : format::kRowDeletedFlag;
  if (dp.replaceRow(slot->slot, *encoded, flags)) {
    JET_TRY(noteFreeSpace(slot->page));
  } else {
    // Move the row to another page behind a pointer at its old place.
    auto target = placeRow(*encoded, format::kRowDeletedFlag);
    if (!target) return target.status();
    if (!(slot->page == row.page && slot->slot == row.slot)) {
      auto old = pager_.change(slot->page);
      if (!old) return old.status();
      DataPage(*old).deleteRow(slot->slot);
      JET_TRY(noteFreeSpace(slot->page));
    }
    std::vector<uint8_t> pointer(4);
    pointer[0] = static_cast<uint8_t>(target->slot);
    put24(pointer.data() + 1, target->page);
    auto home = pager_.change(row.page);
    if (!home) return home.status();
    if (!DataPage(*home).replaceRow(row.slot, pointer, format::kRowOverflowFlag)) {
      return Error{errc::kUnspecified, "No se pudo mover la fila"};
    }
    JET_TRY(noteFreeSpace(row.page));
  }
  for (size_t i = 0; i < layout_.indexes.size(); ++i) {
    if (!keyChanged[i] || rebuild_[i]) continue;
    auto oldKey = keyOf(layout_.indexes[i], before);
    auto newKey = keyOf(layout_.indexes[i], after);
    if (!oldKey || !newKey) {
      rebuild_[i] = true;
      continue;
    }
    PagesForIndexes pages(*this, i);
    auto removed = removeIndexEntry(pages, layout_.indexes[i].root, makeIndexEntry(*oldKey, row));
    if (!removed) return removed.status();
    if (!*removed) {
      rebuild_[i] = true;
      continue;
    }
    bool unique = layout_.indexes[i].flags & format::kIndexUnique;
    auto added = insertIndexEntry(pages, layout_.indexes[i].root, makeIndexEntry(*newKey, row),
                                  unique ? newKey->size() : 0);
    if (!added) return added.status();
    if (!*added) rebuild_[i] = true;
  }
  changed_ = true;
  return row;
}

Status TableWriter::remove(RowId row) {
  const auto& cols = def_->schema.columns;
  auto slot = dataSlot(row);
  if (!slot) return slot.status();
  std::vector<int> all(cols.size());
  for (size_t i = 0; i < cols.size(); ++i) all[i] = static_cast<int>(i);
  std::vector<Value> before;
  JET_TRY(readRowAt(pager_, *def_, row, all, before));
  auto bytes = rowBytes(*slot);
  if (!bytes) return bytes.status();
  JET_TRY(freeLongValues(*bytes, nullptr));
  if (!(slot->page == row.page && slot->slot == row.slot)) {
    auto c = pager_.change(slot->page);
    if (!c) return c.status();
    DataPage(*c).deleteRow(slot->slot);
    JET_TRY(noteFreeSpace(slot->page));
  }
  auto c = pager_.change(row.page);
  if (!c) return c.status();
  DataPage(*c).deleteRow(row.slot);
  JET_TRY(noteFreeSpace(row.page));
  JET_TRY(removeIndexEntries(before, row));
  if (layout_.rowCount > 0) --layout_.rowCount;
  changed_ = true;
  return Status::ok();
}

Status TableWriter::rebuildIndex(size_t i) {
  RealIndex& ix = layout_.indexes[i];
  std::vector<int> columns;
  for (const auto& ic : ix.columns) columns.push_back(ic.column);
  auto cursor = TableCursor::open(pager_, def_, columns);
  if (!cursor) return cursor.status();
  std::vector<IndexEntry> entries;
  std::vector<Value> values(def_->schema.columns.size());
  while (true) {
    auto more = (*cursor)->next();
    if (!more) return more.status();
    if (!*more) break;
    const auto& got = (*cursor)->values();
    for (size_t k = 0; k < columns.size(); ++k) values[columns[k]] = got[k];
    auto key = keyOf(ix, values);
    if (!key) return key.status();
    entries.push_back(makeIndexEntry(*key, (*cursor)->rowId()));
  }
  std::sort(entries.begin(), entries.end());
  if (ix.flags & format::kIndexUnique) {
    for (size_t k = 1; k < entries.size(); ++k) {
      const auto& a = entries[k - 1];
      const auto& b = entries[k];
      if (a.size() == b.size() && std::equal(a.begin(), a.end() - 4, b.begin()) && a[0] != 0x00 &&
          a[0] != 0xFF) {
        return Error{errc::kIntegrity,
                     "Los cambios solicitados en la tabla no se realizaron correctamente porque "
                     "crearían valores duplicados en el índice, clave principal o relación."};
      }
    }
  }
  std::vector<uint32_t> old;
  if (ix.root != 0 && ix.root < pager_.pageCount()) {
    auto pages = indexTreePages(pager_, ix.root);
    if (pages) old = std::move(*pages);
  }
  PagesForIndexes pages(*this, i);
  auto tree = writeIndexTree(pages, def_->page, entries, old);
  if (!tree) return tree.status();
  if (ix.usedPages.page != 0) {
    UsageMap map(pager_, ix.usedPages);
    for (uint32_t n : tree->pages) JET_TRY(map.set(n, true));
    for (uint32_t n : tree->unused) JET_TRY(map.set(n, false));
  }
  // Pages the index no longer needs become room for rows.
  for (uint32_t n : tree->unused) JET_TRY(giveBackPage(n));
  ix.root = tree->root;
  uint8_t raw[4];
  put32(raw, ix.root);
  return patchTableDef(pager_, def_->page, ix.defOffset + fileLayout().realIndexDefRootOffset, raw,
                       4);
}

Status TableWriter::finish() {
  if (!changed_) return Status::ok();
  uint8_t raw[8];
  put32(raw, layout_.rowCount);
  put32(raw + 4, layout_.lastAutoNumber);
  // The AutoNumber follows the row count in both generations.
  static_assert(
      format::kJet3Layout.tdefAutoNumberOffset == format::kJet3Layout.tdefRowCountOffset + 4 &&
      format::kJet4Layout.tdefAutoNumberOffset == format::kJet4Layout.tdefRowCountOffset + 4);
  JET_TRY(patchTableDef(pager_, def_->page, fileLayout().tdefRowCountOffset, raw, 8));
  for (size_t i = 0; i < layout_.indexes.size(); ++i) {
    if (rebuild_[i]) {
      JET_TRY(rebuildIndex(i));
    } else {
      // A split of the root gave the index a new one.
      put32(raw, layout_.indexes[i].root);
      JET_TRY(patchTableDef(pager_, def_->page,
                            layout_.indexes[i].defOffset + fileLayout().realIndexDefRootOffset, raw,
                            4));
    }
    rebuild_[i] = false;
  }
  changed_ = false;
  return Status::ok();
}

}  // namespace jet::storage::write
