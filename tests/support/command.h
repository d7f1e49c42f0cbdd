// Running the programs a test checks against (mdb-export, cocina-db):
// without a shell, so paths need no quoting, with stdout and stderr kept
// apart.
#pragma once

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

}  // namespace cocina::test
