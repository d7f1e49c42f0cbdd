// Walking a table definition's bytes into its parts. Every count read from
// the file is checked against the bytes that are actually there before
// anything is allocated for it.
#include "jet/storage/tables/table_def_parts.h"

#include <optional>
#include <string>

#include "jet/storage/pages/errors.h"

namespace jet::storage {

Error badTableDef(uint32_t page, const std::string& what) {
  return damaged("definición de tabla (página " + std::to_string(page) + "): " + what);
}

namespace {

// The bytes of one length-prefixed name at `at`, advancing past it.
std::optional<ByteSpan> readName(ByteSpan b, size_t& at, const format::Layout& l) {
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
  return raw;
}

TableDefParts::Column readColumn(ByteSpan e, const format::Layout& l) {
  TableDefParts::Column c;
  c.type = e[l.colTypeOffset];
  c.number = *readU16(e, l.colNumberOffset);
  c.varIndex = *readU16(e, l.colVarIndexOffset);
  c.flags = e[l.colFlagsOffset];
  c.fixedOffset = *readU16(e, l.colFixedOffsetOffset);
  c.length = *readU16(e, l.colLengthOffset);
  c.precision = e[l.colMiscOffset];
  c.scale = e[l.colMiscOffset + 1];
  c.sortOrder = *readU16(e, l.colMiscOffset);
  if (!l.jet3) c.complexId = *readU32(e, l.colMiscOffset);
  c.compressionFlags = l.colCompressedFlagsOffset ? e[l.colCompressedFlagsOffset] : 0;
  c.sortVersion = l.colSortVersionOffset ? e[l.colSortVersionOffset] : 0;
  return c;
}

TableDefParts::RealIndex readRealIndex(ByteSpan e, const format::Layout& l, size_t at) {
  TableDefParts::RealIndex r;
  r.defOffset = at;
  for (int k = 0; k < format::kIndexMaxColumns; ++k) {
    size_t o = l.realIndexDefColumnsOffset + 3 * k;
    uint16_t number = *readU16(e, o);
    if (number == format::kNoColumn) continue;
    // Access writes 0x01 for an ascending column, 0x00 for a descending one.
    r.columns.emplace_back(number, e[o + 2] != 0x00);
  }
  r.usedPages = splitRowPointer(*readU32(e, l.realIndexDefUsedPagesOffset));
  r.root = *readU32(e, l.realIndexDefRootOffset);
  r.flags = e[l.realIndexDefFlagsOffset];
  return r;
}

// The long-value columns' maps after the index names; the list ends at
// kNoColumn or where the bytes do.
void readLongValueMaps(ByteSpan b, size_t at, TableDefParts& out) {
  for (int guard = 0; guard < format::kMaxLongValueMaps; ++guard) {
    auto column = readU16(b, at);
    if (!column || *column == format::kNoColumn || !fits(b, at, format::kLongValueMapEntrySize)) {
      break;
    }
    TableDefParts::LongValueMaps m;
    m.columnNumber = *column;
    m.used = splitRowPointer(*readU32(b, at + 2));
    m.free = splitRowPointer(*readU32(b, at + 6));
    out.longValueMaps.push_back(m);
    at += format::kLongValueMapEntrySize;
  }
}

}  // namespace

Result<TableDefParts> parseTableDefParts(ByteSpan b, const format::Layout& l, uint32_t page) {
  TableDefParts out;
  auto tableType = readU8(b, l.tdefTableTypeOffset);
  auto maxCols = readU16(b, l.tdefMaxColumnsOffset);
  auto varCols = readU16(b, l.tdefVarColumnsOffset);
  auto numCols = readU16(b, l.tdefColumnCountOffset);
  auto numIdx = readU32(b, l.tdefIndexCountOffset);
  auto numRealIdx = readU32(b, l.tdefRealIndexCountOffset);
  auto used = readU32(b, l.tdefUsedPagesOffset);
  auto freePages = readU32(b, l.tdefFreePagesOffset);
  auto rows = readU32(b, l.tdefRowCountOffset);
  auto autoNum = readU32(b, l.tdefAutoNumberOffset);
  if (!tableType || !maxCols || !varCols || !numCols || !numIdx || !numRealIdx || !used ||
      !freePages || !rows || !autoNum) {
    return badTableDef(page, "cabecera incompleta");
  }
  out.tableType = *tableType;
  out.maxColumns = *maxCols;
  out.varColumns = *varCols;
  out.rowCount = *rows;
  out.autoNumber = *autoNum;
  out.usedPages = splitRowPointer(*used);
  out.freePages = splitRowPointer(*freePages);

  // Counts must fit in what the definition holds before anything is sized by them.
  size_t at = l.tdefFirstEntryOffset;
  out.offsets.realEntries = at;
  if (*numRealIdx > b.size() / l.realIndexEntrySize || *numIdx > b.size() ||
      !fits(b, at, static_cast<size_t>(*numRealIdx) * l.realIndexEntrySize)) {
    return badTableDef(page, "número de índices imposible");
  }
  at += static_cast<size_t>(*numRealIdx) * l.realIndexEntrySize;
  if (!fits(b, at, static_cast<size_t>(*numCols) * l.columnEntrySize)) {
    return badTableDef(page, "número de columnas imposible");
  }
  out.offsets.columns = at;
  out.columns.reserve(*numCols);
  for (uint16_t i = 0; i < *numCols; ++i) {
    out.columns.push_back(readColumn(b.subspan(at, l.columnEntrySize), l));
    at += l.columnEntrySize;
  }
  out.offsets.columnNames = at;
  for (auto& c : out.columns) {
    auto name = readName(b, at, l);
    if (!name) return badTableDef(page, "nombre de columna cortado");
    c.name = *name;
  }

  if (!fits(b, at, static_cast<size_t>(*numRealIdx) * l.realIndexDefSize)) {
    return badTableDef(page, "definición de índices cortada");
  }
  out.offsets.realDefs = at;
  out.realIndexes.reserve(*numRealIdx);
  for (uint32_t i = 0; i < *numRealIdx; ++i) {
    out.realIndexes.push_back(readRealIndex(b.subspan(at, l.realIndexDefSize), l, at));
    at += l.realIndexDefSize;
  }
  if (!fits(b, at, static_cast<size_t>(*numIdx) * l.logicalIndexEntrySize)) {
    return badTableDef(page, "lista de índices cortada");
  }
  out.offsets.logicalEntries = at;
  out.logicalIndexes.resize(*numIdx);
  for (auto& g : out.logicalIndexes) {
    ByteSpan e = b.subspan(at, l.logicalIndexEntrySize);
    at += l.logicalIndexEntrySize;
    g.real = *readU32(e, l.logicalIndexRealOffset);
    g.type = e[l.logicalIndexTypeOffset];
  }
  out.offsets.indexNames = at;
  for (auto& g : out.logicalIndexes) {
    auto name = readName(b, at, l);
    if (!name) return badTableDef(page, "nombre de índice cortado");
    g.name = *name;
  }
  out.offsets.rest = at;
  // Access 97 keeps no usage maps of its own per long-value column.
  if (!l.jet3) readLongValueMaps(b, at, out);
  return out;
}

}  // namespace jet::storage
