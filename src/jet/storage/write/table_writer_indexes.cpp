// TableWriter's index steps: the key of a row in each real index, entries
// added, removed and changed in place, and an index rewritten from the
// table's rows when the in-place code can't edit its shape.
//
// A row already in the table whose key this engine can't make (a character
// no known order places, written by another program) keeps, through every
// rewrite, the entry the index has for it: only a statement that needs such
// a key itself (an insert, or an update giving a row such a value) fails.
#include <algorithm>
#include <map>

#include "jet/error_codes.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/read/row_index_key.h"
#include "jet/storage/read/table_cursor.h"
#include "jet/storage/write/index_errors.h"
#include "jet/storage/write/table_def_patch.h"
#include "jet/storage/write/table_writer.h"
#include "jet/storage/write/usage_map.h"

namespace jet::storage::write {

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
  Result<uint32_t> allocate() override { return w_.pages_.takePage(); }
  bool releases() const override { return true; }
  Status release(uint32_t n) override {
    RowPointer map = w_.layout_.indexes[index_].usedPages;
    if (map.page != 0) JET_TRY(UsageMap(w_.pager_, map).set(n, false));
    return w_.pages_.giveBackPage(n);
  }

 private:
  TableWriter& w_;
  size_t index_;
};

Result<std::vector<uint8_t>> TableWriter::keyOf(const RealIndex& ix,
                                                const std::vector<Value>& values) {
  return rowIndexKey(pager_.format(), *def_, layout_, ix, values);
}

Status TableWriter::addIndexEntries(const std::vector<std::vector<uint8_t>>& keys,
                                    const std::vector<Value>& values, RowId row) {
  for (size_t i = 0; i < layout_.indexes.size(); ++i) {
    const RealIndex& ix = layout_.indexes[i];
    // An empty key: the index holds no entry for this row.
    if (rebuild_[i] || keys[i].empty()) continue;
    PagesForIndexes pages(*this, i);
    auto done = insertIndexEntry(pages, layout_.indexes[i].root, makeIndexEntry(keys[i], row),
                                 ix.keyMustBeUnique(values) ? keys[i].size() : 0);
    if (!done) return done.status();
    if (!*done) rebuild_[i] = true;
  }
  return Status::ok();
}

