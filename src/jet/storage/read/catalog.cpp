// Reading the table entries of MSysObjects with the ordinary table scan.
#include "jet/storage/read/catalog.h"

#include <memory>

#include "jet/format/jet_format.h"
#include "jet/storage/pages/errors.h"
#include "jet/storage/read/table_cursor.h"
#include "jet/storage/tables/table_def.h"

namespace jet::storage {

namespace {
// Low seven bits of Type: the kind of object (the high bit varies).
constexpr int kObjectTypeMask = 0x7F;
}  // namespace

Result<std::vector<CatalogEntry>> readCatalog(Pager& pager) {
  auto def = loadTableDef(pager, format::kCatalogTableDefPage);
  if (!def) return damaged("catálogo (MSysObjects): " + def.error().description);
  def->schema.name = "MSysObjects";
  const int id = def->schema.findColumn("Id");
  const int name = def->schema.findColumn("Name");
  const int type = def->schema.findColumn("Type");
  const int flags = def->schema.findColumn("Flags");
  if (id < 0 || name < 0 || type < 0 || flags < 0) {
    return damaged("el catálogo (MSysObjects) no tiene las columnas esperadas");
  }
  auto shared = std::make_shared<const TableDef>(std::move(*def));
  auto cursor = TableCursor::open(pager, shared, {id, name, type, flags});
  if (!cursor) return cursor.status();
  std::vector<CatalogEntry> out;
  while (true) {
    auto more = (*cursor)->next();
    if (!more) return more.status();
    if (!*more) break;
    const auto& v = (*cursor)->values();
    if (v[0].type() != ValueType::Long || !v[1].isText() || v[2].type() != ValueType::Integer)
      continue;
    if ((v[2].asInteger() & kObjectTypeMask) != format::kObjectTypeTable) continue;
    CatalogEntry e;
    e.name = v[1].asText();
    e.tableDefPage = static_cast<uint32_t>(v[0].asLong()) & format::kObjectIdPageMask;
    e.flags = v[3].type() == ValueType::Long ? static_cast<uint32_t>(v[3].asLong()) : 0;
    e.system = (e.flags & (format::kObjectFlagSystem | format::kObjectFlagHidden)) != 0;
    out.push_back(std::move(e));
  }
  return out;
}

}  // namespace jet::storage
