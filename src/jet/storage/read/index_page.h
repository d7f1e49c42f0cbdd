// One index page, as both the reader and the writer of indexes see it: leaf
// pages (0x04) hold one entry per row, intermediate pages (0x03) hold, per
// child page, the child's last entry followed by the child's page number.
//
// An entry is the key (see index_key.h) followed by the row's page (3 bytes,
// big-endian) and slot (1 byte). The entries of a page are in byte order and
// laid out from a fixed offset; a bitmap before them marks where each entry
// after the first starts and where the last one ends. Every entry after the
// first may leave out a prefix it shares with the first (its length is in
// the page header). Pages of one level are chained by previous/next
// pointers; an intermediate page may name its last child only as its "tail".
//
// The header differs between the generations: a Jet 4 / ACE page (4 KiB)
// has a 4-byte field after the parent that an Access 97 page (2 KiB) lacks,
// so the later fields sit 4 bytes earlier there; the Access 97 prefix length
// is one byte, followed by the intermediate-page mark, and its bitmap and
// entries start at 0x16 and 0xF8 instead of 0x1B and 0x1E0. The page size is the
// format's, so the layout follows from it.
//
// The parser never reads outside the page and refuses a page whose marks,
// prefix or entries do not hold together, naming the page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/format/jet_format.h"
#include "jet/format/row_id.h"
#include "jet/status.h"
#include "jet/storage/pages/bytes.h"

namespace jet::storage {

using IndexEntry = std::vector<uint8_t>;

// Where the fields of an index page are, for one generation of the format.
struct IndexPageLayout {
  size_t freeSpaceAt = 2;
  size_t parentAt = 4;
  size_t prevAt = 0, nextAt = 0, tailAt = 0;
  size_t prefixAt = 0, prefixSize = 2;  // the shared prefix's length: 1 byte in Jet 3
  size_t nodeMarkAt = 0;                // a byte Access sets to 1 on intermediate pages
  size_t maskAt = 0, entriesAt = 0;
  // One bit of the bitmap per byte of the entry area: the most entries a page can hold.
  size_t maxEntries() const { return (entriesAt - maskAt) * 8; }
  // The length of the prefix the entries after the first leave out.
  uint16_t prefixLength(const uint8_t* page) const {
    return prefixSize == 1 ? page[prefixAt]
                           : static_cast<uint16_t>(page[prefixAt] | page[prefixAt + 1] << 8);
  }
};

inline constexpr IndexPageLayout kJet3IndexPage{2, 4, 8, 12, 16, 20, 1, 21, 0x16, 0xF8};
inline constexpr IndexPageLayout kJet4IndexPage{2, 4, 12, 16, 20, 24, 2, 26, 0x1B, 0x1E0};
// The most entries a page of either generation holds.
inline constexpr size_t kMaxIndexPageEntries = (0x1E0 - 0x1B) * 8;

// The layout of the index pages of a file with pages of `pageSize` bytes.
inline const IndexPageLayout& indexPageLayout(uint32_t pageSize) {
  return pageSize == format::kJet3Layout.pageSize ? kJet3IndexPage : kJet4IndexPage;
}

struct IndexPage {
  bool leaf = true;
  uint32_t parent = 0, prev = 0, next = 0, tail = 0;
  std::vector<IndexEntry> entries;  // whole entries, prefix restored (nodes keep the child page)
};

// Parses the bytes of page `number` (laid out as its size says); fails for
// a page that is not an index page or is damaged.
Result<IndexPage> parseIndexPage(ByteSpan page, uint32_t number);

// The row an entry of a leaf page names (its last four bytes).
RowId indexEntryRow(const IndexEntry& leafEntry);
// The child page an entry of an intermediate page names (its last four bytes).
uint32_t indexEntryChild(const IndexEntry& nodeEntry);

// The failure of a damaged index page, naming it.
Error damagedIndexPage(uint32_t page, const std::string& what);

}  // namespace jet::storage
