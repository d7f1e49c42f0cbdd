// The mdbtools programs run through runCommand, their output parsed by the
// tests' CSV reader.
#include "support/mdb_tools.h"

#include <sstream>

#include "support/command.h"
#include "support/fixtures.h"

namespace cocina::test {

bool haveMdbTools() {
  return haveProgram("mdb-export") && haveProgram("mdb-tables");
}

bool requireMdbTools(std::source_location where) {
  if (haveMdbTools()) return true;
  skipOrFailMissing("mdbtools (mdb-export, mdb-tables) is not installed", where);
  return false;
}

std::vector<std::string> mdbTables(const std::string& file) {
  auto r = runCommand({"mdb-tables", "-1", file});
  std::vector<std::string> out;
  std::stringstream lines(r.out);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

std::optional<std::vector<CsvRecord>> mdbExport(const std::string& file, const std::string& table) {
  auto r = runCommand({"mdb-export", "-D", "%Y-%m-%d %H:%M:%S", "-T", "%Y-%m-%d %H:%M:%S", "-b",
                       "hex", file, table});
  if (r.exitCode != 0) return std::nullopt;
  return parseCsv(r.out);
}

std::optional<std::vector<std::string>> mdbExportLines(const std::string& file,
                                                       const std::string& table) {
  auto csv = mdbExport(file, table);
  if (!csv) return std::nullopt;
  std::vector<std::string> out;
  for (size_t r = 1; r < csv->size(); ++r) {
    std::string line;
    for (size_t f = 0; f < (*csv)[r].size(); ++f) {
      if (f) line += "|";
      line += (*csv)[r][f].isNull() ? "NULL" : (*csv)[r][f].text;
    }
    out.push_back(line);
  }
  return out;
}

}  // namespace cocina::test
