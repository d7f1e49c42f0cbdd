// The connection object on files Access itself wrote: both generations open
// under the provider the path chooses, and the point of sale's kind of read
// (text, numbers and dates by field name) answers what mdb-export shows.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/ModuleRecordSet.h"
#include "data/clsConnAdmin.h"
#include "data/order_database.h"
#include "support/fixtures.h"

namespace {

namespace fs = std::filesystem;

class AccessFileTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    fs::path source = cocina::test::fixturePath(GetParam());
    if (!fs::exists(source))
      return cocina::test::skipOrFailMissing("no Access-made file " + source.string());
    // The board opens its file for writing: work on a copy, never the original.
    copy = dir.file(GetParam());
    fs::copy_file(source, copy);
    fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write);
  }
  testdb::TempDir dir;
  std::string copy;
};

TEST_P(AccessFileTest, OpensUnderItsProviderAndReadsTheRowsByName) {
  clsConnAdmin conn(copy);
  EXPECT_EQ(conn.connection()->provider(), clsConnAdmin::proveedorPara(copy));
  EXPECT_TRUE(conn.TableExists("table1"));
  EXPECT_FALSE(conn.TableExists("COMANDAS"));

  auto rs = conn.Query("SELECT a, b, e, f, g FROM Table1 WHERE C = ?", {ado::Variant(2.0)});
  ASSERT_FALSE(esRecordsetVacio(rs));
  EXPECT_EQ(rs.recordCount(), 1);
  EXPECT_EQ(rs.fields("A").toString(), "abcdefg");
  EXPECT_EQ(rs.fields("B").toString(), "hijklmnop");
  EXPECT_EQ(rs.fields("E").toLong(), 333333333);
  EXPECT_DOUBLE_EQ(rs.fields("F").toDouble(), 444.555);
  EXPECT_EQ(rs.fields("G").toString(), "21/09/1974");

  EXPECT_TRUE(esRecordsetVacio(conn.Query("SELECT * FROM Table1 WHERE A = 'zzz'", {})));
}

INSTANTIATE_TEST_SUITE_P(BothGenerations, AccessFileTest,
                         ::testing::Values("testV2000.mdb", "testV2007.accdb", "testV2010.accdb"));

}  // namespace
