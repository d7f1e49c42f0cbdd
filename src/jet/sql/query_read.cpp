// Reading a table for the branches of a statement that name it. Branches of
// a UNION that read the same table share one scan: each row is read once
// and offered to every branch. The conditions all branches share (the
// board's "DespCoc <> 'S' AND estado = 'Pendiente'") are tested once per
// row before any branch looks at it, so a board with forty tables costs
// about what a board with one costs. When an index can find the rows (see
// index_plan.h), the read looks them up instead of reading every row; the
// rows come in the same order and meet the same tests as in a scan.
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

// Reads the rows of `read` that an index finds, when one pays: false (and
// nothing read) when the table is to be read whole instead.
Result<bool> readThroughIndex(TableRead& read, const ScanRequest& request, ExecContext& ctx,
                              const std::function<Status(RowId, const std::vector<Value>&)>& emit) {
  IndexPlanRequest plan;
  plan.table = read.table;
  plan.schema = &read.schema;
  plan.binding = &read.binding;
  plan.params = &ctx.params;
  plan.shared.assign(read.shared.begin(), read.shared.end());
  for (Branch* br : read.branches)
    plan.ownByBranch.emplace_back(br->conditions.begin(), br->conditions.end());
  auto lookups = chooseIndexLookups(ctx.db, plan);
  if (!lookups) return lookups.status();
  if (!*lookups) return false;
  return seekTable(ctx.db, request, **lookups, emit);
}

}  // namespace

// Branches sharing a table: one read of it.
Status readTable(TableRead& read, ExecContext& ctx) {
  // Conditions every branch has: split off and tested first, once per row.
  std::vector<std::vector<Expr*>> lists;
  bool allFiltered = true;
  for (Branch* br : read.branches) {
    std::vector<Expr*> list;
    if (br->select->where)
      conjuncts(*br->select->where, list);
    else
      allFiltered = false;
    lists.push_back(std::move(list));
  }
  if (allFiltered && !lists.empty()) {
    for (Expr* candidate : lists[0]) {
      bool everywhere = true;
      for (size_t b = 1; b < lists.size() && everywhere; ++b) {
        everywhere = std::any_of(lists[b].begin(), lists[b].end(), [&](Expr* e) {
          return equalsIgnoreCase(e->text, candidate->text);
        });
      }
      if (everywhere) read.shared.push_back(candidate);
    }
  }
  for (size_t b = 0; b < read.branches.size(); ++b) {
    for (Expr* c : lists[b]) {
      bool isShared = std::any_of(read.shared.begin(), read.shared.end(),
                                  [&](Expr* e) { return equalsIgnoreCase(e->text, c->text); });
      if (!isShared) read.branches[b]->conditions.push_back(c);
    }
  }

  ScanRequest request;
  request.table = read.table;
  request.columns = read.binding.columns;
  request.filterSlots.assign(request.columns.size(), false);
  bool everyBranchFiltered = allFiltered;
  for (Branch* br : read.branches) {
    if (br->select->where)
      forEachPlainColumn(*br->select->where, [&](const Expr& c) {
        request.filterSlots[static_cast<size_t>(c.slot)] = true;
      });
  }
  if (everyBranchFiltered) {
    request.filter = [&](const std::vector<Value>& row) -> Result<bool> {
      EvalContext ev = rowContext(ctx, &row);
      for (Expr* c : read.shared) {
        auto ok = holds(*c, ev);
        if (!ok || !ok.value()) return ok;
      }
      for (Branch* br : read.branches) {
        bool all = true;
        for (Expr* c : br->conditions) {
          auto ok = holds(*c, ev);
          if (!ok) return ok;
          if (!ok.value()) {
            all = false;
            break;
          }
        }
        if (all) return true;
      }
      return false;
    };
  }
  auto emit = [&](RowId, const std::vector<Value>& row) -> Status {
    for (Branch* br : read.branches) JET_TRY(offer(*br, row, ctx));
    return Status::ok();
  };
  if (everyBranchFiltered) {
    auto found = readThroughIndex(read, request, ctx, emit);
    if (!found) return found.status();
    if (*found) return Status::ok();
  }
  return scanTable(ctx.db, request, emit);
}

}  // namespace jet::sql::query
