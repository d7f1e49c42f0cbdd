// Parsing index pages; see index_page.h.
#include "jet/storage/read/index_page.h"

#include "jet/format/jet_format.h"
#include "jet/storage/pages/errors.h"

namespace jet::storage {

namespace {

uint32_t bigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

Error damagedIndexPage(uint32_t page, const std::string& what) {
  return damaged("página de índice " + std::to_string(page) + ": " + what);
}

RowId indexEntryRow(const IndexEntry& e) {
  uint32_t both = bigEndian32(e.data() + e.size() - 4);
  return RowId{both >> 8, static_cast<uint16_t>(both & 0xFF)};
}

uint32_t indexEntryChild(const IndexEntry& e) {
  return bigEndian32(e.data() + e.size() - 4);
}

Result<IndexPage> parseIndexPage(ByteSpan p, uint32_t number) {
  const IndexPageLayout& l = indexPageLayout(static_cast<uint32_t>(p.size()));
  const size_t entriesAt = l.entriesAt, maskAt = l.maskAt;
  if (p.size() <= entriesAt) return damagedIndexPage(number, "página demasiado corta");
  IndexPage out;
  if (p[0] == static_cast<uint8_t>(format::PageType::IndexLeaf)) {
    out.leaf = true;
  } else if (p[0] == static_cast<uint8_t>(format::PageType::IndexNode)) {
    out.leaf = false;
  } else {
    return damagedIndexPage(number, "no es una página de índice");
  }
  out.parent = *readU32(p, l.parentAt);
  out.prev = *readU32(p, l.prevAt);
  out.next = *readU32(p, l.nextAt);
  out.tail = *readU32(p, l.tailAt);
  uint16_t prefix = l.prefixLength(p.data());
  // A leaf entry has at least the row's place; a node entry also the child.
  const size_t shortest = out.leaf ? 4u : 8u;
  size_t start = entriesAt;
  for (size_t bit = 0; maskAt + bit / 8 < entriesAt; ++bit) {
    uint8_t maskByte = p[maskAt + bit / 8];
    if (bit % 8 == 0 && maskByte == 0) {
      bit += 7;
      continue;
    }
    if (!(maskByte >> (bit % 8) & 1)) continue;
    size_t end = entriesAt + bit;
    if (end <= start || end > p.size()) {
      return damagedIndexPage(number, "marcas de entradas incoherentes");
    }
    IndexEntry e;
    if (!out.entries.empty() && prefix > 0) {
      const IndexEntry& first = out.entries.front();
      if (prefix > first.size())
        return damagedIndexPage(number, "prefijo más largo que la entrada");
      e.assign(first.begin(), first.begin() + prefix);
    }
    e.insert(e.end(), p.begin() + static_cast<std::ptrdiff_t>(start),
             p.begin() + static_cast<std::ptrdiff_t>(end));
    if (e.size() < shortest) return damagedIndexPage(number, "entrada demasiado corta");
    out.entries.push_back(std::move(e));
    start = end;
  }
  return out;
}

}  // namespace jet::storage
