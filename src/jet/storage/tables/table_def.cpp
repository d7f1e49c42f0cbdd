// Reading TDEF chains, and the schema a reader needs made from the parts of
// a definition (table_def_parts.h walks the bytes).
#include "jet/storage/tables/table_def.h"

#include <algorithm>
#include <numeric>
#include <unordered_set>

#include "jet/storage/pages/errors.h"
#include "jet/storage/tables/table_def_parts.h"
#include "jet/storage/tables/text_codec.h"

namespace jet::storage {

namespace {

Error bad(uint32_t page, const std::string& what) {
  return badTableDef(page, what);
}

std::string decodeName(ByteSpan raw, const format::Layout& l, uint16_t codePage) {
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
      out.insert(out.end(), p.begin() + format::kTableDefPageHeaderSize, p.end());
    }
    uint32_t next = *readU32(ByteSpan(p), format::kTableDefNextPageOffset);
    if (next == 0) break;
    page = next;
  }
  return out;
}

namespace {

ColumnDef columnDef(const TableDefParts::Column& c, const ColumnPlacement& place) {
  ColumnDef d;
  // A type this engine does not know (Access keeps a few for its own
  // tables) is still read, as its raw bytes.
  d.type = static_cast<ColumnType>(c.type);
  d.size = place.length;
  d.fixed = place.fixed;
  d.required = (place.flags & format::kColumnNullable) == 0;
  d.autoNumber = (place.flags & (format::kColumnAutoLong | format::kColumnAutoGuid)) != 0 &&
                 (d.type == ColumnType::Long || d.type == ColumnType::Guid);
  d.calculated = (c.compressionFlags & format::kColumnCalculated) != 0;
  if (d.type == ColumnType::Complex) d.complexId = c.complexId;
  if (d.type == ColumnType::Numeric) {
    d.precision = c.precision;
    d.scale = c.scale;
  }
  return d;
}

// The columns in definition order, which is column-number order.
Status addColumns(TableDef& def, const TableDefParts& parts, const format::Layout& l,
                  uint16_t codePage) {
  struct RawColumn {
    ColumnDef def;
    ColumnPlacement place;
  };
  std::vector<RawColumn> cols;
  cols.reserve(parts.columns.size());
  for (const auto& c : parts.columns) {
    ColumnPlacement place;
    place.number = c.number;
    place.varIndex = c.varIndex;
    place.flags = c.flags;
    place.fixedOffset = c.fixedOffset;
    place.length = c.length;
    place.fixed = (c.flags & format::kColumnFixed) != 0;
    cols.push_back(RawColumn{columnDef(c, place), place});
    cols.back().def.name = decodeName(c.name, l, codePage);
  }
  std::stable_sort(cols.begin(), cols.end(), [](const RawColumn& a, const RawColumn& c) {
    return a.place.number < c.place.number;
  });
  for (size_t i = 1; i < cols.size(); ++i) {
    if (cols[i].place.number == cols[i - 1].place.number)
      return bad(def.page, "dos columnas con el mismo número");
  }
  for (auto& c : cols) {
    def.schema.columns.push_back(std::move(c.def));
    def.placements.push_back(c.place);
  }
  return Status::ok();
}

// The logical indexes, each with the columns of its real index.
void addIndexes(TableDef& def, const TableDefParts& parts, const format::Layout& l,
                uint16_t codePage) {
  for (const auto& g : parts.logicalIndexes) {
    IndexDef idx;
    idx.name = decodeName(g.name, l, codePage);
    idx.primary = g.type == format::kIndexTypePrimary;
    idx.foreignKey = g.type == format::kIndexTypeForeign;
    if (g.real < parts.realIndexes.size()) {
      const auto& r = parts.realIndexes[g.real];
      idx.unique = idx.primary || (r.flags & format::kIndexUnique) != 0;
      idx.ignoreNulls = (r.flags & format::kIndexIgnoreNulls) != 0;
      idx.required = (r.flags & format::kIndexRequired) != 0;
      for (auto [number, ascending] : r.columns) {
        int pos = columnPosition(def, number);
        if (pos >= 0) idx.columns.push_back(IndexColumn{pos, ascending});
      }
    }
    def.schema.indexes.push_back(std::move(idx));
  }
}

}  // namespace

Result<TableDef> parseTableDef(ByteSpan b, const format::Layout& l, uint16_t codePage,
                               uint32_t page) {
  auto parts = parseTableDefParts(b, l, page);
  if (!parts) return parts.status();
  TableDef def;
  def.page = page;
  def.schema.system = parts->tableType == format::kTableTypeSystem;
  def.schema.rowCount = parts->rowCount;
  def.maxColumns = parts->maxColumns;
  def.varColumns = parts->varColumns;
  def.usedPages = parts->usedPages;
  def.autoNumber = parts->autoNumber;
  JET_TRY(addColumns(def, *parts, l, codePage));
  addIndexes(def, *parts, l, codePage);
  return def;
}

int columnPosition(const TableDef& def, uint16_t number) {
  for (size_t i = 0; i < def.placements.size(); ++i) {
    if (def.placements[i].number == number) return static_cast<int>(i);
  }
  return -1;
}

Result<TableDef> loadTableDef(Pager& pager, uint32_t page) {
  auto bytes = readTableDefBytes(pager, page);
  if (!bytes) return bytes.status();
  const auto& layout = format::layoutFor(pager.format());
  return parseTableDef(*bytes, layout, pager.header().codePage, page);
}

}  // namespace jet::storage
