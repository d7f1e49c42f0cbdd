// The column types of Access 2010 and later: calculated columns read as the
// value of their result type and never written with a wrong value,
// Date/Time Extended read and written with its whole range and fraction,
// Decimal and Large Number columns written; each checked on the files
// Jackcess made and read back by mdb-export where it reads the type.
#include <gtest/gtest.h>

#include <filesystem>

#include "jet/civil_date.h"
#include "jet/csv.h"
#include "jet/database.h"
#include "jet/storage/read/row_codec.h"
#include "jet/storage/read/row_encode.h"
#include "support/fixtures.h"
#include "support/mdb_tools.h"
#include "support/new_file_test.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;

std::string independentFile(const std::string& name) {
  return cocina::test::fixturesDir() + "/../independent/" + name;
}

// Every row of `table`, each as its CSV fields joined by commas.
std::vector<std::string> rowsOf(Database& db, const std::string& table) {
  std::vector<std::string> rows;
  auto schema = db.table(table);
  EXPECT_TRUE(schema) << schema.error().description;
  if (!schema) return rows;
  std::vector<int> all;
  for (size_t i = 0; i < schema->columns.size(); ++i) all.push_back(static_cast<int>(i));
  auto cursor = db.scan(table, all);
  EXPECT_TRUE(cursor);
  if (!cursor) return rows;
  while (true) {
    auto more = (*cursor)->next();
    EXPECT_TRUE(more) << more.error().description;
    if (!more || !*more) break;
    std::string line;
    const auto& values = (*cursor)->values();
    for (size_t i = 0; i < values.size(); ++i) {
      if (i) line += ',';
      line += csv::field(values[i]);
    }
    rows.push_back(line);
  }
  return rows;
}

ExtendedDateTime at(int64_t year, unsigned month, unsigned day, int64_t ticksOfDay) {
  const int64_t days = daySerialFromCivil(year, month, day) - kFirstExtendedDaySerial;
  return ExtendedDateTime{days * kTicksPerDay + ticksOfDay};
}

TEST(ExtendedDateTimes, TheStoredTextReadsAndWritesTheWholeRange) {
  const ExtendedDateTime first = at(1, 1, 1, 0), last{kLastExtendedTick};
  for (ExtendedDateTime d : {first, last, at(1899, 12, 30, 6), at(2024, 2, 29, 1)}) {
    auto field = storage::extendedDateTimeField(d);
    ASSERT_EQ(field.size(), storage::kExtendedDateTimeSize);
    EXPECT_EQ(storage::parseExtendedDateTime(storage::ByteSpan(field.data(), field.size())), d);
  }
  auto field = storage::extendedDateTimeField(last);
  EXPECT_EQ(std::string(field.begin(), field.end() - 1),
            "0000000000003652058:0000000863999999999:7");
  field[25] = 'x';
  EXPECT_FALSE(storage::parseExtendedDateTime(storage::ByteSpan(field.data(), field.size())));
  std::string pastLastDay = "0000000000003652059:0000000000000000000:7";
  EXPECT_FALSE(storage::parseExtendedDateTime(
      storage::ByteSpan(reinterpret_cast<const uint8_t*>(pastLastDay.data()), pastLastDay.size())));

  EXPECT_EQ(csv::formatExtendedDateTime(first), "0001-01-01 00:00:00");
  EXPECT_EQ(csv::formatExtendedDateTime(last), "9999-12-31 23:59:59.9999999");
  EXPECT_EQ(csv::formatExtendedDateTime(at(1899, 12, 30, 6)), "1899-12-30 00:00:00.0000006");
}

TEST(ExtendedDateTimes, ADateTimeBecomesOneToTheMillisecondOnBothSidesOfDayZero) {
  EXPECT_EQ(extendedFromDateTime(DateTime{-1.25}), at(1899, 12, 29, 6 * 3600 * kTicksPerSecond));
  EXPECT_EQ(extendedFromDateTime(DateTime{45000.5}), at(2023, 3, 15, 12 * 3600 * kTicksPerSecond));
  EXPECT_EQ(extendedFromDateTime(DateTime{-693594}), std::nullopt) << "year 0";
  EXPECT_EQ(dateTimeFromExtended(at(1899, 12, 29, 6 * 3600 * kTicksPerSecond)).days, -1.25);
}

