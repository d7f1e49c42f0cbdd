// Space freed by deletes and moved rows is used again: a file the point of
// sale writes and the board updates all day does not only grow. Each file
// is read back by mdb-export and the integrity check; the same on a copy of
// an Access-made file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "jet/database.h"
#include "jet/storage/file_database.h"
#include "support/csv.h"
#include "support/expect_sound.h"
#include "support/fixtures.h"
#include "support/mdb_tools.h"
#include "support/new_file_test.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;
using cocina::test::expectSound;
using cocina::test::TempDir;

// An order table as the point of sale keeps it: AutoNumber key, a text
// index, a memo long enough to go to long-value pages now and then.
TableSchema lines() {
  TableSchema t;
  t.name = "Lineas";
  t.columns = {newColumn("id", ColumnType::Long, 0, true), newColumn("mesa", ColumnType::Text, 10),
               newColumn("producto", ColumnType::Text, 100), newColumn("detalle", ColumnType::Memo),
               newColumn("cantidad", ColumnType::Double)};
  IndexDef pk = newIndex("PrimaryKey", {0}, true);
  IndexDef byMesa = newIndex("mesa", {1});
  t.indexes = {pk, byMesa};
  return t;
}

// Every line the same size, so the space one frees fits the next exactly.
std::string product(int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "Plato número %05d", n);
  return buf;
}

std::vector<Value> line(int n) {
  std::vector<Value> v(5);
  v[1] = Value::text(std::to_string(10 + n % 17));
  v[2] = Value::text(product(n));
  if (n % 5 == 0) v[3] = Value::text(std::string(300, static_cast<char>('a' + n % 26)));
  v[4] = Value::dbl(-(n % 3 + 1));
  return v;
}

std::vector<std::pair<RowId, int32_t>> rowsById(Database& db) {
  std::vector<std::pair<RowId, int32_t>> out;
  auto cursor = db.scan("Lineas", {0});
  EXPECT_TRUE(cursor);
  if (!cursor) return out;
  while (true) {
    auto more = (*cursor)->next();
    EXPECT_TRUE(more);
    if (!more || !*more) break;
    out.emplace_back((*cursor)->rowId(), (*cursor)->values()[0].asLong());
  }
  return out;
}

void insertLines(Database& db, int from, int to) {
  ASSERT_TRUE(db.begin());
  for (int n = from; n < to; ++n) ASSERT_TRUE(db.insertRow("Lineas", line(n))) << n;
  ASSERT_TRUE(db.commit());
}

// Deletes the rows whose id satisfies `which`, in one transaction.
template <class Pred>
size_t deleteLines(Database& db, Pred which) {
  size_t n = 0;
  EXPECT_TRUE(db.begin());
  for (const auto& [at, id] : rowsById(db)) {
    if (!which(id)) continue;
    EXPECT_TRUE(db.deleteRow("Lineas", at)) << id;
    ++n;
  }
  EXPECT_TRUE(db.commit());
  return n;
}

// The ids mdb-export lists, and each row's product checked against its id.
std::set<int> exportedIds(const std::string& path) {
  std::set<int> ids;
  auto csv = cocina::test::mdbExport(path, "Lineas");
  EXPECT_TRUE(csv) << "mdb-export failed on " << path;
  if (!csv) return ids;
  for (size_t r = 1; r < csv->size(); ++r) {
    const auto& rec = (*csv)[r];
    int id = std::stoi(rec[0].text);
    EXPECT_EQ(rec[2].text, product(id - 1));
    EXPECT_EQ(rec[3].isNull(), (id - 1) % 5 != 0) << id;
    ids.insert(id);
  }
  return ids;
}

class SpaceReuse : public cocina::test::NewFileTest {};

TEST_P(SpaceReuse, DeletedRowsAndEmptiedPagesTakeLaterInserts) {
  std::string path = newFile("reuso");
  auto created = Database::create(path, format());
  ASSERT_TRUE(created) << created.error().description;
  Database& db = **created;
  ASSERT_TRUE(db.createTable(lines()));
  insertLines(db, 0, 3000);
  auto size = std::filesystem::file_size(path);

  // Old history cleared in a block: whole pages, whole index leaves and
  // long-value pages left empty. The rows go back into them; an index
  // whose leaves split differently the second time may take a page more
  // (without reuse the file would grow by half).
  const uintmax_t page = 4096;
  EXPECT_EQ(deleteLines(db, [](int32_t id) { return id <= 1500; }), 1500u);
  insertLines(db, 3000, 4500);
  EXPECT_LE(std::filesystem::file_size(path), size + 2 * page);

  // Every third line gone: room inside pages that keep rows. The data goes
  // back where it was; the key index, whose half-empty leaves new keys
  // never reach, takes new pages for them (without reuse: a third more).
  size_t gone = deleteLines(db, [](int32_t id) { return id % 3 == 0; });
  insertLines(db, 4500, 4500 + static_cast<int>(gone));
  EXPECT_LE(std::filesystem::file_size(path), size + size / 20);
  created->reset();

  auto ids = exportedIds(path);
  std::set<int> expected;
  for (int id = 1501; id <= 4500; ++id) {
    if (id % 3 != 0) expected.insert(id);
  }
  for (int id = 4501; id <= 4500 + static_cast<int>(gone); ++id) expected.insert(id);
  EXPECT_EQ(ids, expected);
  expectSound(path);
}

