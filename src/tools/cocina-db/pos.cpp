// cocina-db pos FILE [--every SECONDS] [--tables N]: a simulated point of
// sale that keeps adding order lines until stopped with Ctrl-C (SIGINT) or
// SIGTERM.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <thread>

#include "ado/connection.h"
#include "ado/error.h"
#include "command.h"
#include "demo/point_of_sale.h"
#include "orders/service_clock.h"

namespace cocinadb {
namespace {

constexpr const char* kSynopsis = "pos FILE [--every SECONDS] [--tables N]";

int run(const std::vector<std::string>& args) {
  std::string path;
  double every = 2.0;
  long tables = 12;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--every" && i + 1 < args.size()) {
      if (!takeSecondsOption("pos", args, i, every)) return kExitUsage;
    } else if (args[i] == "--tables" && i + 1 < args.size()) {
      char* end = nullptr;
      tables = std::strtol(args[i + 1].c_str(), &end, 10);
      if (!end || *end != '\0' || tables < 1 || tables > 999) {
        std::cerr << "cocina-db pos: --tables needs a number from 1 to 999\n";
        return kExitUsage;
      }
      ++i;
    } else if (!takeFileArgument(args[i], path)) {
      return usageFailure(kSynopsis);
    }
  }
  if (path.empty()) return usageFailure(kSynopsis);
  auto connection = std::make_shared<ado::Connection>();
  try {
    connection->open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"" + path + "\"");
  } catch (const ado::ComError& e) {
    std::cerr << "cocina-db pos: " << e.description() << "\n";
    return kExitFailure;
  }
  stopOnSignals();
  demo::PointOfSale pos(
      connection, static_cast<int>(tables),
      static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()),
      [] { return minutosDeTexto(horaLocalActual()); });
  uint64_t steps = 0;
  auto started = std::chrono::steady_clock::now();
  while (!stopRequested()) {
    std::string what;
    try {
      what = pos.step();
    } catch (const ado::ComError& e) {
      std::cerr << "cocina-db pos: " << e.description() << "\n";
      return kExitFailure;
    }
    ++steps;
    if (every > 0) {
      std::cout << what << "\n" << std::flush;
      auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(every);
      while (!stopRequested() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    } else if (steps % 1000 == 0) {
      std::cerr << "\r" << steps << " operaciones" << std::flush;
    }
  }
  double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::cerr << "\ncocina-db pos: parado tras " << steps << " operaciones en " << secs << " s\n";
  return kExitOk;
}

CommandRegistration registration(
    "pos", "pos FILE [--every SECONDS] [--tables N]",
    "usage: cocina-db pos FILE [--every SECONDS] [--tables N]\n\n"
    "A simulated point of sale: keeps adding order lines to COMANDAS of FILE (a\n"
    "demo database) as a real one does: the current service minute in IDPRODUCTO,\n"
    "Estado \"Pendiente\", DespCoc \"Y\", tin \"O\", CONCEPTO \"Ventas\", several\n"
    "areas, some details; now and then it closes a table. One operation every\n"
    "SECONDS (default 2; 0 = as fast as it can) over tables 1 to N (default 12).\n"
    "Stops cleanly on Ctrl-C or SIGTERM.\n",
    run);

}  // namespace
}  // namespace cocinadb
