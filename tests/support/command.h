// Running the programs a test checks against (mdb-export, cocina-db):
// without a shell, so paths need no quoting, with stdout and stderr kept
// apart.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cocina::test {

struct CommandResult {
  int exitCode = -1;  // -1 when the program could not be started or was killed
  std::string out;
  std::string err;
};

// Runs argv[0] (looked up in PATH) with the arguments; stdin is /dev/null.
CommandResult runCommand(const std::vector<std::string>& argv);
// True when a program of this name is on PATH.
bool haveProgram(std::string_view name);
// The cocina-db tool of this build (COCINA_BINARY_DIR/src/tools/cocina-db).
std::string cocinaDbPath();

// A program running beside the test (a point of sale, a program holding
// the file), started as runCommand starts one; its standard output is read
// line by line, its standard error goes to the test's. Stopped with SIGTERM
// and waited for when destroyed, if still running.
class BackgroundCommand {
 public:
  explicit BackgroundCommand(const std::vector<std::string>& argv);
  ~BackgroundCommand();
  BackgroundCommand(const BackgroundCommand&) = delete;
  BackgroundCommand& operator=(const BackgroundCommand&) = delete;

  bool started() const { return pid_ > 0; }
  // The next line of its output (without the newline), waiting at most
  // `timeout`; nullopt when none came in time or the output ended.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout);
  // Waits for the program to end; answers its exit code (-1 when killed).
  int wait();

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffered_;
};

}  // namespace cocina::test
