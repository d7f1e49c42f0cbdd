// The fast reading path: a scan refills the same buffers row after row, text
// is decoded in one pass into a reused string, and CSV fields are appended
// into one output buffer. Each of these keeps state from the previous row
// or value, so these tests look for what could leak from one to the next.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "jet/csv.h"
#include "jet/database.h"
#include "jet/storage/tables/text_codec.h"
#include "support/temp_dir.h"

namespace {

using jet::ColumnDef;
using jet::ColumnType;
using jet::Value;

ColumnDef column(std::string name, ColumnType type, uint16_t characters = 0) {
  ColumnDef c;
  c.name = std::move(name);
  c.type = type;
  c.size = type == ColumnType::Text ? static_cast<uint16_t>(characters * 2) : 0;
  return c;
}

// Lines of an order whose texts grow, shrink, vanish and come back, so a
// buffer kept from the previous row would show through.
std::vector<std::vector<Value>> awkwardLines() {
  const std::string longNote(3000, 'n');  // too long for the row: kept on its own page
  return {
      {Value::longValue(1), Value::text("Hamburguesa completa con patatas"),
       Value::text(longNote + " sin cebolla"), Value::dbl(-2)},
      {Value::longValue(2), Value::text("Té"), Value::text("poco"), Value::dbl(-1)},
      {Value::longValue(3), Value::null(), Value::null(), Value::null()},
      {Value::longValue(4), Value::text(""), Value::text(""), Value::dbl(0.5)},
      {Value::longValue(5), Value::text("Piña \"colada\""), Value::text("sin\r\nhielo"),
       Value::dbl(-3)},
      {Value::longValue(6), Value::text("Café"), Value::text(longNote), Value::dbl(-1)},
      {Value::longValue(7), Value::text("x"), Value::null(), Value::dbl(-1)},
  };
}

class ScanBuffers : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    path = dir.file(std::string("comandas.") + GetParam());
    auto db = jet::Database::create(
        path, std::string(GetParam()) == "accdb" ? jet::FileFormat::Ace12 : jet::FileFormat::Jet4);
    ASSERT_TRUE(db) << db.error().description;
    jet::TableSchema t;
    t.name = "COMANDAS";
    t.columns = {column("idComanda", ColumnType::Long),
                 column("NombreProducto", ColumnType::Text, 100),
                 column("Detalle", ColumnType::Memo), column("cantidad", ColumnType::Double)};
    ASSERT_TRUE((*db)->createTable(t));
    for (auto& line : awkwardLines()) {
      auto row = (*db)->insertRow("COMANDAS", line);
      ASSERT_TRUE(row) << row.error().description;
    }
  }
  cocina::test::TempDir dir;
  std::string path;
};

TEST_P(ScanBuffers, EveryRowReadsAsAFreshReadOfItAloneDoes) {
  auto db = jet::Database::open(path, {.readOnly = true});
  ASSERT_TRUE(db) << db.error().description;
  // Rows first, then ids alone, with the row ids saved to read each row anew.
  std::vector<std::vector<Value>> scanned;
  std::vector<jet::RowId> ids;
  {
    auto cursor = (*db)->scan("COMANDAS", {0, 1, 2, 3});
    ASSERT_TRUE(cursor) << cursor.error().description;
    while (true) {
      auto more = (*cursor)->next();
      ASSERT_TRUE(more) << more.error().description;
      if (!*more) break;
      scanned.push_back((*cursor)->values());
      ids.push_back((*cursor)->rowId());
    }
  }
  const auto expected = awkwardLines();
  ASSERT_EQ(scanned.size(), expected.size());
  for (size_t r = 0; r < scanned.size(); ++r) {
    auto alone = (*db)->readRow("COMANDAS", ids[r]);
    ASSERT_TRUE(alone) << alone.error().description;
    EXPECT_EQ(scanned[r], *alone) << "row " << r;
    EXPECT_EQ(scanned[r], expected[r]) << "row " << r;
  }
}

TEST_P(ScanBuffers, AProjectionInAnyOrderGivesJustThoseColumns) {
  auto db = jet::Database::open(path, {.readOnly = true});
  ASSERT_TRUE(db);
  auto cursor = (*db)->scan("COMANDAS", {2, 0});
  ASSERT_TRUE(cursor);
  const auto expected = awkwardLines();
  for (const auto& line : expected) {
    auto more = (*cursor)->next();
    ASSERT_TRUE(more && *more);
    ASSERT_EQ((*cursor)->values().size(), 2u);
    EXPECT_EQ((*cursor)->values()[0], line[2]);
    EXPECT_EQ((*cursor)->values()[1], line[0]);
  }
  auto end = (*cursor)->next();
  ASSERT_TRUE(end);
  EXPECT_FALSE(*end);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, ScanBuffers, ::testing::Values("mdb", "accdb"));

std::vector<uint8_t> ucs2(std::u16string_view text) {
  std::vector<uint8_t> out;
  for (char16_t u : text) {
    out.push_back(static_cast<uint8_t>(u & 0xFF));
    out.push_back(static_cast<uint8_t>(u >> 8));
  }
  return out;
}

