// The demo order database: the two tables a point of sale keeps, PRODUCTOS
// and COMANDAS, filled as a real one leaves them, for trying the kitchen
// board, for tests and for benchmarks.
//
// PRODUCTOS holds a menu of some forty products in the areas COCINA,
// PARRILLA, BAR, POSTRES and CAFETERIA, plus products of area "NN" (not for
// the kitchen). COMANDAS holds the control row "Registro de Control", open
// tables with lines waiting ("Y"), prepared ("P") and dispatched ("S"), new
// ("O") and announced ("X"), details with CR LF, quantities negative as the
// point of sale stores sales, and `history` closed lines. The content is
// fixed by the seed, except the service minutes and dates, which follow
// the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/schema.h"
#include "jet/status.h"

namespace jet::demo {

struct Product {
  const char* nombre;
  const char* negocio;
  int64_t precioCentimos;
};

// The menu, in the order PRODUCTOS receives it.
const std::vector<Product>& menu();

TableSchema productosSchema();
TableSchema comandasSchema();

// The kitchen's service minute now. The engine keeps no kitchen clock:
// callers pass the board's own (orders/service_clock.h) or a fixed one.
using ServiceMinute = std::function<int32_t()>;
// Now, as Access keeps dates (days since 1899-12-30).
double nowAsAccessDate();

struct DemoOptions {
  uint64_t history = 3000;
  uint64_t seed = 1;
  // Called now and then during long runs: rows written so far, rows in all.
  std::function<void(uint64_t done, uint64_t total)> progress;
  // Required: the minute the open lines are measured from.
  ServiceMinute serviceMinute;
};

// Creates the file (it must not exist) and fills it. The history goes in
// in transactions of some thousands of lines, so a long run holds little in
// memory; a run that fails removes the file it was making.
Status buildDemoDatabase(const std::string& path, const DemoOptions& options);

// The column positions of COMANDAS, by name, for writers of order lines.
struct ComandasColumns {
  int idComanda, idMesa, idProducto, nombreProducto, cantidad, negocio, detalle, detalle1, detalle2,
      nick, estado, concepto, despCoc, tin, tdc, desp, tdm, fecha, count;
};
ComandasColumns comandasColumns();

}  // namespace jet::demo
