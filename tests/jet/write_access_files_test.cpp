// Writes on copies of every Access-made fixture, read back by mdb-export:
// new tables with rows, and rows inserted, updated and deleted in tables
// Access made.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "jet/database.h"
#include "jet/sql/value_ops.h"
#include "support/expect_sound.h"
#include "support/fixtures.h"
#include "support/mdb_tools.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;
using cocina::test::expectSound;
using cocina::test::TempDir;

// Rows of `table` whose column `column` reads as `text`.
std::vector<RowId> rowsWhere(Database& db, const std::string& table, int column,
                             const std::string& text) {
  std::vector<RowId> out;
  auto cursor = db.scan(table, {column});
  EXPECT_TRUE(cursor) << table;
  if (!cursor) return out;
  while (true) {
    auto more = (*cursor)->next();
    EXPECT_TRUE(more);
    if (!more || !*more) break;
    const Value& v = (*cursor)->values()[0];
    if (!v.isNull() && sql::textOf(v) == text) out.push_back((*cursor)->rowId());
  }
  return out;
}

size_t countContaining(const std::vector<std::string>& lines, const std::string& piece) {
  return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const auto& l) {
    return l.find(piece) != std::string::npos;
  }));
}

// One insert, one update and one delete on a table Access made, with the
// lines mdb-export must show afterwards. `file` is the start of the file
// names it applies to (testV covers testV1997.mdb to testV2010.accdb).
struct AccessEdit {
  const char* file;
  const char* table;
  std::vector<std::pair<int, Value>> inserted;  // other columns Null
  std::string insertedLine;                     // a piece of its exported line
  int keyColumn;
  std::string updatedKey;
  std::pair<int, Value> update;
  std::string updatedLine;
  std::string deletedKey;
  std::string deletedLine;
};

