// Writing Access files: new files of both formats, every column type, updates
// in place, moved and behind an overflow pointer, deletes, nested
// transactions, unique keys and text keys the engine can't sort; each file
// read back by mdb-export (the reference reader) and by the integrity check.
#include <gtest/gtest.h>

#include "jet/database.h"
#include "jet/storage/file_database.h"
#include "support/command.h"
#include "support/expect_sound.h"
#include "support/fixtures.h"
#include "support/mdb_tools.h"
#include "support/new_file_test.h"

namespace {

using namespace jet;
using cocina::test::expectSound;

TableSchema everyType() {
  TableSchema t;
  t.name = "Tipos";
  t.columns = {
      newColumn("id", ColumnType::Long, 0, true), newColumn("texto", ColumnType::Text, 50),
      newColumn("nota", ColumnType::Memo),        newColumn("b", ColumnType::Byte),
      newColumn("i", ColumnType::Integer),        newColumn("l", ColumnType::Long),
      newColumn("s", ColumnType::Single),         newColumn("d", ColumnType::Double),
      newColumn("dinero", ColumnType::Currency),  newColumn("cuando", ColumnType::DateTime),
      newColumn("si", ColumnType::Boolean)};
  IndexDef pk = newIndex("PrimaryKey", {0}, true);
  IndexDef byText = newIndex("texto", {1});
  t.indexes = {pk, byText};
  return t;
}

// mdb-export's records of `table`, each as its fields joined by '|'.
std::vector<std::string> exported(const std::string& path, const std::string& table) {
  auto lines = cocina::test::mdbExportLines(path, table);
  EXPECT_TRUE(lines) << "mdb-export failed on " << path;
  return lines.value_or(std::vector<std::string>{});
}

class WriteFile : public cocina::test::NewFileTest {
 protected:
  std::string path = newFile("prueba");
};

TEST_P(WriteFile, ANewFileHasTheSystemTablesReadersExpect) {
  {
    auto db = Database::create(path, format());
    ASSERT_TRUE(db) << db.error().description;
  }
  auto tables = cocina::test::runCommand({"mdb-tables", "-S", "-1", path});
  ASSERT_EQ(tables.exitCode, 0) << tables.err;
  for (const char* t : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}) {
    EXPECT_NE(tables.out.find(t), std::string::npos) << t;
  }
  EXPECT_EQ(cocina::test::runCommand({"mdb-schema", path}).exitCode, 0);
  EXPECT_TRUE(Database::create(path, format()).status().number() != 0) << "overwrote a file";
  expectSound(path);
}

// Readers tell an Access 2000 or 2007 database from a plain Jet file by the
// Access version among the properties of MSysDb, as mdb-prop shows them.
TEST_P(WriteFile, ANewFileCarriesTheAccessVersionOfItsFormat) {
  {
    auto db = Database::create(path, format());
    ASSERT_TRUE(db) << db.error().description;
  }
  auto props = cocina::test::runCommand({"mdb-prop", path, "MSysDb"});
  ASSERT_EQ(props.exitCode, 0) << props.err;
  EXPECT_NE(props.out.find(format() == FileFormat::Jet4 ? "AccessVersion: 08.50"
                                                        : "AccessVersion: 09.50"),
            std::string::npos)
      << props.out;
  EXPECT_NE(props.out.find("Build: "), std::string::npos) << props.out;
  auto version = cocina::test::runCommand({"mdb-ver", path});
  EXPECT_EQ(version.out, format() == FileFormat::Jet4 ? "JET4\n" : "ACE12\n");
  expectSound(path);
}

TEST_P(WriteFile, EveryColumnTypeReadsBackValueForValue) {
  std::string longNote(3000, 'x');
  longNote += "ñ fin";
  std::string veryLong(9000, 'z');
  {
    auto db = Database::create(path, format());
    ASSERT_TRUE(db) << db.error().description;
    ASSERT_TRUE((*db)->createTable(everyType()));
    int32_t id = 0;
    auto r = (*db)->insertRow("Tipos",
                              {Value::null(), Value::text("Café con leche y ñandú"),
                               Value::text("Sin azúcar\r\nMuy caliente"), Value::byte(200),
                               Value::integer(-1234), Value::longValue(-70000), Value::single(1.5f),
                               Value::dbl(-2.25), Value::currency(Currency{123456}),
                               Value::dateTime(DateTime{45000.5}), Value::boolean(true)},
                              &id);
    ASSERT_TRUE(r) << r.error().description;
    EXPECT_EQ(id, 1);
    ASSERT_TRUE((*db)->insertRow(
        "Tipos", {Value::null(), Value::text("ÁÉÍÓÚ Ññ Üü"), Value::text("漢字 " + longNote),
                  Value::null(), Value::null(), Value::null(), Value::null(), Value::null(),
                  Value::null(), Value::null(), Value::boolean(false)}));
    ASSERT_TRUE(
        (*db)->insertRow("Tipos", {Value::null(), Value::null(), Value::text(veryLong),
                                   Value::dbl(7), Value::text("12"), Value::dbl(3.0), Value::null(),
                                   Value::null(), Value::dbl(1.25), Value::null(), Value::null()}));
  }
  auto rows = exported(path, "Tipos");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(
      rows[0],
      "1|Café con leche y ñandú|Sin azúcar\r\nMuy caliente|200|-1234|-70000|1.5|-2.25|12.3456|"
      "2023-03-15 12:00:00|1");
  EXPECT_EQ(rows[1], "2|ÁÉÍÓÚ Ññ Üü|漢字 " + longNote + "|NULL|NULL|NULL|NULL|NULL|NULL|NULL|0");
  EXPECT_EQ(rows[2], "3|NULL|" + veryLong + "|7|12|3|NULL|NULL|1.2500|NULL|0");
  expectSound(path);
}

