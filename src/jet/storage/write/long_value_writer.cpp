// Writing and freeing long values; see long_value_writer.h.
#include "jet/storage/write/long_value_writer.h"

#include <algorithm>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/read/row_codec.h"
#include "jet/storage/write/data_page.h"
#include "jet/storage/write/usage_map.h"

namespace jet::storage::write {

namespace {

// Listed pages tried for a new value before a page is taken.
constexpr size_t kPagesTriedForRoom = 8;
// Rows followed in one chain at most: more is a loop.
constexpr uint32_t kMaxChainRows = 100000;

bool isLongValueColumn(ColumnType t) {
  return t == ColumnType::Memo || t == ColumnType::OLE;
}

}  // namespace

Result<std::vector<uint8_t>> LongValueWriter::store(uint16_t column, std::vector<uint8_t> data) {
  std::vector<uint8_t> field(format::kLongValueHeaderSize, 0);
  uint32_t length = static_cast<uint32_t>(data.size());
  if (data.size() > format::kLongValueLengthMask) {
    return Error{errc::kOverflow, "El valor largo es demasiado grande"};
  }
  if (data.size() <= kInlineLongValue) {
    put32(field.data(), length | format::kLongValueInline);
    field.insert(field.end(), data.begin(), data.end());
    return field;
  }
  const uint32_t pageSize = pages_.pager().pageSize();
  const size_t maxRow = pageSize - dataPageHeaderSize(pageSize) - 2;
  if (data.size() <= maxRow) {
    auto at = place(column, data);
    if (!at) return at.status();
    put32(field.data(), length | format::kLongValueSinglePage);
    put32(field.data() + 4, packRowPointer(*at));
    return field;
  }
  // A chain, written from its last piece so each row can point to the next.
  const size_t chunk = maxRow - format::kLongValueChainPointerSize;
  size_t pieces = (data.size() + chunk - 1) / chunk;
  RowPointer next{0, 0};
  for (size_t k = pieces; k-- > 0;) {
    size_t from = k * chunk;
    size_t to = std::min(data.size(), from + chunk);
    std::vector<uint8_t> row(format::kLongValueChainPointerSize);
    put32(row.data(), next.page == 0 ? 0 : packRowPointer(next));
    row.insert(row.end(), data.begin() + static_cast<std::ptrdiff_t>(from),
               data.begin() + static_cast<std::ptrdiff_t>(to));
    auto at = place(column, row);
    if (!at) return at.status();
    next = *at;
  }
  put32(field.data(), length);
  put32(field.data() + 4, packRowPointer(next));
  return field;
}

const TableLayout::LongValueMaps* LongValueWriter::mapsOf(uint16_t column) const {
  for (const auto& m : layout_.longValueMaps) {
    if (m.columnNumber == column) return &m;
  }
  return nullptr;
}

Result<RowPointer> LongValueWriter::place(uint16_t column, const std::vector<uint8_t>& row) {
  auto onLast = placeOnLastPage(column, row);
  if (!onLast) return onLast.status();
  if (*onLast) return **onLast;
  auto onListed = placeOnListedPage(column, row);
  if (!onListed) return onListed.status();
  if (*onListed) return **onListed;
  return placeOnNewPage(column, row);
}

Result<std::optional<RowPointer>> LongValueWriter::placeOnLastPage(
    uint16_t column, const std::vector<uint8_t>& row) {
  // Pages stay with the usage map that lists them: reuse only one this
  // column's writer started.
  WritePager& pager = pages_.pager();
  if (!lastPage_ || lastColumn_ != column || *lastPage_ >= pager.pageCount()) {
    return std::optional<RowPointer>();
  }
  auto c = pager.change(*lastPage_);
  if (!c) return c.status();
  DataPage dp(*c);
  if (dp.owner() != kLongValueOwner) return std::optional<RowPointer>();
  auto slot = dp.addRow(row);
  if (!slot) return std::optional<RowPointer>();
  JET_TRY(noteRoom(*lastPage_));
  return std::optional<RowPointer>(RowPointer{*lastPage_, *slot});
}

// A page an earlier value left with room, listed in the column's map of
// pages with free space.
Result<std::optional<RowPointer>> LongValueWriter::placeOnListedPage(
    uint16_t column, const std::vector<uint8_t>& row) {
  WritePager& pager = pages_.pager();
  const auto* listedIn = mapsOf(column);
  if (!listedIn || listedIn->used.page == 0 || listedIn->free.page == 0) {
    return std::optional<RowPointer>();
  }
  UsageMap freeMap(pager, listedIn->free);
  auto newest = freeMap.newestPages(kPagesTriedForRoom);
  if (!newest) return newest.status();
  for (uint32_t n : *newest) {
    if (n == 0 || n >= pager.pageCount()) continue;
    auto ref = pager.read(n);
    if (!ref) return ref.status();
    if (get32(&(**ref)[format::kDataPageOwnerOffset]) != kLongValueOwner ||
        (**ref)[0] != static_cast<uint8_t>(format::PageType::Data)) {
      JET_TRY(freeMap.set(n, false));
      continue;
    }
    auto c = pager.change(n);
    if (!c) return c.status();
    auto slot = DataPage(*c).addRow(row);
    JET_TRY(noteRoom(n));
    if (slot) {
      lastPage_ = n;
      lastColumn_ = column;
      return std::optional<RowPointer>(RowPointer{n, *slot});
    }
  }
  return std::optional<RowPointer>();
}

Result<RowPointer> LongValueWriter::placeOnNewPage(uint16_t column,
                                                   const std::vector<uint8_t>& row) {
  WritePager& pager = pages_.pager();
  auto n = pages_.takePage();
  if (!n) return n.status();
  auto c = pager.change(*n);
  if (!c) return c.status();
  DataPage dp(*c);
  dp.format(kLongValueOwner);
  auto slot = dp.addRow(row);
  if (!slot) return Error{errc::kUnspecified, "El valor largo no cabe en una página"};
  lastPage_ = *n;
  lastColumn_ = column;
  // Jet 4 lists the page in the column's own map (or the table's);
  // Access 97 lists long-value pages in no table map at all, and its
  // readers take a page the table's map lists for one of its data pages.
  const auto* m = mapsOf(column);
  if (!jet3()) {
    RowPointer owner = m && m->used.page ? m->used : def_.usedPages;
    JET_TRY(UsageMap(pager, owner).set(*n, true));
  }
  JET_TRY(noteRoom(*n));
  return RowPointer{*n, *slot};
}

Status LongValueWriter::freeValuesOf(const std::vector<uint8_t>& row,
                                     const std::vector<bool>* only) {
  for (size_t i = 0; i < def_.schema.columns.size(); ++i) {
    if (!isLongValueColumn(def_.schema.columns[i].type)) continue;
    if (only && !(*only)[i]) continue;
    auto field = variableFieldBytes(row, def_.placements[i].varIndex, jet3());
    if (!field || field->size() < format::kLongValueHeaderSize) continue;
    JET_TRY(freeChain(*field));
  }
  return Status::ok();
}

// Deletes the rows a long-value field points to, giving back the pages it
// leaves empty.
Status LongValueWriter::freeChain(const std::vector<uint8_t>& field) {
  WritePager& pager = pages_.pager();
  auto ref = parseLongValueRef(ByteSpan(field));
  if (!ref || ref->kind == LongValueRef::Kind::Inline) return Status::ok();
  RowPointer at = ref->where;
  for (uint32_t hops = 0; at.page != 0 && hops < kMaxChainRows; ++hops) {
    if (at.page >= pager.pageCount()) break;
    auto c = pager.change(at.page);
    if (!c) return c.status();
    DataPage dp(*c);
    if (dp.owner() != kLongValueOwner || at.slot >= dp.rowCount() || dp.isDeleted(at.slot)) break;
    RowPointer next{0, 0};
    if (ref->kind == LongValueRef::Kind::Chain) {
      auto b = dp.rowBounds(at.slot);
      if (b && size_t{b->second} - b->first >= format::kLongValueChainPointerSize) {
        next = splitRowPointer(get32(c->data() + b->first));
      }
    }
    dp.deleteRow(at.slot);
    if (dp.holdsNothing()) {
      JET_TRY(giveBackPage(at.page));
    } else {
      JET_TRY(noteRoom(at.page));
    }
    at = next;
  }
  return Status::ok();
}

Status LongValueWriter::giveBackPage(uint32_t page) {
  // Whichever of the table's maps listed it, it now is one of its data
  // pages with room.
  WritePager& pager = pages_.pager();
  for (const auto& m : layout_.longValueMaps) {
    if (m.used.page != 0) JET_TRY(UsageMap(pager, m.used).set(page, false));
    if (m.free.page != 0) JET_TRY(UsageMap(pager, m.free).set(page, false));
  }
  if (lastPage_ == page) lastPage_.reset();
  return pages_.giveBackPage(page);
}

Status LongValueWriter::noteRoom(uint32_t page) {
  WritePager& pager = pages_.pager();
  auto ref = pager.read(page);
  if (!ref) return ref.status();
  DataPage dp = viewDataPage(**ref);
  bool room = dp.owner() == kLongValueOwner && dp.freeSpace() >= kRoomWorthListing &&
              dp.rowCount() < kMaxRowsPerPage;
  for (const auto& m : layout_.longValueMaps) {
    if (m.used.page == 0 || m.free.page == 0) continue;
    auto owns = UsageMap(pager, m.used).contains(page);
    if (!owns) return owns.status();
    if (!*owns) continue;
    UsageMap freeMap(pager, m.free);
    auto listed = freeMap.contains(page);
    if (!listed) return listed.status();
    if (*listed != room) JET_TRY(freeMap.set(page, room));
  }
  return Status::ok();
}

}  // namespace jet::storage::write
