// cocina-db export streams a long history in chunks: the records that
// straddle a chunk's end come out whole and in order, and an output that
// can't be written is an error, never a silent success.
#include <gtest/gtest.h>

#include <filesystem>

#include "jet/csv.h"
#include "jet/database.h"
#include "support/command.h"
#include "support/csv.h"
#include "support/temp_dir.h"

namespace {

class ExportChunks : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(cocina::test::cocinaDbPath()))
      GTEST_SKIP() << "cocina-db is not built";
    path = dir.file("historia.mdb");
    auto db = jet::Database::create(path, jet::FileFormat::Jet4);
    ASSERT_TRUE(db) << db.error().description;
    jet::TableSchema t;
    t.name = "COMANDAS";
    jet::ColumnDef id, name, when;
    id.name = "idComanda";
    id.type = jet::ColumnType::Long;
    name.name = "NombreProducto";
    name.type = jet::ColumnType::Text;
    name.size = 200;
    when.name = "fecha";
    when.type = jet::ColumnType::DateTime;
    t.columns = {id, name, when};
    ASSERT_TRUE((*db)->createTable(t));
    ASSERT_TRUE((*db)->begin());
    // About 90 bytes a record: some 1.5 MB of CSV, more than one chunk.
    for (int i = 0; i < kLines; ++i) {
      std::string product =
          "Línea " + std::to_string(i) + " \"de la casa\" " + std::string(i % 61, 'x');
      auto row = (*db)->insertRow("COMANDAS", {jet::Value::longValue(i), jet::Value::text(product),
                                               jet::Value::dateTime({46000.0 + i / 1440.0})});
      ASSERT_TRUE(row) << row.error().description;
    }
    ASSERT_TRUE((*db)->commit());
  }
  static constexpr int kLines = 17000;
  cocina::test::TempDir dir;
  std::string path;
};

TEST_F(ExportChunks, ALongTableComesOutAsItsRecordsOneByOne) {
  // The same records built one field at a time, the slow and plain way.
  std::string expected = "idComanda,NombreProducto,fecha\r\n";
  {
    auto db = jet::Database::open(path, {.readOnly = true});
    ASSERT_TRUE(db);
    auto cursor = (*db)->scan("COMANDAS", {0, 1, 2});
    ASSERT_TRUE(cursor);
    while (true) {
      auto more = (*cursor)->next();
      ASSERT_TRUE(more);
      if (!*more) break;
      std::vector<std::string> fields;
      for (const auto& v : (*cursor)->values()) fields.push_back(jet::csv::field(v));
      expected += jet::csv::record(fields);
    }
  }
  ASSERT_GT(expected.size(), 1u << 20) << "the table should fill more than one chunk";
  auto r = cocina::test::runCommand({cocina::test::cocinaDbPath(), "export", path, "COMANDAS"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.size(), expected.size());
  EXPECT_TRUE(r.out == expected) << "the export differs from its records";
  auto csv = cocina::test::parseCsv(r.out);
  ASSERT_TRUE(csv);
  EXPECT_EQ(csv->size(), static_cast<size_t>(kLines) + 1);
}

TEST_F(ExportChunks, AFullDiskIsAFailure) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  auto r = cocina::test::runCommand(
      {"sh", "-c",
       "'" + cocina::test::cocinaDbPath() + "' export '" + path + "' COMANDAS > /dev/full"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("standard output"), std::string::npos) << r.err;
}

}  // namespace
