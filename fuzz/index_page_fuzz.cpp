// Fuzzes the index page parser: any bytes as one index page of a Jet 4 /
// ACE file. A page that parses must name, for each entry, a row or a child
// page from the entry's own bytes; a page that does not parse must say so.
// Nothing may read outside the page, loop forever or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jet/storage/index_page.h"

static volatile uint64_t sink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kPageSize = 4096;
  std::vector<uint8_t> page(data, data + (size < kPageSize ? size : kPageSize));
  page.resize(kPageSize, 0);
  auto parsed = jet::storage::parseIndexPage(jet::storage::ByteSpan(page), 7);
  if (!parsed) return 0;
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
  return 0;
}
