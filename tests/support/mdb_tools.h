// mdbtools, the reference reader every file the engine writes is checked
// against: its table list and its export, parsed.
#pragma once

#include <optional>
#include <source_location>
#include <string>
#include <vector>

#include "support/csv.h"

namespace cocina::test {

// True when mdb-export and mdb-tables are on PATH.
bool haveMdbTools();
// haveMdbTools(), and when not, skipOrFailMissing() saying so:
// `if (!requireMdbTools()) return;`.
bool requireMdbTools(std::source_location where = std::source_location::current());
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
