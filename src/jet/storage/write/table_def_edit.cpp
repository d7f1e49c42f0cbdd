// Edits of an existing table definition; see table_def_edit.h.
#include "jet/storage/write/table_def_edit.h"

#include <algorithm>
#include <unordered_set>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/pages/errors.h"
#include "jet/storage/tables/table_def_parts.h"
#include "jet/storage/write/table_def_writer.h"

namespace jet::storage::write {

namespace {

// Bytes put in at `at`, after removing `remove` bytes there.
struct Splice {
  size_t at = 0;
  size_t remove = 0;
  std::vector<uint8_t> insert;
};

// Applies splices given in file order; those at one offset land in the
// order given.
std::vector<uint8_t> applySplices(std::vector<uint8_t> bytes, const std::vector<Splice>& splices) {
  for (size_t k = splices.size(); k-- > 0;) {
    const Splice& s = splices[k];
    auto at = bytes.begin() + static_cast<std::ptrdiff_t>(s.at);
    at = bytes.erase(at, at + static_cast<std::ptrdiff_t>(s.remove));
    bytes.insert(at, s.insert.begin(), s.insert.end());
  }
  return bytes;
}

void addTo16(std::vector<uint8_t>& b, size_t at, int delta) {
  put16(&b[at], static_cast<uint16_t>(get16(&b[at]) + delta));
}

void addTo32(std::vector<uint8_t>& b, size_t at, int delta) {
  put32(&b[at], static_cast<uint32_t>(static_cast<int64_t>(get32(&b[at])) + delta));
}

Result<TableDefParts> partsOf(const std::vector<uint8_t>& tdef, const format::Layout& l,
                              uint32_t page) {
  return parseTableDefParts(ByteSpan(tdef), l, page);
}

// Where the long-value maps' list ends (its kNoColumn mark included), or
// the index names' end when the file keeps none.
size_t partsEnd(const TableDefParts& parts, const format::Layout& l, size_t size) {
  if (l.jet3) return parts.offsets.rest;
  size_t end = parts.offsets.rest + parts.longValueMaps.size() * format::kLongValueMapEntrySize;
  return std::min(end + 2, size);
}

}  // namespace

Result<std::vector<uint8_t>> readWholeTableDef(Pager& pager, const TableDef& def) {
  auto bytes = readTableDefBytes(pager, def.page);
  if (!bytes) return bytes.status();
  const format::Layout& l = format::layoutFor(pager.format());
  auto parts = partsOf(*bytes, l, def.page);
  if (!parts) return parts.status();
  size_t parsed = partsEnd(*parts, l, bytes->size());
  // The length the header gives covers what follows the parts, if anything.
  size_t length = get32(bytes->data() + 8);
  bytes->resize(length >= parsed && length <= bytes->size() ? length : parsed);
  return bytes;
}

Status writeTableDefChain(WritePager& pager, uint32_t first, std::vector<uint8_t> bytes) {
  const size_t ps = pager.pageSize();
  const bool jet3 = format::layoutFor(pager.format()).jet3;
  put32(&bytes[8], static_cast<uint32_t>(bytes.size()));
  // The pages the chain has now, reused in order.
  std::vector<uint32_t> chain;
  std::unordered_set<uint32_t> seen;
  for (uint32_t n = first; n != 0 && seen.insert(n).second && seen.size() <= pager.pageCount();) {
    chain.push_back(n);
    auto ref = pager.read(n);
    if (!ref) return ref.status();
    n = get32((*ref)->data() + format::kTableDefNextPageOffset);
  }
  size_t pos = 0;
  for (size_t k = 0; pos < bytes.size(); ++k) {
    const size_t header = k == 0 ? 0 : format::kTableDefPageHeaderSize;
    const size_t take = std::min(ps - header, bytes.size() - pos);
    uint32_t number = 0;
    if (k < chain.size()) {
      number = chain[k];
    } else {
      auto added = pager.allocate();
      if (!added) return added.status();
      number = *added;
      chain.push_back(number);
    }
    const bool more = pos + take < bytes.size();
    uint32_t next = 0;
    if (more && k + 1 >= chain.size()) {
      auto added = pager.allocate();
      if (!added) return added.status();
      chain.push_back(*added);
    }
    if (more) next = chain[k + 1];
    auto c = pager.change(number);
    if (!c) return c.status();
    std::span<uint8_t> p = *c;
    std::fill(p.begin(), p.end(), 0);
    std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
              bytes.begin() + static_cast<std::ptrdiff_t>(pos + take),
              p.begin() + static_cast<std::ptrdiff_t>(header));
    p[0] = static_cast<uint8_t>(format::PageType::TableDef);
    p[1] = 0x01;
    if (jet3) {
      p[2] = 'V';
      p[3] = 'C';
    } else {
      put16(&p[2], static_cast<uint16_t>(ps - (header + take) > 8 ? ps - (header + take) - 8 : 0));
    }
    put32(&p[format::kTableDefNextPageOffset], next);
    pos += take;
  }
  return Status::ok();
}

Result<std::vector<uint8_t>> definitionWithIndex(const std::vector<uint8_t>& tdef,
                                                 const TableDef& def, FileFormat fileFormat,
                                                 uint16_t codePage, const IndexDef& ix,
                                                 RowPointer usedPages, uint32_t root) {
  const format::Layout& l = format::layoutFor(fileFormat);
  auto parts = partsOf(tdef, l, def.page);
  if (!parts) return parts.status();
  const auto real = static_cast<uint32_t>(parts->realIndexes.size());
  const auto logical = static_cast<uint32_t>(parts->logicalIndexes.size());
  std::vector<uint8_t> out = tdef;
  addTo32(out, l.tdefRealIndexCountOffset, 1);
  addTo32(out, l.tdefIndexCountOffset, 1);
  ByteBuilder block, entry, name;
  putRealIndex(block, ix, def.placements, usedPages, root, l.jet3);
  putLogicalIndex(entry, logical, real, ix, l.jet3);
  JET_TRY(putName(name, ix.name, l.jet3, codePage));
  const auto& o = parts->offsets;
  return applySplices(std::move(out), {{o.columns, 0, std::vector<uint8_t>(l.realIndexEntrySize)},
                                       {o.logicalEntries, 0, block.take()},
                                       {o.indexNames, 0, entry.take()},
                                       {o.rest, 0, name.take()}});
}