// The pages a deleted memo held become room for rows; until a row goes
// there, mdb-export must not read them as records.
TEST_P(WriteFile, PagesAFreedMemoLeavesAreNoRecords) {
  {
    auto db = Database::create(path, format());
    ASSERT_TRUE(db);
    ASSERT_TRUE((*db)->createTable(everyType()));
    std::vector<RowId> ids;
    for (int i = 0; i < 4; ++i) {
      std::vector<Value> r(11);
      r[2] = Value::text(std::string(9000, 'a' + i));
      auto at = (*db)->insertRow("Tipos", r);
      ASSERT_TRUE(at);
      ids.push_back(*at);
    }
    ASSERT_TRUE((*db)->deleteRow("Tipos", ids[2]));
  }
  EXPECT_EQ(exported(path, "Tipos").size(), 3u);
  expectSound(path);
}

// The sixteen bytes given are the ones stored (they were once copied from
// two different temporaries).
TEST_P(WriteFile, AGuidIsStoredAsItsSixteenBytes) {
  Guid g;
  for (size_t i = 0; i < g.bytes.size(); ++i) g.bytes[i] = static_cast<uint8_t>(0x10 + i);
  {
    auto db = Database::create(path, format());
    ASSERT_TRUE(db);
    TableSchema t;
    t.name = "Claves";
    t.columns = {newColumn("g", ColumnType::Guid), newColumn("n", ColumnType::Long)};
    ASSERT_TRUE((*db)->createTable(t));
    ASSERT_TRUE((*db)->insertRow("Claves", {Value::guid(g), Value::longValue(1)}));
    auto cursor = (*db)->scan("Claves", {0});
    ASSERT_TRUE(cursor);
    ASSERT_TRUE(*(*cursor)->next());
    ASSERT_EQ((*cursor)->values()[0].type(), ValueType::Guid);
    EXPECT_EQ((*cursor)->values()[0].asGuid(), g);
  }
  auto rows = exported(path, "Claves");
  ASSERT_EQ(rows.size(), 1u);
  // "{13121110-1514-1716-...}", which the export prints in hexadecimal.
  EXPECT_EQ(rows[0].rfind("7B31333132313131302D313531342D31373136", 0), 0u) << rows[0];
}

TEST_P(WriteFile, UpdatesInPlaceMovedAndOverflowedKeepRowsAndIndexesRight) {
  std::vector<RowId> ids;
  {
    auto db = Database::create(path, format());
    ASSERT_TRUE(db);
    ASSERT_TRUE((*db)->createTable(everyType()));
    for (int i = 0; i < 60; ++i) {
      auto r = (*db)->insertRow(
          "Tipos",
          {Value::null(), Value::text("fila " + std::to_string(i)),
           Value::text(std::string(40, 'a')), Value::null(), Value::null(), Value::longValue(i),
           Value::null(), Value::null(), Value::null(), Value::null(), Value::boolean(false)});
      ASSERT_TRUE(r);
      ids.push_back(*r);
    }
    // Same size: in place. Longer: repacked in the page, or moved away.
    ASSERT_TRUE((*db)->updateRow("Tipos", ids[0], {{1, Value::text("FILA 0")}}));
    ASSERT_TRUE((*db)->updateRow("Tipos", ids[1], {{1, Value::text("uno más largo")}}));
    for (int i = 2; i < 60; i += 3) {
      auto u = (*db)->updateRow(
          "Tipos", ids[i],
          {{1, Value::text(std::string(50, 'q'))}, {5, Value::longValue(1000 + i)}});
      ASSERT_TRUE(u) << u.error().description;
    }
    auto again = (*db)->readRow("Tipos", ids[2]);
    ASSERT_TRUE(again);
    EXPECT_EQ((*again)[5], Value::longValue(1002));
    ASSERT_TRUE((*db)->deleteRow("Tipos", ids[3]));
    EXPECT_FALSE((*db)->deleteRow("Tipos", ids[3])) << "deleted twice";
  }
  auto rows = exported(path, "Tipos");
  EXPECT_EQ(rows.size(), 59u);
  int moved = 0;
  for (const auto& r : rows) moved += r.find(std::string(50, 'q')) != std::string::npos;
  EXPECT_EQ(moved, 20);
  EXPECT_NE(std::find(rows.begin(), rows.end(),
                      "1|FILA 0|" + std::string(40, 'a') + "|NULL|NULL|0|NULL|NULL|NULL|NULL|0"),
            rows.end());
  expectSound(path);
}