// Every Access fixture, copied: a new table with an AutoNumber key, a text
// index and memos of every length, and an insert, update and delete on a
// table Access made, its text and number indexes kept; then mdb-export
// reads exactly that, and the check finds the file sound, Access 2010's
// files (their catalog in the 2010 text order) as the older ones. The
// accented texts are ones an Access 97 index can take: an accented letter
// first, or after the letter A only.
TEST(AccessFileWrites, NewTablesAndRowsInEveryAccessFile) {
  if (!cocina::test::requireMdbTools() || !cocina::test::requireFixtures()) return;
  const std::vector<AccessEdit> edits = {
      {"testV",
       "Table1",
       {{0, Value::text("ñandu")},
        {1, Value::text("Ñ a ü")},
        {2, Value::byte(3)},
        {3, Value::integer(4)},
        {4, Value::longValue(5)},
        {8, Value::boolean(true)}},
       "ñandu|Ñ a ü|3|4|5|",
       0,
       "a",
       {1, Value::text("Ébano")},
       "a|Ébano|0|0|0|",
       "abcdefg",
       "abcdefg|"},
      {"delColTest",
       "Table1",
       {{0, Value::longValue(7)}, {1, Value::longValue(8)}, {2, Value::text("tres")}},
       "7|8|tres|NULL",
       0,
       "0",
       {1, Value::longValue(20)},
       "0|20|foo|foo2",
       "3",
       "3|5|bar"},
      // An ascending and a descending text index over the same column.
      {"testIndexCodesV1997.mdb",
       "Table11",
       {{1, Value::text("añada")}},
       "|añada",
       0,
       "3",
       {1, Value::text("Ñu")},
       "3|Ñu",
       "5",
       "5|z"},
      {"test2V",
       "MSP_PROJECTS",
       // Its only row goes (its memos with it); the new one is renamed.
       {{0, Value::longValue(2)}, {1, Value::text("Proyecto 2")}},
       "2|Cocina nueva|",
       0,
       "2",
       {1, Value::text("Cocina nueva")},
       "2|Cocina nueva|NULL",
       "1",
       "1|Project1|"},
  };
  std::string longNote;
  for (int i = 0; longNote.size() < 5000; ++i) longNote += "línea " + std::to_string(i) + "; ";
  int written = 0;
  for (const auto& fixture : cocina::test::fixtureFiles()) {
    SCOPED_TRACE(fixture);
    TempDir dir;
    std::string path = dir.copy(fixture);
    const AccessEdit* edit = nullptr;
    const std::string name = std::filesystem::path(fixture).filename().string();
    for (const auto& e : edits) {
      if (name.starts_with(e.file)) edit = &e;
    }
    std::vector<std::string> before;
    if (edit) before = cocina::test::mdbExportLines(path, edit->table).value_or(before);
    {
      auto db = Database::open(path);
      ASSERT_TRUE(db) << db.error().description;
      TableSchema t;
      t.name = "Cocina97";
      t.columns = {newColumn("id", ColumnType::Long, 0, true),
                   newColumn("plato", ColumnType::Text, 50), newColumn("nota", ColumnType::Memo),
                   newColumn("precio", ColumnType::Currency),
                   newColumn("hecho", ColumnType::Boolean)};
      // Text(50): sizes are the file's bytes, one per character in Access 97.
      if ((*db)->format() == FileFormat::Jet3) t.columns[1].size = 50;
      t.indexes = {newIndex("PrimaryKey", {0}, true), newIndex("plato", {1})};
      ASSERT_TRUE((*db)->createTable(t));
      ++written;
      for (int i = 0; i < 30; ++i) {
        // Memos inline, on one page, and over a chain of 2 KiB pages.
        std::string note = i % 3 == 0 ? "corta" : (i % 3 == 1 ? std::string(300, 'n') : longNote);
        auto r = (*db)->insertRow(
            "Cocina97",
            {Value::null(), Value::text("ñoquis ¿" + std::to_string(i) + "? ¡ya!"),
             Value::text(note), Value::currency(Currency{12500 * i}), Value::boolean(i % 2 == 0)});
        ASSERT_TRUE(r) << r.error().description;
      }
      auto three = rowsWhere(**db, "Cocina97", 0, "3");
      ASSERT_EQ(three.size(), 1u);
      ASSERT_TRUE((*db)->updateRow(
          "Cocina97", three[0],
          {{1, Value::text("Ángel: plato cambiado, largo")}, {2, Value::text(longNote + "fin")}}));
      for (const char* gone : {"4", "5"}) {
        auto ids = rowsWhere(**db, "Cocina97", 0, gone);
        ASSERT_EQ(ids.size(), 1u);
        ASSERT_TRUE((*db)->deleteRow("Cocina97", ids[0]));
      }
      if (edit) {
        auto schema = (*db)->table(edit->table);
        ASSERT_TRUE(schema);
        std::vector<Value> values(schema->columns.size());
        for (const auto& [c, value] : edit->inserted) values[c] = value;
        auto inserted = (*db)->insertRow(edit->table, values);

        ASSERT_TRUE(inserted) << inserted.error().description;
        auto updated = rowsWhere(**db, edit->table, edit->keyColumn, edit->updatedKey);
        ASSERT_EQ(updated.size(), 1u);
        ASSERT_TRUE((*db)->updateRow(edit->table, updated[0], {edit->update}));
        auto deleted = rowsWhere(**db, edit->table, edit->keyColumn, edit->deletedKey);
        ASSERT_EQ(deleted.size(), 1u);
        ASSERT_TRUE((*db)->deleteRow(edit->table, deleted[0]));
      }
    }
    auto rows = cocina::test::mdbExportLines(path, "Cocina97");
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 28u);
    EXPECT_EQ(countContaining(*rows, "|Ángel: plato cambiado, largo|" + longNote + "fin|"), 1u);
    EXPECT_EQ(countContaining(*rows, "|ñoquis ¿29? ¡ya!|" + longNote + "|"), 1u);
    EXPECT_EQ(countContaining(*rows, "|ñoquis ¿4? ¡ya!|"), 0u);
    EXPECT_EQ(countContaining(*rows, "|corta|"), 9u);
    if (edit) {
      auto after = cocina::test::mdbExportLines(path, edit->table);
      ASSERT_TRUE(after);
      EXPECT_EQ(after->size(), before.size());
      EXPECT_EQ(countContaining(*after, edit->insertedLine), 1u);
      EXPECT_EQ(countContaining(*after, edit->updatedLine), 1u);
      EXPECT_EQ(countContaining(*after, edit->deletedLine), 0u);
      EXPECT_EQ(countContaining(before, edit->deletedLine), 1u) << "the fixture changed";
    }
    expectSound(path);
  }
  EXPECT_GE(written, 17);
}

}  // namespace
