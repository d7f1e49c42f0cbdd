// Evaluation of a bound expression against one row (or one group of rows).
#pragma once

#include <vector>

#include "jet/sql/ast.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet::sql {

struct EvalContext {
  const std::vector<Value>* row = nullptr;         // values by column slot
  const std::vector<Value>* aggregates = nullptr;  // finished aggregates by slot (group phase)
  const std::vector<Value>* params = nullptr;
  Value identity;
};

Result<Value> evaluate(const Expr& e, const EvalContext& ctx);

// True when the condition holds (NULL does not).
Result<bool> holds(const Expr& e, const EvalContext& ctx);

}  // namespace jet::sql
