// Index properties as Access keeps them, in new files of both formats: a
// primary key and a required index refuse Nulls, an index that ignores
// nulls holds no entry for a row whose key columns are all Null, a unique
// index over several columns refuses a repeated key but never one with a
// Null in it, descending columns. Each file is then read by the check and
// by mdbtools, which also reads the properties back from the definition.
#include <gtest/gtest.h>

#include "jet/database.h"
#include "jet/error_codes.h"
#include "jet/storage/file_database.h"
#include "jet/storage/pages/write_pager.h"
#include "jet/storage/tables/table_layout.h"
#include "jet/storage/write/index_writer.h"
#include "support/command.h"
#include "support/expect_sound.h"
#include "support/mdb_tools.h"
#include "support/new_file_test.h"

namespace {

using namespace jet;
using cocina::test::expectSound;

// mesa: Text(10) primary key (the column itself not required); zona and
// turno under one unique index; nota ignoring nulls over two columns;
// plato required and descending.
TableSchema mesas() {
  TableSchema t;
  t.name = "Mesas";
  t.columns = {newColumn("mesa", ColumnType::Text, 10),  newColumn("zona", ColumnType::Text, 10),
               newColumn("turno", ColumnType::Long),     newColumn("nota", ColumnType::Text, 20),
               newColumn("plato", ColumnType::Text, 30), newColumn("precio", ColumnType::Double)};
  IndexDef pk = newIndex("PrimaryKey", {0}, true);
  IndexDef zonaTurno = newIndex("zona_turno", {1, 2});
  zonaTurno.unique = true;
  IndexDef nota = newIndex("nota", {3, 5});
  nota.ignoreNulls = true;
  IndexDef plato = newIndex("plato", {4});
  plato.required = true;
  plato.columns[0].ascending = false;
  t.indexes = {pk, zonaTurno, nota, plato};
  return t;
}

std::vector<Value> row(const char* mesa, const char* zona, std::optional<int32_t> turno,
                       const char* nota, const char* plato, std::optional<double> precio) {
  auto text = [](const char* s) { return s ? Value::text(s) : Value::null(); };
  return {text(mesa), text(zona),  turno ? Value::longValue(*turno) : Value::null(),
          text(nota), text(plato), precio ? Value::dbl(*precio) : Value::null()};
}

// The number of entries in the real index over `columns` of `table`.
size_t entriesIn(const std::string& path, const char* table, std::vector<int> columns) {
  auto db = storage::FileDatabase::open(path, OpenOptions{});
  EXPECT_TRUE(db);
  if (!db) return 0;
  EXPECT_TRUE((*db)->beginStatement());
  auto def = (*db)->tableDef(table);
  EXPECT_TRUE(def);
  auto layout = storage::loadTableLayout((*db)->pager(), **def);
  if (!layout) {
    ADD_FAILURE() << layout.error().description;
    return 0;
  }
  auto* store = dynamic_cast<storage::WritePager*>(&(*db)->pager());
  for (const auto& ix : layout->indexes) {
    std::vector<int> have;
    for (const auto& c : ix.columns) have.push_back(c.column);
    if (have != columns) continue;
    auto entries = storage::write::readIndexEntries(*store, ix.root);
    EXPECT_TRUE(entries);
    return entries ? entries->size() : 0;
  }
  ADD_FAILURE() << "no index over those columns";
  return 0;
}

class IndexProperties : public cocina::test::NewFileTest {
 protected:
  void SetUp() override {
    NewFileTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    db = create(path);
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->createTable(mesas()));
  }
  void TearDown() override { db.reset(); }

  Status insert(std::vector<Value> values) { return db->insertRow("Mesas", values).status(); }
  int32_t refusal(std::vector<Value> values, std::string* text = nullptr) {
    Status s = insert(std::move(values));
    EXPECT_FALSE(s);
    if (text) *text = s.description();
    return s.number();
  }
  RowId find(const char* mesa) {
    auto cursor = db->scan("Mesas", {0});
    while (cursor && *(*cursor)->next()) {
      if ((*cursor)->values()[0] == Value::text(mesa)) return (*cursor)->rowId();
    }
    ADD_FAILURE() << mesa;
    return {};
  }

  std::string path = newFile("mesas");
  std::unique_ptr<Database> db;
};

TEST_P(IndexProperties, APrimaryKeyAndARequiredIndexRefuseNull) {
  ASSERT_TRUE(insert(row("1", "sala", 1, nullptr, "sopa", 2)));
  std::string text;
  EXPECT_EQ(refusal(row(nullptr, "sala", 2, nullptr, "sopa", 2), &text), errc::kIntegrity);
  EXPECT_EQ(text, "El índice o la clave principal no puede contener un valor nulo.");
  // A second row with no key at all: refused as the first was.
  EXPECT_EQ(refusal(row(nullptr, "sala", 3, nullptr, "pan", 1)), errc::kIntegrity);
  EXPECT_EQ(refusal(row("2", "sala", 4, nullptr, nullptr, 1)), errc::kIntegrity);
  // An update to Null is refused too, and leaves the row as it was.
  RowId one = find("1");
  EXPECT_EQ(db->updateRow("Mesas", one, {{0, Value::null()}}).status().number(), errc::kIntegrity);
  EXPECT_EQ(db->updateRow("Mesas", one, {{4, Value::null()}}).status().number(), errc::kIntegrity);
  db.reset();
  auto lines = cocina::test::mdbExportLines(path, "Mesas").value_or(std::vector<std::string>{});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(0, 19), "1|sala|1|NULL|sopa|");
  expectSound(path);
}

