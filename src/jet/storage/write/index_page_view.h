// Index pages read and edited straight on their bytes, for the common
// changes of a busy order table: one entry added to, or taken from, a leaf
// that has room, with no page split.
//
// The general path (index_writer.cpp) parses a page into one vector per
// entry and writes it back whole; that is simple and handles every shape,
// but costs an allocation per entry for every page on the way down, for
// every row inserted. The view here finds the entries' bounds from the
// page's bitmap into a fixed array, searches them in place, and moves the
// bytes after the insertion point with one memmove.
//
// It handles pages written without a shared prefix and intermediate pages
// without a tail page; for anything else (a prefix written by Access, a
// split, an ancestor entry whose size would change, a unique key whose
// neighbour it cannot see) it answers "not here" having changed nothing,
// and the caller takes the general path.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "jet/status.h"
#include "jet/storage/pages/page_store.h"
#include "jet/storage/read/index_page.h"

namespace jet::storage::write {

namespace index_layout {
inline constexpr size_t kChildSize = 4;
inline constexpr int kMaxDepth = 32;
inline constexpr size_t kMaxEntries = kMaxIndexPageEntries;
}  // namespace index_layout

// The entries of one index page as offsets into its bytes.
class IndexPageView {
 public:
  // False when the page is not an index page, shares a prefix, has a tail
  // page, or its marks do not describe entries inside the page. The layout
  // follows from the page's size (see index_page.h).
  bool load(std::span<const uint8_t> page);

  bool leaf() const { return leaf_; }
  uint32_t prev() const;
  uint32_t next() const;
  size_t count() const { return count_; }
  size_t start(size_t i) const;
  size_t end(size_t i) const { return ends_[i]; }
  size_t used() const;  // bytes of the entry area in use
  std::span<const uint8_t> entry(size_t i) const;

  // The first entry not less than `e` (leaf entries compared whole).
  size_t lowerBound(std::span<const uint8_t> e) const;
  // The child to follow for `e` on an intermediate page: the first entry
  // whose key part is not less than `e`, else the last one.
  size_t childFor(std::span<const uint8_t> e) const;

 private:
  std::span<const uint8_t> p_;
  const IndexPageLayout* layout_ = &kJet4IndexPage;
  bool leaf_ = true;
  size_t count_ = 0;
  std::array<uint16_t, index_layout::kMaxEntries> ends_{};
};

// Adds `entry` in place. True when done; false (nothing changed) when the
// general path must do it. A duplicate of a unique key is an error;
// `uniqueChecked` tells whether the key was found free on both sides, so
// the general path need not look again.
Result<bool> insertIndexEntryInPlace(PageStore& store, uint32_t root,
                                     std::span<const uint8_t> entry, size_t uniqueKeyLength,
                                     bool* uniqueChecked = nullptr);
// Removes `entry` in place; false (nothing changed) when the general path
// must do it, or the entry is not where it should be.
Result<bool> removeIndexEntryInPlace(PageStore& store, uint32_t root,
                                     std::span<const uint8_t> entry);

}  // namespace jet::storage::write