TEST(DecimalColumns, ValuesAreRoundedToTheScaleAndRefusedPastThePrecision) {
  ColumnDef c = newColumn("importe", ColumnType::Numeric);
  c.precision = 6;
  c.scale = 2;
  auto text = [&](const Value& v) -> std::string {
    auto r = storage::coerceForColumn(c, v);
    if (!r) return "error " + std::to_string(r.error().number);
    return csv::field(*r);
  };
  EXPECT_EQ(text(Value::text("1.255")), "1.26") << "half to even rounds up from an odd digit";
  EXPECT_EQ(text(Value::text("1.245")), "1.24");
  EXPECT_EQ(text(Value::text("1.2451")), "1.25") << "digits past the half count";
  EXPECT_EQ(text(Value::dbl(-0.1)), "-0.10");
  EXPECT_EQ(text(Value::longValue(9999)), "9999.00");
  EXPECT_EQ(text(Value::currency({-12345})), "-1.23");
  EXPECT_NE(text(Value::longValue(10000)).find("error"), std::string::npos) << "7 digits";
  EXPECT_NE(text(Value::text("abc")).find("error"), std::string::npos);
}

// Calculated columns read as Access shows them: the file's rows equal the
// values Jackcess computed and stored.
TEST(CalculatedColumns, ReadAsTheValueOfTheirResultType) {
  if (!cocina::test::requireFixtures()) return;
  for (const char* file : {"calc-V2010.accdb", "calc-V2016.accdb"}) {
    SCOPED_TRACE(file);
    auto db = Database::open(independentFile(file), OpenOptions{.readOnly = true});
    ASSERT_TRUE(db) << db.error().description;
    auto schema = (*db)->table("CALCULOS");
    ASSERT_TRUE(schema);
    EXPECT_TRUE(schema->columns[schema->findColumn("Importe")].calculated);
    EXPECT_FALSE(schema->columns[schema->findColumn("Precio")].calculated);
    auto rows = rowsOf(**db, "CALCULOS");
    ASSERT_EQ(rows.size(), 19u);
    EXPECT_EQ(rows[0],
              "1,,\"LÓPEZ\",4,21.79,2023-05-01 07:14:01,\" LÓPEZ\",87.16,0,"
              "2023-05-08 07:14:01");
    EXPECT_EQ(rows[4],
              "5,\"lucía\",\"Güemes\",,70.79,2022-08-03 03:27:26,\"lucía Güemes\",,,"
              "2022-08-10 03:27:26")
        << "a Null operand leaves the Yes/No result Null";
  }
}

// No row reaches a table whose calculated values the engine would leave
// wrong: the insert is refused, the file keeps its rows.
TEST(CalculatedColumns, ARowIsRefusedClearlyAndTheTableKeepsItsRows) {
  if (!cocina::test::requireFixtures()) return;
  cocina::test::TempDir dir;
  const std::string path = dir.copy(independentFile("calc-V2010.accdb"));
  {
    auto db = Database::open(path);
    ASSERT_TRUE(db) << db.error().description;
    auto schema = (*db)->table("CALCULOS");
    ASSERT_TRUE(schema);
    std::vector<Value> row(schema->columns.size());
    row[1] = Value::text("Ana");
    auto r = (*db)->insertRow("CALCULOS", row);
    ASSERT_FALSE(r);
    EXPECT_NE(r.error().description.find("El motor no calcula el campo calculado"),
              std::string::npos)
        << r.error().description;
    // Changing an operand would leave the stored result stale: refused too.
    auto cursor = (*db)->scan("CALCULOS", {0});
    ASSERT_TRUE(cursor);
    auto first = (*cursor)->next();
    ASSERT_TRUE(first && *first);
    auto changed = (*db)->updateRow("CALCULOS", (*cursor)->rowId(),
                                    {{schema->findColumn("Cantidad"), Value::longValue(50)}});
    EXPECT_FALSE(changed);
  }
  auto db = Database::open(path, OpenOptions{.readOnly = true});
  ASSERT_TRUE(db);
  auto rows = rowsOf(**db, "CALCULOS");
  ASSERT_EQ(rows.size(), 19u);
  EXPECT_EQ(rows[0].rfind("1,,\"LÓPEZ\",4,21.79,", 0), 0u) << "the operand kept its value";
}

