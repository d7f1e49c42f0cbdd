// Walking usage maps. Page numbers past the end of the file are damage (a
// truncated file), not pages to skip: rows would silently go missing.
#include "jet/storage/tables/usage_map.h"

#include "jet/format/jet_format.h"
#include "jet/storage/pages/errors.h"
#include "jet/storage/pages/row_slots.h"

namespace jet::storage {

namespace {
constexpr size_t kBitmapPageHeader = 4;
}

Result<UsageMapPages> UsageMapPages::load(Pager& pager, RowPointer where) {
  auto page = pager.page(where.page);
  if (!page) return page.status();
  const auto& layout = format::layoutFor(pager.format());
  auto slot = locateRow(**page, layout, where.slot);
  if (!slot) return damaged("mapa de páginas de la tabla: " + slot.error().description);
  if (!slot->valid || slot->end - slot->start < 1)
    return damaged("mapa de páginas de la tabla ilegible");
  UsageMapPages m;
  const PageBuffer& p = **page;
  m.type_ = p[slot->start];
  m.map_.assign(p.begin() + slot->start + 1, p.begin() + slot->end);
  m.pageCount_ = pager.pageCount();
  m.pageSize_ = pager.pageSize();
  if (m.type_ == 0) {
    auto first = readU32(ByteSpan(m.map_), 0);
    if (!first) return damaged("mapa de páginas de la tabla cortado");
    m.firstPage_ = *first;
    m.map_.erase(m.map_.begin(), m.map_.begin() + 4);
  } else if (m.type_ != 1) {
    return damaged("mapa de páginas de tipo desconocido (" + std::to_string(m.type_) + ")");
  }
  return m;
}

Result<std::optional<uint32_t>> UsageMapPages::next(Pager& pager) {
  auto outside = [&](uint64_t page) -> Error {
    return damaged("la tabla usa la página " + std::to_string(page) + ", fuera del archivo (" +
                   std::to_string(pageCount_) + " páginas); el archivo está truncado");
  };
  if (type_ == 0) {
    while (bit_ < map_.size() * 8) {
      const size_t b = bit_++;
      if ((map_[b / 8] >> (b % 8)) & 1) {
        const uint64_t page = static_cast<uint64_t>(firstPage_) + b;
        if (page >= pageCount_) return outside(page);
        return std::optional<uint32_t>(static_cast<uint32_t>(page));
      }
    }
    return std::optional<uint32_t>();
  }
  const size_t bitsPerPage = (pageSize_ - kBitmapPageHeader) * 8;
  while (true) {
    if (!bitmapPage_) {
      // Next listed bitmap page; a zero pointer covers no pages.
      while (pointerIndex_ * 4 + 4 <= map_.size()) {
        const size_t index = pointerIndex_++;
        const uint32_t pointer = *readU32(ByteSpan(map_), index * 4);
        if (pointer == 0) continue;
        auto page = pager.page(pointer);
        if (!page) return page.status();
        if ((**page)[0] != static_cast<uint8_t>(format::PageType::UsageBitmap)) {
          return damaged("la página " + std::to_string(pointer) + " no es un mapa de páginas");
        }
        bitmapPage_ = *page;
        bitmapBase_ = static_cast<uint32_t>(index * bitsPerPage);
        bit_ = 0;
        break;
      }
      if (!bitmapPage_) return std::optional<uint32_t>();
    }
    const PageBuffer& p = *bitmapPage_;
    while (bit_ < bitsPerPage) {
      const size_t b = bit_++;
      if ((p[kBitmapPageHeader + b / 8] >> (b % 8)) & 1) {
        const uint64_t page = static_cast<uint64_t>(bitmapBase_) + b;
        if (page >= pageCount_) return outside(page);
        return std::optional<uint32_t>(static_cast<uint32_t>(page));
      }
    }
    bitmapPage_.reset();
  }
}

}  // namespace jet::storage
