// One index page of a Jet 4 / ACE file, as both the reader and the writer
// of indexes see it: leaf pages (0x04) hold one entry per row, intermediate
// pages (0x03) hold, per child page, the child's last entry followed by the
// child's page number.
//
// An entry is the key (see index_key.h) followed by the row's page (3 bytes,
// big-endian) and slot (1 byte). The entries of a page are in byte order and
// laid out from offset 0x1E0; a bitmap at 0x1B marks where each entry after
// the first starts and where the last one ends. Every entry after the first
// may leave out a prefix it shares with the first (its length is in the page
// header). Pages of one level are chained by previous/next pointers; an
// intermediate page may name its last child only as its "tail".
//
// The parser never reads outside the page and refuses a page whose marks,
// prefix or entries do not hold together, naming the page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/status.h"
#include "jet/storage/bytes.h"

namespace jet::storage {

using IndexEntry = std::vector<uint8_t>;

struct IndexPage {
  bool leaf = true;
  uint32_t parent = 0, prev = 0, next = 0, tail = 0;
  std::vector<IndexEntry> entries;  // whole entries, prefix restored (nodes keep the child page)
};

// Parses the bytes of page `number`; fails for a page that is not an index
// page or is damaged.
Result<IndexPage> parseIndexPage(ByteSpan page, uint32_t number);

// The row an entry of a leaf page names (its last four bytes).
RowId indexEntryRow(const IndexEntry& leafEntry);
// The child page an entry of an intermediate page names (its last four bytes).
uint32_t indexEntryChild(const IndexEntry& nodeEntry);

// The failure of a damaged index page, naming it.
Error damagedIndexPage(uint32_t page, const std::string& what);

}  // namespace jet::storage
