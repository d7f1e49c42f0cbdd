// The one definition of the order tables against the kitchens' own files:
// every column a real COMANDAS or PRODUCTOS shares with it by name has the
// same type and, for a Text column, the same length; and the board's
// statements can look COMANDAS up by table and by state.
#include "orders/order_tables.h"

#include <gtest/gtest.h>

#include "data/order_database.h"
#include "jet/database.h"
#include "jet/text.h"

namespace {

const std::string kKitchenFile =
    std::string(COCINA_FIXTURES_DIR) + "/../independent/kitchen-V2000.mdb";

// The table as the engine reads it back from a file made by the definition.
jet::TableSchema made(const ado::CatalogTable& table) {
  testdb::TempDir dir;
  ado::Catalog catalog;
  catalog.create("Data Source=" + dir.file("o.mdb"));
  orders::createOrderTables(catalog);
  catalog.activeConnection()->close();
  auto db = jet::Database::open(dir.file("o.mdb"));
  EXPECT_TRUE(db);
  if (!db) return {};
  auto t = (*db)->table(table.name);
  EXPECT_TRUE(t);
  return t ? *t : jet::TableSchema{};
}

void expectSameSharedColumns(const ado::CatalogTable& table) {
  auto kitchen = jet::Database::open(kKitchenFile);
  if (!kitchen) GTEST_SKIP() << "no kitchen file: " << kitchen.error().description;
  auto real = (*kitchen)->table(table.name);
  ASSERT_TRUE(real);
  jet::TableSchema ours = made(table);
  int shared = 0;
  for (const auto& column : real->columns) {
    int at = ours.findColumn(column.name);
    if (at < 0) continue;
    ++shared;
    const auto& mine = ours.columns[static_cast<size_t>(at)];
    EXPECT_EQ(mine.type, column.type) << table.name << "." << column.name;
    EXPECT_EQ(mine.textLength(), column.textLength()) << table.name << "." << column.name;
  }
  EXPECT_GE(shared, 3) << table.name;
}

TEST(OrderTables, ColumnsMatchTheKitchensOwnFiles) {
  expectSameSharedColumns(orders::comandasTable());
  expectSameSharedColumns(orders::productosTable());
}

TEST(OrderTables, ComandasIsKeyedByLineAndIndexedByTableAndState) {
  jet::TableSchema t = made(orders::comandasTable());
  ASSERT_EQ(t.columns.size(), 18u);
  EXPECT_EQ(t.columns[6].name, "Detalle");
  EXPECT_EQ(t.columns[6].type, jet::ColumnType::Memo);
  std::vector<std::string> indexed;
  for (const auto& ix : t.indexes) {
    ASSERT_EQ(ix.columns.size(), 1u);
    indexed.push_back(t.columns[static_cast<size_t>(ix.columns[0].column)].name);
    if (ix.primary) EXPECT_TRUE(jet::equalsIgnoreCase(indexed.back(), "idComanda"));
  }
  EXPECT_EQ(indexed, (std::vector<std::string>{"idComanda", "idMesa", "Estado"}));
}

}  // namespace
