// FileDatabase, writing side: table creation, row writes, nested
// transactions, and new files.
//
// Every write runs as one level of the WritePager: a statement outside a
// transaction is a transaction of its own (journal, lock, commit); inside
// one it is a nested level, so a statement that fails leaves the enclosing
// transaction as it was before the statement.
#include <sys/stat.h>

#include <chrono>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/file_database.h"
#include "jet/storage/pages/write_pager.h"
#include "jet/storage/read/table_cursor.h"
#include "jet/storage/write/data_page.h"
#include "jet/storage/write/database_properties.h"
#include "jet/storage/write/index_writer.h"
#include "jet/storage/write/new_file.h"
#include "jet/storage/write/table_def_writer.h"
#include "jet/storage/write/table_writer.h"
#include "jet/storage/write/usage_map.h"
#include "jet/text.h"

namespace jet::storage {

namespace {

WritePager* writerOf(Pager& p) {
  return dynamic_cast<WritePager*>(&p);
}

Error readOnlyDatabase() {
  return Error{errc::kUnspecified, "La base de datos se abrió sólo para lectura."};
}

double nowAsAccessDate() {
  using namespace std::chrono;
  double seconds = duration<double>(system_clock::now().time_since_epoch()).count();
  return 25569.0 + seconds / 86400.0;
}

// Ends the innermost level a user's begin() opened, by `end` (commit or
// rollback); the level is gone even when ending it fails.
Status endTransactionLevel(Pager& pager, int& depth, Status (WritePager::*end)()) {
  WritePager* w = writerOf(pager);
  if (!w || depth == 0) return Error{errc::kNoTransaction, "No hay ninguna transacción activa."};
  Status s = (w->*end)();
  --depth;
  return s;
}

// Runs `body` as one level: committed when it succeeds, rolled back otherwise.
template <class T, class Body>
Result<T> asStatement(FileDatabase& db, Body&& body) {
  WritePager* w = writerOf(db.pager());
  if (!w) return readOnlyDatabase();
  auto level = w->begin();
  if (!level) return level.status();
  // The outermost level began a fresh statement on the pager already; inner
  // ones keep what this transaction has read (it holds the write lock).
  Result<T> r = body(*w);
  if (!r) {
    (void)w->rollback();
    return r;
  }
  if (Status s = w->commit(); !s) return s;
  return r;
}

Status asStatementStatus(FileDatabase& db, std::function<Status(WritePager&)> body) {
  auto r = asStatement<bool>(db, [&](WritePager& w) -> Result<bool> {
    Status s = body(w);
    if (!s) return s;
    return true;
  });
  return r.status();
}

// MSysObjects itself, read from its fixed page (a new file's catalog does
// not list it yet).
Result<std::shared_ptr<const TableDef>> catalogTable(FileDatabase& db) {
  auto def = loadTableDef(db.pager(), format::kCatalogTableDefPage);
  if (!def) return def.status();
  def->schema.name = "MSysObjects";
  def->schema.system = true;
  return std::shared_ptr<const TableDef>(std::make_shared<TableDef>(std::move(*def)));
}

// The id of the "Tables" container in this file's catalog.
Result<int32_t> tablesContainer(FileDatabase& db, WritePager& w) {
  auto def = catalogTable(db);
  if (!def) return def.status();
  int idCol = (*def)->schema.findColumn("Id");
  int nameCol = (*def)->schema.findColumn("Name");
  int typeCol = (*def)->schema.findColumn("Type");
  if (idCol < 0 || nameCol < 0 || typeCol < 0) return kContainerTables;
  auto cursor = TableCursor::open(w, *def, {idCol, nameCol, typeCol});
  if (!cursor) return cursor.status();
  while (true) {
    auto more = (*cursor)->next();
    if (!more) return more.status();
    if (!*more) break;
    const auto& v = (*cursor)->values();
    if (v[1].isText() && v[1].asText() == "Tables" && v[0].type() == ValueType::Long) {
      return v[0].asLong();
    }
  }
  return kContainerTables;
}

// Adds one row to MSysObjects.
Status addCatalogRow(FileDatabase& db, WritePager& w, int32_t id, int32_t parent,
                     const std::string& name, int16_t type, uint32_t flags,
                     Value properties = Value::null()) {
  auto def = catalogTable(db);
  if (!def) return def.status();
  const TableSchema& s = (*def)->schema;
  std::vector<Value> row(s.columns.size());
  double now = nowAsAccessDate();
  auto set = [&](const char* column, Value v) {
    int c = s.findColumn(column);
    if (c >= 0) row[c] = std::move(v);
  };
  set("Id", Value::longValue(id));
  set("ParentId", Value::longValue(parent));
  set("Name", Value::text(name));
  set("Type", Value::integer(type));
  set("DateCreate", Value::dateTime(DateTime{now}));
  set("DateUpdate", Value::dateTime(DateTime{now}));
  set("Flags", Value::longValue(static_cast<int32_t>(flags)));
  set("LvProp", std::move(properties));
  auto writer = write::TableWriter::load(w, *def);
  if (!writer) return writer.status();
  auto at = (*writer)->insert(std::move(row), nullptr);
  if (!at) return at.status();
  return (*writer)->finish();
}

Status createTableIn(FileDatabase& db, WritePager& w, const TableSchema& requested) {
  // The catalog is about to change under the writers kept so far.
  db.forgetWriters();
  auto existing = db.catalog();
  if (!existing) return existing.status();
  for (const auto& e : *existing) {
    if (equalsIgnoreCase(e.name, requested.name)) {
      return Error{errc::kSyntax, "La tabla '" + requested.name + "' ya existe."};
    }
  }
  write::NewTableDef d;
  d.schema = requested;
  d.schema.rowCount = 0;
  d.schema.system = requested.system || (requested.name.size() >= 4 &&
                                         equalsIgnoreCase(requested.name.substr(0, 4), "MSys"));
  d.jet3 = w.format() == FileFormat::Jet3;
  d.codePage = db.pager().header().codePage;
  auto placements = write::placeColumns(d.schema, d.jet3);
  if (!placements) return placements.status();
  d.placements = *placements;
  auto tdefPage = w.allocate();
  if (!tdefPage) return tdefPage.status();
  d.page = *tdefPage;
  // The table's maps (its pages, its pages with room, each index's pages,
  // each long-value column's two) on one new page.
  std::vector<size_t> longValueColumns;
  for (size_t i = 0; i < d.schema.columns.size(); ++i) {
    ColumnType t = d.schema.columns[i].type;
    // Access 97 lists a table's long-value pages in its own page map.
    if ((t == ColumnType::Memo || t == ColumnType::OLE) && !d.jet3) longValueColumns.push_back(i);
  }
  auto maps =
      write::newUsageMaps(w, d.page, 2 + d.schema.indexes.size() + 2 * longValueColumns.size());
  if (!maps) return maps.status();
  auto nextMap = maps->begin();
  d.usedPages = *nextMap++;
  d.freePages = *nextMap++;
  for (size_t i = 0; i < d.schema.indexes.size(); ++i) d.indexMaps.push_back(*nextMap++);
  for (size_t i : longValueColumns) {
    write::NewTableDef::LongValueMaps m;
    m.columnNumber = d.placements[i].number;
    m.used = *nextMap++;
    m.free = *nextMap++;
    d.longValueMaps.push_back(m);
  }
  for (size_t i = 0; i < d.schema.indexes.size(); ++i) {
    auto root = w.allocate();
    if (!root) return root.status();
    d.indexRoots.push_back(*root);
    write::IndexPage leaf;
    leaf.parent = d.page;
    JET_TRY(write::writeIndexPage(w, *root, leaf));
    JET_TRY(write::UsageMap(w, d.indexMaps[i]).set(*root, true));
  }
  auto tdef = write::buildTableDef(d, w.pageSize());
  if (!tdef) return tdef.status();
  auto page = w.change(d.page);
  if (!page) return page.status();
  std::copy(tdef->begin(), tdef->end(), page->begin());
  auto parent = tablesContainer(db, w);
  if (!parent) return parent.status();
  JET_TRY(addCatalogRow(db, w, static_cast<int32_t>(d.page), *parent, d.schema.name,
                        format::kObjectTypeTable, d.schema.system ? format::kObjectFlagSystem : 0));
  // The catalog changed: later reads in this statement see the new table.
  return db.beginStatement();
}

}  // namespace

Result<write::TableWriter*> FileDatabase::keptWriter(WritePager& w,
                                                     const std::shared_ptr<const TableDef>& def) {
  if (writersEpoch_ != w.transactionEpoch()) {
    writers_.clear();
    writersEpoch_ = w.transactionEpoch();
  }
  auto it = writers_.find(def->page);
  if (it != writers_.end() && it->second->def() == def) return it->second.get();
  auto loaded = write::TableWriter::load(w, def);
  if (!loaded) return loaded.status();
  if (w.depth() == 0) return Error{errc::kNoTransaction, "No hay ninguna transacción activa."};
  auto& slot = writers_[def->page];
  slot = std::move(*loaded);
  return slot.get();
}

void FileDatabase::forgetWriters() {
  writers_.clear();
}

Status FileDatabase::runStatement(const std::function<Status(WritePager&)>& body) {
  return asStatementStatus(*this, body);
}

Result<std::shared_ptr<const TableDef>> FileDatabase::catalogTableDef() {
  return catalogTable(*this);
}

Status FileDatabase::createTable(const TableSchema& schema) {
  return asStatementStatus(*this, [&](WritePager& w) { return createTableIn(*this, w, schema); });
}

Result<RowId> FileDatabase::insertRow(std::string_view table, std::vector<Value> values,
                                      int32_t* autoNumber) {
  return asStatement<RowId>(*this, [&](WritePager& w) -> Result<RowId> {
    auto def = tableDef(table);
    if (!def) return def.status();
    auto writer = keptWriter(w, *def);
    if (!writer) return writer.status();
    auto at = (*writer)->insert(std::move(values), autoNumber);
    if (!at) return at;
    JET_TRY((*writer)->finish());
    return at;
  });
}

Result<RowId> FileDatabase::updateRow(std::string_view table, RowId row,
                                      const std::vector<std::pair<int, Value>>& changes) {
  return asStatement<RowId>(*this, [&](WritePager& w) -> Result<RowId> {
    auto def = tableDef(table);
    if (!def) return def.status();
    auto writer = keptWriter(w, *def);
    if (!writer) return writer.status();
    auto at = (*writer)->update(row, changes);
    if (!at) return at;
    JET_TRY((*writer)->finish());
    return at;
  });
}

Status FileDatabase::deleteRow(std::string_view table, RowId row) {
  return asStatementStatus(*this, [&](WritePager& w) -> Status {
    auto def = tableDef(table);
    if (!def) return def.status();
    auto writer = keptWriter(w, *def);
    if (!writer) return writer.status();
    JET_TRY((*writer)->remove(row));
    return (*writer)->finish();
  });
}

Result<int> FileDatabase::begin() {
  WritePager* w = writerOf(*pager_);
  if (!w) return readOnlyDatabase();
  auto level = w->begin();
  if (!level) return level.status();
  return ++transactionDepth_;
}

Status FileDatabase::commit() {
  return endTransactionLevel(*pager_, transactionDepth_, &WritePager::commit);
}

Status FileDatabase::rollback() {
  return endTransactionLevel(*pager_, transactionDepth_, &WritePager::rollback);
}

int FileDatabase::transactionDepth() const {
  return transactionDepth_;
}

namespace {

// The system tables a new file gets beside MSysObjects.
std::vector<TableSchema> newSystemTables() {
  auto table = [](const char* name, std::vector<ColumnDef> cols) {
    TableSchema t;
    t.name = name;
    t.system = true;
    t.columns = std::move(cols);
    return t;
  };
  auto c = [](const char* name, ColumnType t, uint16_t size = 0, bool required = false) {
    ColumnDef d;
    d.name = name;
    d.type = t;
    d.size = t == ColumnType::Text ? static_cast<uint16_t>(size * 2) : size;
    d.required = required;
    return d;
  };
  auto index = [](const char* name, std::vector<IndexColumn> columns) {
    IndexDef ix;
    ix.name = name;
    ix.columns = std::move(columns);
    return ix;
  };
  TableSchema aces = table(
      "MSysACEs", {c("ACM", ColumnType::Long), c("FInheritable", ColumnType::Boolean, 0, true),
                   c("ObjectId", ColumnType::Long), c("SID", ColumnType::Binary, 255)});
  aces.indexes = {index("ObjectId", {IndexColumn{2, true}})};
  TableSchema queries =
      table("MSysQueries", {c("Attribute", ColumnType::Byte), c("Expression", ColumnType::Memo),
                            c("Flag", ColumnType::Integer), c("LvExtra", ColumnType::Long),
                            c("Name1", ColumnType::Text, 255), c("Name2", ColumnType::Text, 255),
                            c("ObjectId", ColumnType::Long), c("Order", ColumnType::Binary, 255)});
  queries.indexes = {index("ObjectIdAttribute", {IndexColumn{6, true}, IndexColumn{0, true}})};
  TableSchema rel = table(
      "MSysRelationships",
      {c("ccolumn", ColumnType::Long), c("grbit", ColumnType::Long), c("icolumn", ColumnType::Long),
       c("szColumn", ColumnType::Text, 64), c("szObject", ColumnType::Text, 64),
       c("szReferencedColumn", ColumnType::Text, 64), c("szReferencedObject", ColumnType::Text, 64),
       c("szRelationship", ColumnType::Text, 64)});
  return {aces, queries, rel};
}

}  // namespace

// The catalog of a new file: its containers and system tables, in one
// transaction.
static Status buildNewCatalog(FileDatabase& fdb) {
  auto level = fdb.begin();
  if (!level) return level.status();
  auto* w = writerOf(fdb.pager());
  Status s = fdb.beginStatement();
  auto add = [&](int32_t id, int32_t parent, const char* name, int16_t type,
                 Value properties = Value::null()) {
    if (s)
      s = addCatalogRow(fdb, *w, id, parent, name, type, format::kObjectFlagSystem,
                        std::move(properties));
  };
  add(kContainerTables, kContainerRoot, "Tables", 3);
  add(kContainerDatabases, kContainerRoot, "Databases", 3);
  add(kContainerRelationships, kContainerRoot, "Relationships", 3);
  // The database's own properties say which Access made the file.
  add(kDatabaseObject, kContainerDatabases, "MSysDb", 2,
      Value::binary(encodeDatabaseProperties(accessDatabaseProperties(fdb.format()))));
  add(static_cast<int32_t>(format::kCatalogTableDefPage), kContainerTables, "MSysObjects", 1);
  fdb.pager().endStatement();
  for (const TableSchema& t : newSystemTables()) {
    if (s) s = fdb.createTable(t);
  }
  if (!s) {
    (void)fdb.rollback();
    return s;
  }
  return fdb.commit();
}

}  // namespace jet::storage

namespace jet {

Result<std::unique_ptr<Database>> Database::create(const std::string& path, FileFormat format) {
  if (format != FileFormat::Jet4 && format != FileFormat::Ace12) {
    return Error{errc::kNotSupported,
                 "El motor sólo crea bases de datos .mdb (Jet 4) y .accdb (ACE 12)."};
  }
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    return Error{errc::kUnspecified, "Ya existe un archivo llamado '" + path + "'."};
  }
  JET_TRY(storage::writeBootstrapFile(path, format));
  auto db = storage::FileDatabase::open(path, OpenOptions{});
  if (!db) {
    ::unlink(path.c_str());
    return db.status();
  }
  Status built = storage::buildNewCatalog(**db);
  if (!built) {
    Error failed = built.error();
    db->reset();
    ::unlink(path.c_str());
    ::unlink((path + "-journal").c_str());
    return failed;
  }
  return std::unique_ptr<Database>(std::move(*db));
}

}  // namespace jet
