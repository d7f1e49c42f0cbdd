// Reading TDEF chains and parsing column and index definitions. Every count
// read from the file is checked against the bytes that are actually there
// before anything is allocated for it.
#include "jet/storage/table_def.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

#include "jet/storage/errors.h"
#include "jet/storage/text_codec.h"

namespace jet::storage {

namespace {

constexpr size_t kTableDefPageHeader = 8;

Error bad(uint32_t page, const std::string& what) {
  return damaged("definición de tabla (página " + std::to_string(page) + "): " + what);
}

// Reads one length-prefixed name at `at`, advancing it.
std::optional<std::string> readName(ByteSpan b, size_t& at, const format::Layout& l,
                                    uint16_t codePage) {
  size_t len = 0;
  if (l.nameLengthSize == 1) {
    auto n = readU8(b, at);
    if (!n) return std::nullopt;
    len = *n;
  } else {
    auto n = readU16(b, at);
    if (!n) return std::nullopt;
    len = *n;
  }
  at += l.nameLengthSize;
  if (!fits(b, at, len)) return std::nullopt;
  auto raw = b.subspan(at, len);
  at += len;
  return l.jet3 ? decodeCodePageText(raw, codePage) : decodeUcs2Text(raw);
}

}  // namespace

Result<std::vector<uint8_t>> readTableDefBytes(Pager& pager, uint32_t first) {
  std::vector<uint8_t> out;
  std::unordered_set<uint32_t> seen;
  uint32_t page = first;
  while (true) {
    if (!seen.insert(page).second) return bad(first, "la cadena de páginas vuelve sobre sí misma");
    if (seen.size() > pager.pageCount()) return bad(first, "cadena de páginas demasiado larga");
    auto ref = pager.page(page);
    if (!ref) return ref.status();
    const PageBuffer& p = **ref;
    if (p[0] != static_cast<uint8_t>(format::PageType::TableDef) || p[1] != 0x01) {
      return bad(first, "la página " + std::to_string(page) + " no es una definición de tabla");
    }
    if (out.empty()) {
      out.assign(p.begin(), p.end());
    } else {
      out.insert(out.end(), p.begin() + kTableDefPageHeader, p.end());
    }
    uint32_t next = *readU32(ByteSpan(p), 4);
    if (next == 0) break;
    page = next;
  }
  return out;
}

Result<TableDef> parseTableDef(ByteSpan b, const format::Layout& l, uint16_t codePage,
                               uint32_t page) {
  TableDef def;
  def.page = page;
  auto tableType = readU8(b, l.tdefTableTypeOffset);
  auto maxCols = readU16(b, l.tdefMaxColumnsOffset);
  auto varCols = readU16(b, l.tdefVarColumnsOffset);
  auto numCols = readU16(b, l.tdefColumnCountOffset);
  auto numIdx = readU32(b, l.tdefIndexCountOffset);
  auto numRealIdx = readU32(b, l.tdefRealIndexCountOffset);
  auto used = readU32(b, l.tdefUsedPagesOffset);
  auto rows = readU32(b, l.tdefRowCountOffset);
  auto autoNum = readU32(b, l.tdefAutoNumberOffset);
  if (!tableType || !maxCols || !varCols || !numCols || !numIdx || !numRealIdx || !used || !rows ||
      !autoNum) {
    return bad(page, "cabecera incompleta");
  }
  def.schema.system = *tableType == format::kTableTypeSystem;
  def.schema.rowCount = *rows;
  def.maxColumns = *maxCols;
  def.varColumns = *varCols;
  def.usedPages = splitRowPointer(*used);
  def.autoNumber = *autoNum;

  // Counts must fit in what the definition holds before anything is sized by them.
  size_t at = l.tdefFirstEntryOffset;
  if (*numRealIdx > b.size() / l.realIndexEntrySize || *numIdx > b.size() ||
      !fits(b, at, static_cast<size_t>(*numRealIdx) * l.realIndexEntrySize)) {
    return bad(page, "número de índices imposible");
  }
  at += static_cast<size_t>(*numRealIdx) * l.realIndexEntrySize;
  if (!fits(b, at, static_cast<size_t>(*numCols) * l.columnEntrySize)) {
    return bad(page, "número de columnas imposible");
  }

  struct RawColumn {
    ColumnDef def;
    ColumnPlacement place;
  };
  std::vector<RawColumn> cols(*numCols);
  for (auto& c : cols) {
    ByteSpan e = b.subspan(at, l.columnEntrySize);
    at += l.columnEntrySize;
    uint8_t type = e[l.colTypeOffset];
    // A type this engine does not know (Access keeps a few for its own
    // tables) is still read, as its raw bytes.
    c.def.type = static_cast<ColumnType>(type);
    c.place.number = *readU16(e, l.colNumberOffset);
    c.place.varIndex = *readU16(e, l.colVarIndexOffset);
    c.place.flags = e[l.colFlagsOffset];
    c.place.fixedOffset = *readU16(e, l.colFixedOffsetOffset);
    c.place.length = *readU16(e, l.colLengthOffset);
    c.place.fixed = (c.place.flags & format::kColumnFixed) != 0;
    c.def.size = c.place.length;
    c.def.fixed = c.place.fixed;
    c.def.required = (c.place.flags & format::kColumnNullable) == 0;
    c.def.autoNumber = (c.place.flags & (format::kColumnAutoLong | format::kColumnAutoGuid)) != 0 &&
                       (c.def.type == ColumnType::Long || c.def.type == ColumnType::Guid);
    if (c.def.type == ColumnType::Numeric) {
      c.def.precision = e[l.colMiscOffset];
      c.def.scale = e[l.colMiscOffset + 1];
    }
  }
  for (auto& c : cols) {
    auto name = readName(b, at, l, codePage);
    if (!name) return bad(page, "nombre de columna cortado");
    c.def.name = std::move(*name);
  }

  // Real (physical) index definitions, then the logical indexes and their names.
  struct RealIndex {
    std::vector<std::pair<uint16_t, bool>> columns;  // column number, ascending
    uint8_t flags = 0;
  };
  if (!fits(b, at, static_cast<size_t>(*numRealIdx) * l.realIndexDefSize)) {
    return bad(page, "definición de índices cortada");
  }
  std::vector<RealIndex> real(*numRealIdx);
  for (auto& r : real) {
    ByteSpan e = b.subspan(at, l.realIndexDefSize);
    at += l.realIndexDefSize;
    for (int k = 0; k < format::kIndexMaxColumns; ++k) {
      size_t o = l.realIndexDefColumnsOffset + 3 * k;
      uint16_t colNum = *readU16(e, o);
      if (colNum == 0xFFFF) continue;
      // Access writes 0x01 for an ascending column, 0x00 for a descending one.
      r.columns.emplace_back(colNum, e[o + 2] != 0x00);
    }
    r.flags = e[l.realIndexDefFlagsOffset];
  }
  if (!fits(b, at, static_cast<size_t>(*numIdx) * l.logicalIndexEntrySize)) {
    return bad(page, "lista de índices cortada");
  }
  struct Logical {
    uint32_t real = 0;
    uint8_t type = 0;
  };
  std::vector<Logical> logical(*numIdx);
  for (auto& g : logical) {
    ByteSpan e = b.subspan(at, l.logicalIndexEntrySize);
    at += l.logicalIndexEntrySize;
    g.real = *readU32(e, l.logicalIndexRealOffset);
    g.type = e[l.logicalIndexTypeOffset];
  }
  std::vector<std::string> indexNames;
  for (size_t i = 0; i < logical.size(); ++i) {
    auto name = readName(b, at, l, codePage);
    if (!name) return bad(page, "nombre de índice cortado");
    indexNames.push_back(std::move(*name));
  }

  // Definition order is column-number order.
  std::stable_sort(cols.begin(), cols.end(), [](const RawColumn& a, const RawColumn& c) {
    return a.place.number < c.place.number;
  });
  for (size_t i = 1; i < cols.size(); ++i) {
    if (cols[i].place.number == cols[i - 1].place.number)
      return bad(page, "dos columnas con el mismo número");
  }
  for (auto& c : cols) {
    def.schema.columns.push_back(std::move(c.def));
    def.placements.push_back(c.place);
  }
  auto positionOf = [&](uint16_t number) -> int {
    for (size_t i = 0; i < def.placements.size(); ++i) {
      if (def.placements[i].number == number) return static_cast<int>(i);
    }
    return -1;
  };
  for (size_t i = 0; i < logical.size(); ++i) {
    IndexDef idx;
    idx.name = indexNames[i];
    idx.primary = logical[i].type == format::kIndexTypePrimary;
    idx.foreignKey = logical[i].type == format::kIndexTypeForeign;
    if (logical[i].real < real.size()) {
      const RealIndex& r = real[logical[i].real];
      idx.unique = idx.primary || (r.flags & format::kIndexUnique) != 0;
      idx.ignoreNulls = (r.flags & format::kIndexIgnoreNulls) != 0;
      for (auto [number, ascending] : r.columns) {
        int pos = positionOf(number);
        if (pos >= 0) idx.columns.push_back(IndexColumn{pos, ascending});
      }
    }
    def.schema.indexes.push_back(std::move(idx));
  }
  return def;
}

Result<TableDef> loadTableDef(Pager& pager, uint32_t page) {
  auto bytes = readTableDefBytes(pager, page);
  if (!bytes) return bytes.status();
  const auto& layout = format::layoutFor(pager.format());
  return parseTableDef(*bytes, layout, pager.header().codePage, page);
}

}  // namespace jet::storage
