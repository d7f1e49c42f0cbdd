// Where the Access-made fixture files are, and what a test does when they
// (or an outside reader it checks against) are missing: on a developer's
// machine it is skipped; in CI, where COCINA_REQUIRE_FIXTURES=1, it fails,
// so a lost fixture folder or oracle can't leave the run green.
#pragma once

#include <source_location>
#include <string>
#include <string_view>
#include <vector>

namespace cocina::test {

// The folder of Access-made files: $COCINA_FIXTURES_DIR when set, else the
// folder the build was configured with (compile definition of the same name).
std::string fixturesDir();
// True when the folder exists and holds at least one .mdb or .accdb file.
bool fixturesAvailable();
// Full paths of every .mdb and .accdb file there, sorted by name.
std::vector<std::string> fixtureFiles();
// Full path of one fixture by file name.
std::string fixturePath(std::string_view fileName);
// The files Jackcess wrote, in the folder "independent" beside the
// Access-made ones: every .mdb and .accdb there, sorted by name (the CSV
// of each table's values lies beside each file).
std::vector<std::string> independentFixtureFiles();
// Full path of one of them by file name.
std::string independentFixturePath(std::string_view fileName);
// The largest fixture file (by size); empty when there are none.
std::string largestFixture();

// True when the environment sets COCINA_REQUIRE_FIXTURES=1.
bool fixturesRequired();
// Marks the running test skipped with `reason`, or failed (fatally, so a
// test body after SetUp does not run) when fixturesRequired(); a failure
// is reported at the caller's line. It returns to its caller, who must
// return at once: `return skipOrFailMissing(...);`.
void skipOrFailMissing(const std::string& reason,
                       std::source_location where = std::source_location::current());
// fixturesAvailable(), and when not, skipOrFailMissing() with the folder
// named: `if (!requireFixtures()) return;`.
bool requireFixtures(std::source_location where = std::source_location::current());
// The same for the files Jackcess wrote.
bool requireIndependentFixtures(std::source_location where = std::source_location::current());

}  // namespace cocina::test
