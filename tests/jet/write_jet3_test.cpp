// Writing Access 97 files: rows encoded exactly as Access 97 encodes them,
// and inserts, updates and deletes on copies of files Access 97 made, read
// back by mdb-export.
#include <gtest/gtest.h>

#include <algorithm>

#include "jet/format/jet_format.h"
#include "jet/storage/file_database.h"
#include "jet/storage/read/row_codec.h"
#include "jet/storage/read/row_encode.h"
#include "jet/storage/read/table_cursor.h"
#include "support/expect_sound.h"
#include "support/fixtures.h"
#include "support/mdb_tools.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;
using cocina::test::expectSound;
using cocina::test::TempDir;

std::vector<std::string> access97Fixtures() {
  std::vector<std::string> out;
  for (const auto& f : cocina::test::fixtureFiles()) {
    if (f.find("V1997") != std::string::npos) out.push_back(f);
  }
  return out;
}

// Every row Access 97 wrote in the fixtures (but those holding memo or OLE
// values, whose fields name pages of their own, and text with bytes the
// code page does not define) encodes from its values to
// the very bytes Access wrote: column count, one-byte offsets, jump table
// and all.
TEST(Access97Rows, EncodeToTheBytesAccessWrote) {
  if (access97Fixtures().empty()) {
    return cocina::test::skipOrFailMissing("no Access 97 fixtures at " +
                                           cocina::test::fixturesDir());
  }
  int compared = 0, withJumps = 0;
  for (const auto& fixture : access97Fixtures()) {
    auto db = storage::FileDatabase::open(fixture, OpenOptions{.readOnly = true});
    ASSERT_TRUE(db) << fixture << ": " << db.error().description;
    auto catalog = (*db)->catalog();
    ASSERT_TRUE(catalog);
    storage::Pager& pager = (*db)->pager();
    storage::RowEncodeOptions options;
    options.jet3 = true;
    options.codePage = pager.header().codePage;
    for (const auto& entry : *catalog) {
      auto def = (*db)->tableDef(entry.name);
      if (!def) continue;  // not a table
      const auto& cols = (*def)->schema.columns;
      std::vector<int> all(cols.size());
      for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
      auto cursor = storage::TableCursor::open(pager, *def, all);
      ASSERT_TRUE(cursor) << entry.name;
      while (true) {
        auto more = (*cursor)->next();
        ASSERT_TRUE(more) << entry.name;
        if (!*more) break;
        const auto& values = (*cursor)->values();
        bool skip = false;
        for (size_t i = 0; i < cols.size(); ++i) {
          skip = skip || ((cols[i].type == ColumnType::Memo || cols[i].type == ColumnType::OLE) &&
                          !values[i].isNull());
          // A byte the code page leaves undefined reads as U+FFFD: such a
          // text can't be written back, and the writer refuses it.
          skip = skip || (values[i].isText() &&
                          values[i].asText().find("\xEF\xBF\xBD") != std::string::npos);
        }
        if (skip) continue;
        RowId id = (*cursor)->rowId();
        auto page = pager.page(id.page);
        ASSERT_TRUE(page);
        auto slot = storage::locateRow(**page, format::kJet3Layout, id.slot);
        ASSERT_TRUE(slot);
        if (slot->moved) continue;
        std::vector<uint8_t> stored((*page)->begin() + slot->start, (*page)->begin() + slot->end);
        // Access leaves old bytes in the fixed place of a Null value.
        for (size_t i = 0; i < cols.size(); ++i) {
          const auto& p = (*def)->placements[i];
          if (!p.fixed || !values[i].isNull() || cols[i].type == ColumnType::Boolean) continue;
          size_t at = 1 + p.fixedOffset;
          std::fill(stored.begin() + at, stored.begin() + std::min(stored.size(), at + p.length),
                    0);
        }
        auto encoded = storage::encodeRow(**def, values, nullptr, options);
        ASSERT_TRUE(encoded) << entry.name << ": " << encoded.error().description;
        EXPECT_EQ(*encoded, stored)
            << fixture << " " << entry.name << " row " << id.page << ":" << id.slot;
        ++compared;
        withJumps += stored.size() > 256;
      }
    }
  }
  EXPECT_GT(compared, 100);
}

