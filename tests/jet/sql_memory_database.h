// A jet::Database held in memory, for the SQL tests that count the reads
// the executor makes or stage a failure of the storage, which a file can't
// show; a test chooses it explicitly (SqlTest::usesMemoryDatabase). It
// keeps the contract of jet/database.h that the executor relies on:
// case-insensitive table names, cursors that see the table as it was when
// made and fail after a write, AutoNumbers, nested transactions with
// rollback, and a failure injected on demand (`failUpdatesAfter`) to show
// that a statement is all or nothing.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "jet/database.h"
#include "jet/error_codes.h"
#include "jet/text.h"

namespace sqltest {

class MemoryDatabase : public jet::Database {
 public:
  jet::FileFormat format() const override { return jet::FileFormat::Jet4; }
  const std::string& path() const override { return path_; }

  jet::Result<std::vector<std::string>> tableNames(bool) override {
    std::vector<std::string> names;
    for (const auto& t : state_.tables) names.push_back(t.schema.name);
    return names;
  }
  jet::Result<jet::TableSchema> table(std::string_view name) override {
    const Table* t = find(name);
    if (!t) return jet::Error{jet::errc::kNoTable, "no table"};
    return t->schema;
  }

  jet::Result<std::unique_ptr<jet::RowCursor>> scan(std::string_view name,
                                                    std::vector<int> columns) override {
    const Table* t = find(name);
    if (!t) return jet::Error{jet::errc::kNoTable, "no table"};
    ++scans;
    return std::unique_ptr<jet::RowCursor>(new Cursor(*this, *t, std::move(columns)));
  }
  jet::Result<std::vector<jet::Value>> readRow(std::string_view name, jet::RowId id) override {
    const Table* t = find(name);
    if (!t || id.page >= t->rows.size() || !t->rows[id.page])
      return jet::Error{jet::errc::kUnspecified, "no row"};
    ++rowReads;
    return *t->rows[id.page];
  }

  jet::Status createTable(const jet::TableSchema& schema) override {
    if (find(schema.name)) return jet::Error{jet::errc::kSyntax, "exists"};
    ++writes_;
    state_.tables.push_back(Table{schema, {}, 0});
    return jet::Status::ok();
  }
  jet::Result<jet::RowId> insertRow(std::string_view name, std::vector<jet::Value> values,
                                    int32_t* autoNumber) override {
    Table* t = find(name);
    if (!t) return jet::Error{jet::errc::kNoTable, "no table"};
    if (values.size() != t->schema.columns.size()) return jet::Error{jet::errc::kSyntax, "width"};
    for (size_t c = 0; c < values.size(); ++c) {
      const jet::ColumnDef& def = t->schema.columns[c];
      if (def.autoNumber && values[c].isNull()) {
        values[c] = jet::Value::longValue(++t->nextAuto);
        if (autoNumber) *autoNumber = t->nextAuto;
      }
      if (def.required && values[c].isNull()) return jet::Error{jet::errc::kIntegrity, "required"};
    }
    ++writes_;
    t->rows.push_back(std::move(values));
    return jet::RowId{static_cast<uint32_t>(t->rows.size() - 1), 0};
  }
  jet::Result<jet::RowId> updateRow(
      std::string_view name, jet::RowId id,
      const std::vector<std::pair<int, jet::Value>>& changes) override {
    Table* t = find(name);
    if (!t || id.page >= t->rows.size() || !t->rows[id.page])
      return jet::Error{jet::errc::kUnspecified, "no row"};
    if (failUpdatesAfter >= 0 && updates_++ >= failUpdatesAfter)
      return jet::Error{jet::errc::kUnspecified, "disk full"};
    ++writes_;
    for (const auto& [c, v] : changes) (*t->rows[id.page])[static_cast<size_t>(c)] = v;
    return id;
  }
  jet::Status deleteRow(std::string_view name, jet::RowId id) override {
    Table* t = find(name);
    if (!t || id.page >= t->rows.size() || !t->rows[id.page])
      return jet::Error{jet::errc::kUnspecified, "no row"};
    ++writes_;
    t->rows[id.page].reset();
    return jet::Status::ok();
  }

  jet::Result<int> begin() override {
    saved_.push_back(state_);
    return static_cast<int>(saved_.size());
  }
  jet::Status commit() override {
    if (saved_.empty()) return jet::Error{jet::errc::kNoTransaction, "none"};
    saved_.pop_back();
    return jet::Status::ok();
  }
  jet::Status rollback() override {
    if (saved_.empty()) return jet::Error{jet::errc::kNoTransaction, "none"};
    state_ = std::move(saved_.back());
    saved_.pop_back();
    ++writes_;
    return jet::Status::ok();
  }
  int transactionDepth() const override { return static_cast<int>(saved_.size()); }

  int failUpdatesAfter = -1;  // the (n+1)th updateRow fails; -1 never
  int scans = 0;
  int rowReads = 0;

 private:
  struct Table {
    jet::TableSchema schema;
    std::vector<std::optional<std::vector<jet::Value>>> rows;
    int32_t nextAuto = 0;
  };
  struct State {
    std::vector<Table> tables;
  };

  class Cursor : public jet::RowCursor {
   public:
    Cursor(const MemoryDatabase& db, const Table& t, std::vector<int> columns)
        : db_(db), rows_(t.rows), columns_(std::move(columns)), writesAtStart_(db.writes_) {}
    jet::Result<bool> next() override {
      if (db_.writes_ != writesAtStart_) return jet::Error{jet::errc::kUnspecified, "stale cursor"};
      while (++at_ < rows_.size()) {
        if (!rows_[at_]) continue;
        values_.clear();
        for (int c : columns_) values_.push_back((*rows_[at_])[static_cast<size_t>(c)]);
        return true;
      }
      return false;
    }
    jet::RowId rowId() const override { return jet::RowId{static_cast<uint32_t>(at_), 0}; }
    const std::vector<jet::Value>& values() const override { return values_; }

   private:
    const MemoryDatabase& db_;
    std::vector<std::optional<std::vector<jet::Value>>> rows_;
    std::vector<int> columns_;
    uint64_t writesAtStart_;
    size_t at_ = static_cast<size_t>(-1);
    std::vector<jet::Value> values_;
  };

  Table* find(std::string_view name) {
    for (auto& t : state_.tables)
      if (jet::equalsIgnoreCase(t.schema.name, name)) return &t;
    return nullptr;
  }
  const Table* find(std::string_view name) const {
    return const_cast<MemoryDatabase*>(this)->find(name);
  }

  std::string path_ = ":memory:";
  State state_;
  std::vector<State> saved_;
  uint64_t writes_ = 0;
  int updates_ = 0;
};

}  // namespace sqltest
