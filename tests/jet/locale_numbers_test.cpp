// Numbers under a locale whose decimal separator is the comma: the number
// format, SQL literals and functions, texts stored into number columns and
// numbers into text columns, and CSV fields read and write exactly what they
// do under the C locale, so a kitchen machine set up in Spanish sees 13.5 as
// 13.5.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/convert.h"
#include "jet/csv.h"
#include "sql_test_support.h"
#include "support/locale.h"

namespace sqltest {
namespace {

using cocina::test::kSpanishLocale;
using cocina::test::requireCommaLocale;
using cocina::test::ScopedLocale;

const double kNumbers[] = {0,    13.5,   -2.5,    0.1,    1234567.891, 1e16,
                           1e-7, 1.5e-7, 1 / 3.0, -1e300, 0.000123,    123456789012.25};
const char* const kTexts[] = {"13.5", " -0.25 ", "+.5", "1.5e3", "2E-2", "13,5", "1.2.3", "7."};

// Everything the number format and CSV make of kNumbers and kTexts, in one
// list, under whatever locale is current.
std::vector<std::string> conversions() {
  std::vector<std::string> out;
  for (double x : kNumbers) {
    out.push_back(jet::formatNumber(x));
    out.push_back(jet::formatSingle(static_cast<float>(x)));
    out.push_back(jet::csv::field(jet::Value::dbl(x)));
    out.push_back(jet::csv::field(jet::Value::single(static_cast<float>(x))));
  }
  for (const char* t : kTexts) {
    auto n = jet::parseNumber(t);
    out.push_back(n ? jet::csv::plainNumber(*n) : "not a number");
  }
  out.push_back(jet::csv::field(jet::Value::currency({135000})));
  out.push_back(jet::csv::field(jet::Value::decimal({.scale = 2, .magnitude = 1350})));
  return out;
}

TEST(NumbersUnderTheSpanishLocale, ReadAndWriteAsUnderTheCLocale) {
  std::vector<std::string> inC;
  {
    ScopedLocale c("C");
    inC = conversions();
  }
  ScopedLocale spanish(kSpanishLocale);
  if (!requireCommaLocale(spanish)) return;
  EXPECT_EQ(conversions(), inC);
  EXPECT_EQ(jet::parseNumber("13.5"), 13.5);
  EXPECT_EQ(jet::parseNumber(" -0.25 "), -0.25);
  EXPECT_FALSE(jet::parseNumber("13,5"));
  EXPECT_EQ(jet::formatNumber(13.5), "13.5");
  EXPECT_EQ(jet::formatNumber(1.5e-7), "1.5E-07");
  EXPECT_EQ(jet::formatSingle(0.1f), "0.1");
  EXPECT_EQ(jet::csv::field(jet::Value::dbl(-2.5)), "-2.5");
  EXPECT_EQ(jet::csv::field(jet::Value::currency({135000})), "13.5");
  // Every text the format writes reads back to itself.
  for (double x : kNumbers) {
    auto back = jet::parseNumber(jet::formatNumber(x));
    ASSERT_TRUE(back) << jet::formatNumber(x);
    EXPECT_EQ(jet::formatNumber(*back), jet::formatNumber(x));
  }
}

class SqlUnderTheSpanishLocale : public SqlTest {
 protected:
  void SetUp() override {
    if (!requireCommaLocale(spanish_)) return;
    SqlTest::SetUp();
  }
  ScopedLocale spanish_{kSpanishLocale};
};

TEST_F(SqlUnderTheSpanishLocale, LiteralsAndFunctionsTakeThePoint) {
  jet::Value doble = value("SELECT 13.5*2");
  ASSERT_EQ(doble.type(), jet::ValueType::Double);
  EXPECT_EQ(doble.asDouble(), 27.0);
  EXPECT_EQ(text("13.5"), "13.5");
  EXPECT_EQ(text("1.5E3 + .25"), "1500.25");
  EXPECT_EQ(text("VAL('13.5 raciones')"), "13.5");
  EXPECT_EQ(text("CDBL('0.25') * 4"), "1");
  EXPECT_EQ(text("CSTR(2.5)"), "2.5");
  EXPECT_EQ(text("2.5 & ' raciones'"), "2.5 raciones");
  EXPECT_EQ(text("CCUR('13.25')"), "13.25");
}

TEST_F(SqlUnderTheSpanishLocale, TextsInNumberColumnsAndNumbersInTextColumns) {
  run("CREATE TABLE lineas (id COUNTER PRIMARY KEY, cantidad DOUBLE, precio CURRENCY, "
      "ligera SINGLE, nota TEXT(20))");
  run("INSERT INTO lineas (cantidad, precio, ligera, nota) VALUES ('13.5', '2.25', '0.1', 1.5)");
  run("INSERT INTO lineas (cantidad, precio, ligera, nota) VALUES (?, ?, ?, ?)",
      {jet::Value::text("-0.5"), jet::Value::text("1e1"), jet::Value::dbl(0.5),
       jet::Value::dbl(1e-7)});
  EXPECT_EQ(rows("SELECT cantidad, precio, ligera, nota FROM lineas ORDER BY id"),
            (Rows{{"13.5", "2.25", "0.1", "1.5"}, {"-0.5", "10", "0.5", "1E-07"}}));
  EXPECT_EQ(rows("SELECT id FROM lineas WHERE cantidad = 13.5 AND precio > 2.2"), (Rows{{"1"}}));
  // The same row as the export writes it.
  auto r = run("SELECT cantidad, precio, ligera, nota FROM lineas WHERE id = 1");
  ASSERT_EQ(r.rows.size(), 1u);
  std::vector<std::string> fields;
  for (const auto& v : r.rows[0]) fields.push_back(jet::csv::field(v));
  EXPECT_EQ(jet::csv::record(fields), "13.5,2.25,0.1,\"1.5\"\r\n");
}

}  // namespace
}  // namespace sqltest