Result<std::vector<uint8_t>> definitionWithoutIndex(const std::vector<uint8_t>& tdef,
                                                    const TableDef& def, FileFormat fileFormat,
                                                    size_t logical,
                                                    std::optional<size_t>* droppedReal) {
  const format::Layout& l = format::layoutFor(fileFormat);
  auto parts = partsOf(tdef, l, def.page);
  if (!parts) return parts.status();
  if (logical >= parts->logicalIndexes.size()) {
    return badTableDef(def.page, "índice fuera de la lista");
  }
  const uint32_t real = parts->logicalIndexes[logical].real;
  bool shared = false;
  for (size_t k = 0; k < parts->logicalIndexes.size(); ++k) {
    shared = shared || (k != logical && parts->logicalIndexes[k].real == real);
  }
  const bool dropReal = !shared && real < parts->realIndexes.size();
  *droppedReal = dropReal ? std::optional<size_t>(real) : std::nullopt;
  std::vector<uint8_t> out = tdef;
  const auto& o = parts->offsets;
  // The logical indexes after it move up one place; with their real index
  // gone, those kept in a later real index follow it.
  for (size_t k = 0; k < parts->logicalIndexes.size(); ++k) {
    const size_t at = o.logicalEntries + k * l.logicalIndexEntrySize;
    if (k > logical) addTo32(out, at + l.logicalIndexNumberOffset, -1);
    if (dropReal && parts->logicalIndexes[k].real > real) {
      addTo32(out, at + l.logicalIndexRealOffset, -1);
    }
  }
  addTo32(out, l.tdefIndexCountOffset, -1);
  // The name's place: the names before it, each a length and its bytes.
  size_t nameAt = o.indexNames;
  for (size_t k = 0; k < logical; ++k) {
    nameAt += l.nameLengthSize + parts->logicalIndexes[k].name.size();
  }
  const size_t nameSize = l.nameLengthSize + parts->logicalIndexes[logical].name.size();
  std::vector<Splice> splices;
  if (dropReal) {
    addTo32(out, l.tdefRealIndexCountOffset, -1);
    splices.push_back({o.realEntries + real * l.realIndexEntrySize, l.realIndexEntrySize, {}});
    splices.push_back({o.realDefs + real * l.realIndexDefSize, l.realIndexDefSize, {}});
  }
  splices.push_back(
      {o.logicalEntries + logical * l.logicalIndexEntrySize, l.logicalIndexEntrySize, {}});
  splices.push_back({nameAt, nameSize, {}});
  return applySplices(std::move(out), splices);
}

Result<std::vector<uint8_t>> definitionWithColumn(const std::vector<uint8_t>& tdef,
                                                  const TableDef& def, FileFormat fileFormat,
                                                  uint16_t codePage, const ColumnDef& c,
                                                  std::optional<AddedLongValueMaps> longValueMaps) {
  const format::Layout& l = format::layoutFor(fileFormat);
  auto parts = partsOf(tdef, l, def.page);
  if (!parts) return parts.status();
  // The column's type, size and flags as a new table would have them; its
  // number, place in the fixed part and variable slot after the others'.
  TableSchema alone;
  alone.name = def.schema.name;
  alone.columns = {c};
  auto placed = placeColumns(alone, l.jet3);
  if (!placed) return placed.status();
  ColumnPlacement p = placed->front();
  p.number = parts->maxColumns;
  uint16_t fixedEnd = 0, varCount = 0;
  for (const auto& existing : parts->columns) {
    if (existing.flags & format::kColumnFixed) {
      if (existing.type != static_cast<uint8_t>(ColumnType::Boolean)) {
        fixedEnd = std::max<uint16_t>(fixedEnd, existing.fixedOffset + existing.length);
      }
    } else {
      varCount = std::max<uint16_t>(varCount, existing.varIndex + 1);
    }
  }
  if (p.fixed) {
    p.fixedOffset = fixedEnd;
    p.varIndex = l.jet3 ? p.number : varCount;
  } else {
    p.varIndex = varCount;
  }
  std::vector<uint8_t> out = tdef;
  addTo16(out, l.tdefMaxColumnsOffset, 1);
  addTo16(out, l.tdefColumnCountOffset, 1);
  if (!p.fixed) addTo16(out, l.tdefVarColumnsOffset, 1);
  ByteBuilder entry, name;
  putColumnEntry(entry, c, p, l.jet3, codePage == 0 ? 1252 : codePage);
  JET_TRY(putName(name, c.name, l.jet3, codePage));
  const auto& o = parts->offsets;
  std::vector<Splice> splices = {{o.columnNames, 0, entry.take()}, {o.realDefs, 0, name.take()}};
  if (longValueMaps && !l.jet3) {
    ByteBuilder maps;
    maps.u16(p.number);
    maps.u32(packRowPointer(longValueMaps->used));
    maps.u32(packRowPointer(longValueMaps->free));
    splices.push_back(
        {o.rest + parts->longValueMaps.size() * format::kLongValueMapEntrySize, 0, maps.take()});
  }
  return applySplices(std::move(out), splices);
}

}  // namespace jet::storage::write
