// cocina-db demo FILE [--history N] [--seed S] [--areas N] [--tables N]
// [--dispatched N] [--long]: a demo order database, the usual one or a busy
// service.
#include <iostream>

#include "command.h"
#include "demo/demo_database.h"
#include "orders/service_clock.h"

namespace cocinadb {
namespace {

constexpr const char* kSynopsis =
    "demo FILE [--history N] [--seed S] [--areas N] [--tables N] [--dispatched N] [--long]";

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

// A whole number from `low` to `high`, for the options that count areas,
// tables and lines.
bool parseInRange(const std::string& s, int low, int high, int& out) {
  uint64_t v = 0;
  if (!parseCount(s, v) || v < static_cast<uint64_t>(low) || v > static_cast<uint64_t>(high)) {
    return false;
  }
  out = static_cast<int>(v);
  return true;
}

int run(const std::vector<std::string>& args) {
  demo::DemoOptions options;
  options.serviceMinute = [] { return minutosDeTexto(horaLocalActual()); };
  std::string path;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if ((a == "--history" || a == "--seed") && hasValue) {
      uint64_t& target = a == "--history" ? options.history : options.seed;
      if (!parseCount(args[++i], target)) {
        std::cerr << "cocina-db demo: " << a << " needs a whole number\n";
        return kExitUsage;
      }
    } else if ((a == "--areas" || a == "--tables" || a == "--dispatched") && hasValue) {
      int low = a == "--dispatched" ? 0 : 1;
      int high = a == "--areas"    ? demo::kMaxKitchenAreas
                 : a == "--tables" ? demo::kMaxDemoTables
                                   : demo::kMaxDemoDispatched;
      int value = 0;
      if (!parseInRange(args[++i], low, high, value)) {
        std::cerr << "cocina-db demo: " << a << " needs a number from " << low << " to " << high
                  << "\n";
        return kExitUsage;
      }
      if (a == "--areas") options.areas = value;
      if (a == "--tables") options.tables = value;
      if (a == "--dispatched") options.dispatched = value;
    } else if (a == "--long") {
      options.longTexts = true;
    } else if (!takeFileArgument(a, path)) {
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
  std::cout << "Creada " << path << ": PRODUCTOS (" << demo::menuWithAreas(options.areas).size()
            << " productos en " << options.areas << " áreas) y COMANDAS (" << options.tables
            << " mesas abiertas y " << options.history << " líneas de historia)\n";
  return kExitOk;
}

CommandRegistration registration(
    "demo", kSynopsis,
    "usage: cocina-db demo FILE [--history N] [--seed S] [--areas N] [--tables N]\n"
    "                           [--dispatched N] [--long]\n\n"
    "Creates a demo order database as a point of sale leaves it: PRODUCTOS with a\n"
    "menu of some forty products (areas COCINA, PARRILLA, BAR, POSTRES, CAFETERIA\n"
    "and \"NN\"), COMANDAS with the control row, open tables with lines in every\n"
    "kitchen state, and N closed history lines (default 3000). The same seed gives\n"
    "the same content; times follow the clock. Refuses to overwrite a file.\n\n"
    "A busy service, for trying the board at its limits:\n"
    "  --areas N       kitchen areas on the menu, 1 to 8 (default 5; 6 to 8 add\n"
    "                  HORNO, PLANCHA and MARISCOS)\n"
    "  --tables N      open tables, 1 to 999 (default 8), each with 2 to 5 lines\n"
    "  --dispatched N  exactly N lines dispatched to the waiters, spread over the\n"
    "                  open tables (by default some open lines, drawn at random)\n"
    "  --long          long product names and long details of several lines\n",
    run);

}  // namespace
}  // namespace cocinadb
