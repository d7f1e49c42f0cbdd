// FileDatabase, changing definitions: an index made on a table that has
// rows (its entries built from them), an index dropped (its pages given back
// to the table), a table dropped (its catalog row gone), a column added.
//
// Each runs as one level of the write pager, so a failure halfway (a
// duplicate key found while the new index is filled, a page that can't be
// written) leaves the file as it was. The definition changes under the
// table writers kept so far and the definitions read in this statement:
// both are dropped at the end.
#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/file_database.h"
#include "jet/storage/pages/write_pager.h"
#include "jet/storage/read/table_cursor.h"
#include "jet/storage/tables/table_def_parts.h"
#include "jet/storage/write/index_writer.h"
#include "jet/storage/write/table_def_edit.h"
#include "jet/storage/write/table_def_writer.h"
#include "jet/storage/write/table_writer.h"
#include "jet/storage/write/usage_map.h"
#include "jet/text.h"

namespace jet::storage {

namespace {

// Access allows this many indexes on one table.
constexpr size_t kMaxIndexesPerTable = 32;

Error refused(std::string what) {
  return Error{errc::kSyntax, std::move(what)};
}

// Access's own tables are its to change.
Status changeable(const TableSchema& schema) {
  if (!schema.system) return Status::ok();
  return refused("No se puede modificar la tabla del sistema '" + schema.name + "'.");
}

// The definitions read so far are stale: the statements that follow read
// them again.
Status definitionsChanged(FileDatabase& db) {
  db.forgetWriters();
  return db.beginStatement();
}

// Whether a relationship of MSysRelationships names `table`.
Result<bool> inRelationship(FileDatabase& db, WritePager& w, const std::string& table) {
  auto rel = db.tableDef("MSysRelationships");
  if (!rel) return false;  // a file without relationships
  int object = (*rel)->schema.findColumn("szObject");
  int referenced = (*rel)->schema.findColumn("szReferencedObject");
  if (object < 0 || referenced < 0) return false;
  auto cursor = TableCursor::open(w, *rel, {object, referenced});
  if (!cursor) return cursor.status();
  while (true) {
    auto more = (*cursor)->next();
    if (!more) return more.status();
    if (!*more) return false;
    for (const Value& v : (*cursor)->values()) {
      if (v.isText() && equalsIgnoreCase(v.asText(), table)) return true;
    }
  }
}

Status createIndexIn(FileDatabase& db, WritePager& w, std::string_view table,
                     const IndexDef& requested) {
  auto def = db.tableDef(table);
  if (!def) return def.status();
  const TableSchema& schema = (*def)->schema;
  JET_TRY(changeable(schema));
  for (const IndexDef& ix : schema.indexes) {
    if (equalsIgnoreCase(ix.name, requested.name)) {
      return refused("La tabla '" + schema.name + "' ya tiene un índice denominado '" +
                     requested.name + "'.");
    }
    if (ix.primary && requested.primary) return refused("Ya existe una clave principal.");
  }
  if (schema.indexes.size() >= kMaxIndexesPerTable) {
    return refused("Demasiados índices en la tabla '" + schema.name + "'.");
  }
  JET_TRY(write::checkIndexDef(schema, requested));
  IndexDef ix = requested;
  ix.unique = ix.unique || ix.primary;
  // Its first leaf, empty, and its page map.
  auto root = w.allocate();
  if (!root) return root.status();
  write::IndexPage leaf;
  leaf.parent = (*def)->page;
  JET_TRY(write::writeIndexPage(w, *root, leaf));
  auto map = write::newUsageMaps(w, (*def)->page, 1);
  if (!map) return map.status();
  JET_TRY(write::UsageMap(w, map->front()).set(*root, true));
  auto bytes = write::readWholeTableDef(w, **def);
  if (!bytes) return bytes.status();
  auto edited = write::definitionWithIndex(*bytes, **def, w.format(), w.header().codePage, ix,
                                           map->front(), *root);
  if (!edited) return edited.status();
  JET_TRY(write::writeTableDefChain(w, (*def)->page, std::move(*edited)));
  JET_TRY(definitionsChanged(db));
  // The entries of the rows already there, in the new (last) real index.
  auto changed = db.tableDef(table);
  if (!changed) return changed.status();
  auto writer = write::TableWriter::load(w, *changed);
  if (!writer) return writer.status();
  if ((*writer)->layout().indexes.empty()) return badTableDef((*def)->page, "índice perdido");
  JET_TRY((*writer)->buildIndex((*writer)->layout().indexes.size() - 1));
  return definitionsChanged(db);
}

Status dropIndexIn(FileDatabase& db, WritePager& w, std::string_view table, std::string_view name) {
  auto def = db.tableDef(table);
  if (!def) return def.status();
  const TableSchema& schema = (*def)->schema;
  JET_TRY(changeable(schema));
  size_t logical = schema.indexes.size();
  bool related = false;
  for (size_t i = 0; i < schema.indexes.size(); ++i) {
    if (equalsIgnoreCase(schema.indexes[i].name, name)) logical = i;
    related = related || schema.indexes[i].foreignKey;
  }
  if (logical == schema.indexes.size()) {
    return refused("No existe el índice '" + std::string(name) + "' en la tabla '" + schema.name +
                   "'.");
  }
  // Relationships name indexes by their place in the list, which the drop
  // would change.
  if (related) {
    return refused("No se puede eliminar el índice '" + std::string(name) + "': la tabla '" +
                   schema.name + "' participa en una o más relaciones.");
  }
  auto bytes = write::readWholeTableDef(w, **def);
  if (!bytes) return bytes.status();
  std::optional<size_t> droppedReal;
  auto edited = write::definitionWithoutIndex(*bytes, **def, w.format(), logical, &droppedReal);
  if (!edited) return edited.status();
  if (droppedReal) {
    auto writer = write::TableWriter::load(w, *def);
    if (!writer) return writer.status();
    JET_TRY((*writer)->releaseIndexPages(*droppedReal));
  }
  JET_TRY(write::writeTableDefChain(w, (*def)->page, std::move(*edited)));
  return definitionsChanged(db);
}

Status dropTableIn(FileDatabase& db, WritePager& w, std::string_view table) {
  auto def = db.tableDef(table);
  if (!def) return def.status();
  const std::string name = (*def)->schema.name;
  JET_TRY(changeable((*def)->schema));
  auto related = inRelationship(db, w, name);
  if (!related) return related.status();
  if (*related) {
    return refused("No se puede eliminar la tabla '" + name +
                   "'; participa en una o más relaciones.");
  }
  // Its row in MSysObjects: the table's name and the page of its definition.
  auto catalog = db.catalogTableDef();
  if (!catalog) return catalog.status();
  const TableSchema& cs = (*catalog)->schema;
  int idCol = cs.findColumn("Id"), nameCol = cs.findColumn("Name"), typeCol = cs.findColumn("Type");
  if (idCol < 0 || nameCol < 0 || typeCol < 0)
    return badTableDef(format::kCatalogTableDefPage, "catálogo sin Id, Name o Type");
  std::optional<RowId> row;
  {
    auto cursor = TableCursor::open(w, *catalog, {idCol, nameCol, typeCol});
    if (!cursor) return cursor.status();
    while (!row) {
      auto more = (*cursor)->next();
      if (!more) return more.status();
      if (!*more) break;
      const auto& v = (*cursor)->values();
      if (v[0].type() == ValueType::Long && v[1].isText() &&
          equalsIgnoreCase(v[1].asText(), name) && !v[2].isNull() &&
          v[2].asInteger() == format::kObjectTypeTable &&
          (static_cast<uint32_t>(v[0].asLong()) & format::kObjectIdPageMask) == (*def)->page) {
        row = (*cursor)->rowId();
      }
    }
  }
  if (!row) return Error{errc::kNoTable, "No se encuentra la tabla '" + name + "'."};
  auto writer = write::TableWriter::load(w, *catalog);
  if (!writer) return writer.status();
  JET_TRY((*writer)->remove(*row));
  JET_TRY((*writer)->finish());
  return definitionsChanged(db);
}

Status addColumnIn(FileDatabase& db, WritePager& w, std::string_view table,
                   const ColumnDef& column) {
  auto def = db.tableDef(table);
  if (!def) return def.status();
  const TableSchema& schema = (*def)->schema;
  JET_TRY(changeable(schema));
  if (schema.findColumn(column.name) >= 0) {
    return refused("El campo '" + column.name + "' ya existe en la tabla '" + schema.name + "'.");
  }
  if (schema.columns.size() >= 255) return refused("Demasiados campos definidos.");
  if (column.autoNumber) {
    // Access numbers the rows already there; this engine does not.
    return Error{errc::kNotSupported,
                 "Esta operación no se admite: añadir un campo Autonumérico a una tabla que "
                 "ya existe."};
  }
  std::optional<write::AddedLongValueMaps> maps;
  const bool longValue = column.type == ColumnType::Memo || column.type == ColumnType::OLE;
  if (longValue && w.format() != FileFormat::Jet3) {
    auto made = write::newUsageMaps(w, (*def)->page, 2);
    if (!made) return made.status();
    maps = write::AddedLongValueMaps{(*made)[0], (*made)[1]};
  }
  auto bytes = write::readWholeTableDef(w, **def);
  if (!bytes) return bytes.status();
  auto edited =
      write::definitionWithColumn(*bytes, **def, w.format(), w.header().codePage, column, maps);
  if (!edited) return edited.status();
  JET_TRY(write::writeTableDefChain(w, (*def)->page, std::move(*edited)));
  return definitionsChanged(db);
}

}  // namespace

Status FileDatabase::createIndex(std::string_view table, const IndexDef& index) {
  return runStatement([&](WritePager& w) { return createIndexIn(*this, w, table, index); });
}

Status FileDatabase::dropIndex(std::string_view table, std::string_view index) {
  return runStatement([&](WritePager& w) { return dropIndexIn(*this, w, table, index); });
}

Status FileDatabase::dropTable(std::string_view table) {
  return runStatement([&](WritePager& w) { return dropTableIn(*this, w, table); });
}

Status FileDatabase::addColumn(std::string_view table, const ColumnDef& column) {
  return runStatement([&](WritePager& w) { return addColumnIn(*this, w, table, column); });
}

}  // namespace jet::storage
