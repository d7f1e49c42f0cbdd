// cocina-db: the database tool for the people who keep the kitchen board
// running. It reads and writes the order database with cocina's own engine.
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "command.h"
#include "jet/convert.h"

namespace cocinadb {

namespace {
std::vector<Command>& registry() {
  static std::vector<Command> r;
  return r;
}
}  // namespace

CommandRegistration::CommandRegistration(std::string name, std::string synopsis, std::string help,
                                         CommandFn run) {
  registry().push_back({std::move(name), std::move(synopsis), std::move(help), run});
}

const std::vector<Command>& commands() {
  std::sort(registry().begin(), registry().end(),
            [](const Command& a, const Command& b) { return a.name < b.name; });
  return registry();
}

bool wantsHelp(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& a) { return a == "--help" || a == "-h"; });
}

bool takeFileArgument(const std::string& arg, std::string& path) {
  if (!path.empty() || arg.empty() || arg[0] == '-') return false;
  path = arg;
  return true;
}

int usageFailure(const char* synopsis) {
  std::cerr << "usage: cocina-db " << synopsis << "\n";
  return kExitUsage;
}

int fileFailure(const std::string& file, const std::string& reason) {
  std::cerr << "cocina-db: " << file << ": " << reason << "\n";
  return kExitFailure;
}

bool takeSecondsOption(const char* command, const std::vector<std::string>& args, size_t& i,
                       double& seconds) {
  // The system's number format: a point before the decimals whatever the
  // locale, and never "nan" or "inf".
  const std::optional<double> value =
      i + 1 < args.size() ? jet::parseNumber(args[i + 1]) : std::nullopt;
  if (!value || !(*value >= 0) || *value > 86400) {
    std::cerr << "cocina-db " << command << ": " << args[i] << " needs seconds (0 to 86400)\n";
    return false;
  }
  seconds = *value;
  ++i;
  return true;
}

namespace {
volatile std::sig_atomic_t stopSignalled = 0;
void onStop(int) {
  stopSignalled = 1;
}
}  // namespace

void stopOnSignals() {
  struct sigaction sa {};
  sa.sa_handler = onStop;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
}

bool stopRequested() {
  return stopSignalled != 0;
}

}  // namespace cocinadb

namespace {

void usage(std::ostream& out) {
  out << "usage: cocina-db COMMAND [ARGS...]\n\n"
         "The database tool of the cocina kitchen board: look into and keep the\n"
         "Access order database (.mdb or .accdb) that the point of sale writes.\n\ncommands:\n";
  for (const auto& c : cocinadb::commands()) out << "  " << c.synopsis << "\n";
  out << "\n'cocina-db COMMAND --help' tells more about a command.\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    usage(std::cerr);
    return cocinadb::kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    usage(std::cout);
    return cocinadb::kExitOk;
  }
  for (const auto& c : cocinadb::commands()) {
    if (c.name == args[0]) {
      std::vector<std::string> rest(args.begin() + 1, args.end());
      if (cocinadb::wantsHelp(rest)) {
        std::cout << c.help;
        return cocinadb::kExitOk;
      }
      return c.run(rest);
    }
  }
  std::cerr << "cocina-db: unknown command '" << args[0] << "'\n";
  usage(std::cerr);
  return cocinadb::kExitUsage;
}
