// Long-value rows live on data pages like any row; the pointer must name a
// data page and a slot whose extent lies on it.
#include "jet/storage/read/long_value_reader.h"

#include "jet/storage/pages/errors.h"

namespace jet::storage {

Result<ByteSpan> LongValueReader::row(RowPointer where) {
  auto page = pager_.page(where.page);
  if (!page) return page.status();
  if ((**page)[0] != static_cast<uint8_t>(format::PageType::Data)) {
    return damaged("un memo apunta a la página " + std::to_string(where.page) +
                   ", que no es de datos");
  }
  auto slot = locateRow(**page, format::layoutFor(pager_.format()), where.slot);
  if (!slot) return slot.status();
  if (!slot->valid) return damaged("un memo apunta a una fila ilegible");
  held_ = *page;
  return ByteSpan(*held_).subspan(slot->start, slot->end - slot->start);
}

uint32_t LongValueReader::maxChainRows() const {
  // At most one long-value row per four bytes of page, on every page.
  return pager_.pageCount() * (pager_.pageSize() / 4);
}

}  // namespace jet::storage
