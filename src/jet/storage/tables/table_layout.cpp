// A table's layout from the parts of its definition, matched to the
// columns of its schema by column number.
#include "jet/storage/tables/table_layout.h"

#include "jet/storage/tables/table_def_parts.h"

namespace jet::storage {

namespace {

// Real or logical indexes beyond this many are taken for damage.
constexpr uint32_t kMaxIndexes = 1000;

// Compression and sort order of each schema column.
void addColumnText(TableLayout& out, const TableDefParts& parts, const TableDef& def) {
  out.compressed.assign(def.placements.size(), false);
  out.sortOrder.assign(def.placements.size(), 0);
  out.sortVersion.assign(def.placements.size(), 0);
  for (const auto& c : parts.columns) {
    int pos = columnPosition(def, c.number);
    if (pos < 0) continue;
    out.compressed[pos] = (c.compressionFlags & format::kColumnCompressedText) != 0;
    out.sortOrder[pos] = c.sortOrder;
    out.sortVersion[pos] = c.sortVersion;
  }
}

}  // namespace

bool RealIndex::keyHasNull(const std::vector<Value>& values) const {
  for (const IndexColumn& ic : columns) {
    auto pos = static_cast<size_t>(ic.column);
    if (pos >= values.size() || values[pos].isNull()) return true;
  }
  return false;
}

bool RealIndex::holdsRow(const std::vector<Value>& values) const {
  if (!ignoresNulls()) return true;
  for (const IndexColumn& ic : columns) {
    auto pos = static_cast<size_t>(ic.column);
    if (pos < values.size() && !values[pos].isNull()) return true;
  }
  return false;
}

Result<TableLayout> locateTableLayout(ByteSpan b, const TableDef& def, FileFormat fileFormat) {
  auto parts = parseTableDefParts(b, format::layoutFor(fileFormat), def.page);
  if (!parts) return parts.status();
  if (parts->realIndexes.size() > kMaxIndexes || parts->logicalIndexes.size() > kMaxIndexes) {
    return badTableDef(def.page, "demasiados índices");
  }
  TableLayout out;
  out.rowCount = parts->rowCount;
  out.lastAutoNumber = parts->autoNumber;
  out.freePages = parts->freePages;
  addColumnText(out, *parts, def);
  for (const auto& r : parts->realIndexes) {
    RealIndex ix;
    ix.defOffset = r.defOffset;
    for (auto [number, ascending] : r.columns) {
      int pos = columnPosition(def, number);
      if (pos < 0) return badTableDef(def.page, "un índice nombra un campo que no existe");
      ix.columns.push_back(IndexColumn{pos, ascending});
    }
    ix.usedPages = r.usedPages;
    ix.root = r.root;
    ix.flags = r.flags;
    out.indexes.push_back(std::move(ix));
  }
  for (const auto& g : parts->logicalIndexes) {
    if (g.type == format::kIndexTypePrimary && g.real < out.indexes.size()) {
      out.indexes[g.real].primary = true;
    }
  }
  for (const auto& m : parts->longValueMaps) {
    out.longValueMaps.push_back(TableLayout::LongValueMaps{m.columnNumber, m.used, m.free});
  }
  return out;
}

Result<TableLayout> loadTableLayout(Pager& pager, const TableDef& def) {
  auto bytes = readTableDefBytes(pager, def.page);
  if (!bytes) return bytes.status();
  return locateTableLayout(ByteSpan(*bytes), def, pager.format());
}

}  // namespace jet::storage