// Date/Time Extended values written into the Access 2019 file read back to
// the tick, next to the rows that were there; mdb-export still reads the
// table.
TEST(ExtendedDateTimes, RowsWrittenIntoAnAccess2019FileReadBackToTheTick) {
  if (!cocina::test::requireFixtures() || !cocina::test::requireMdbTools()) return;
  cocina::test::TempDir dir;
  const std::string path = dir.copy(independentFile("extdate-V2019.accdb"));
  {
    auto db = Database::open(path);
    ASSERT_TRUE(db) << db.error().description;
    auto r = (*db)->insertRow("FECHAS", {Value::null(), Value::text("primer tic"),
                                         Value::extendedDateTime(at(1, 1, 1, 1)), Value::null()});
    ASSERT_TRUE(r) << r.error().description;
    r = (*db)->insertRow(
        "FECHAS", {Value::null(), Value::text("desde una fecha"), Value::dateTime(DateTime{-1.25}),
                   Value::dateTime(DateTime{-1.25})});
    ASSERT_TRUE(r) << r.error().description;
    r = (*db)->insertRow("FECHAS", {Value::null(), Value::text("año 0"),
                                    Value::dateTime(DateTime{-693594}), Value::null()});
    EXPECT_FALSE(r) << "a date before year 1 does not fit";
  }
  auto db = Database::open(path, OpenOptions{.readOnly = true});
  ASSERT_TRUE(db);
  auto rows = rowsOf(**db, "FECHAS");
  ASSERT_EQ(rows.size(), 24u);
  EXPECT_EQ(rows[0].substr(0, 2), "1,");
  EXPECT_EQ(rows[22], "23,\"primer tic\",0001-01-01 00:00:00.0000001,");
  EXPECT_EQ(rows[23], "24,\"desde una fecha\",1899-12-29 06:00:00,1899-12-29 06:00:00");
  auto exported = cocina::test::mdbExport(path, "FECHAS");
  ASSERT_TRUE(exported);
  EXPECT_EQ(exported->size(), 25u) << "header and 24 rows";
}

class ExactNumberColumns : public cocina::test::NewFileTest {};

TEST_P(ExactNumberColumns, DecimalAndLargeNumberRowsReadBack) {
  const std::string path = newFile("exactos");
  TableSchema t;
  t.name = "Exactos";
  ColumnDef amount = newColumn("importe", ColumnType::Numeric);
  amount.precision = 18;
  amount.scale = 4;
  t.columns = {newColumn("id", ColumnType::Long, 0, true), amount,
               newColumn("grande", ColumnType::BigInt)};
  {
    auto db = Database::create(path, format());
    ASSERT_TRUE(db) << db.error().description;
    ASSERT_TRUE((*db)->createTable(t));
    ASSERT_TRUE((*db)->insertRow(
        "Exactos", {Value::null(), Value::text("-12345678901234.5678"), Value::bigInt(INT64_MIN)}));
    ASSERT_TRUE(
        (*db)->insertRow("Exactos", {Value::null(), Value::dbl(0.1), Value::bigInt(INT64_MAX)}));
    ASSERT_TRUE((*db)->insertRow("Exactos", {Value::null(), Value::null(), Value::null()}));
  }
  auto db = Database::open(path, OpenOptions{.readOnly = true});
  ASSERT_TRUE(db);
  EXPECT_EQ(rowsOf(**db, "Exactos"),
            (std::vector<std::string>{"1,-12345678901234.5678,-9223372036854775808",
                                      "2,0.1000,9223372036854775807", "3,,"}));
  auto exported = cocina::test::mdbExportLines(path, "Exactos");
  ASSERT_TRUE(exported);
  ASSERT_EQ(exported->size(), 3u);
  EXPECT_EQ((*exported)[0].substr(0, 2), "1|") << (*exported)[0];
  EXPECT_NE((*exported)[0].find("-12345678901234.5678"), std::string::npos) << (*exported)[0];
}

INSTANTIATE_TEST_SUITE_P(BothFormats, ExactNumberColumns, ::testing::Values("mdb", "accdb"));

}  // namespace
