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
//
// A busy service (for trying the board at its limits and for screenshots)
// is asked for with more areas, more open tables, long texts and a set
// number of dispatched lines; the default options give the usual demo, row
// for row.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "demo/menu.h"

namespace demo {

// The kitchen's service minute now: callers pass the board's own
// (orders/service_clock.h) or a fixed one.
using ServiceMinute = std::function<int32_t()>;

inline constexpr int kMaxDemoTables = 999;
inline constexpr int kMaxDemoDispatched = 10000;

struct DemoOptions {
  uint64_t history = 3000;
  uint64_t seed = 1;
  // Kitchen areas on the menu (1 to kMaxKitchenAreas, demo/menu.h).
  int areas = kMenuKitchenAreas;
  // Open tables, numbered from 1 (1 to kMaxDemoTables), each with 2 to 5
  // lines.
  int tables = 8;
  // Every open line with a long product name, and most with a long detail
  // of several lines.
  bool longTexts = false;
  // When set, exactly this many lines dispatched to the waiters ("S"),
  // spread over the open tables, and no other open line dispatched; when
  // not, some open lines are dispatched at random.
  std::optional<int> dispatched;
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
// other Access 2000) and fills it. Options out of their ranges are refused
// before the file is made. The history goes in in transactions of
// some thousands of lines, so a long run holds little in memory; a run that
// fails removes the file it was making.
Outcome buildDemoDatabase(const std::string& path, const DemoOptions& options);

}  // namespace demo
