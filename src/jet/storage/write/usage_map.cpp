// Usage map edits for both map types; bitmap pages are added on demand.
#include "jet/storage/write/usage_map.h"

#include <algorithm>
#include <cstring>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/pages/errors.h"
#include "jet/storage/write/data_page.h"

namespace jet::storage::write {

namespace {

constexpr size_t kBitmapPageHeader = 4;

// The bitmap page `page` a reference map names, checked to be one.
Result<PageRef> readBitmapPage(PageStore& store, uint32_t page) {
  if (page >= store.pageCount()) return damaged("el mapa de páginas apunta fuera del archivo");
  auto bp = store.read(page);
  if (!bp) return bp.status();
  if ((**bp)[0] != static_cast<uint8_t>(format::PageType::UsageBitmap)) {
    return damaged("el mapa de páginas apunta a una página que no es de mapa");
  }
  return bp;
}

}  // namespace

std::vector<uint8_t> emptyReferenceMap() {
  std::vector<uint8_t> row(kMapRowSize, 0);
  row[0] = kMapReference;
  return row;
}

std::vector<uint8_t> emptyInlineMap(uint32_t first) {
  std::vector<uint8_t> row(kMapRowSize, 0);
  row[0] = kMapInline;
  put32(&row[1], first);
  return row;
}

Result<std::vector<RowPointer>> newUsageMaps(PageStore& store, uint32_t first, size_t count) {
  auto page = store.allocate();
  if (!page) return page.status();
  auto bytes = store.change(*page);
  if (!bytes) return bytes.status();
  DataPage maps(*bytes);
  maps.format(0);
  std::vector<RowPointer> out;
  for (size_t i = 0; i < count; ++i) {
    auto slot = maps.addRow(emptyInlineMap(first));
    if (!slot) {
      return Error{errc::kNotSupported, "Demasiados índices y campos largos en una tabla."};
    }
    out.push_back(RowPointer{*page, *slot});
  }
  return out;
}

Result<std::span<uint8_t>> UsageMap::row(bool forChange) {
  std::span<uint8_t> page;
  if (forChange) {
    auto c = store_.change(where_.page);
    if (!c) return c.status();
    page = *c;
  } else {
    auto r = store_.read(where_.page);
    if (!r) return r.status();
    // Reading never writes through this span.
    page = std::span<uint8_t>(const_cast<uint8_t*>((*r)->data()), (*r)->size());
  }
  DataPage dp(page);
  auto b = dp.rowBounds(where_.slot);
  if (!b || b->second - b->first < 5) {
    return damaged("el mapa de páginas de una tabla (página " + std::to_string(where_.page) +
                   ") no se puede leer");
  }
  return page.subspan(b->first, b->second - b->first);
}

Result<std::vector<uint32_t>> UsageMap::pages() {
  // Keep the page alive while reading.
  auto ref = store_.read(where_.page);
  if (!ref) return ref.status();
  auto r = row(false);
  if (!r) return r.status();
  std::vector<uint8_t> m(r->begin(), r->end());
  std::vector<uint32_t> out;
  if (m[0] == kMapInline) {
    uint32_t first = get32(&m[1]);
    for (size_t i = 5; i < m.size(); ++i) {
      for (int b = 0; b < 8; ++b) {
        if (m[i] >> b & 1) out.push_back(first + static_cast<uint32_t>((i - 5) * 8 + b));
      }
    }
    return out;
  }
  if (m[0] != kMapReference) return damaged("tipo de mapa de páginas desconocido");
  uint32_t bitsPerPage = (store_.pageSize() - kBitmapPageHeader) * 8;
  for (size_t k = 0; 1 + 4 * k + 4 <= m.size(); ++k) {
    uint32_t mp = get32(&m[1 + 4 * k]);
    if (mp == 0) continue;
    auto bp = readBitmapPage(store_, mp);
    if (!bp) return bp.status();
    const auto& b = **bp;
    for (size_t i = kBitmapPageHeader; i < b.size(); ++i) {
      if (!b[i]) continue;
      for (int bit = 0; bit < 8; ++bit) {
        if (b[i] >> bit & 1) {
          out.push_back(static_cast<uint32_t>(k * bitsPerPage + (i - kBitmapPageHeader) * 8 + bit));
        }
      }
    }
  }
  return out;
}

Result<bool> UsageMap::contains(uint32_t page) {
  // Keep the page alive while reading.
  auto ref = store_.read(where_.page);
  if (!ref) return ref.status();
  auto r = row(false);
  if (!r) return r.status();
  std::span<const uint8_t> m = *r;
  if (m[0] == kMapInline) {
    uint32_t first = get32(&m[1]);
    if (page < first || page - first >= (m.size() - 5) * 8) return false;
    return (m[5 + (page - first) / 8] >> ((page - first) % 8) & 1) != 0;
  }
  if (m[0] != kMapReference) return damaged("tipo de mapa de páginas desconocido");
  uint32_t bitsPerPage = (store_.pageSize() - kBitmapPageHeader) * 8;
  size_t k = page / bitsPerPage;
  if (1 + 4 * k + 4 > m.size()) return false;
  uint32_t mp = get32(&m[1 + 4 * k]);
  if (mp == 0) return false;
  auto bp = readBitmapPage(store_, mp);
  if (!bp) return bp.status();
  const auto& b = **bp;
  uint32_t inPage = page % bitsPerPage;
  return (b[kBitmapPageHeader + inPage / 8] >> (inPage % 8) & 1) != 0;
}

Status UsageMap::toReference(std::span<uint8_t> r) {
  std::vector<uint8_t> old(r.begin(), r.end());
  uint32_t first = get32(&old[1]);
  std::fill(r.begin(), r.end(), 0);
  r[0] = kMapReference;
  for (size_t i = 5; i < old.size(); ++i) {
    for (int b = 0; b < 8; ++b) {
      if (old[i] >> b & 1) JET_TRY(set(first + static_cast<uint32_t>((i - 5) * 8 + b), true));
    }
  }
  return Status::ok();
}

Status UsageMap::set(uint32_t page, bool present) {
  auto r = row(true);
  if (!r) return r.status();
  std::span<uint8_t> m = *r;
  if (m[0] == kMapInline) {
    uint32_t first = get32(&m[1]);
    uint64_t bits = (m.size() - 5) * 8;
    if (page >= first && page - first < bits) {
      size_t i = 5 + (page - first) / 8;
      uint8_t bit = static_cast<uint8_t>(1u << ((page - first) % 8));
      m[i] = present ? (m[i] | bit) : (m[i] & ~bit);
      return Status::ok();
    }
    if (!present) return Status::ok();
    if (m.size() < 5) return damaged("mapa de páginas demasiado corto");
    JET_TRY(toReference(m));
    return set(page, present);
  }
  if (m[0] != kMapReference) return damaged("tipo de mapa de páginas desconocido");
  uint32_t bitsPerPage = (store_.pageSize() - kBitmapPageHeader) * 8;
  size_t k = page / bitsPerPage;
  if (1 + 4 * k + 4 > m.size())
    return damaged("el archivo es más grande de lo que su mapa alcanza");
  uint32_t mp = get32(&m[1 + 4 * k]);
  if (mp == 0) {
    if (!present) return Status::ok();
    auto np = store_.allocate();
    if (!np) return np.status();
    mp = *np;
    // The row's page may have moved in memory: look it up again.
    auto r2 = row(true);
    if (!r2) return r2.status();
    put32(&(*r2)[1 + 4 * k], mp);
    auto bp = store_.change(mp);
    if (!bp) return bp.status();
    std::fill(bp->begin(), bp->end(), 0);
    (*bp)[0] = static_cast<uint8_t>(format::PageType::UsageBitmap);
    (*bp)[1] = 0x01;
  }
  auto bp = store_.change(mp);
  if (!bp) return bp.status();
  uint32_t inPage = page % bitsPerPage;
  uint8_t& byte = (*bp)[kBitmapPageHeader + inPage / 8];
  uint8_t bit = static_cast<uint8_t>(1u << (inPage % 8));
  byte = present ? (byte | bit) : (byte & ~bit);
  return Status::ok();
}

Result<std::vector<uint32_t>> UsageMap::newestPages(size_t limit) {
  auto listed = pages();
  if (!listed) return listed.status();
  std::vector<uint32_t> out;
  for (size_t k = 0; k < listed->size() && k < limit; ++k) {
    out.push_back((*listed)[listed->size() - 1 - k]);
  }
  return out;
}

}  // namespace jet::storage::write
