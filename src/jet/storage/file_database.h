// FileDatabase: the engine's jet::Database over one .mdb or .accdb file.
//
// Map of the storage classes (each in its own file under jet/storage/,
// format constants in jet/format/jet_format.h):
//
//   FileDatabase        jet::Database: catalog, table definitions, scans,
//     |                 row reads; writes and transactions live in
//     |                 file_database_write.cpp.
//     |-- readCatalog   (catalog.*) MSysObjects rows: table names, their
//     |                 TDEF pages and system flags.
//     |-- loadTableDef  (table_def.*) TDEF chain -> TableDef: TableSchema
//     |                 plus each column's place in a row (ColumnPlacement),
//     |                 the usage-map pointer.
//     |-- TableCursor   (table_cursor.*) RowCursor: walks UsageMapPages,
//     |                 each data page's slots, decodes the asked columns.
//     |                 readRowAt() reads one row by RowId.
//     |-- row codec     (row_codec.*) pure decode: pageRowCount, locateRow,
//     |                 splitRow (null mask, var offsets, Jet 3 jump table),
//     |                 decodeColumn, long values (parseLongValueRef,
//     |                 readLongValue through a LongValueSource).
//     |                 The encode side sits beside it in its own file.
//     |-- text_codec    UCS-2 / compressed text and code pages -> UTF-8.
//     `-- Pager         (pager.*) every page read goes through it: bounded
//           |           per-statement cache, beginStatement() re-reads file
//           |           length and header. Dirty pages, journal and locks
//           |           attach here.
//           |-- DatabaseHeader (database_header.*) RC4-masked header page,
//           |           password and encryption refusal.
//           `-- PageFile (page_file.*) open, page size, page count,
//                       bounds-checked whole-page reads.
//
// Every public operation begins a statement on the pager first, so what an
// earlier statement read (catalog, definitions, pages) is read again: the
// point of sale may have changed the file in between. Within one
// statement the catalog and definitions are kept.
#pragma once

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
