// The row codec on rows built byte by byte: the Jet 3 jump table, rows
// shorter than their table, compressed text, long-value chains, and the
// CSV forms of dates.
#include <gtest/gtest.h>

#include <map>

#include "jet/csv.h"
#include "jet/storage/read/row_codec.h"
#include "jet/storage/tables/text_codec.h"

namespace {

using namespace jet::storage;

TEST(RowCodec, Jet3JumpTableAddsTheHundredsPastEachBoundary) {
  // One variable Text column of 300 bytes at offset 1: the end-of-data
  // offset (301) lies past 256, so the jump table says entry 1 is +256.
  std::vector<uint8_t> row;
  row.push_back(1);                                // column count
  row.insert(row.end(), 300, 'x');                 // the text
  row.push_back(static_cast<uint8_t>(301 - 256));  // offset table entry 1 (end), low byte
  row.push_back(1);                                // entry 0: start at 1
  row.push_back(1);                                // jump table: entry 1 is the first past 256
  row.push_back(1);                                // one variable column
  row.push_back(0x01);                             // null mask: present
  auto parts = splitRow(row, jet::format::kJet3Layout, true);
  ASSERT_TRUE(parts) << parts.error().description;
  ASSERT_EQ(parts->varCount, 1);
  EXPECT_EQ(parts->varOffsets[0], 1);
  EXPECT_EQ(parts->varOffsets[1], 301);
  jet::ColumnDef text;
  text.type = jet::ColumnType::Text;
  ColumnPlacement place;
  DecodeContext ctx{&jet::format::kJet3Layout, 1252, nullptr};
  auto v = decodeColumn(*parts, text, place, ctx);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->asText(), std::string(300, 'x'));
}

TEST(RowCodec, AColumnAddedAfterTheRowWasWrittenIsNull) {
  // Jet 4 row with one fixed Long column; the table now has a second one.
  std::vector<uint8_t> row = {1, 0, 42, 0, 0, 0, 0x01};
  auto parts = splitRow(row, jet::format::kJet4Layout, false);
  ASSERT_TRUE(parts);
  jet::ColumnDef col;
  col.type = jet::ColumnType::Long;
  ColumnPlacement first{0, 0, 0, 4, 0x01, true}, added{1, 0, 4, 4, 0x01, true};
  DecodeContext ctx{&jet::format::kJet4Layout, 0, nullptr};
  EXPECT_EQ(decodeColumn(*parts, col, first, ctx)->asLong(), 42);
  EXPECT_TRUE(decodeColumn(*parts, col, added, ctx)->isNull());
}

TEST(RowCodec, CompressedTextSwitchesBetweenOneAndTwoByteRuns) {
  const std::vector<uint8_t> bytes = {0xFF, 0xFE, 'C', 'a', 'f', 0x00, 0xE9, 0x00, 0x00, '!'};
  EXPECT_EQ(decodeUcs2Text(bytes), "Café!");
  const std::vector<uint8_t> plain = {'M', 0, 'e', 0, 's', 0, 'a', 0};
  EXPECT_EQ(decodeUcs2Text(plain), "Mesa");
  const std::vector<uint8_t> cp1252 = {'A', 0xF1, 'o', ' ', 0x80};
  EXPECT_EQ(decodeCodePageText(cp1252, 1252), "Año €");
}

class MapRows : public LongValueSource {
 public:
  std::map<std::pair<uint32_t, uint16_t>, std::vector<uint8_t>> rows;
  jet::Result<ByteSpan> row(RowPointer w) override {
    auto it = rows.find({w.page, w.slot});
    if (it == rows.end()) return jet::Error{-1, "no row"};
    return ByteSpan(it->second);
  }
  uint32_t maxChainRows() const override { return 100; }
};

std::vector<uint8_t> chainRow(uint32_t nextPage, uint8_t nextSlot, std::string_view data) {
  // Sized once: growing a four-byte vector here set off a false
  // out-of-bounds warning in GCC 12.
  std::vector<uint8_t> r(4 + data.size());
  r[0] = nextSlot;
  r[1] = static_cast<uint8_t>(nextPage);
  r[2] = static_cast<uint8_t>(nextPage >> 8);
  r[3] = static_cast<uint8_t>(nextPage >> 16);
  std::copy(data.begin(), data.end(), r.begin() + 4);
  return r;
}

TEST(RowCodec, LongValueChainsAreReadWholeAndLoopsAreCaught) {
  MapRows source;
  source.rows[{7, 0}] = chainRow(8, 2, "primera ");
  source.rows[{8, 2}] = chainRow(0, 0, "segunda");
  LongValueRef ref;
  ref.kind = LongValueRef::Kind::Chain;
  ref.length = 15;
  ref.where = RowPointer{7, 0};
  auto v = readLongValue(ref, source);
  ASSERT_TRUE(v) << v.error().description;
  EXPECT_EQ(std::string(v->begin(), v->end()), "primera segunda");

  source.rows[{8, 2}] = chainRow(7, 0, "segunda");  // back to the start
  ref.length = 1000;
  auto loop = readLongValue(ref, source);
  ASSERT_FALSE(loop);
  EXPECT_NE(loop.error().description.find("vuelve"), std::string::npos);

  ref.length = 100000;  // longer than the rows hold
  source.rows[{8, 2}] = chainRow(0, 0, "segunda");
  EXPECT_FALSE(readLongValue(ref, source));
}

TEST(CsvFields, DatesRoundToTheSecondAndKeepTheirTimeBefore1900) {
  EXPECT_EQ(jet::csv::formatDateTime({0.5}), "1899-12-30 12:00:00");
  EXPECT_EQ(jet::csv::formatDateTime({27293.0}), "1974-09-21 00:00:00");
  EXPECT_EQ(jet::csv::formatDateTime({-1.25}), "1899-12-29 06:00:00");
  EXPECT_EQ(jet::csv::formatDateTime({1.0 - 0.1 / 86400}), "1899-12-31 00:00:00");
  EXPECT_EQ(jet::csv::field(jet::Value::currency({-12345})), "-1.2345");
  EXPECT_EQ(jet::csv::field(jet::Value::dbl(0.1)), "0.1");
  EXPECT_EQ(jet::csv::field(jet::Value::text("dijo \"sí\"")), "\"dijo \"\"sí\"\"\"");
  EXPECT_EQ(jet::csv::field(jet::Value::null()), "");
}

}  // namespace
