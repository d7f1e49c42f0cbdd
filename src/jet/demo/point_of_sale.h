// A simulated point of sale: it adds order lines to COMANDAS as a real one
// does while tables order, and now and then closes a table, taking its lines
// out of "Pendiente". For trying the board under load, for tests of shared
// use and for benchmarks.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "jet/database.h"
#include "jet/demo/demo_database.h"
#include "jet/status.h"

namespace jet::demo {

class PointOfSale {
 public:
  // `db` must outlive this object. Tables are numbered 1 to `tables`; a
  // line's IDPRODUCTO is `serviceMinute()` when it is added.
  PointOfSale(Database& db, int tables, uint64_t seed, ServiceMinute serviceMinute);

  // One new line: a product of the kitchen's areas for a random table,
  // ordered now (IDPRODUCTO the current service minute), waiting ("Y"),
  // new ("O"), "Pendiente", "Ventas". Answers its idComanda.
  Result<int32_t> addLine();
  // Closes table `mesa`: all its "Pendiente" lines become "Cobrado", in
  // one transaction. Answers how many lines it closed.
  Result<int> closeTable(const std::string& mesa);
  // What a point of sale does in one moment: usually a new line, about one
  // time in twelve the closing of a table. Answers a line for the log.
  Result<std::string> step();

 private:
  Database& db_;
  int tables_;
  std::mt19937_64 rng_;
  ServiceMinute serviceMinute_;
};

}  // namespace jet::demo
