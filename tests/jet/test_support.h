// Helpers shared by the engine's tests (and any other layer's tests that
// read Access files): where the Access-made fixture files are, temporary
// folders that clean up after themselves, running an external program, and
// reading CSV as mdb-export and cocina-db export print it.
//
// Stable interface: other test folders include "jet/test_support.h".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cocina::test {

// --- fixtures ---

// The folder of Access-made files (compile definition COCINA_FIXTURES_DIR).
std::string fixturesDir();
// True when the folder exists and holds at least one .mdb or .accdb file.
bool fixturesAvailable();
// Full paths of every .mdb and .accdb file there, sorted by name.
std::vector<std::string> fixtureFiles();
// Full path of one fixture by file name.
std::string fixturePath(std::string_view fileName);
// The largest fixture file (by size); empty when there are none.
std::string largestFixture();

// --- temporary folders ---

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path()/name (the file need not exist).
  std::string file(std::string_view name) const;
  // Copies `source` into the folder under `name` (its own name when empty);
  // answers the copy's path. Fixtures are read-only: write on copies.
  std::string copy(const std::string& source, std::string_view name = {}) const;
  // Writes `bytes` to path()/name; answers the path.
  std::string write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
};

// Whole contents of a file as bytes (empty if it can't be read).
std::string readFile(const std::string& path);

// --- external programs ---

struct CommandResult {
  int exitCode = -1;  // -1 when the program could not be started or was killed
  std::string out;
  std::string err;
};

// Runs argv[0] (looked up in PATH) with the arguments, without a shell.
CommandResult runCommand(const std::vector<std::string>& argv);
// True when a program of this name is on PATH.
bool haveProgram(std::string_view name);
// The cocina-db tool of this build (COCINA_BINARY_DIR/src/tools/cocina-db).
std::string cocinaDbPath();

// --- CSV ---

struct CsvField {
  std::string text;
  bool quoted = false;
  // An empty unquoted field: how both exporters write NULL.
  bool isNull() const { return !quoted && text.empty(); }
};
using CsvRecord = std::vector<CsvField>;

// Parses RFC 4180 text (CRLF or LF record ends, quoted fields with doubled
// quotes and embedded line breaks). nullopt when a quote is left open.
std::optional<std::vector<CsvRecord>> parseCsv(std::string_view text);

// --- mdbtools, the reference reader ---

bool haveMdbTools();
// The user tables of `file` as mdb-tables lists them.
std::vector<std::string> mdbTables(const std::string& file);
// `mdb-export -D '%Y-%m-%d %H:%M:%S' -T '%Y-%m-%d %H:%M:%S' -b hex FILE TABLE`,
// parsed (header record first); nullopt when it fails.
std::optional<std::vector<CsvRecord>> mdbExport(const std::string& file, const std::string& table);
// The same, one line per row without the header, fields joined by "|" and
// NULL written as NULL.
std::optional<std::vector<std::string>> mdbExportLines(const std::string& file,
                                                       const std::string& table);

}  // namespace cocina::test
