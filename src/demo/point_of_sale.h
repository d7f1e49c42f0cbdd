// A simulated point of sale: it adds order lines to COMANDAS as a real one
// does while tables order, and now and then closes a table, taking its lines
// out of "Pendiente". For trying the board under load, for tests of shared
// use and for benchmarks. It writes through an ADO connection, as the real
// point of sale writes through its own; every failure raises ado::ComError.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>

#include "ado/connection.h"
#include "demo/demo_database.h"
#include "demo/order_line.h"

namespace demo {

class PointOfSale {
 public:
  // `connection` must be open on an order database while this object is
  // used. Tables are numbered 1 to `tables`; a line's IDPRODUCTO is
  // `serviceMinute()` when it is added.
  PointOfSale(std::shared_ptr<ado::Connection> connection, int tables, uint64_t seed,
              ServiceMinute serviceMinute);

  // One new line: a product of the kitchen's areas for a random table,
  // ordered now (IDPRODUCTO the current service minute), waiting ("Y"),
  // new ("O"), "Pendiente", "Ventas". Answers its idComanda.
  int32_t addLine();
  // Closes table `mesa`: all its "Pendiente" lines become "Cobrado", in
  // one statement. Answers how many lines it closed.
  int closeTable(const std::string& mesa);
  // What a point of sale does in one moment: usually a new line, about one
  // time in twelve the closing of a table. Answers a line for the log.
  std::string step();

 private:
  std::shared_ptr<ado::Connection> connection_;
  OrderLineWriter writer_;
  int tables_;
  std::mt19937_64 rng_;
  ServiceMinute serviceMinute_;
};

}  // namespace demo
