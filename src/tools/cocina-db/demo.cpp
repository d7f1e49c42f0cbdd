// cocina-db demo FILE [--history N] [--seed S]: a demo order database.
#include <iostream>

#include "command.h"
#include "demo/demo_database.h"
#include "orders/service_clock.h"

namespace cocinadb {
namespace {

constexpr const char* kSynopsis = "demo FILE [--history N] [--seed S]";

bool parseCount(const std::string& s, uint64_t& out) {
  if (s.empty() || s.size() > 12) return false;
  uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  out = v;
  return true;
}

int run(const std::vector<std::string>& args) {
  demo::DemoOptions options;
  options.serviceMinute = [] { return minutosDeTexto(horaLocalActual()); };
  std::string path;
  for (size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "--history" || args[i] == "--seed") && i + 1 < args.size()) {
      uint64_t& target = args[i] == "--history" ? options.history : options.seed;
      if (!parseCount(args[i + 1], target)) {
        std::cerr << "cocina-db demo: " << args[i] << " needs a whole number\n";
        return kExitUsage;
      }
      ++i;
    } else if (!takeFileArgument(args[i], path)) {
      return usageFailure(kSynopsis);
    }
  }
  if (path.empty()) return usageFailure(kSynopsis);
  if (options.history >= 100000) {
    options.progress = [](uint64_t done, uint64_t total) {
      std::cerr << "\r" << done << " / " << total << " líneas de historia" << std::flush;
      if (done == total) std::cerr << "\n";
    };
  }
  demo::Outcome s = demo::buildDemoDatabase(path, options);
  if (!s) {
    std::cerr << "cocina-db demo: " << s.description() << "\n";
    return kExitFailure;
  }
  std::cout << "Creada " << path << ": PRODUCTOS (" << demo::menu().size()
            << " productos) y COMANDAS (mesas abiertas y " << options.history
            << " líneas de historia)\n";
  return kExitOk;
}

CommandRegistration registration(
    "demo", "demo FILE [--history N] [--seed S]",
    "usage: cocina-db demo FILE [--history N] [--seed S]\n\n"
    "Creates a demo order database as a point of sale leaves it: PRODUCTOS with a\n"
    "menu of some forty products (areas COCINA, PARRILLA, BAR, POSTRES, CAFETERIA\n"
    "and \"NN\"), COMANDAS with the control row, open tables with lines in every\n"
    "kitchen state, and N closed history lines (default 3000). The same seed gives\n"
    "the same content; times follow the clock. Refuses to overwrite a file.\n",
    run);

}  // namespace
}  // namespace cocinadb
