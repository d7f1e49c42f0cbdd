// cocina-db tables, schema, export and check as the people who keep the
// system running use them: output, exit statuses and messages.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/command.h"
#include "support/csv.h"
#include "support/fixtures.h"
#include "support/temp_dir.h"

namespace {

using cocina::test::runCommand;

class CocinaDb : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(cocina::test::cocinaDbPath()))
      GTEST_SKIP() << "cocina-db is not built";
    if (!cocina::test::requireFixtures()) return;
  }
  cocina::test::CommandResult run(std::vector<std::string> args) {
    args.insert(args.begin(), cocina::test::cocinaDbPath());
    return runCommand(args);
  }
};

TEST_F(CocinaDb, ExportWritesRfc4180WithTheAgreedValueForms) {
  auto r = run({"export", cocina::test::fixturePath("testV2000.mdb"), "Table1"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto csv = cocina::test::parseCsv(r.out);
  ASSERT_TRUE(csv);
  ASSERT_GE(csv->size(), 3u);
  EXPECT_NE(r.out.find("\r\n"), std::string::npos);
  const auto& header = (*csv)[0];
  ASSERT_EQ(header.size(), 9u);
  EXPECT_EQ(header[0].text, "A");
  const auto& row = (*csv)[1];
  // Text quoted, numbers plain, the date as YYYY-MM-DD HH:MM:SS, currency plain, Boolean 1/0.
  EXPECT_TRUE(row[0].quoted);
  EXPECT_EQ(row[0].text, "abcdefg");
  EXPECT_FALSE(row[2].quoted);
  EXPECT_EQ(row[2].text, "2");
  EXPECT_EQ(row[5].text, "444.555");
  EXPECT_EQ(row[6].text, "1974-09-21 00:00:00");
  EXPECT_EQ(row[7].text, "3.5");
  EXPECT_EQ(row[8].text, "1");
  EXPECT_EQ((*csv)[2][8].text, "0");
}

TEST_F(CocinaDb, TablesListsUserTablesAndSchemaShowsTypesAndIndexes) {
  auto tables = run({"tables", cocina::test::fixturePath("testV2000.mdb")});
  ASSERT_EQ(tables.exitCode, 0) << tables.err;
  EXPECT_EQ(tables.out, "Table1\nTable2\nTable3\nTable4\n");
  auto withSystem = run({"tables", "--system", cocina::test::fixturePath("testV2000.mdb")});
  EXPECT_NE(withSystem.out.find("MSysObjects\n"), std::string::npos);

  auto schema = run({"schema", cocina::test::fixturePath("testV2000.mdb"), "Table1"});
  ASSERT_EQ(schema.exitCode, 0) << schema.err;
  EXPECT_NE(schema.out.find("TABLE Table1\n"), std::string::npos);
  EXPECT_NE(schema.out.find("Text (50)"), std::string::npos);
  EXPECT_NE(schema.out.find("Long Integer"), std::string::npos);
  EXPECT_NE(schema.out.find("Boolean"), std::string::npos);

  auto jet3 = run({"schema", cocina::test::fixturePath("testV1997.mdb"), "Table1"});
  ASSERT_EQ(jet3.exitCode, 0) << jet3.err;
  EXPECT_NE(jet3.out.find("Text (50)"), std::string::npos)
      << "Jet 3 text sizes count one byte a character";
}

TEST_F(CocinaDb, WrongUsageExitsOneAndUnreadableFilesExitTwo) {
  for (const auto& cmd : {"tables", "schema", "export"}) {
    EXPECT_EQ(run({cmd}).exitCode, 1) << cmd;
    auto help = run({cmd, "--help"});
    EXPECT_EQ(help.exitCode, 0) << cmd;
    EXPECT_NE(help.out.find("usage: cocina-db"), std::string::npos) << cmd;
  }
  EXPECT_EQ(run({"export", cocina::test::fixturePath("testV2000.mdb")}).exitCode, 1);

  cocina::test::TempDir dir;
  auto notDb = run({"tables", dir.write("pedidos.mdb", "esto no es una base de datos")});
  EXPECT_EQ(notDb.exitCode, 2);
  EXPECT_NE(notDb.err.find("pedidos.mdb"), std::string::npos);
  EXPECT_TRUE(notDb.out.empty());

  auto missingTable = run({"export", cocina::test::fixturePath("testV2000.mdb"), "COMANDAS"});
  EXPECT_EQ(missingTable.exitCode, 2);
  EXPECT_NE(missingTable.err.find("COMANDAS"), std::string::npos);
}

TEST_F(CocinaDb, PosTakesSecondsOnlyInTheSystemsNumberFormat) {
  cocina::test::TempDir dir;
  const std::string missing = dir.file("no-existe.mdb");
  // Not seconds: refused as wrong usage before the file is looked at.
  for (const char* every : {"nan", "inf", "0x10", "1,5", "-1", ""}) {
    auto r = run({"pos", missing, "--every", every});
    EXPECT_EQ(r.exitCode, 1) << every;
    EXPECT_NE(r.err.find("--every needs seconds"), std::string::npos) << every;
  }
  // Seconds with decimals pass on to the file, which is missing.
  for (const char* every : {"0.5", " 2", "1e1"}) {
    auto r = run({"pos", missing, "--every", every});
    EXPECT_EQ(r.exitCode, 2) << every;
    EXPECT_EQ(r.err.find("--every"), std::string::npos) << every;
  }
}

// Every file Access made, and every one the independent engine made with
// index properties (indexes that ignore nulls, required, unique over two
// columns, descending), passes the check; its table definitions' stale
// row counts are notes, not damage.
TEST_F(CocinaDb, CheckPassesEveryAccessMadeFile) {
  std::vector<std::string> files = cocina::test::fixtureFiles();
  const auto independent =
      std::filesystem::path(cocina::test::fixturesDir()).parent_path() / "independent";
  for (const auto& e : std::filesystem::directory_iterator(independent)) {
    const auto ext = e.path().extension();
    if (ext == ".mdb" || ext == ".accdb") files.push_back(e.path().string());
  }
  ASSERT_GE(files.size(), 25u);
  for (const auto& file : files) {
    auto r = run({"check", file});
    EXPECT_EQ(r.exitCode, 0) << file << "\n" << r.out << r.err;
    EXPECT_EQ(r.out.find("PROBLEMA"), std::string::npos) << file;
  }
  // testV2000.mdb: MSysACEs counts 61 rows and holds 64.
  auto stale = run({"check", cocina::test::fixturePath("testV2000.mdb")});
  EXPECT_NE(stale.out.find("la definición cuenta 61 filas y hay 64"), std::string::npos)
      << stale.out;
}

}  // namespace

namespace {

using cocina::test::runCommand;

// The files Jackcess made carry, beside each table, the CSV of its values
// in the export's own form: the export must give the same bytes.
TEST(CocinaDbModernTypes, ExportOfCalculatedAndExtendedDateTablesEqualsTheirCsv) {
  if (!std::filesystem::exists(cocina::test::cocinaDbPath())) GTEST_SKIP() << "no cocina-db";
  if (!cocina::test::requireFixtures()) return;
  const std::string dir = cocina::test::fixturesDir() + "/../independent/";
  const std::pair<const char*, const char*> tables[] = {{"calc-V2010.accdb", "CALCULOS"},
                                                        {"calc-V2016.accdb", "CALCULOS"},
                                                        {"extdate-V2019.accdb", "FECHAS"}};
  for (const auto& [file, table] : tables) {
    SCOPED_TRACE(file);
    auto r = runCommand({cocina::test::cocinaDbPath(), "export", dir + file, table});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, cocina::test::readFile(dir + file + " " + table + ".csv"));
  }
}

// The type `schema` shows for `column`: what follows the padded name on its
// line ("" when no line names it).
std::string shownType(const std::string& schema, const std::string& column) {
  const std::string start = "\n  " + column + " ";
  const size_t at = schema.find(start);
  if (at == std::string::npos) return "";
  const size_t from = schema.find_first_not_of(' ', at + start.size());
  return schema.substr(from, schema.find('\n', from) - from);
}

TEST(CocinaDbModernTypes, SchemaNamesCalculatedAttachmentAndMultiValueColumns) {
  if (!std::filesystem::exists(cocina::test::cocinaDbPath())) GTEST_SKIP() << "no cocina-db";
  if (!cocina::test::requireFixtures()) return;
  auto complex = runCommand({cocina::test::cocinaDbPath(), "schema",
                             cocina::test::fixturePath("complexDataTestV2007.accdb"), "Table1"});
  ASSERT_EQ(complex.exitCode, 0) << complex.err;
  EXPECT_EQ(shownType(complex.out, "attach-data"), "Attachment");
  EXPECT_EQ(shownType(complex.out, "multi-value-data"), "Multi-value (Text)");
  EXPECT_EQ(shownType(complex.out, "VersionHistory_F5F8918F-0A3F-4DA9-AE71-184EE5012880"),
            "Version history");
  EXPECT_EQ(shownType(complex.out, "memo-data"), "Memo");

  auto calc =
      runCommand({cocina::test::cocinaDbPath(), "schema",
                  cocina::test::fixturesDir() + "/../independent/calc-V2010.accdb", "CALCULOS"});
  ASSERT_EQ(calc.exitCode, 0) << calc.err;
  EXPECT_EQ(shownType(calc.out, "Importe"), "Calculated Double");
  EXPECT_EQ(shownType(calc.out, "NombreCompleto"), "Calculated Text (255)");
  EXPECT_EQ(shownType(calc.out, "Precio"), "Double");
}

}  // namespace
