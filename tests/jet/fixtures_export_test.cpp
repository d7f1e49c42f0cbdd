// Every table of every Access-made fixture reads the same through the
// engine as through mdb-export, value by value: numbers compared as
// numbers, texts exactly, dates as dates, binary as bytes. Rows are compared
// as a multiset, since mdbtools lists rows that Access moved to another page
// where they physically sit rather than where the table has them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "jet/csv.h"
#include "jet/database.h"
#include "support/csv.h"
#include "support/fixtures.h"
#include "support/mdb_tools.h"

namespace {

using cocina::test::CsvField;
using cocina::test::CsvRecord;

// mdbtools prints a character it can't convert as '?' (Jet 3 text may hold
// code-page bytes with no character); both sides fold the C1 controls and
// the replacement character to '?' before comparing.
std::string foldUnconvertible(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
      out.push_back('?');
      ++i;
    } else if (c == 0xEF && utf8.compare(i, 3, "\xEF\xBF\xBD") == 0) {
      out.push_back('?');
      i += 2;
    } else {
      out.push_back(utf8[i]);
    }
  }
  return out;
}

std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string hexToText(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

// A replication id's hex digits alone (mdbtools leaves out the last dash).
std::string guidDigits(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), '-'), s.end());
  return upper(s);
}

std::string canonicalNumber(double x, int digits) {
  char buf[64];
  if (x == 0) x = 0;  // no negative zero
  std::snprintf(buf, sizeof buf, "%.*g", digits, x);
  return buf;
}

constexpr const char* kNull = "<NULL>";
constexpr const char* kBefore1900 = "<before 1900>";

// The engine's value, in the canonical form both sides are brought to.
std::string canonicalOurs(const jet::Value& v) {
  using jet::ValueType;
  switch (v.type()) {
    case ValueType::Null: return kNull;
    case ValueType::Text: return foldUnconvertible(v.asText());
    case ValueType::Boolean: return v.asBoolean() ? "1" : "0";
    case ValueType::Single: return canonicalNumber(v.asSingle(), 6);
    case ValueType::Double: return canonicalNumber(v.asDouble(), 12);
    case ValueType::Currency: return canonicalNumber(v.asCurrency().scaled / 10000.0, 15);
    case ValueType::Decimal:
      return canonicalNumber(std::stod(jet::csv::formatDecimal(v.asDecimal())), 15);
    case ValueType::Byte:
    case ValueType::Integer:
    case ValueType::Long:
    case ValueType::BigInt: return jet::csv::field(v);
    case ValueType::DateTime: {
      // mdbtools can't show dates before 1900; they are only checked as such.
      std::string s = jet::csv::formatDateTime(v.asDateTime());
      return s < "1900-01-01" ? kBefore1900 : s;
    }
    // mdb-export prints an empty binary value as it prints NULL.
    case ValueType::Binary: return v.asBinary().empty() ? kNull : upper(jet::csv::field(v));
    case ValueType::Guid: return guidDigits(jet::csv::formatGuid(v.asGuid()));
    case ValueType::ExtendedDateTime: return jet::csv::field(v);
  }
  return "?";
}

// mdb-export's field for a column of type `t`, in the same canonical form.
std::string canonicalOracle(const CsvField& f, jet::ColumnType t) {
  using jet::ColumnType;
  if (f.isNull()) return t == ColumnType::Boolean ? "0" : kNull;
  switch (t) {
    case ColumnType::Single: return canonicalNumber(std::stod(f.text), 6);
    case ColumnType::Double: return canonicalNumber(std::stod(f.text), 12);
    case ColumnType::Currency:
    case ColumnType::Numeric: return canonicalNumber(std::stod(f.text), 15);
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long:
    case ColumnType::Complex:
    case ColumnType::BigInt: return std::to_string(std::stoll(f.text));
    case ColumnType::Boolean: return std::stoi(f.text) ? "1" : "0";
    case ColumnType::DateTime:
      // "1900-01-00": mdbtools' rendering of a date before 1900.
      return f.text < "1900-01-01" ? kBefore1900 : f.text;
    case ColumnType::Binary:
    case ColumnType::OLE: return upper(f.text);
    case ColumnType::Guid:
      // Jet 3 files: mdbtools turns the id into its text, then that text into hex.
      return guidDigits(!f.text.empty() && f.text[0] != '{' ? hexToText(f.text) : f.text);
    default: return foldUnconvertible(f.text);
  }
}

