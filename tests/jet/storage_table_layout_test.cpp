// One walk over a table definition feeds both the schema a reader needs and
// the layout the writer, the index reader and the check follow: the two
// must agree on every column and index, in both generations of the format,
// and neither may read outside a damaged or cut definition.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "jet/database.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/pages/page_file.h"
#include "jet/storage/pages/write_pager.h"
#include "jet/storage/tables/table_def.h"
#include "jet/storage/tables/table_def_parts.h"
#include "jet/storage/tables/table_layout.h"
#include "jet/storage/write/table_def_writer.h"

namespace {

using namespace jet;
using namespace jet::storage;

ColumnDef column(const char* name, ColumnType type, uint16_t size = 0) {
  ColumnDef c;
  c.name = name;
  c.type = type;
  c.size = size;
  return c;
}

// A table with fixed, text and memo columns and two indexes, the second
// on two columns, one of them descending.
write::NewTableDef orders(bool jet3) {
  write::NewTableDef d;
  d.jet3 = jet3;
  d.codePage = 1252;
  d.page = 40;
  d.schema.name = "Comandas";
  d.schema.columns = {column("Id", ColumnType::Long), column("Mesa", ColumnType::Text, 20),
                      column("Nota", ColumnType::Memo), column("Hora", ColumnType::DateTime)};
  IndexDef primary;
  primary.name = "PrimaryKey";
  primary.primary = true;
  primary.columns = {IndexColumn{0, true}};
  IndexDef byTable;
  byTable.name = "MesaHora";
  byTable.columns = {IndexColumn{1, true}, IndexColumn{3, false}};
  d.schema.indexes = {primary, byTable};
  d.placements = *write::placeColumns(d.schema, jet3);
  d.usedPages = RowPointer{41, 0};
  d.freePages = RowPointer{41, 1};
  d.indexMaps = {RowPointer{41, 2}, RowPointer{41, 3}};
  d.indexRoots = {42, 43};
  if (!jet3) d.longValueMaps = {{d.placements[2].number, RowPointer{41, 4}, RowPointer{41, 5}}};
  return d;
}

class TableLayoutBothFormats : public ::testing::TestWithParam<bool> {};

TEST_P(TableLayoutBothFormats, SchemaAndLayoutAgreeOnAWrittenDefinition) {
  const bool jet3 = GetParam();
  const auto& l = jet3 ? format::kJet3Layout : format::kJet4Layout;
  write::NewTableDef d = orders(jet3);
  auto bytes = write::buildTableDef(d, l.pageSize);
  ASSERT_TRUE(bytes) << bytes.error().description;
  auto def = parseTableDef(*bytes, l, 1252, d.page);
  ASSERT_TRUE(def) << def.error().description;
  auto layout = locateTableLayout(*bytes, *def, jet3 ? FileFormat::Jet3 : FileFormat::Jet4);
  ASSERT_TRUE(layout) << layout.error().description;

  ASSERT_EQ(def->schema.columns.size(), 4u);
  EXPECT_EQ(def->schema.columns[1].name, "Mesa");
  EXPECT_EQ(def->usedPages.page, 41u);
  EXPECT_EQ(layout->freePages.page, 41u);
  EXPECT_EQ(layout->freePages.slot, 1);
  ASSERT_EQ(layout->indexes.size(), 2u);
  ASSERT_EQ(def->schema.indexes.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(layout->indexes[i].root, d.indexRoots[i]);
    EXPECT_EQ(layout->indexes[i].usedPages.slot, d.indexMaps[i].slot);
    ASSERT_EQ(layout->indexes[i].columns.size(), def->schema.indexes[i].columns.size());
    for (size_t k = 0; k < layout->indexes[i].columns.size(); ++k) {
      EXPECT_EQ(layout->indexes[i].columns[k].column, def->schema.indexes[i].columns[k].column);
      EXPECT_EQ(layout->indexes[i].columns[k].ascending,
                def->schema.indexes[i].columns[k].ascending);
    }
  }
  EXPECT_FALSE(layout->indexes[1].columns[1].ascending);
  // The root sits where the writer patches it after a split.
  EXPECT_EQ(get32(bytes->data() + layout->indexes[1].defOffset + l.realIndexDefRootOffset), 43u);
  EXPECT_EQ(layout->sortOrder[1], format::kGeneralSortOrder);
  EXPECT_EQ(layout->compressed[1], !jet3);
  EXPECT_FALSE(layout->compressed[0]);
  // Access 97 keeps no maps of its own per long-value column.
  ASSERT_EQ(layout->longValueMaps.size(), jet3 ? 0u : 1u);
  if (!jet3) {
    EXPECT_EQ(layout->longValueMaps[0].free.slot, 5);
  }
}

TEST_P(TableLayoutBothFormats, ACutDefinitionFailsCleanlyAtEveryLength) {
  const bool jet3 = GetParam();
  const auto& l = jet3 ? format::kJet3Layout : format::kJet4Layout;
  write::NewTableDef d = orders(jet3);
  auto bytes = write::buildTableDef(d, l.pageSize);
  ASSERT_TRUE(bytes);
  auto whole = parseTableDef(*bytes, l, 1252, d.page);
  ASSERT_TRUE(whole);
  // Where the walk ends: the long-value maps' end mark.
  size_t used = 0;
  for (size_t n = 0; n <= bytes->size(); ++n) {
    ByteSpan cut(bytes->data(), n);
    auto parts = parseTableDefParts(cut, l, d.page);
    if (parts && used == 0) used = n;
    auto layout = locateTableLayout(cut, *whole, jet3 ? FileFormat::Jet3 : FileFormat::Jet4);
    EXPECT_EQ(bool(parts), bool(layout)) << "at " << n;
  }
  EXPECT_GT(used, l.tdefFirstEntryOffset);
  EXPECT_LT(used, bytes->size());
}

INSTANTIATE_TEST_SUITE_P(Formats, TableLayoutBothFormats, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Jet3" : "Jet4"; });

TEST(TableLayout, AnIndexOnAMissingColumnStopsTheWriterButNotTheReader) {
  const auto& l = format::kJet4Layout;
  write::NewTableDef d = orders(false);
  auto bytes = write::buildTableDef(d, l.pageSize);
  ASSERT_TRUE(bytes);
  auto parts = parseTableDefParts(*bytes, l, d.page);
  ASSERT_TRUE(parts);
  // The second index's first column now names column 200, which the table lacks.
  size_t at = parts->realIndexes[1].defOffset + l.realIndexDefColumnsOffset;
  (*bytes)[at] = 200;
  (*bytes)[at + 1] = 0;
  auto def = parseTableDef(*bytes, l, 1252, d.page);
  ASSERT_TRUE(def) << def.error().description;
  ASSERT_EQ(def->schema.indexes[1].columns.size(), 1u);
  EXPECT_EQ(def->schema.indexes[1].columns[0].column, 3);
  auto layout = locateTableLayout(*bytes, *def, FileFormat::Jet4);
  ASSERT_FALSE(layout);
  EXPECT_NE(layout.error().description.find("no existe"), std::string::npos);
}

// The write pager's epoch tells its users when what they learned from the
// pages may no longer hold.
TEST(WritePagerEpoch, ChangesOnEveryRollbackAndAtTheEndOfTheTransactionOnly) {
  auto dir = std::filesystem::temp_directory_path() /
             ("cocina_epoch_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "epoch.mdb").string();
  std::filesystem::remove(path);
  ASSERT_TRUE(Database::create(path, FileFormat::Jet4));
  auto file = PageFile::open(path, false);
  ASSERT_TRUE(file);
  auto pager = WritePager::open(std::move(*file));
  ASSERT_TRUE(pager);
  WritePager& w = **pager;
  const uint64_t start = w.transactionEpoch();
  ASSERT_TRUE(w.begin());
  ASSERT_TRUE(w.begin());
  ASSERT_TRUE(w.commit());  // an inner level's changes stay in the transaction
  EXPECT_EQ(w.transactionEpoch(), start);
  ASSERT_TRUE(w.begin());
  ASSERT_TRUE(w.rollback());
  const uint64_t afterInnerRollback = w.transactionEpoch();
  EXPECT_NE(afterInnerRollback, start);
  ASSERT_TRUE(w.commit());
  EXPECT_NE(w.transactionEpoch(), afterInnerRollback);
  const uint64_t afterCommit = w.transactionEpoch();
  ASSERT_TRUE(w.begin());
  ASSERT_TRUE(w.rollback());
  EXPECT_NE(w.transactionEpoch(), afterCommit);
  pager->reset();
  std::filesystem::remove_all(dir);
}

}  // namespace
