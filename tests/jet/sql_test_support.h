// What the SQL tests share: a database to run statements on, made by the
// engine in a temporary folder, and short ways to read results. A test that
// can't have its file (the engine failed to create it) fails with the
// engine's reason; only a test that asks for it by overriding
// usesMemoryDatabase() runs on the in-memory database of
// sql_memory_database.h, where the executor's reads are counted and a
// storage failure can be staged.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/sql/session.h"
#include "jet/sql/value_ops.h"
#include "sql_memory_database.h"
#include "support/temp_dir.h"

namespace sqltest {

class SqlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (usesMemoryDatabase()) {
      db_ = std::make_unique<MemoryDatabase>();
    } else {
      const std::string path = dir_.file("orders.mdb");
      auto made = jet::Database::create(path, jet::FileFormat::Jet4);
      ASSERT_TRUE(made) << "the engine could not create " << path << ": "
                        << made.error().description;
      db_ = std::move(made.value());
    }
    session_ = std::make_unique<jet::sql::Session>(*db_);
  }
  // True for the tests that count the executor's reads or stage a storage
  // failure: they need the in-memory database and say so.
  virtual bool usesMemoryDatabase() const { return false; }

  // The database goes before its folder.
  void TearDown() override {
    session_.reset();
    db_.reset();
  }

  // Runs a statement that must succeed.
  jet::sql::StatementResult run(const std::string& sql,
                                const std::vector<jet::Value>& params = {}) {
    if (!session_) return {};  // SetUp failed and said why
    auto r = session_->execute(sql, params);
    EXPECT_TRUE(r.isOk()) << sql << "\n  -> " << (r ? "" : r.error().description);
    if (!r) return {};
    return std::move(r.value());
  }
  // The rows of a query, every value in its text form ("NULL" for Null).
  std::vector<std::vector<std::string>> rows(const std::string& sql,
                                             const std::vector<jet::Value>& params = {}) {
    std::vector<std::vector<std::string>> out;
    for (const auto& row : run(sql, params).rows) {
      std::vector<std::string> texts;
      for (const auto& v : row) texts.push_back(v.isNull() ? "NULL" : jet::sql::textOf(v));
      out.push_back(std::move(texts));
    }
    return out;
  }
  // The single value of a one-row, one-column query.
  jet::Value value(const std::string& sql, const std::vector<jet::Value>& params = {}) {
    auto r = run(sql, params);
    if (r.rows.size() != 1 || r.rows[0].size() != 1) {
      ADD_FAILURE() << sql << ": " << r.rows.size() << " rows";
      return {};
    }
    return r.rows[0][0];
  }
  std::string text(const std::string& expression) {
    jet::Value v = value("SELECT " + expression);
    return v.isNull() ? "NULL" : jet::sql::textOf(v);
  }
  // The error number of a statement that must fail.
  int32_t errorOf(const std::string& sql, const std::vector<jet::Value>& params = {}) {
    if (!session_) return 0;  // SetUp failed and said why
    auto r = session_->execute(sql, params);
    EXPECT_FALSE(r.isOk()) << sql << " should fail";
    lastError_ = r ? std::string() : r.error().description;
    return r ? 0 : r.error().number;
  }

  cocina::test::TempDir dir_;
  std::unique_ptr<jet::Database> db_;
  std::unique_ptr<jet::sql::Session> session_;
  std::string lastError_;
};

using Rows = std::vector<std::vector<std::string>>;

}  // namespace sqltest
