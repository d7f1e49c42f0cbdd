// The demo order database: the two tables a point of sale keeps, PRODUCTOS
// and COMANDAS (orders/order_tables.h), filled as a real one leaves them,
// for trying the kitchen board, for tests and for benchmarks.
//
// PRODUCTOS holds the menu (demo/menu.h). COMANDAS holds the control row
// "Registro de Control", open tables with lines waiting ("Y"), prepared
// ("P") and dispatched ("S"), new ("O") and announced ("X"), details with
// CR LF, quantities negative as the point of sale stores sales, and
// `history` closed lines. The content is fixed by the seed, except the
// service minutes and dates, which follow the clock. The file is made and
// written through ADO, as any other program would.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "demo/menu.h"

namespace demo {

// The kitchen's service minute now: callers pass the board's own
// (orders/service_clock.h) or a fixed one.
using ServiceMinute = std::function<int32_t()>;

struct DemoOptions {
  uint64_t history = 3000;
  uint64_t seed = 1;
  // Called now and then during long runs: rows written so far, rows in all.
  std::function<void(uint64_t done, uint64_t total)> progress;
  // Required: the minute the open lines are measured from.
  ServiceMinute serviceMinute;
};

// What buildDemoDatabase answers: true on success, else the reason.
class Outcome {
 public:
  static Outcome ok() { return Outcome(); }
  static Outcome failed(std::string description) {
    Outcome o;
    o.description_ = description.empty() ? "error" : std::move(description);
    return o;
  }
  explicit operator bool() const { return description_.empty(); }
  const std::string& description() const { return description_; }

 private:
  std::string description_;
};

// Creates the file (it must not exist; .accdb names give Access 2007, any
// other Access 2000) and fills it. The history goes in in transactions of
// some thousands of lines, so a long run holds little in memory; a run that
// fails removes the file it was making.
Outcome buildDemoDatabase(const std::string& path, const DemoOptions& options);

}  // namespace demo