TEST_P(SpaceReuse, RowsThatGrowAndMoveGiveTheirOldPlaceBack) {
  std::string path = newFile("mover");
  auto created = Database::create(path, format());
  ASSERT_TRUE(created) << created.error().description;
  Database& db = **created;
  ASSERT_TRUE(db.createTable(lines()));
  insertLines(db, 0, 1000);
  auto size = std::filesystem::file_size(path);
  // Each round makes every row longer or shorter, so rows move between
  // pages: what they leave behind must carry the next round.
  for (int round = 0; round < 6; ++round) {
    ASSERT_TRUE(db.begin());
    std::string name = round % 2 == 0 ? std::string(60, 'x') : "corto";
    for (const auto& [at, id] : rowsById(db)) {
      ASSERT_TRUE(db.updateRow("Lineas", at, {{2, Value::text(name + std::to_string(id))}}));
    }
    ASSERT_TRUE(db.commit());
  }
  // Five rounds of growth would need twice the pages without reuse.
  EXPECT_LT(std::filesystem::file_size(path), size * 3 / 2);
  created->reset();
  auto csv = cocina::test::mdbExport(path, "Lineas");
  ASSERT_TRUE(csv);
  ASSERT_EQ(csv->size(), 1001u);
  for (size_t r = 1; r < csv->size(); ++r) {
    EXPECT_EQ((*csv)[r][2].text, "corto" + (*csv)[r][0].text);
  }
  expectSound(path);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, SpaceReuse, ::testing::Values("mdb", "accdb"));

TEST(SpaceReuseAccessFile, ACopyOfAnAccessMadeFileDoesNotGrowEither) {
  if (!cocina::test::requireMdbTools() || !cocina::test::requireFixtures()) return;
  auto write = [](Database& db, const std::string& path) {
    insertLines(db, 0, 2000);
    auto size = std::filesystem::file_size(path);
    EXPECT_EQ(deleteLines(db, [](int32_t id) { return id % 2 == 1; }), 1000u);
    insertLines(db, 2000, 3000);
    // Without reuse: half as large again.
    EXPECT_LE(std::filesystem::file_size(path), size + size / 50);
  };
  auto check = [](const std::string& path) {
    auto ids = exportedIds(path);
    EXPECT_EQ(ids.size(), 2000u);
    EXPECT_EQ(ids.count(1), 0u);
    EXPECT_EQ(ids.count(2), 1u);
    EXPECT_EQ(ids.count(3000), 1u);
    expectSound(path);
  };
  cocina::test::forEachEmptyAccessFile(lines(), write, check);
}

// An Access-made table with Access's own index pages: rows added, all of
// them deleted, as many added again.
TEST(SpaceReuseAccessFile, AnAccessMadeTableTakesBackTheRoomItsRowsLeft) {
  if (!cocina::test::requireMdbTools() || !cocina::test::requireFixtures()) return;
  TempDir dir;
  std::string path = dir.copy(cocina::test::fixturePath("testV2007.accdb"));
  auto before = cocina::test::mdbExport(path, "Table1");
  ASSERT_TRUE(before);
  auto add = [&](Database& db, int from, int to) {
    ASSERT_TRUE(db.begin());
    for (int i = from; i < to; ++i) {
      std::vector<Value> v(9);
      v[0] = Value::text("x" + std::to_string(i));
      v[1] = Value::text("y" + std::to_string(i));
      v[2] = Value::byte(1);
      v[4] = Value::longValue(i);
      ASSERT_TRUE(db.insertRow("Table1", v)) << i;
    }
    ASSERT_TRUE(db.commit());
  };
  uintmax_t size = 0;
  {
    auto db = Database::open(path);
    ASSERT_TRUE(db) << db.error().description;
    add(**db, 1000, 1600);
    size = std::filesystem::file_size(path);
    ASSERT_TRUE((*db)->begin());
    auto cursor = (*db)->scan("Table1", {2});
    ASSERT_TRUE(cursor);
    std::vector<RowId> ours;
    while (*(*cursor)->next()) {
      if ((*cursor)->values()[0].asByte() == 1) ours.push_back((*cursor)->rowId());
    }
    cursor->reset();
    ASSERT_EQ(ours.size(), 600u);
    for (RowId r : ours) ASSERT_TRUE((*db)->deleteRow("Table1", r));
    ASSERT_TRUE((*db)->commit());
    add(**db, 2000, 2600);
  }
  // The rows' pages are used again; the two text indexes, whose leaves
  // split differently the second time, may take a few (without reuse the
  // table would need its 600 rows' pages twice over).
  EXPECT_LE(std::filesystem::file_size(path), size + 4 * 4096);
  auto after = cocina::test::mdbExport(path, "Table1");
  ASSERT_TRUE(after);
  ASSERT_EQ(after->size(), before->size() + 600);
  auto joined = [](const cocina::test::CsvRecord& rec) {
    std::string line;
    for (const auto& f : rec) line += f.text + "|";
    return line;
  };
  std::multiset<std::string> kept, added;
  for (size_t r = 1; r < after->size(); ++r) {
    ((*after)[r][0].text.substr(0, 1) == "x" ? added : kept).insert(joined((*after)[r]));
  }
  std::multiset<std::string> original;
  for (size_t r = 1; r < before->size(); ++r) original.insert(joined((*before)[r]));
  EXPECT_EQ(kept, original);
  ASSERT_EQ(added.size(), 600u);
  for (int i = 2000; i < 2600; ++i) {
    std::string n = std::to_string(i);
    EXPECT_EQ(added.count("x" + n + "|y" + n + "|1||" + n + "||||0|"), 1u) << i;
  }
  expectSound(path);
}

}  // namespace