struct TableCase {
  std::string file;
  std::string table;
};

std::vector<TableCase> allTables() {
  std::vector<TableCase> out;
  if (!cocina::test::haveMdbTools()) return out;
  for (const auto& f : cocina::test::fixtureFiles()) {
    for (const auto& t : cocina::test::mdbTables(f)) out.push_back({f, t});
  }
  return out;
}

// The fixtures and the reader to compare with; when either is missing the
// test is skipped (failed in CI) and must return.
bool haveOracle() {
  return cocina::test::requireFixtures() && cocina::test::requireMdbTools();
}

TEST(FixtureExport, TableListsMatchMdbTools) {
  if (!haveOracle()) return;
  for (const auto& f : cocina::test::fixtureFiles()) {
    SCOPED_TRACE(f);
    auto db = jet::Database::open(f, {.readOnly = true});
    ASSERT_TRUE(db) << db.error().description;
    auto ours = (*db)->tableNames(false);
    ASSERT_TRUE(ours) << ours.error().description;
    auto theirs = cocina::test::mdbTables(f);
    std::multiset<std::string> a(ours->begin(), ours->end()), b(theirs.begin(), theirs.end());
    EXPECT_EQ(a, b);
  }
}

TEST(FixtureExport, EveryTableReadsTheSameValuesAsMdbExport) {
  if (!haveOracle()) return;
  auto cases = allTables();
  ASSERT_FALSE(cases.empty());
  size_t valuesCompared = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::filesystem::path(c.file).filename().string() + " / " + c.table);
    auto oracle = cocina::test::mdbExport(c.file, c.table);
    ASSERT_TRUE(oracle.has_value()) << "mdb-export failed";
    ASSERT_FALSE(oracle->empty());

    auto db = jet::Database::open(c.file, {.readOnly = true});
    ASSERT_TRUE(db) << db.error().description;
    auto schema = (*db)->table(c.table);
    ASSERT_TRUE(schema) << schema.error().description;

    // Header: the same columns in the same order.
    const CsvRecord& header = oracle->front();
    ASSERT_EQ(header.size(), schema->columns.size());
    for (size_t i = 0; i < header.size(); ++i) EXPECT_EQ(header[i].text, schema->columns[i].name);

    std::vector<int> all(schema->columns.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    auto cursor = (*db)->scan(c.table, all);
    ASSERT_TRUE(cursor) << cursor.error().description;
    std::multiset<std::vector<std::string>> ours, theirs;
    while (true) {
      auto more = (*cursor)->next();
      ASSERT_TRUE(more) << more.error().description;
      if (!*more) break;
      std::vector<std::string> row;
      for (const auto& v : (*cursor)->values()) row.push_back(canonicalOurs(v));
      ours.insert(std::move(row));
    }
    for (size_t r = 1; r < oracle->size(); ++r) {
      const CsvRecord& rec = (*oracle)[r];
      ASSERT_EQ(rec.size(), schema->columns.size()) << "mdb-export record " << r;
      std::vector<std::string> row;
      for (size_t i = 0; i < rec.size(); ++i)
        row.push_back(canonicalOracle(rec[i], schema->columns[i].type));
      theirs.insert(std::move(row));
    }
    EXPECT_EQ(ours.size(), theirs.size());
    // Report the first rows that differ rather than two huge sets.
    std::vector<std::vector<std::string>> onlyOurs, onlyTheirs;
    std::set_difference(ours.begin(), ours.end(), theirs.begin(), theirs.end(),
                        std::back_inserter(onlyOurs));
    std::set_difference(theirs.begin(), theirs.end(), ours.begin(), ours.end(),
                        std::back_inserter(onlyTheirs));
    for (size_t i = 0; i < std::min<size_t>(3, onlyOurs.size()); ++i) {
      std::string s;
      for (const auto& f : onlyOurs[i]) s += "[" + f.substr(0, 60) + "]";
      ADD_FAILURE() << "only the engine reads " << s;
    }
    for (size_t i = 0; i < std::min<size_t>(3, onlyTheirs.size()); ++i) {
      std::string s;
      for (const auto& f : onlyTheirs[i]) s += "[" + f.substr(0, 60) + "]";
      ADD_FAILURE() << "only mdb-export reads " << s;
    }
    valuesCompared += theirs.size() * schema->columns.size();
  }
  EXPECT_GT(valuesCompared, 0u);
}

}  // namespace
