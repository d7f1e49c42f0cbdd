// The subcommands of cocina-db. Each lives in its own file and registers
// itself with a CommandRegistration at namespace scope; main() dispatches on
// the first argument.
//
// Exit statuses shared by every subcommand: 0 success, 1 wrong usage,
// 2 the file can't be read or the operation failed (reason on stderr).
#pragma once

#include <string>
#include <vector>

namespace cocinadb {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitFailure = 2;

// args excludes the program name and the subcommand itself.
using CommandFn = int (*)(const std::vector<std::string>& args);

struct Command {
  std::string name;
  std::string synopsis;  // one line: "tables FILE"
  std::string help;      // the full --help text
  CommandFn run;
};

class CommandRegistration {
 public:
  CommandRegistration(std::string name, std::string synopsis, std::string help, CommandFn run);
};

const std::vector<Command>& commands();

// True when args ask for help ("--help" or "-h" anywhere).
bool wantsHelp(const std::vector<std::string>& args);

// Takes `arg` as the command's FILE when none was given yet and it is no
// option; false otherwise.
bool takeFileArgument(const std::string& arg, std::string& path);
// Prints "usage: cocina-db " and `synopsis` on stderr; answers kExitUsage.
int usageFailure(const char* synopsis);
// Prints "cocina-db: FILE: reason" on stderr; answers kExitFailure.
int fileFailure(const std::string& file, const std::string& reason);

// Reads a seconds option: args[i] is the option of `command`, args[i + 1]
// its value, a number from 0 to 86400. Stores it in `seconds` and steps `i`
// past the value; false, having told why on stderr, when it is none.
bool takeSecondsOption(const char* command, const std::vector<std::string>& args, size_t& i,
                       double& seconds);

// For a command that runs until stopped: from the call on, Ctrl-C (SIGINT)
// and SIGTERM make stopRequested() true, so the command ends cleanly.
void stopOnSignals();
bool stopRequested();

}  // namespace cocinadb