TEST_P(IndexProperties, AnIndexThatIgnoresNullsHoldsNoEntryForAnAllNullRow) {
  ASSERT_TRUE(insert(row("1", "sala", 1, nullptr, "sopa", std::nullopt)));  // no entry
  ASSERT_TRUE(insert(row("2", "sala", 2, "sin sal", "pan", std::nullopt)));
  ASSERT_TRUE(insert(row("3", "sala", 3, nullptr, "vino", 4.5)));           // one column is enough
  ASSERT_TRUE(insert(row("4", "sala", 4, nullptr, "agua", std::nullopt)));  // no entry
  // Into the index and out of it again by updates.
  ASSERT_TRUE(db->updateRow("Mesas", find("4"), {{3, Value::text("fría")}}));
  ASSERT_TRUE(db->updateRow("Mesas", find("2"), {{3, Value::null()}}));
  ASSERT_TRUE(db->deleteRow("Mesas", find("1")));
  // A lookup for Null can't use such an index: the rows it seeks are not in it.
  {
    auto seek = db->seek("Mesas", {IndexLookup{{3}, {Value::null()}}}, {0});
    EXPECT_EQ(seek.status().number(), errc::kNotSupported);
  }
  db.reset();
  EXPECT_EQ(entriesIn(path, "Mesas", {3, 5}), 2u);  // rows 3 and 4
  EXPECT_EQ(entriesIn(path, "Mesas", {0}), 3u);
  expectSound(path);
  EXPECT_EQ(cocina::test::mdbExportLines(path, "Mesas").value_or(std::vector<std::string>{}).size(),
            3u);
}

TEST_P(IndexProperties, AUniqueIndexOverTwoColumnsRefusesARepeatedKeyButNotOneWithANull) {
  ASSERT_TRUE(insert(row("1", "sala", 1, nullptr, "sopa", 1)));
  ASSERT_TRUE(insert(row("2", "sala", 2, nullptr, "sopa", 1)));
  ASSERT_TRUE(insert(row("3", "terraza", 1, nullptr, "sopa", 1)));
  EXPECT_EQ(refusal(row("4", "SALA", 1, nullptr, "sopa", 1)), errc::kIntegrity);  // case aside
  // A Null in either column: never the same key as another.
  for (const char* mesa : {"5", "6"})
    ASSERT_TRUE(insert(row(mesa, "sala", std::nullopt, nullptr, "pan", 1)));
  for (const char* mesa : {"7", "8"})
    ASSERT_TRUE(insert(row(mesa, nullptr, std::nullopt, nullptr, "pan", 1)));
  // Updates follow the same rules: to a key another row has, refused; to
  // one with a Null that another row has too, taken.
  EXPECT_EQ(db->updateRow("Mesas", find("2"), {{2, Value::longValue(1)}}).status().number(),
            errc::kIntegrity);
  EXPECT_TRUE(db->updateRow("Mesas", find("3"), {{1, Value::text("sala")}, {2, Value::null()}}));
  EXPECT_TRUE(db->updateRow("Mesas", find("8"), {{1, Value::text("sala")}}));
  db.reset();
  expectSound(path);
  EXPECT_EQ(cocina::test::mdbExportLines(path, "Mesas").value_or(std::vector<std::string>{}).size(),
            7u);
}

TEST_P(IndexProperties, DescendingColumnsKeepTheirOrderInTheFile) {
  for (const char* plato : {"arroz", "Zumo", "café", "ñoquis", "bacalao", "agua"}) {
    ASSERT_TRUE(insert(row(plato, "sala", std::nullopt, plato, plato, 1)));
  }
  db.reset();
  expectSound(path);  // every entry against its row's descending key, in order
  auto found = Database::open(path);
  ASSERT_TRUE(found);
  auto rows = (*found)->seek("Mesas", {IndexLookup{{4}, {Value::text("CAFÉ")}}}, {0});
  ASSERT_TRUE(rows) << rows.error().description;
  ASSERT_TRUE(*(*rows)->next());
  EXPECT_EQ((*rows)->values()[0], Value::text("café"));
}

// mdbtools reads what kind of index each one is from the definition, in
// the byte where Access keeps it.
TEST_P(IndexProperties, OtherReadersSeeWhichIndexesAreUnique) {
  db.reset();
  auto schema = cocina::test::runCommand({"mdb-schema", "--indexes", path, "postgres"});
  ASSERT_EQ(schema.exitCode, 0) << schema.err;
  EXPECT_NE(schema.out.find("PRIMARY KEY (\"mesa\")"), std::string::npos) << schema.out;
  EXPECT_NE(schema.out.find("CREATE UNIQUE INDEX \"mesas_zona_turno_idx\""), std::string::npos)
      << schema.out;
  EXPECT_NE(schema.out.find("(\"plato\" DESC)"), std::string::npos) << schema.out;
  auto reread = Database::open(path);
  ASSERT_TRUE(reread);
  auto t = (*reread)->table("Mesas");
  ASSERT_TRUE(t);
  ASSERT_EQ(t->indexes.size(), 4u);
  EXPECT_TRUE(t->indexes[0].primary);
  EXPECT_TRUE(t->indexes[1].unique);
  EXPECT_FALSE(t->indexes[1].ignoreNulls);
  EXPECT_TRUE(t->indexes[2].ignoreNulls);
  EXPECT_FALSE(t->indexes[2].unique);
  EXPECT_TRUE(t->indexes[3].required);
  EXPECT_FALSE(t->indexes[3].columns[0].ascending);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, IndexProperties, ::testing::Values("mdb", "accdb"));

}  // namespace
