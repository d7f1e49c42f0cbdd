// FileDatabase: the engine's jet::Database over one .mdb or .accdb file.
//
// The storage folders, lowest first; each includes only itself and those
// below it (format constants in jet/format/):
//
//   pages/    the page file, the header page, file locks, the rollback
//             journal, the page cache (Pager) and the write pager
//             (transactions over pages); byte readers and writers; the row
//             offset table of a data page. Knows pages, never rows.
//   tables/   the one walk over a table definition (table_def_parts.*),
//             made into the schema (table_def.*) and the writer's layout
//             (table_layout.*); usage maps; text of names.
//   read/     the row codec and row encoding (pure), table and index
//             cursors, long values, index pages and keys, the catalog.
//   write/    rows inserted, updated and deleted (table_writer.*, with
//             table_pages.* and long_value_writer.*), usage-map edits,
//             index maintenance, new tables and new files.
//   (here)    FileDatabase, on top of both sides, and the integrity check.
//
// Every public operation begins a statement on the pager first, so what an
// earlier statement read (catalog, definitions, pages) is read again: the
// point of sale may have changed the file in between. Within one
// statement the catalog and definitions are kept.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "jet/database.h"
#include "jet/storage/pages/pager.h"
#include "jet/storage/read/catalog.h"
#include "jet/storage/tables/table_def.h"

namespace jet::storage {

class WritePager;
namespace write {
class TableWriter;
}

class FileDatabase : public Database {
 public:
  static Result<std::unique_ptr<FileDatabase>> open(const std::string& path, OpenOptions options);
  ~FileDatabase() override;

  FileFormat format() const override { return pager_->format(); }
  const std::string& path() const override { return path_; }

  Result<std::vector<std::string>> tableNames(bool includeSystem = false) override;
  Result<TableSchema> table(std::string_view name) override;
  Result<std::unique_ptr<RowCursor>> scan(std::string_view table,
                                          std::vector<int> columns) override;
  Result<std::vector<Value>> readRow(std::string_view table, RowId row) override;
  // Index lookups (the cursor in index_reader_cursor.*, the B-tree walk in
  // index_reader.*).
  Result<std::unique_ptr<RowCursor>> seek(std::string_view table,
                                          const std::vector<IndexLookup>& lookups,
                                          std::vector<int> columns) override;
  Result<std::vector<uint64_t>> countIndexed(std::string_view table,
                                             const std::vector<IndexLookup>& lookups,
                                             uint64_t limit) override;

  // Defined in file_database_write.cpp.
  Status createTable(const TableSchema& schema) override;
  Result<RowId> insertRow(std::string_view table, std::vector<Value> values,
                          int32_t* autoNumber = nullptr) override;
  Result<RowId> updateRow(std::string_view table, RowId row,
                          const std::vector<std::pair<int, Value>>& changes) override;
  Status deleteRow(std::string_view table, RowId row) override;
  Status beginRead() override;
  void endRead() override;
  void setLockWait(std::chrono::milliseconds wait) override;
  // Defined in file_database_ddl.cpp.
  Status createIndex(std::string_view table, const IndexDef& index) override;
  Status dropIndex(std::string_view table, std::string_view index) override;
  Status dropTable(std::string_view table) override;
  Status addColumn(std::string_view table, const ColumnDef& column) override;
  Result<int> begin() override;
  Status commit() override;
  Status rollback() override;
  int transactionDepth() const override;

  // --- for the write side and tools ---
  Pager& pager() { return *pager_; }
  const DatabaseHeader& header() const { return pager_->header(); }
  // Starts a statement: drops what earlier statements read.
  Status beginStatement();
  // The catalog and a table's definition as of the current statement.
  Result<std::vector<CatalogEntry>> catalog();
  Result<std::shared_ptr<const TableDef>> tableDef(std::string_view name);
  // The writer of `def`'s table: the one an earlier statement of this
  // transaction left, when it was made from the same definition, or a new
  // one. Needs an open transaction on `pager`.
  Result<write::TableWriter*> keptWriter(WritePager& pager,
                                         const std::shared_ptr<const TableDef>& def);
  // Drops the kept writers (the catalog is about to change under them).
  void forgetWriters();
  // Runs `body` as one level of the write pager: committed when it
  // succeeds, rolled back otherwise (a statement outside a transaction is
  // a transaction of its own).
  Status runStatement(const std::function<Status(WritePager&)>& body);
  // MSysObjects, read from its fixed page (a new file's catalog does not
  // list it yet).
  Result<std::shared_ptr<const TableDef>> catalogTableDef();

 protected:
  FileDatabase(std::string path, OpenOptions options, std::unique_ptr<Pager> pager);

  std::string path_;
  OpenOptions options_;
  std::unique_ptr<Pager> pager_;
  int transactionDepth_ = 0;  // kept by the write side

 private:
  uint64_t cachedStatement_ = 0;
  std::vector<CatalogEntry> catalog_;
  std::vector<std::shared_ptr<const TableDef>> tableDefs_;
  // Table writers kept from one statement to the next within the outermost
  // transaction, so a run of inserts does not read the table's definition
  // and look for a page with room every time. What a writer knows of its
  // table stays true while this process holds the write lock and nothing it
  // wrote is undone: a change of the pager's transaction epoch (any
  // rollback, the end of the transaction) drops them all.
  std::unordered_map<uint32_t, std::unique_ptr<write::TableWriter>> writers_;
  uint64_t writersEpoch_ = 0;
};

}  // namespace jet::storage
