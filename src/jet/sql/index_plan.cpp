// Index choice for one table read; see index_plan.h.
#include "jet/sql/index_plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "jet/error_codes.h"
#include "jet/sql/value_ops.h"

namespace jet::sql {

namespace {

// An index pays while it finds fewer than this share of the table's rows
// (a scan decodes only the filter's columns, in file order).
constexpr uint64_t kScanShare = 8;
constexpr uint64_t kAlwaysWorthIt = 64;
// What one more descent of an index costs, in rows read: a lookup per
// branch must save more rows than its extra descents cost.
constexpr uint64_t kDescentCost = 8;

struct Equality {
  int column = -1;  // schema position
  Value key;        // of the column's type
};

// `column = constant` in either order, with the key it means; nothing for
// any other condition.
std::optional<Equality> equalityOf(const Expr& e, const IndexPlanRequest& r) {
  if (e.kind != ExprKind::Binary || e.op != "=" || e.args.size() != 2) return std::nullopt;
  const Expr* column = e.args[0].get();
  const Expr* other = e.args[1].get();
  if (column->kind != ExprKind::Column) std::swap(column, other);
  if (column->kind != ExprKind::Column || column->slot < 0 ||
      static_cast<size_t>(column->slot) >= r.binding->columns.size()) {
    return std::nullopt;
  }
  Value constant;
  if (other->kind == ExprKind::Literal) {
    constant = other->value;
  } else if (other->kind == ExprKind::Parameter) {
    if (!r.params || other->index < 0 || static_cast<size_t>(other->index) >= r.params->size())
      return std::nullopt;
    constant = (*r.params)[static_cast<size_t>(other->index)];
  } else {
    return std::nullopt;
  }
  int position = r.binding->columns[static_cast<size_t>(column->slot)];
  auto key = indexKeyValue(r.schema->columns[static_cast<size_t>(position)], constant);
  if (!key) return std::nullopt;
  return Equality{position, std::move(*key)};
}

// Every lookup the conditions allow: per index, its leading columns as far
// as each has an equality.
std::vector<IndexLookup> lookupsFor(const std::vector<const Expr*>& conditions,
                                    const IndexPlanRequest& r) {
  std::vector<Equality> equalities;
  for (const Expr* c : conditions) {
    if (auto eq = equalityOf(*c, r)) equalities.push_back(std::move(*eq));
  }
  std::vector<IndexLookup> out;
  if (equalities.empty()) return out;
  for (const IndexDef& ix : r.schema->indexes) {
    IndexLookup l;
    for (const IndexColumn& ic : ix.columns) {
      auto eq = std::find_if(equalities.begin(), equalities.end(),
                             [&](const Equality& q) { return q.column == ic.column; });
      if (eq == equalities.end()) break;
      l.columns.push_back(eq->column);
      l.values.push_back(eq->key);
    }
    if (l.columns.empty()) continue;
    bool known = std::any_of(out.begin(), out.end(), [&](const IndexLookup& o) {
      if (o.columns != l.columns) return false;
      for (size_t i = 0; i < o.values.size(); ++i)
        if (orderCompare(o.values[i], l.values[i]) != 0) return false;
      return true;
    });
    if (!known) out.push_back(std::move(l));
  }
  return out;
}

bool notSupported(const Status& s) {
  return s.number() == errc::kNotSupported;
}

}  // namespace

std::optional<Value> indexKeyValue(const ColumnDef& column, const Value& constant) {
  if (constant.isNull()) return std::nullopt;
  const ValueType t = constant.type();
  const bool whole = t == ValueType::Byte || t == ValueType::Integer || t == ValueType::Long ||
                     t == ValueType::BigInt;
  const bool floating = t == ValueType::Double || t == ValueType::Single;
  auto inRange = [](double v, double lo, double hi) { return v >= lo && v <= hi; };
  switch (column.type) {
    case ColumnType::Text:
      if (t == ValueType::Text) return constant;
      return std::nullopt;
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long:
    case ColumnType::BigInt: {
      double v = 0;
      if (whole) {
        v = static_cast<double>(*wholeOf(constant));
      } else if (floating) {
        v = *numberOf(constant, false);
        if (!std::isfinite(v) || std::trunc(v) != v) return std::nullopt;
      } else {
        return std::nullopt;
      }
      switch (column.type) {
        case ColumnType::Byte:
          if (!inRange(v, 0, 255)) return std::nullopt;
          return Value::byte(static_cast<uint8_t>(v));
        case ColumnType::Integer:
          if (!inRange(v, -32768, 32767)) return std::nullopt;
          return Value::integer(static_cast<int16_t>(v));
        case ColumnType::Long:
          if (!inRange(v, -2147483648.0, 2147483647.0)) return std::nullopt;
          return Value::longValue(static_cast<int32_t>(v));
        default:
          if (whole) return Value::bigInt(*wholeOf(constant));
          // Beyond 2^53 a double no longer names one whole number.
          if (!inRange(v, -9007199254740992.0, 9007199254740992.0)) return std::nullopt;
          return Value::bigInt(static_cast<int64_t>(v));
      }
    }
    case ColumnType::Double: {
      if (!whole && !floating) return std::nullopt;
      double v = *numberOf(constant, false);
      // Zero has two keys (+0 and -0) that compare equal in SQL.
      if (!std::isfinite(v) || v == 0) return std::nullopt;
      return Value::dbl(v);
    }
    case ColumnType::DateTime:
      if (t != ValueType::DateTime || constant.asDateTime().days == 0 ||
          !std::isfinite(constant.asDateTime().days)) {
        return std::nullopt;
      }
      return constant;
    default: return std::nullopt;
  }
}

Result<std::optional<std::vector<IndexLookup>>> chooseIndexLookups(Database& db,
                                                                   const IndexPlanRequest& r) {
  using Plan = std::optional<std::vector<IndexLookup>>;
  if (r.schema->indexes.empty()) return Plan{};
  // A lookup must find fewer rows than this to beat reading the table.
  uint64_t bestCost = std::max<uint64_t>(kAlwaysWorthIt, r.schema->rowCount / kScanShare);
  Plan best;

  // One condition every branch has: one lookup serves them all.
  for (IndexLookup& l : lookupsFor(r.shared, r)) {
    auto counts = db.countIndexed(r.table, {l}, bestCost);
    if (!counts) {
      if (notSupported(counts.status())) continue;
      return counts.status();
    }
    if (counts->front() < bestCost) {
      bestCost = counts->front();
      best = std::vector<IndexLookup>{std::move(l)};
    }
  }

  // Otherwise (or if cheaper) a lookup of its own for each branch.
  const uint64_t descents = kDescentCost * r.ownByBranch.size();
  if (r.ownByBranch.empty() || (best && bestCost <= descents)) return best;
  if (best) bestCost -= descents;
  std::vector<std::vector<IndexLookup>> perBranch;
  std::vector<IndexLookup> all;
  for (const auto& own : r.ownByBranch) {
    perBranch.push_back(lookupsFor(own, r));
    if (perBranch.back().empty()) return best;
    all.insert(all.end(), perBranch.back().begin(), perBranch.back().end());
  }
  auto counts = db.countIndexed(r.table, all, bestCost);
  if (!counts) {
    if (notSupported(counts.status())) return best;
    return counts.status();
  }
  std::vector<IndexLookup> chosen;
  uint64_t total = 0;
  size_t at = 0;
  for (auto& lookups : perBranch) {
    size_t pick = 0;
    for (size_t i = 1; i < lookups.size(); ++i)
      if ((*counts)[at + i] < (*counts)[at + pick]) pick = i;
    total += (*counts)[at + pick];
    if (total >= bestCost) return best;
    chosen.push_back(std::move(lookups[pick]));
    at += lookups.size();
  }
  return Plan{std::move(chosen)};
}

}  // namespace jet::sql
