// The test-support library's own promises, where a fault would hide others:
// the CI switch turns a missing fixture into a failure (and only then), the
// fixture folder can be pointed elsewhere, temporary folders never collide
// and take their contents with them, and the CSV reader reads what the
// exporters write.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/csv.h"
#include "support/fixtures.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace cocina::test;

// Sets an environment variable for one scope and puts back what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// What skipOrFailMissing (or a helper calling it) reports, caught before it
// reaches the running test.
template <class F>
std::vector<::testing::TestPartResult> reportsOf(F f) {
  ::testing::TestPartResultArray results;
  {
    ::testing::ScopedFakeTestPartResultReporter catcher(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
    f();
  }
  std::vector<::testing::TestPartResult> out;
  for (int i = 0; i < results.size(); ++i) out.push_back(results.GetTestPartResult(i));
  return out;
}

TEST(MissingFixture, SkipsByDefaultAndFailsFatallyWhenRequired) {
  for (const char* setting : {static_cast<const char*>(nullptr), "0", ""}) {
    ScopedEnv env("COCINA_REQUIRE_FIXTURES", setting);
    auto r = reportsOf([] { skipOrFailMissing("no folder here"); });
    ASSERT_EQ(r.size(), 1u);
    EXPECT_TRUE(r[0].skipped()) << (setting ? setting : "(unset)");
    EXPECT_NE(std::string(r[0].message()).find("no folder here"), std::string::npos);
  }
  ScopedEnv env("COCINA_REQUIRE_FIXTURES", "1");
  auto r = reportsOf([] { skipOrFailMissing("no folder here"); });
  ASSERT_EQ(r.size(), 1u);
  EXPECT_TRUE(r[0].fatally_failed());
  EXPECT_NE(std::string(r[0].message()).find("no folder here"), std::string::npos);
  // Reported where the test asked, not inside the helper.
  ASSERT_NE(r[0].file_name(), nullptr);
  EXPECT_EQ(fs::path(r[0].file_name()).filename(), "support_test.cpp");
}

TEST(MissingFixture, TheFolderComesFromTheEnvironmentAndMustHoldAnAccessFile) {
  TempDir dir;
  ScopedEnv folder("COCINA_FIXTURES_DIR", dir.path().c_str());
  ScopedEnv required("COCINA_REQUIRE_FIXTURES", "1");
  EXPECT_EQ(fixturesDir(), dir.path());
  dir.write("notas.txt", "no database");
  bool available = true;
  auto r = reportsOf([&] { available = requireFixtures(); });
  EXPECT_FALSE(available);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_TRUE(r[0].fatally_failed());
  EXPECT_NE(std::string(r[0].message()).find(dir.path()), std::string::npos);

  dir.write("b.accdb", "x");
  dir.write("a.mdb", "xy");
  r = reportsOf([&] { available = requireFixtures(); });
  EXPECT_TRUE(available);
  EXPECT_EQ(r.size(), 0u);
  EXPECT_EQ(fixtureFiles(), (std::vector<std::string>{dir.file("a.mdb"), dir.file("b.accdb")}));
  EXPECT_EQ(largestFixture(), dir.file("a.mdb"));
}

TEST(TempDir, EachIsItsOwnAndGoesWithItsContents) {
  std::string first, second;
  {
    TempDir a, b;
    first = a.path();
    second = b.path();
    EXPECT_NE(first, second);
    fs::create_directories(fs::path(a.file("sonido")) / "dentro");
    a.write("sonido/dentro/prhelp.wav", "RIFF");
    EXPECT_EQ(readFile(a.file("sonido/dentro/prhelp.wav")), "RIFF");
  }
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(fs::exists(second));
}

TEST(TempDir, ACopyOfAReadOnlyFileCanBeWritten) {
  TempDir dir;
  std::string source = dir.write("original.mdb", "bytes");
  fs::permissions(source, fs::perms::owner_read, fs::perm_options::replace);
  std::string copy = dir.copy(source, "copia.mdb");
  EXPECT_EQ(readFile(copy), "bytes");
  EXPECT_NE(fs::status(copy).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST(Csv, QuotedFieldsKeepCommasQuotesAndLineBreaks) {
  auto csv = parseCsv("id,nota\r\n1,\"con \"\"hielo\"\", sin\nlimón\"\r\n2,\n3,\"\"");
  ASSERT_TRUE(csv);
  ASSERT_EQ(csv->size(), 4u);
  EXPECT_EQ((*csv)[1][1].text, "con \"hielo\", sin\nlimón");
  // NULL is an empty unquoted field; an empty text is quoted.
  EXPECT_TRUE((*csv)[2][1].isNull());
  EXPECT_FALSE((*csv)[3][1].isNull());
  EXPECT_EQ((*csv)[3][1].text, "");
}

TEST(Csv, AQuoteLeftOpenIsNotARecord) {
  EXPECT_FALSE(parseCsv("1,\"sin cerrar\n2,b\n"));
  auto noEnd = parseCsv("1,a");
  ASSERT_TRUE(noEnd);
  ASSERT_EQ(noEnd->size(), 1u);
  EXPECT_EQ((*noEnd)[0][1].text, "a");
}

}  // namespace
