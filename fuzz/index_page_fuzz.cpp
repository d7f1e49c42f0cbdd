// Fuzzes the index page parser: any bytes as one index page of a Jet 4 /
// ACE file (4 KiB) and as one of an Access 97 file (2 KiB). A page that parses must name, for each
// entry, a row or a child page from the entry's own bytes; a page that does not parse must say so.
// Nothing may read outside the page, loop forever or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jet/storage/read/index_page.h"

static volatile uint64_t sink;

static void parseAs(const uint8_t* data, size_t size, size_t pageSize) {
  std::vector<uint8_t> page(data, data + (size < pageSize ? size : pageSize));
  page.resize(pageSize, 0);
  auto parsed = jet::storage::parseIndexPage(jet::storage::ByteSpan(page), 7);
  if (!parsed) return;
  uint64_t sum = 0;
  for (const auto& entry : parsed->entries) {
    if (parsed->leaf) {
      jet::RowId row = jet::storage::indexEntryRow(entry);
      sum += row.page + row.slot;
    } else {
      sum += jet::storage::indexEntryChild(entry);
    }
  }
  sink = sum;  // keeps the loop from being optimised away
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  parseAs(data, size, 4096);
  parseAs(data, size, 2048);
  return 0;
}