TEST_P(WriteFile, NestedTransactionsUndoSinceTheMatchingBegin) {
  auto db = Database::create(path, format());
  ASSERT_TRUE(db);
  ASSERT_TRUE((*db)->createTable(everyType()));
  auto row = [](const char* t) {
    return std::vector<Value>{Value::null(), Value::text(t), Value::null(),        Value::null(),
                              Value::null(), Value::null(),  Value::null(),        Value::null(),
                              Value::null(), Value::null(),  Value::boolean(false)};
  };
  EXPECT_EQ(*(*db)->begin(), 1);
  ASSERT_TRUE((*db)->insertRow("Tipos", row("fuera")));
  EXPECT_EQ(*(*db)->begin(), 2);
  ASSERT_TRUE((*db)->insertRow("Tipos", row("dentro")));
  ASSERT_TRUE((*db)->rollback());
  EXPECT_EQ((*db)->transactionDepth(), 1);
  EXPECT_EQ(*(*db)->begin(), 2);
  ASSERT_TRUE((*db)->insertRow("Tipos", row("guardada")));
  ASSERT_TRUE((*db)->commit());
  ASSERT_TRUE((*db)->commit());
  EXPECT_FALSE((*db)->commit()) << "commit without a transaction";
  EXPECT_EQ(*(*db)->begin(), 1);
  ASSERT_TRUE((*db)->insertRow("Tipos", row("deshecha")));
  ASSERT_TRUE((*db)->rollback());
  db->reset();
  auto rows = exported(path, "Tipos");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_NE(rows[0].find("fuera"), std::string::npos);
  EXPECT_NE(rows[1].find("guardada"), std::string::npos);
  expectSound(path);
}

TEST_P(WriteFile, AStatementThatCantKeepItsIndexesChangesNothing) {
  auto db = Database::create(path, format());
  ASSERT_TRUE(db);
  ASSERT_TRUE((*db)->createTable(everyType()));
  std::vector<Value> r(11);
  r[1] = Value::text("uno");
  r[10] = Value::boolean(false);
  r[0] = Value::longValue(5);
  ASSERT_TRUE((*db)->insertRow("Tipos", r));
  auto duplicate = (*db)->insertRow("Tipos", r);
  ASSERT_FALSE(duplicate);
  EXPECT_EQ(duplicate.error().number, -2147217873);
  r[0] = Value::null();
  r[1] = Value::text("漢字");  // a text no General order table here covers
  auto unsortable = (*db)->insertRow("Tipos", r);
  ASSERT_FALSE(unsortable);
  EXPECT_NE(unsortable.error().description.find("U+6F22"), std::string::npos);
  r[1] = Value::text(std::string(51, 'x'));
  EXPECT_FALSE((*db)->insertRow("Tipos", r)) << "text longer than its column";
  db->reset();
  EXPECT_EQ(exported(path, "Tipos").size(), 1u);
  expectSound(path);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, WriteFile, ::testing::Values("mdb", "accdb"));

// Access-made files, copied: new tables and rows, updates and deletes.
TEST(WriteAccessFile, AddTablesAndRowsToEmptyFilesAccessMade) {
  if (!cocina::test::requireMdbTools() || !cocina::test::requireFixtures()) return;
  auto write = [](Database& db, const std::string&) {
    for (int i = 0; i < 30; ++i) {
      std::vector<Value> r(11);
      r[1] = Value::text("línea " + std::to_string(i));
      r[5] = Value::longValue(i);
      r[10] = Value::boolean(i % 2 == 0);
      ASSERT_TRUE(db.insertRow("Tipos", r));
    }
    auto cursor = db.scan("Tipos", {5});
    ASSERT_TRUE(cursor);
    std::vector<RowId> ids;
    while (*(*cursor)->next()) ids.push_back((*cursor)->rowId());
    cursor->reset();
    ASSERT_EQ(ids.size(), 30u);
    ASSERT_TRUE(db.updateRow("Tipos", ids[4], {{1, Value::text("cambiada")}}));
    ASSERT_TRUE(db.deleteRow("Tipos", ids[5]));
  };
  auto check = [](const std::string& path) {
    auto rows = exported(path, "Tipos");
    EXPECT_EQ(rows.size(), 29u);
    EXPECT_NE(
        std::find(rows.begin(), rows.end(), "5|cambiada|NULL|NULL|NULL|4|NULL|NULL|NULL|NULL|1"),
        rows.end());
    expectSound(path);
  };
  cocina::test::forEachEmptyAccessFile(everyType(), write, check);
}

}  // namespace
