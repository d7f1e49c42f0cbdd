// FileDatabase, reading side: opening, the catalog, table definitions,
// scans and row reads, each beginning a fresh statement on the pager.
#include "jet/storage/file_database.h"

#include "jet/error_codes.h"
#include "jet/storage/pages/write_pager.h"
#include "jet/storage/read/index_reader.h"
#include "jet/storage/read/index_reader_cursor.h"
#include "jet/storage/read/table_cursor.h"
#include "jet/storage/write/table_writer.h"
#include "jet/text.h"

namespace jet::storage {

namespace {
Error noTable(std::string_view name) {
  return Error{errc::kNoTable, "No se encuentra la tabla '" + std::string(name) + "'."};
}
}  // namespace

FileDatabase::FileDatabase(std::string path, OpenOptions options, std::unique_ptr<Pager> pager)
    : path_(std::move(path)), options_(options), pager_(std::move(pager)) {}

FileDatabase::~FileDatabase() = default;

Result<std::unique_ptr<FileDatabase>> FileDatabase::open(const std::string& path,
                                                         OpenOptions options) {
  auto file = PageFile::open(path, options.readOnly);
  if (!file) return file.status();
  // The write side's pager: the read pager plus journal, locks and dirty pages.
  auto pager =
      WritePager::open(std::move(*file), options.lockWait.value_or(FileLock::kDefaultWait));
  if (!pager) return pager.status();
  std::unique_ptr<FileDatabase> db(new FileDatabase(path, options, std::move(*pager)));
  // A file whose catalog can't be read is not one we can serve.
  if (auto cat = db->catalog(); !cat) return cat.status();
  return db;
}

Status FileDatabase::beginStatement() {
  return pager_->beginStatement();
}

Status FileDatabase::beginRead() {
  return pager_->beginStatement();
}

void FileDatabase::endRead() {
  pager_->endStatement();
}

void FileDatabase::setLockWait(std::chrono::milliseconds wait) {
  if (auto* w = dynamic_cast<WritePager*>(pager_.get())) w->setLockWait(wait);
}

Result<std::vector<CatalogEntry>> FileDatabase::catalog() {
  if (cachedStatement_ != pager_->statementNumber()) {
    auto cat = readCatalog(*pager_);
    if (!cat) return cat.status();
    catalog_ = std::move(*cat);
    tableDefs_.clear();
    cachedStatement_ = pager_->statementNumber();
  }
  return catalog_;
}

Result<std::shared_ptr<const TableDef>> FileDatabase::tableDef(std::string_view name) {
  auto cat = catalog();
  if (!cat) return cat.status();
  for (const auto& d : tableDefs_) {
    if (equalsIgnoreCase(d->schema.name, name)) return d;
  }
  for (const auto& e : catalog_) {
    if (!equalsIgnoreCase(e.name, name)) continue;
    auto def = loadTableDef(*pager_, e.tableDefPage);
    if (!def) return def.status();
    def->schema.name = e.name;
    def->schema.system = def->schema.system || e.system;
    auto shared = std::make_shared<const TableDef>(std::move(*def));
    tableDefs_.push_back(shared);
    return shared;
  }
  return noTable(name);
}

Result<std::vector<std::string>> FileDatabase::tableNames(bool includeSystem) {
  JET_TRY(beginStatement());
  StatementEnd end{*pager_};
  auto cat = catalog();
  if (!cat) return cat.status();
  std::vector<std::string> names;
  for (const auto& e : *cat) {
    if (includeSystem || !e.system) names.push_back(e.name);
  }
  return names;
}

Result<TableSchema> FileDatabase::table(std::string_view name) {
  JET_TRY(beginStatement());
  StatementEnd end{*pager_};
  auto def = tableDef(name);
  if (!def) return def.status();
  return (*def)->schema;
}

Result<std::unique_ptr<RowCursor>> FileDatabase::scan(std::string_view table,
                                                      std::vector<int> columns) {
  JET_TRY(beginStatement());
  // The cursor ends the statement (and lets writers in) when it is done.
  auto def = tableDef(table);
  if (!def) {
    pager_->endStatement();
    return def.status();
  }
  auto cursor = TableCursor::open(*pager_, *def, std::move(columns));
  if (!cursor) {
    pager_->endStatement();
    return cursor.status();
  }
  (*cursor)->holdStatement();
  return std::unique_ptr<RowCursor>(std::move(*cursor));
}

Result<std::vector<Value>> FileDatabase::readRow(std::string_view table, RowId row) {
  JET_TRY(beginStatement());
  StatementEnd end{*pager_};
  auto def = tableDef(table);
  if (!def) return def.status();
  std::vector<int> all((*def)->schema.columns.size());
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  std::vector<Value> out;
  JET_TRY(readRowAt(*pager_, **def, row, all, out));
  return out;
}

Result<std::unique_ptr<RowCursor>> FileDatabase::seek(std::string_view table,
                                                      const std::vector<IndexLookup>& lookups,
                                                      std::vector<int> columns) {
  JET_TRY(beginStatement());
  // As with scan(), the cursor ends the statement when it is done.
  auto fail = [&](const Status& s) -> Result<std::unique_ptr<RowCursor>> {
    pager_->endStatement();
    return s.error();
  };
  auto def = tableDef(table);
  if (!def) return fail(def.status());
  for (int c : columns) {
    if (c < 0 || static_cast<size_t>(c) >= (*def)->schema.columns.size()) {
      return fail(
          Error{errc::kSyntax, "Columna inexistente en la tabla '" + (*def)->schema.name + "'."});
    }
  }
  auto rows = indexedRows(*pager_, **def, lookups);
  if (!rows) return fail(rows.status());
  auto cursor =
      std::make_unique<IndexedRowCursor>(*pager_, *def, std::move(*rows), std::move(columns));
  cursor->holdStatement();
  return std::unique_ptr<RowCursor>(std::move(cursor));
}

Result<std::vector<uint64_t>> FileDatabase::countIndexed(std::string_view table,
                                                         const std::vector<IndexLookup>& lookups,
                                                         uint64_t limit) {
  JET_TRY(beginStatement());
  StatementEnd end{*pager_};
  auto def = tableDef(table);
  if (!def) return def.status();
  return storage::countIndexed(*pager_, **def, lookups, limit);
}

}  // namespace jet::storage