std::string repeated(const std::string& piece, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// overflowTestV1997.mdb's Table1: nine Text(50) columns, no index.
TEST(Access97Writes, InsertUpdateDeleteOnACopyReadBackByMdbExport) {
  if (!cocina::test::requireMdbTools()) return;
  if (access97Fixtures().empty()) {
    return cocina::test::skipOrFailMissing("no Access 97 fixtures at " +
                                           cocina::test::fixturesDir());
  }
  TempDir dir;
  std::string path = dir.copy(cocina::test::fixturePath("overflowTestV1997.mdb"));
  auto before = cocina::test::mdbExportLines(path, "Table1");
  ASSERT_TRUE(before);
  ASSERT_EQ(before->size(), 7u);
  std::string full = repeated("ñandú-", 8) + "xx";  // 50 characters
  // The first column's text: for the 5-column row, long enough that the
  // data ends just short of byte 256 and the row itself past it.
  auto first = [](size_t n) {
    std::string t = "nueva " + std::to_string(n);
    return n == 5 ? t + repeated("x", 49 - t.size()) : t;
  };
  {
    auto db = Database::open(path);
    ASSERT_TRUE(db) << db.error().description;
    // Rows of about 60, 260, 310 and 460 bytes: no jump table, one of one
    // filler entry, and two of one real entry.
    for (size_t n : {1u, 5u, 6u, 9u}) {
      std::vector<Value> r(9);
      for (size_t c = 0; c < n; ++c) r[c] = Value::text(c == 0 ? first(n) : full);
      ASSERT_TRUE((*db)->insertRow("Table1", r)) << n;
    }
    auto cursor = (*db)->scan("Table1", {0});
    ASSERT_TRUE(cursor);
    std::vector<RowId> ids;
    std::vector<std::string> firsts;
    while (*(*cursor)->next()) {
      ids.push_back((*cursor)->rowId());
      const Value& v = (*cursor)->values()[0];
      firsts.push_back(v.isNull() ? "NULL" : v.asText());
    }
    cursor->reset();
    auto at = [&](const std::string& first) {
      return ids[std::find(firsts.begin(), firsts.end(), first) - firsts.begin()];
    };
    // Grows past what the page has left between rows: the row moves.
    ASSERT_TRUE((*db)->updateRow("Table1", at("row1col1"),
                                 {{1, Value::text(full)}, {8, Value::text("Ñ ÁÉÍÓÚ Ü €")}}));
    ASSERT_TRUE((*db)->deleteRow("Table1", at("row4col1")));
    // A character Windows-1252 lacks: refused, and the row stays as it was.
    auto refused = (*db)->updateRow("Table1", at("row7col1"), {{1, Value::text("日本")}});
    EXPECT_FALSE(refused);
  }
  auto after = cocina::test::mdbExportLines(path, "Table1");
  ASSERT_TRUE(after);
  std::vector<std::string> expected = *before;
  expected.erase(std::find(expected.begin(), expected.end(),
                           "row4col1|row4col2|NULL|NULL|NULL|NULL|NULL|NULL|NULL"));
  for (auto& line : expected) {
    if (line.rfind("row1col1|", 0) == 0) {
      line = "row1col1|" + full + "|NULL|NULL|NULL|NULL|NULL|NULL|Ñ ÁÉÍÓÚ Ü €";
    }
  }
  for (size_t n : {1u, 5u, 6u, 9u}) {
    std::string line = first(n);
    for (size_t c = 1; c < 9; ++c) line += "|" + (c < n ? full : std::string("NULL"));
    expected.push_back(line);
  }
  std::vector<std::string> got = *after;
  std::sort(expected.begin(), expected.end());
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, expected);
  expectSound(path);
}

}  // namespace
