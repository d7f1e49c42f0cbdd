// The fixture folder and the one rule for a missing fixture or oracle:
// skip, or fail when the run requires them.
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace cocina::test {

std::string fixturesDir() {
  if (const char* dir = std::getenv("COCINA_FIXTURES_DIR"); dir && *dir) return dir;
#ifdef COCINA_FIXTURES_DIR
  return COCINA_FIXTURES_DIR;
#else
  return "";
#endif
}

namespace {

std::string independentDir() {
  return (fs::path(fixturesDir()) / ".." / "independent").string();
}

std::vector<std::string> databaseFilesIn(const std::string& dir) {
  std::vector<std::string> out;
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return out;
  for (const auto& e : fs::directory_iterator(dir, ec)) {
    const auto ext = e.path().extension().string();
    if (e.is_regular_file() && (ext == ".mdb" || ext == ".accdb")) out.push_back(e.path().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

std::vector<std::string> fixtureFiles() {
  return databaseFilesIn(fixturesDir());
}

std::vector<std::string> independentFixtureFiles() {
  return databaseFilesIn(independentDir());
}

std::string independentFixturePath(std::string_view fileName) {
  return (fs::path(independentDir()) / std::string(fileName)).string();
}

bool fixturesAvailable() {
  return !fixtureFiles().empty();
}

std::string fixturePath(std::string_view fileName) {
  return (fs::path(fixturesDir()) / std::string(fileName)).string();
}

std::string largestFixture() {
  std::string best;
  std::uintmax_t size = 0;
  for (const auto& f : fixtureFiles()) {
    std::error_code ec;
    auto s = fs::file_size(f, ec);
    if (!ec && s > size) {
      size = s;
      best = f;
    }
  }
  return best;
}

bool fixturesRequired() {
  const char* v = std::getenv("COCINA_REQUIRE_FIXTURES");
  return v && std::string_view(v) == "1";
}

void skipOrFailMissing(const std::string& reason, std::source_location where) {
  if (fixturesRequired()) {
    GTEST_FAIL_AT(where.file_name(), static_cast<int>(where.line()))
        << reason << " (COCINA_REQUIRE_FIXTURES=1)";
    return;  // GTEST_FAIL_AT, unlike GTEST_FAIL, does not return
  }
  GTEST_SKIP() << reason;
}

bool requireFixtures(std::source_location where) {
  if (fixturesAvailable()) return true;
  skipOrFailMissing("no Access fixtures at " + fixturesDir(), where);
  return false;
}

bool requireIndependentFixtures(std::source_location where) {
  if (!independentFixtureFiles().empty()) return true;
  skipOrFailMissing("no files written by Jackcess at " + independentDir(), where);
  return false;
}

}  // namespace cocina::test
