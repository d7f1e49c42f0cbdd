// Index pages as the writer keeps them: leaf pages (0x04) holding one entry
// per row, intermediate pages (0x03) holding, per child page, the child's
// last entry and its page number.
//
// An entry is the key (see index_key.h) followed by the row's page (3 bytes,
// big-endian) and slot (1 byte); entries of a page are in byte order and
// laid out from offset 0x1E0, a bitmap at 0x1B marking where each entry
// after the first starts and where the last one ends. Pages of one level are
// chained by previous/next pointers. Access may share a prefix between the
// entries of a page and may leave the last leaf of an intermediate page as
// its "tail" outside the entries; this writer reads both and writes neither.
//
// Notes on the design: an index is rewritten whole (writeIndexTree) from its
// sorted entries when a change can't be made in place, reusing its pages;
// the common changes (a row added or removed where its leaf has room) are
// made in place.
#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/row_id.h"
#include "jet/status.h"
#include "jet/storage/pages/page_store.h"
#include "jet/storage/read/index_page.h"

namespace jet::storage::write {

// The page layout and its parser are shared with the index reader.
using storage::IndexEntry;
using storage::IndexPage;
// The pages an index is written to (any store of pages: the write pager, a
// table's pages for its indexes, pages in memory).
using storage::PageStore;

IndexEntry makeIndexEntry(const std::vector<uint8_t>& key, RowId row);

// Reads an index page; fails for a page that is not one or is damaged.
Result<IndexPage> readIndexPage(PageStore& store, uint32_t page);
// Writes `p` into page `number` (entries must fit: see indexPageCapacity()).
Status writeIndexPage(PageStore& store, uint32_t number, const IndexPage& p);
size_t indexPageCapacity(uint32_t pageSize);

struct IndexTree {
  uint32_t root = 0;
  std::vector<uint32_t> pages;   // every page of the new tree
  std::vector<uint32_t> unused;  // reusable pages left over
};

// Writes a whole tree of `sorted` entries for the table at `tableDefPage`,
// taking pages from `reuse` first and allocating the rest.
Result<IndexTree> writeIndexTree(PageStore& store, uint32_t tableDefPage,
                                 const std::vector<IndexEntry>& sorted,
                                 std::vector<uint32_t> reuse);

// Every page of the tree under `root` (loop-guarded).
Result<std::vector<uint32_t>> indexTreePages(PageStore& store, uint32_t root);
// Every leaf entry in order, following the leaf chain from the leftmost leaf.
Result<std::vector<IndexEntry>> readIndexEntries(PageStore& store, uint32_t root);

// Adds one entry, splitting full pages on the way up; a split of the root
// gives the index a new root (root is updated). With uniqueKeyLength (the
// key's length, for a unique index), an entry with the same key is an
// error. Answers false (having changed nothing) for a tree shape this
// writer does not edit in place; the caller rewrites the index then.
Result<bool> insertIndexEntry(PageStore& store, uint32_t& root, const IndexEntry& entry,
                              size_t uniqueKeyLength = 0);
// Removes one entry; false (nothing changed) when that needs a rewrite.
Result<bool> removeIndexEntry(PageStore& store, uint32_t root, const IndexEntry& entry);

}  // namespace jet::storage::write
