// What the SQL tests share: a database to run statements on, made by the
// engine in a temporary folder when the engine can create files, else held
// in memory (sql_memory_database.h), and short ways to read results.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/sql/session.h"
#include "jet/sql/value_ops.h"
#include "sql_memory_database.h"

namespace sqltest {

class SqlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    dir_ = std::filesystem::temp_directory_path() /
           ("cocina-sql-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(dir_);
    if (onFileWhenPossible() && engineWrites(dir_ / "probe.mdb")) {
      auto made = jet::Database::create((dir_ / "orders.mdb").string(), jet::FileFormat::Jet4);
      if (made) {
        db_ = std::move(made.value());
        onFile_ = true;
      }
    }
    if (!db_) db_ = std::make_unique<MemoryDatabase>();
    session_ = std::make_unique<jet::sql::Session>(*db_);
  }
  // Tests that count the reads the executor makes use the in-memory database.
  virtual bool onFileWhenPossible() const { return true; }

  // Whether the file engine can create a file and write rows into it yet.
  static bool engineWrites(const std::filesystem::path& probe) {
    auto made = jet::Database::create(probe.string(), jet::FileFormat::Jet4);
    if (!made) return false;
    jet::sql::Session s(*made.value());
    return s.execute("CREATE TABLE probe (n LONG)").isOk() &&
           s.execute("INSERT INTO probe VALUES (1)").isOk() &&
           s.execute("UPDATE probe SET n = 2").isOk() && s.execute("SELECT n FROM probe").isOk();
  }

  void TearDown() override {
    session_.reset();
    db_.reset();
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // Runs a statement that must succeed.
  jet::sql::StatementResult run(const std::string& sql,
                                const std::vector<jet::Value>& params = {}) {
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
    auto r = session_->execute(sql, params);
    EXPECT_FALSE(r.isOk()) << sql << " should fail";
    lastError_ = r ? std::string() : r.error().description;
    return r ? 0 : r.error().number;
  }

  std::filesystem::path dir_;
  std::unique_ptr<jet::Database> db_;
  std::unique_ptr<jet::sql::Session> session_;
  bool onFile_ = false;
  std::string lastError_;
};

using Rows = std::vector<std::vector<std::string>>;

}  // namespace sqltest
