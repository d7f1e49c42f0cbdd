// SELECT through indexes: on the demo order database (indexes on idMesa and
// Estado), every statement answers exactly what it answers when the table is
// read whole, order included: the board's two statements, equalities either
// way round and with `?`, case, numbers on the primary key, GROUP BY,
// DISTINCT, ORDER BY and TOP, keys no index can hold, missing parameters,
// and rows changed or added a moment before. The board's statements must
// not read the order history row by row.
#include <gtest/gtest.h>

#include "data/order_database.h"
#include "demo/demo_database.h"
#include "jet/database.h"
#include "jet/sql/session.h"
#include "jet/sql/value_ops.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;

// Passes everything to the file; with `indexes` off it answers no index
// lookups, so the executor reads tables whole. Counts the reads.
class CountingDatabase : public Database {
 public:
  CountingDatabase(Database& db, bool indexes) : db_(db), indexes_(indexes) {}
  FileFormat format() const override { return db_.format(); }
  const std::string& path() const override { return db_.path(); }
  Result<std::vector<std::string>> tableNames(bool s) override { return db_.tableNames(s); }
  Result<TableSchema> table(std::string_view n) override { return db_.table(n); }
  Result<std::unique_ptr<RowCursor>> scan(std::string_view t, std::vector<int> c) override {
    ++scans;
    return db_.scan(t, std::move(c));
  }
  Result<std::vector<Value>> readRow(std::string_view t, RowId r) override {
    return db_.readRow(t, r);
  }
  Result<std::unique_ptr<RowCursor>> seek(std::string_view t, const std::vector<IndexLookup>& l,
                                          std::vector<int> c) override {
    if (!indexes_) return Database::seek(t, l, std::move(c));
    ++seeks;
    return db_.seek(t, l, std::move(c));
  }
  Result<std::vector<uint64_t>> countIndexed(std::string_view t, const std::vector<IndexLookup>& l,
                                             uint64_t limit) override {
    if (!indexes_) return Database::countIndexed(t, l, limit);
    return db_.countIndexed(t, l, limit);
  }
  Status createTable(const TableSchema& s) override { return db_.createTable(s); }
  Result<RowId> insertRow(std::string_view t, std::vector<Value> v, int32_t* a) override {
    return db_.insertRow(t, std::move(v), a);
  }
  Result<RowId> updateRow(std::string_view t, RowId r,
                          const std::vector<std::pair<int, Value>>& c) override {
    return db_.updateRow(t, r, c);
  }
  Status deleteRow(std::string_view t, RowId r) override { return db_.deleteRow(t, r); }
  Result<int> begin() override { return db_.begin(); }
  Status commit() override { return db_.commit(); }
  Status rollback() override { return db_.rollback(); }
  int transactionDepth() const override { return db_.transactionDepth(); }

  int scans = 0, seeks = 0;

 private:
  Database& db_;
  bool indexes_;
};

using Rows = std::vector<std::vector<std::string>>;

class SqlIndex : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testdb::TempDir();
    demo::DemoOptions options;
    options.serviceMinute = [] { return 720; };
    options.history = 4000;
    path_ = dir_->file("demo.mdb");
    ASSERT_TRUE(demo::buildDemoDatabase(path_, options));
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    auto db = Database::open(path_);
    ASSERT_TRUE(db) << db.error().description;
    file_ = std::move(*db);
    indexed_ = std::make_unique<CountingDatabase>(*file_, true);
    whole_ = std::make_unique<CountingDatabase>(*file_, false);
  }

  static Result<Rows> answer(Database& db, const std::string& sql,
                             const std::vector<Value>& params) {
    sql::Session session(db);
    auto r = session.execute(sql, params);
    if (!r) return r.status();
    Rows out;
    for (const auto& row : r->rows) {
      std::vector<std::string> texts;
      for (const auto& v : row) texts.push_back(v.isNull() ? "NULL" : sql::textOf(v));
      out.push_back(std::move(texts));
    }
    return out;
  }

  // The statement's rows through the indexes, checked against a whole read.
  Rows same(const std::string& sql, const std::vector<Value>& params = {}) {
    auto byIndex = answer(*indexed_, sql, params);
    auto byScan = answer(*whole_, sql, params);
    EXPECT_EQ(byIndex.isOk(), byScan.isOk()) << sql;
    if (!byIndex || !byScan) {
      if (!byIndex && !byScan) {
        EXPECT_EQ(byIndex.error().number, byScan.error().number) << sql;
      }
      return {};
    }
    EXPECT_EQ(*byIndex, *byScan) << sql;
    return *byIndex;
  }

  static inline testdb::TempDir* dir_ = nullptr;
  static inline std::string path_;
  std::unique_ptr<Database> file_;
  std::unique_ptr<CountingDatabase> indexed_, whole_;
};

