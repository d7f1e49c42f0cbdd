// cocina-db check FILE: the integrity check. Prints what it checked and
// every problem found; exits 0 only when the file is sound.
#include <iostream>

#include "command.h"
#include "jet/storage/file_database.h"
#include "jet/storage/integrity_check.h"

namespace cocinadb {
namespace {

int run(const std::vector<std::string>& args) {
  if (args.size() != 1) return usageFailure("check FILE");
  auto db = jet::storage::FileDatabase::open(args[0], jet::OpenOptions{});
  if (!db) {
    std::cerr << "cocina-db check: " << db.error().description << "\n";
    return kExitFailure;
  }
  auto report = jet::storage::write::checkDatabase(**db);
  if (!report) {
    std::cerr << "cocina-db check: " << report.error().description << "\n";
    return kExitFailure;
  }
  for (const auto& n : report->notes) std::cout << "  " << n << "\n";
  for (const auto& p : report->problems) std::cout << "PROBLEMA: " << p << "\n";
  if (report->sound()) {
    std::cout << args[0] << ": sin problemas\n";
    return kExitOk;
  }
  std::cout << args[0] << ": " << report->problems.size() << " problemas\n";
  return kExitFailure;
}

CommandRegistration registration(
    "check", "check FILE",
    "usage: cocina-db check FILE\n\n"
    "Checks the database without changing it: every table's pages against its\n"
    "usage map, its row count, every row and long value read whole, and every\n"
    "index against the rows (entries in key order, each row found once under\n"
    "its key). Prints what it found; exits 0 only when the file is sound.\n",
    run);

}  // namespace
}  // namespace cocinadb
