// Page usage maps as the writer keeps them: which pages a table owns, and
// which of them have room for more rows.
//
// A map is one row on a data page. Its first byte says how it is kept:
// type 0 holds the bitmap itself after a 4-byte first page; type 1 holds
// pointers to bitmap pages (page type 0x05), each covering (page size - 4)
// x 8 pages. New tables get type 0 maps starting at their definition's page
// (small tables stay cheap to read); a type 0 map that must name a page
// beyond its reach is rewritten as type 1 in the same row, so the map row
// never changes size.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "jet/status.h"
#include "jet/storage/pages/bytes.h"
#include "jet/storage/pages/page_store.h"

namespace jet::storage::write {

inline constexpr uint8_t kMapInline = 0x00;
inline constexpr uint8_t kMapReference = 0x01;
// Size of the map rows this writer creates: a type byte and 17 page pointers,
// enough for the largest file the format allows.
inline constexpr size_t kMapRowSize = 69;

// The bytes of a new, empty type 1 map row.
std::vector<uint8_t> emptyReferenceMap();
// The bytes of a new, empty type 0 map row covering the pages from `first`
// on (512 of them); it turns into type 1 when a page beyond is added.
std::vector<uint8_t> emptyInlineMap(uint32_t first);
// A new page of `store` holding `count` empty inline maps (for pages from
// `first` on), as a table keeps them beside its definition: the rows'
// places, in order.
Result<std::vector<RowPointer>> newUsageMaps(PageStore& store, uint32_t first, size_t count);

class UsageMap {
 public:
  UsageMap(PageStore& store, RowPointer where) : store_(store), where_(where) {}

  // Adds or removes `page`.
  Status set(uint32_t page, bool present);
  // Every page in the map, ascending.
  Result<std::vector<uint32_t>> pages();
  Result<bool> contains(uint32_t page);
  // The highest pages in the map, at most `limit`, highest first: the
  // newest, likeliest to be in memory.
  Result<std::vector<uint32_t>> newestPages(size_t limit);

 private:
  Result<std::span<uint8_t>> row(bool forChange);
  Status toReference(std::span<uint8_t> row);
  PageStore& store_;
  RowPointer where_;
};

}  // namespace jet::storage::write