std::string tableList(const std::string& areas) {
  return "SELECT idmesa, min(idproducto) From comandas where Estado = 'Pendiente' and DespCoc <> "
         "'S' and Instr (1, '" +
         areas + "', negocio) > 0 group by idmesa order by min(idproducto) ";
}

std::string lineStatement(const Rows& tables, const std::string& areas) {
  std::string sql;
  int item = 0;
  for (const auto& t : tables) {
    if (!sql.empty()) sql += " UNION ";
    ++item;
    sql +=
        " select IdMesa, cantidad, 720 - IDPRODUCTO as tiempo, Nombreproducto, IdComanda, "
        "tin, Negocio, Detalle, despcoc, " +
        std::to_string(item) +
        " as item from Comandas Where DespCoc <> 'S' AND estado = 'Pendiente' AND idMesa = '" +
        t[0] + "'  and '" + areas + "' like '%' + negocio + '%' ";
  }
  return sql + (item == 1 ? "  order by Negocio " : "  order by item, Negocio ");
}

TEST_F(SqlIndex, TheBoardsStatementsLookTheLinesUp) {
  const std::string areas = "COCINAPARRILLABARPOSTRESCAFETERIA";
  Rows tables = same(tableList(areas));
  ASSERT_GE(tables.size(), 2u);
  Rows lines = same(lineStatement(tables, areas));
  EXPECT_FALSE(lines.empty());
  // And one table alone.
  same(lineStatement({tables[0]}, areas));

  indexed_->scans = indexed_->seeks = 0;
  ASSERT_TRUE(answer(*indexed_, tableList(areas), {}));
  ASSERT_TRUE(answer(*indexed_, lineStatement(tables, areas), {}));
  EXPECT_EQ(indexed_->scans, 0) << "the history was read row by row";
  EXPECT_EQ(indexed_->seeks, 2);
}

TEST_F(SqlIndex, EqualitiesOfEveryShapeAnswerAsAWholeRead) {
  const char* statements[] = {
      "SELECT * FROM COMANDAS WHERE idMesa = '3'",
      "SELECT * FROM COMANDAS WHERE '3' = idMesa AND Estado = 'pendiente'",
      "SELECT idComanda, Estado FROM COMANDAS WHERE ESTADO = 'PENDIENTE' ORDER BY idMesa DESC",
      "SELECT DISTINCT Negocio FROM COMANDAS WHERE idMesa = '12'",
      "SELECT TOP 3 idComanda FROM COMANDAS WHERE Estado = 'Pendiente' ORDER BY cantidad",
      "SELECT idMesa, Count(*) FROM COMANDAS WHERE Estado = 'cerrado' GROUP BY idMesa",
      "SELECT * FROM COMANDAS WHERE idComanda = 17",
      "SELECT * FROM COMANDAS WHERE idComanda = 17.0",
      "SELECT * FROM COMANDAS WHERE idComanda = 17.5",
      "SELECT * FROM COMANDAS WHERE idComanda = '17'",
      "SELECT * FROM COMANDAS WHERE idComanda = 99999999999",
      // Nothing to look up with: OR at the top, a function of the column.
      "SELECT idComanda FROM COMANDAS WHERE Estado = 'Pendiente' OR idMesa = '3'",
      "SELECT idComanda FROM COMANDAS WHERE UCase(idMesa) = '3'",
      // Keys no index holds: none found, no error.
      "SELECT idComanda FROM COMANDAS WHERE idMesa = 'no hay'",
      "SELECT idComanda FROM COMANDAS WHERE idMesa = '桌子'",
      "SELECT idComanda FROM COMANDAS WHERE idMesa = Null",
      "SELECT idComanda FROM COMANDAS WHERE idMesa = ''",
      // A UNION whose branches share no condition: one lookup each.
      "SELECT idComanda, 1 FROM COMANDAS WHERE idMesa = '4' UNION ALL SELECT idComanda, 2 FROM "
      "COMANDAS WHERE idMesa = '5' AND DespCoc = 'Y'",
      "SELECT idComanda FROM COMANDAS WHERE idMesa = '4' UNION SELECT idComanda FROM COMANDAS",
  };
  for (const char* sql : statements) same(sql);
  // Ten of them can be looked up (a third of the history is 'Cerrado':
  // cheaper read whole).
  EXPECT_EQ(indexed_->seeks, 10);
  EXPECT_FALSE(same("SELECT * FROM COMANDAS WHERE idComanda = 17").empty());
  EXPECT_FALSE(same("SELECT * FROM COMANDAS WHERE idMesa = ? AND Estado = ?",
                    {Value::text("1"), Value::text("Cerrado")})
                   .empty());
  same("SELECT * FROM COMANDAS WHERE idComanda = ?", {Value::longValue(21)});
  // A missing parameter is the same error either way.
  same("SELECT * FROM COMANDAS WHERE idMesa = ?");
}