Status TableWriter::removeIndexEntries(const std::vector<Value>& values, RowId row) {
  for (size_t i = 0; i < layout_.indexes.size(); ++i) {
    if (rebuild_[i] || !layout_.indexes[i].holdsRow(values)) continue;
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

// An index whose entry can't be changed in place is rewritten by finish().
Status TableWriter::changeIndexEntries(const std::vector<bool>& keyChanged, const RowChange& change,
                                       RowId row) {
  for (size_t i = 0; i < layout_.indexes.size(); ++i) {
    if (!keyChanged[i] || rebuild_[i]) continue;
    const RealIndex& ix = layout_.indexes[i];
    PagesForIndexes pages(*this, i);
    if (ix.holdsRow(change.before)) {
      auto oldKey = keyOf(ix, change.before);
      if (!oldKey) {
        rebuild_[i] = true;
        continue;
      }
      auto removed = removeIndexEntry(pages, layout_.indexes[i].root, makeIndexEntry(*oldKey, row));
      if (!removed) return removed.status();
      if (!*removed) {
        rebuild_[i] = true;
        continue;
      }
    }
    if (!ix.holdsRow(change.after)) continue;
    auto newKey = keyOf(ix, change.after);
    if (!newKey) {
      rebuild_[i] = true;
      continue;
    }
    auto added = insertIndexEntry(pages, layout_.indexes[i].root, makeIndexEntry(*newKey, row),
                                  ix.keyMustBeUnique(change.after) ? newKey->size() : 0);
    if (!added) return added.status();
    if (!*added) rebuild_[i] = true;
  }
  return Status::ok();
}

namespace {

// Whether two of `keys` (sorted) are the same.
bool repeatsKey(const std::vector<std::vector<uint8_t>>& keys) {
  return std::adjacent_find(keys.begin(), keys.end()) != keys.end();
}

}  // namespace

Result<std::vector<IndexEntry>> TableWriter::entriesOfRows(const RealIndex& ix) {
  std::vector<int> columns;
  for (const auto& ic : ix.columns) columns.push_back(ic.column);
  auto cursor = TableCursor::open(pager_, def_, columns);
  if (!cursor) return cursor.status();
  std::vector<IndexEntry> entries;
  std::vector<std::vector<uint8_t>> uniqueKeys;
  std::vector<Value> values(def_->schema.columns.size());
  // The index's entries by row, read once a row's key can't be made.
  std::optional<std::map<std::pair<uint32_t, uint16_t>, IndexEntry>> stored;
  while (true) {
    auto more = (*cursor)->next();
    if (!more) return more.status();
    if (!*more) break;
    const auto& got = (*cursor)->values();
    for (size_t k = 0; k < columns.size(); ++k) values[columns[k]] = got[k];
    if (ix.refusesNulls() && ix.keyHasNull(values)) return nullKeyError();
    if (!ix.holdsRow(values)) continue;
    const RowId row = (*cursor)->rowId();
    auto key = keyOf(ix, values);
    if (key) {
      if (ix.keyMustBeUnique(values)) uniqueKeys.push_back(*key);
      entries.push_back(makeIndexEntry(*key, row));
      continue;
    }
    // A row whose key this engine can't make (a character no known order
    // places, written by another program) keeps the entry the index holds
    // for it: only a statement that needs such a key itself is refused.
    if (!stored) {
      stored.emplace();
      if (ix.root != 0 && ix.root < pager_.pageCount()) {
        auto old = readIndexEntries(pager_, ix.root);
        if (!old) return key.status();
        for (IndexEntry& e : *old) {
          const RowId named = indexEntryRow(e);
          stored->emplace(std::pair<uint32_t, uint16_t>{named.page, named.slot}, std::move(e));
        }
      }
    }
    auto it = stored->find({row.page, row.slot});
    if (it == stored->end()) return key.status();
    entries.push_back(it->second);
  }
  std::sort(uniqueKeys.begin(), uniqueKeys.end());
  if (repeatsKey(uniqueKeys)) return duplicateKeyError();
  std::sort(entries.begin(), entries.end());
  return entries;
}

Status TableWriter::rebuildIndex(size_t i) {
  RealIndex& ix = layout_.indexes[i];
  auto entries = entriesOfRows(ix);
  if (!entries) return entries.status();
  std::vector<uint32_t> old;
  if (ix.root != 0 && ix.root < pager_.pageCount()) {
    auto pages = indexTreePages(pager_, ix.root);
    if (pages) old = std::move(*pages);
  }
  PagesForIndexes pages(*this, i);
  auto tree = writeIndexTree(pages, def_->page, *entries, old);
  if (!tree) return tree.status();
  if (ix.usedPages.page != 0) {
    UsageMap map(pager_, ix.usedPages);
    for (uint32_t n : tree->pages) JET_TRY(map.set(n, true));
    for (uint32_t n : tree->unused) JET_TRY(map.set(n, false));
  }
  // Pages the index no longer needs become room for rows.
  for (uint32_t n : tree->unused) JET_TRY(pages_.giveBackPage(n));
  ix.root = tree->root;
  uint8_t raw[4];
  put32(raw, ix.root);
  return patchTableDef(pager_, def_->page, ix.defOffset + fileLayout().realIndexDefRootOffset, raw,
                       4);
}

Status TableWriter::releaseIndexPages(size_t i) {
  const RealIndex& ix = layout_.indexes[i];
  if (ix.root == 0 || ix.root >= pager_.pageCount()) return Status::ok();
  auto pages = indexTreePages(pager_, ix.root);
  if (!pages) return pages.status();
  PagesForIndexes store(*this, i);
  for (uint32_t n : *pages) JET_TRY(store.release(n));
  return Status::ok();
}

}  // namespace jet::storage::write
