// A branch's output rows put in order: grouped results come out in the
// order of their keys, as the Access engine returns them; ORDER BY then
// sorts stably, DISTINCT and UNION leave each row once, and TOP with ORDER
// BY keeps the rows tied with the last one taken.
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

#include "jet/error_codes.h"
#include "jet/sql/binder.h"
#include "jet/sql/errors.h"
#include "jet/sql/eval.h"
#include "jet/sql/executor.h"
#include "jet/sql/index_plan.h"
#include "jet/sql/query_branch.h"
#include "jet/sql/subquery.h"
#include "jet/sql/table_scan.h"
#include "jet/sql/value_ops.h"
#include "jet/text.h"

namespace jet::sql::query {

namespace {

bool sameValues(const std::vector<Value>& a, const std::vector<Value>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (orderCompare(a[i], b[i]) != 0) return false;
  return true;
}

}  // namespace

void sortRows(std::vector<OutRow>& rows, const std::vector<OrderKey>& keys) {
  if (keys.empty()) return;
  std::stable_sort(rows.begin(), rows.end(), [&](const OutRow& a, const OutRow& b) {
    for (size_t i = 0; i < keys.size(); ++i) {
      int c = orderCompare(a.keys[i], b.keys[i]);
      if (c != 0) return keys[i].descending ? c > 0 : c < 0;
    }
    return false;
  });
}

// Duplicates removed; what is left comes sorted by its values, as the
// Access engine's DISTINCT and UNION return it.
void removeDuplicates(std::vector<OutRow>& rows) {
  std::stable_sort(rows.begin(), rows.end(),
                   [](const OutRow& a, const OutRow& b) { return KeyLess()(a.values, b.values); });
  rows.erase(
      std::unique(rows.begin(), rows.end(),
                  [](const OutRow& a, const OutRow& b) { return sameValues(a.values, b.values); }),
      rows.end());
}

void applyTop(std::vector<OutRow>& rows, const Select& s, bool ordered) {
  if (!s.top) return;
  size_t n = s.topPercent
                 ? static_cast<size_t>(std::ceil(*s.top * static_cast<double>(rows.size()) / 100.0))
                 : static_cast<size_t>(*s.top);
  if (n >= rows.size()) return;
  if (n == 0) {
    rows.clear();
    return;
  }
  size_t keep = n;
  if (ordered) {
    while (keep < rows.size() && sameValues(rows[keep].keys, rows[n - 1].keys)) ++keep;
  }
  rows.resize(keep);
}

}  // namespace jet::sql::query