TEST_F(SqlIndex, SeesWhatWasWrittenAMomentBefore) {
  sql::Session writer(*file_);
  ASSERT_TRUE(
      writer.execute("UPDATE COMANDAS SET Estado = 'Pendiente', DespCoc = 'Y' WHERE "
                     "idComanda = 30"));
  Rows thirty =
      same("SELECT idComanda FROM COMANDAS WHERE Estado = 'Pendiente' AND idComanda = 30");
  EXPECT_EQ(thirty.size(), 1u);
  ASSERT_TRUE(file_->begin());
  ASSERT_TRUE(
      writer.execute("INSERT INTO COMANDAS (idMesa, Estado, DespCoc, Negocio) VALUES "
                     "('Terraza', 'Pendiente', 'Y', 'BAR')"));
  EXPECT_EQ(same("SELECT Negocio FROM COMANDAS WHERE idMesa = 'terraza'"), (Rows{{"BAR"}}));
  ASSERT_TRUE(file_->rollback());
  EXPECT_TRUE(same("SELECT Negocio FROM COMANDAS WHERE idMesa = 'terraza'").empty());
}

TEST_F(SqlIndex, KitchenMarksAndDeletesFindTheirRowsThroughTheIndex) {
  sql::Session marks(*indexed_);
  const std::string pending =
      "SELECT idComanda FROM COMANDAS WHERE idMesa = '2' AND Estado = 'Pendiente'";
  Rows before = same(pending);
  ASSERT_FALSE(before.empty());

  indexed_->scans = 0;
  auto marked = marks.execute(
      "update comandas set tin = 'X', despCoc = ? where Estado = "
      "'Pendiente' and idComanda = " +
          before[0][0],
      {Value::text("P")});
  ASSERT_TRUE(marked) << marked.error().description;
  EXPECT_EQ(marked->rowsAffected, 1);
  EXPECT_EQ(indexed_->scans, 0) << "a mark read the whole history";
  EXPECT_EQ(same("SELECT despCoc, tin FROM COMANDAS WHERE idComanda = " + before[0][0]),
            (Rows{{"P", "X"}}));

  // The same line again, no longer pending in that way: nothing to change.
  auto again = marks.execute("update comandas set tdc = 0 where DespCoc = 'S' AND idComanda = " +
                             before[0][0]);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->rowsAffected, 0);

  auto gone = marks.execute("DELETE FROM COMANDAS WHERE idMesa = '2' AND Estado = 'pendiente'");
  ASSERT_TRUE(gone) << gone.error().description;
  EXPECT_EQ(gone->rowsAffected, static_cast<int64_t>(before.size()));
  EXPECT_TRUE(same(pending).empty());
}

}  // namespace
