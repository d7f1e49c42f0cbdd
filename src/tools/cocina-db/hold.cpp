// cocina-db hold FILE [--seconds N]: keeps the file's write lock for a while,
// as a point of sale in the middle of a long write would, so the boards can
// be watched while the file is busy. Writes nothing.
#include <chrono>
#include <iostream>
#include <thread>

#include "command.h"
#include "jet/database.h"

namespace cocinadb {
namespace {

constexpr const char* kSynopsis = "hold FILE [--seconds N]";

int runHold(const std::vector<std::string>& args) {
  std::string path;
  double seconds = 10;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--seconds" && i + 1 < args.size()) {
      if (!takeSecondsOption("hold", args, i, seconds)) return kExitUsage;
    } else if (!takeFileArgument(args[i], path)) {
      return usageFailure(kSynopsis);
    }
  }
  if (path.empty()) return usageFailure(kSynopsis);
  auto db = jet::Database::open(path);
  if (!db) return fileFailure(path, db.error().description);
  stopOnSignals();
  // A transaction holds the write lock from its start to its end.
  auto level = (*db)->begin();
  if (!level) return fileFailure(path, level.error().description);
  auto started = std::chrono::steady_clock::now();
  std::cout << "bloqueada" << std::endl;
  auto until = started + std::chrono::duration<double>(seconds);
  while (!stopRequested() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  auto rolledBack = (*db)->rollback();
  if (!rolledBack) return fileFailure(path, rolledBack.description());
  double held = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::cerr << "cocina-db hold: libre tras " << held << " s\n";
  return kExitOk;
}

const CommandRegistration kHold(
    "hold", kSynopsis,
    "usage: cocina-db hold FILE [--seconds N]\n\n"
    "Keeps the write lock of the database FILE for N seconds (default 10; stops\n"
    "early on Ctrl-C or SIGTERM), as a point of sale in the middle of a long\n"
    "write would, and writes nothing. Prints 'bloqueada' once the lock is held.\n"
    "For watching the boards while the file is busy: they keep answering, show\n"
    "that the file is busy, and write the marks made meanwhile once it is free.\n\n"
    "Exit status: 0 done, 1 wrong usage, 2 the file can't be opened or locked.\n",
    runHold);

}  // namespace
}  // namespace cocinadb
