// Row placement and page reuse for one table; see table_pages.h.
#include "jet/storage/write/table_pages.h"

#include <algorithm>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/write/data_page.h"
#include "jet/storage/write/usage_map.h"

namespace jet::storage::write {

namespace {

// Listed pages tried for a new row before a page is added.
constexpr size_t kPagesTriedForRoom = 8;
// Listed pages looked at for one that holds nothing, to give to an index.
constexpr size_t kPagesTriedForSpare = 16;

}  // namespace

Result<bool> TablePages::isOwnDataPage(uint32_t page) {
  if (page == 0 || page >= pager_.pageCount()) return false;
  auto ref = pager_.read(page);
  if (!ref) return ref.status();
  const PageBuffer& b = **ref;
  return b[0] == static_cast<uint8_t>(format::PageType::Data) &&
         get32(&b[format::kDataPageOwnerOffset]) == def_.page;
}

Status TablePages::noteFreeSpace(uint32_t page) {
  if (freePages_.page == 0) return Status::ok();
  auto ours = isOwnDataPage(page);
  if (!ours) return ours.status();
  auto ref = pager_.read(page);
  if (!ref) return ref.status();
  DataPage dp = viewDataPage(**ref);
  // A page no longer ours (an index took it) leaves the list.
  bool room = *ours && dp.freeSpace() >= kRoomWorthListing && dp.rowCount() < kMaxRowsPerPage;
  UsageMap map(pager_, freePages_);
  auto listed = map.contains(page);
  if (!listed) return listed.status();
  if (*listed == room) return Status::ok();
  return map.set(page, room);
}

Result<std::optional<uint16_t>> TablePages::tryPage(uint32_t n, const std::vector<uint8_t>& row,
                                                    uint16_t flags) {
  auto ours = isOwnDataPage(n);
  if (!ours) return ours.status();
  if (!*ours) return std::optional<uint16_t>();
  auto c = pager_.change(n);
  if (!c) return c.status();
  DataPage dp(*c);
  // A page whose rows are all gone starts over: its old slots would only
  // take room from the rows to come.
  if (dp.rowCount() > 0 && dp.holdsNothing()) dp.format(def_.page);
  return dp.addRow(row, flags);
}

Result<RowId> TablePages::placeRow(const std::vector<uint8_t>& row, uint16_t flags) {
  // The page the last row went to first: a run of inserts fills it without
  // looking anything up.
  if (lastPage_ && *lastPage_ != 0 && *lastPage_ < pager_.pageCount()) {
    auto slot = tryPage(*lastPage_, row, flags);
    if (!slot) return slot.status();
    JET_TRY(noteFreeSpace(*lastPage_));
    if (*slot) return RowId{*lastPage_, **slot};
  }
  std::vector<uint32_t> candidates;
  if (freePages_.page != 0) {
    // Every page listed has room for a row of ordinary size; a few tries
    // are enough.
    UsageMap free(pager_, freePages_);
    auto newest = free.newestPages(kPagesTriedForRoom);
    if (!newest) return newest.status();
    candidates = std::move(*newest);
  }
  for (uint32_t n : candidates) {
    if (n == 0 || n >= pager_.pageCount()) continue;
    auto slot = tryPage(n, row, flags);
    if (!slot) return slot.status();
    if (*slot) lastPage_ = n;
    JET_TRY(noteFreeSpace(n));
    if (*slot) return RowId{n, **slot};
  }
  auto n = pager_.allocate();
  if (!n) return n.status();
  auto c = pager_.change(*n);
  if (!c) return c.status();
  DataPage dp(*c);
  dp.format(def_.page);
  auto slot = dp.addRow(row, flags);
  if (!slot) return Error{errc::kOverflow, "La fila es demasiado grande para una página"};
  JET_TRY(UsageMap(pager_, def_.usedPages).set(*n, true));
  lastPage_ = *n;
  JET_TRY(noteFreeSpace(*n));
  return RowId{*n, *slot};
}

Result<uint32_t> TablePages::takePage() {
  if (freePages_.page != 0) {
    UsageMap free(pager_, freePages_);
    auto newest = free.newestPages(kPagesTriedForSpare);
    if (!newest) return newest.status();
    for (uint32_t n : *newest) {
      auto ours = isOwnDataPage(n);
      if (!ours) return ours.status();
      if (!*ours) continue;
      auto ref = pager_.read(n);
      if (!ref) return ref.status();
      if (!viewDataPage(**ref).holdsNothing()) continue;
      // A row place that named this page now finds no data page there, so
      // an old row pointer reads as "row gone", never as another row.
      JET_TRY(free.set(n, false));
      JET_TRY(UsageMap(pager_, def_.usedPages).set(n, false));
      if (lastPage_ == n) lastPage_.reset();
      auto c = pager_.change(n);
      if (!c) return c.status();
      std::fill(c->begin(), c->end(), 0);
      return n;
    }
  }
  return pager_.allocate();
}

Status TablePages::giveBackPage(uint32_t page) {
  auto c = pager_.change(page);
  if (!c) return c.status();
  DataPage dp(*c);
  dp.format(def_.page);
  // One empty, deleted row: a page the map lists is read as holding at
  // least one slot by some readers (mdb-export shows an empty record for
  // a page that counts none); a deleted one they skip. The next row placed
  // here starts the page over.
  dp.addRow({}, format::kRowDeletedFlag);
  JET_TRY(UsageMap(pager_, def_.usedPages).set(page, true));
  return noteFreeSpace(page);
}

}  // namespace jet::storage::write
