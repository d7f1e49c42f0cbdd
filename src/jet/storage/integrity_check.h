// The integrity check of a database file, as someone who fears a damaged
// file wants it: for every table, its pages against its usage map (each
// listed page is one of its own, each of its data pages is listed), its row
// count against the rows actually there, every row decoded whole (long
// values followed to their end), and every index against the rows: entries
// in key order, each live row found exactly once, under the key the engine
// computes for it. Read only: the file is never changed.
#pragma once

#include <string>
#include <vector>

#include "jet/status.h"
#include "jet/storage/file_database.h"

namespace jet::storage {

struct CheckReport {
  std::vector<std::string> problems;  // each one makes the file unsound
  std::vector<std::string> notes;     // what was checked, and what could not be
  bool sound() const { return problems.empty(); }
};

// Fails only when the file can't be read at all; damage goes to the report.
Result<CheckReport> checkDatabase(FileDatabase& db);

// The tools and tests call it by its older name too.
namespace write {
using storage::checkDatabase;
using storage::CheckReport;
}  // namespace write

}  // namespace jet::storage
