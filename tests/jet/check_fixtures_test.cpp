// The integrity check on files Access made: every fixture is sound, and the
// text keys the engine computes are the ones Access wrote in its indexes
// (the check compares every index entry with the key computed from its row).
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/file_database.h"
#include "jet/storage/integrity_check.h"
#include "jet/storage/read/index_key.h"
#include "support/expect_sound.h"
#include "support/fixtures.h"
#include "support/temp_dir.h"

namespace {

using namespace jet;

std::vector<uint8_t> bytes(const char* hex) {
  std::vector<uint8_t> out;
  for (const char* p = hex; p[0] && p[1]; p += 2) {
    out.push_back(static_cast<uint8_t>(std::stoi(std::string(p, 2), nullptr, 16)));
  }
  return out;
}

TEST(CheckFixtures, EveryAccessMadeFileIsSoundAndItsTextKeysMatchOurs) {
  if (!cocina::test::requireFixtures()) return;
  int textIndexesVerified = 0;
  int access97IndexesVerified = 0;
  for (const auto& fixture : cocina::test::fixtureFiles()) {
    cocina::test::TempDir dir;
    auto db = storage::FileDatabase::open(dir.copy(fixture), OpenOptions{});
    ASSERT_TRUE(db) << fixture << ": " << db.error().description;
    auto report = storage::write::checkDatabase(**db);
    ASSERT_TRUE(report) << fixture;
    for (const auto& p : report->problems) ADD_FAILURE() << fixture << ": " << p;
    const bool access97 = (*db)->format() == FileFormat::Jet3;
    for (const auto& n : report->notes) {
      // "...; 3 de 4 índices comprobados": every entry equal to its row's key.
      if (auto at = n.find(" de "); access97 && at != std::string::npos &&
                                    n.find("índices comprobados") != std::string::npos) {
        size_t start = n.rfind("; ", at);
        if (start != std::string::npos) access97IndexesVerified += std::stoi(n.substr(start + 2));
      }
      // MSysObjects' ParentIdName index keys every table name as text.
      if (n.find("MSysObjects") != std::string::npos && n.find("2 de 2") != std::string::npos) {
        ++textIndexesVerified;
      }
    }
  }
  EXPECT_GE(textIndexesVerified, 10);
  // Access 97's text, numeric and date indexes, ascending and descending.
  EXPECT_GE(access97IndexesVerified, 60);
}

// Entries Access itself wrote (in testUnicodeCompV2003.mdb, testV2000.mdb
// and complexDataTestV2007.accdb), after the 0x7F flag.
TEST(GeneralSortOrder, TextKeysAreTheOnesAccessWrites) {
  struct Case {
    const char* text;
    const char* key;
  } cases[] = {
      {"abcdefg", "4a4c4d4f5153550100"},
      {"hijklmnop", "57595b5c5e606264660100"},
      {"only ascii chars", "64625e76074a6b4d5959074d574a696b0100"},
      {"row1", "696473380100"},
      {"ümlaut", "6f605e4a6f6d011300"},
      {"ääkkösiä", "4a4a5c5c646b594a01131302021302021300"},
      {"MSysNavPaneGroups", "606b766b624a71664a62515569646f666b0100"},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> key;
    ASSERT_TRUE(storage::appendIndexKeyPart(key, ColumnType::Text, Value::text(c.text), true));
    auto expected = bytes(c.key);
    expected.insert(expected.begin(), 0x7F);
    EXPECT_EQ(key, expected) << c.text;
  }
  // Case and accents sort with their letter; the accent only breaks ties.
  auto k = [](const char* t) { return *storage::generalTextKey(t); };
  EXPECT_EQ(k("PENDIENTE"), k("pendiente"));
  EXPECT_LT(k("canción"), k("cancioneS"));
  EXPECT_LT(k("nina"), k("niña"));
  EXPECT_LT(k("niña"), k("ninb"));
}

// Entries Access 97 wrote (testIndexCodesV1997.mdb, testV1997.mdb), after
// the flag: one code per character, then the accents as 4-bit codes, or a
// single 00 when there are none.
TEST(General97SortOrder, TextKeysAreTheOnesAccess97Writes) {
  struct Case {
    const char* text;
    bool ascending;
    const char* key;
  } cases[] = {
      {"row10", true, "75727b575600"},
      {"aÓa", true, "6072600240"},
      {"aÓa", false, "9f8d9ffdbf"},
      {"-ÁA-Á", true, "1e60601e60042400"},
      {"- Á--Á -", true, "1e11601e1e60111e0440"},
      {"aäaaÓaaƒaaäaaÛa", true, "6060606072606032606060606078600262242222622500"},
      {"aØa", false, "9f7e9fff"},
      {"a€a", true, "60106000"},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> key;
    ASSERT_TRUE(storage::appendIndexKeyPart(key, ColumnType::Text, Value::text(c.text), c.ascending,
                                            storage::TextKeyOrder::General97))
        << c.text;
    auto expected = bytes(c.key);
    expected.insert(expected.begin(), c.ascending ? 0x7F : 0x80);
    EXPECT_EQ(key, expected) << c.text;
  }
  auto k = [](const char* t) { return *storage::general97TextKey(t); };
  // Case and accents sort with their letter; the Spanish letters break ties.
  EXPECT_EQ(k("PENDIENTE"), k("pendiente"));
  EXPECT_EQ(k("ÑU"), k("ñu"));
  EXPECT_LT(k("ana"), k("aña"));
  EXPECT_LT(k("aña"), k("anb"));
  EXPECT_LT(k("Mesa 9"), k("Mesa A"));
  // A byte the code page leaves undefined reads as U+FFFD; Access gives
  // every such byte 0x10 (Table1's "AA?AA").
  EXPECT_EQ(k("AA\uFFFDAA"), bytes("606010606000"));
  // Only the letter A, blanks, hyphens and the f with hook were seen before
  // an accented letter: after any other character it is refused, naming it.
  for (const char* t : {"Piña", "2 cafés", "café 2", "¿Ñu?"}) {
    auto refused = storage::general97TextKey(t);
    ASSERT_FALSE(refused) << t;
    EXPECT_EQ(refused.error().number, errc::kNotSupported);
    EXPECT_NE(refused.error().description.find("delante de una letra acentuada"),
              std::string::npos);
  }
  EXPECT_NE(storage::general97TextKey("Piña").error().description.find("U+0050"),
            std::string::npos);
  EXPECT_TRUE(storage::general97TextKey("Ángel 2"));
  EXPECT_TRUE(storage::general97TextKey("Ñu ¿Ya? ¡2!"));
  EXPECT_FALSE(storage::general97TextKey("ā"));
  // The file's format and the column's sort order choose the rule.
  EXPECT_EQ(*storage::textKeyOrderFor(FileFormat::Jet3, 0x409, 0),
            storage::TextKeyOrder::General97);
  EXPECT_EQ(*storage::textKeyOrderFor(FileFormat::Jet4, 0x409, 0), storage::TextKeyOrder::General);
  EXPECT_FALSE(storage::textKeyOrderFor(FileFormat::Jet3, 0x40A, 0));
  EXPECT_EQ(*storage::textKeyOrderFor(FileFormat::Ace14, 0x409, 1),
            storage::TextKeyOrder::General2010);
  EXPECT_FALSE(storage::textKeyOrderFor(FileFormat::Ace12, 0x409, 2));
}

// The definition lists a descending column as descending: the check above
// finds the entries of compIndexTestV2003.mdb's CD_AGENTE in that order.
TEST(CheckFixtures, DescendingIndexColumnsReadAsDescending) {
  if (!cocina::test::requireFixtures()) return;
  auto db = storage::FileDatabase::open(cocina::test::fixturePath("compIndexTestV2003.mdb"),
                                        OpenOptions{.readOnly = true});
  ASSERT_TRUE(db) << db.error().description;
  int descending = 0, ascending = 0;
  auto catalog = (*db)->catalog();
  ASSERT_TRUE(catalog);
  for (const auto& e : *catalog) {
    auto def = (*db)->tableDef(e.name);
    if (!def) continue;
    for (const auto& ix : (*def)->schema.indexes) {
      for (const auto& c : ix.columns) (c.ascending ? ascending : descending)++;
    }
  }
  EXPECT_GE(descending, 1);
  EXPECT_GE(ascending, 1);
}

// Access leaves the row counts of table definitions behind (compacting sets
// them right): a count that disagrees with the rows is a note, not damage.
TEST(CheckFixtures, AStaleRowCountIsANote) {
  if (!cocina::test::requireFixtures()) return;
  cocina::test::TempDir dir;
  const std::string path = dir.copy(cocina::test::fixturePath("testV2000.mdb"));
  uint32_t page = 0;
  {
    auto db = storage::FileDatabase::open(path, OpenOptions{.readOnly = true});
    ASSERT_TRUE(db);
    auto catalog = (*db)->catalog();
    ASSERT_TRUE(catalog);
    for (const auto& e : *catalog) {
      if (e.name == "Table1") page = e.tableDefPage;
    }
  }
  ASSERT_NE(page, 0u);
  {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(page) * 4096 + format::kJet4Layout.tdefRowCountOffset);
    const char five[4] = {5, 0, 0, 0};
    f.write(five, 4);
  }
  auto notes = cocina::test::expectSoundWithNotes(path);
  EXPECT_NE(
      std::find(notes.begin(), notes.end(), "tabla Table1: la definición cuenta 5 filas y hay 2"),
      notes.end());
}

}  // namespace