TEST(TextDecoding, DecodingIntoAStringReplacesWhatItHeld) {
  std::string text = "Hamburguesa completa con patatas";
  jet::storage::decodeUcs2TextInto(ucs2(u"Té"), text);
  EXPECT_EQ(text, "Té");
  jet::storage::decodeUcs2TextInto({}, text);
  EXPECT_EQ(text, "");
  jet::storage::decodeCodePageTextInto(std::vector<uint8_t>{0x80, 'x'}, 1252, text);
  EXPECT_EQ(text, "€x");
  jet::storage::decodeCodePageTextInto(std::vector<uint8_t>{0x80}, 28591, text);
  EXPECT_EQ(text, "\xC2\x80") << "ISO-8859-1 has no euro sign";
}

TEST(TextDecoding, SurrogatesPairAcrossUnitsAndNotAcrossARunOfOneByteCharacters) {
  // U+1F37A (a beer mug) as a surrogate pair.
  EXPECT_EQ(jet::storage::decodeUcs2Text(ucs2(u"\U0001F37A!")), "\xF0\x9F\x8D\xBA!");
  // A high surrogate cut short by a switch to one-byte characters.
  const std::vector<uint8_t> cut = {0xFF, 0xFE, 0x00, 0x3C, 0xD8, 0x00, 'a'};
  EXPECT_EQ(jet::storage::decodeUcs2Text(cut),
            "\xEF\xBF\xBD"
            "a");
  // A lone low surrogate and a high one at the very end.
  EXPECT_EQ(jet::storage::decodeUcs2Text(ucs2(u"\xDC00x\xD800")), "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

TEST(TextDecoding, TextLongerThanAPageDecodesWhole) {
  // Memos run past a page; the decoder then works in the string itself.
  std::u16string units;
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    units += u"ñ\U0001F37A";
    expected += "ñ\xF0\x9F\x8D\xBA";
  }
  std::string text = "old";
  jet::storage::decodeUcs2TextInto(ucs2(units), text);
  EXPECT_EQ(text, expected);
  std::vector<uint8_t> compressed = {0xFF, 0xFE};
  compressed.insert(compressed.end(), 9000, 0xF1);  // ñ as one byte each
  jet::storage::decodeUcs2TextInto(compressed, text);
  std::string enyes;
  for (int i = 0; i < 9000; ++i) enyes += "ñ";
  EXPECT_EQ(text, enyes);
}

TEST(CsvFields, AppendingKeepsWhatTheBufferAlreadyHolds) {
  std::string record = "1,";
  jet::csv::appendField(record, Value::text("Piña"));
  record += ',';
  jet::csv::appendField(record, Value::null());
  record += ',';
  jet::csv::appendField(record, Value::longValue(-42));
  EXPECT_EQ(record, "1,\"Piña\",,-42");
}

TEST(CsvFields, QuotesAreDoubledWhereverTheyStand) {
  EXPECT_EQ(jet::csv::field(Value::text("\"")), "\"\"\"\"");
  EXPECT_EQ(jet::csv::field(Value::text("\"mesa\"")), "\"\"\"mesa\"\"\"");
  EXPECT_EQ(jet::csv::field(Value::text("a\"\"b")), "\"a\"\"\"\"b\"");
  EXPECT_EQ(jet::csv::field(Value::text("")), "\"\"");
}

TEST(CsvFields, AnEmptyBinaryValueIsNotNull) {
  EXPECT_EQ(jet::csv::field(Value::binary({})), "\"\"");
  EXPECT_EQ(jet::csv::field(Value::null()), "");
  EXPECT_EQ(jet::csv::field(Value::binary({0x00, 0xAB})), "00AB");
}

TEST(CsvFields, DatesAtTheEdgesOfTheCalendarAndOfTheDay) {
  auto date = [](double days) { return jet::csv::field(Value::dateTime(jet::DateTime{days})); };
  EXPECT_EQ(date(0), "1899-12-30 00:00:00");
  EXPECT_EQ(date(0.999999), "1899-12-31 00:00:00") << "a second rounded up starts the next day";
  EXPECT_EQ(date(-1.25), "1899-12-29 06:00:00") << "before 1899 the time is still positive";
  EXPECT_EQ(date(-0.5), "1899-12-30 12:00:00");
  EXPECT_EQ(date(-693593.5), "0001-01-01 12:00:00");
  EXPECT_EQ(date(-693594), "0000-12-31 00:00:00");
  EXPECT_EQ(date(-700000.75), "-017-06-18 18:00:00");
  EXPECT_EQ(date(2958465), "9999-12-31 00:00:00");
  EXPECT_EQ(date(2958465.999999), "10000-01-01 00:00:00");
  EXPECT_EQ(date(std::numeric_limits<double>::quiet_NaN()), "");
  EXPECT_EQ(date(4.0e6), "");
}

TEST(CsvFields, CurrencyKeepsOnlyTheDigitsItNeeds) {
  auto money = [](int64_t scaled) { return jet::csv::field(Value::currency({scaled})); };
  EXPECT_EQ(money(std::numeric_limits<int64_t>::min()), "-922337203685477.5808");
  EXPECT_EQ(money(std::numeric_limits<int64_t>::max()), "922337203685477.5807");
  EXPECT_EQ(money(15000), "1.5");
  EXPECT_EQ(money(10000), "1");
  EXPECT_EQ(money(1230), "0.123");
  EXPECT_EQ(money(-1), "-0.0001");
  EXPECT_EQ(money(0), "0");
}

}  // namespace
