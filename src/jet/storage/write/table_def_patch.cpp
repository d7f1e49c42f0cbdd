// Writing into a table definition chain; see table_def_patch.h.
#include "jet/storage/write/table_def_patch.h"

#include <algorithm>

#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/pages/errors.h"

namespace jet::storage::write {

Status patchTableDef(PageStore& store, uint32_t first, size_t offset, const uint8_t* data,
                     size_t n) {
  const size_t ps = store.pageSize();
  uint32_t page = first;
  size_t base = 0;        // logical offset where this page's bytes start
  size_t headerSkip = 0;  // continuation pages carry a header of their own
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
    uint32_t next = get32((*ref)->data() + format::kTableDefNextPageOffset);
    if (next == 0) break;
    base += span;
    headerSkip = format::kTableDefPageHeaderSize;
    page = next;
  }
  return damaged("la definición de la tabla es más corta de lo que dice");
}

}  // namespace jet::storage::write
