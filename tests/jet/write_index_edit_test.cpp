// Index entries changed in place on many-leaf indexes: a unique key whose
// twin sits on the neighbouring leaf is still refused, removals that empty
// a leaf keep the tree whole, and every index agrees with the rows after.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "jet/database.h"
#include "jet/error_codes.h"
#include "jet/storage/file_database.h"
#include "support/expect_sound.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;
using cocina::test::expectSound;
using cocina::test::TempDir;

TableSchema codes() {
  TableSchema t;
  t.name = "Codigos";
  t.columns = {newColumn("id", ColumnType::Long, 0, true),
               newColumn("codigo", ColumnType::Text, 40), newColumn("importe", ColumnType::Long)};
  IndexDef pk = newIndex("PrimaryKey", {0}, true);
  IndexDef byCode = newIndex("codigo", {1});
  byCode.unique = true;
  IndexDef byAmount = newIndex("importe", {2});
  byAmount.columns[0].ascending = false;
  t.indexes = {pk, byCode, byAmount};
  return t;
}

std::string codeOf(int n) {
  return "Código ñandú " + std::to_string(n * 7919 % 100000);
}

size_t countRows(Database& db) {
  auto cursor = db.scan("Codigos", {0});
  EXPECT_TRUE(cursor);
  size_t n = 0;
  while (cursor && *(*cursor)->next()) ++n;
  return n;
}

TEST(WriteIndexEdit, UniqueKeysRefusedAcrossLeavesAndEmptiedLeavesLeaveTheTree) {
  TempDir dir;
  std::string path = dir.file("codigos.mdb");
  auto created = Database::create(path, FileFormat::Jet4);
  ASSERT_TRUE(created) << created.error().description;
  Database& db = **created;
  ASSERT_TRUE(db.createTable(codes()));
  // Keys in shuffled order: many leaves, entries added in the middle of
  // them, at their ends and at their starts.
  const int kRows = 3000;
  std::vector<int> order(kRows);
  for (int i = 0; i < kRows; ++i) order[i] = i;
  std::mt19937 rng(7);
  std::shuffle(order.begin(), order.end(), rng);
  ASSERT_TRUE(db.begin());
  for (int n : order) {
    ASSERT_TRUE(
        db.insertRow("Codigos", {Value::null(), Value::text(codeOf(n)), Value::longValue(n % 250)}))
        << n;
  }
  ASSERT_TRUE(db.commit());

  // Every key again, in other case: each refused, nothing written. Those at
  // the first or last place of a leaf have their twin on the next leaf.
  ASSERT_TRUE(db.begin());
  for (int n = 0; n < kRows; ++n) {
    std::string twin = codeOf(n);
    std::transform(twin.begin(), twin.end(), twin.begin(), [](char c) {
      return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    auto r = db.insertRow("Codigos", {Value::null(), Value::text(twin), Value::longValue(1)});
    ASSERT_FALSE(r) << twin;
    EXPECT_EQ(r.error().number, errc::kIntegrity) << twin;
  }
  ASSERT_TRUE(db.commit());
  EXPECT_EQ(countRows(db), static_cast<size_t>(kRows));

  // Long runs of neighbouring keys removed: whole leaves of the key index
  // and of the text index empty out.
  ASSERT_TRUE(db.begin());
  auto cursor = db.scan("Codigos", {0});
  ASSERT_TRUE(cursor);
  std::vector<RowId> doomed;
  while (*(*cursor)->next()) {
    int32_t id = (*cursor)->values()[0].asLong();
    if (id % 1000 < 700) doomed.push_back((*cursor)->rowId());
  }
  cursor->reset();
  for (RowId r : doomed) ASSERT_TRUE(db.deleteRow("Codigos", r));
  ASSERT_TRUE(db.commit());
  EXPECT_EQ(countRows(db), static_cast<size_t>(kRows) - doomed.size());
  // A deleted key may come back (id 1 was the first row); a kept one
  // (id 701) still may not.
  EXPECT_TRUE(
      db.insertRow("Codigos", {Value::null(), Value::text(codeOf(order[0])), Value::longValue(3)}));
  EXPECT_FALSE(db.insertRow("Codigos",
                            {Value::null(), Value::text(codeOf(order[700])), Value::longValue(3)}));
  created->reset();
  expectSound(path);
}

}  // namespace
