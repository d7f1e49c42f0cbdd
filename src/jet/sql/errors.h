// The failures of SQL statements, with the numbers the Access provider
// reports and the Spanish descriptions the staff read.
#pragma once

#include <string>
#include <string_view>

#include "jet/status.h"

namespace jet::sql::errors {

// A syntax error in the named part of the statement ("FROM", "ORDER BY",
// "INSERT INTO", ...), or in the statement as a whole when `clause` is empty.
Error syntax(std::string_view clause);
// An expression that can't be read: a missing operator or operand.
Error syntaxInExpression(std::string_view expression);
Error invalidStatement();
Error noTable(std::string_view table);
Error missingParameter();
Error typeMismatch();
Error overflow();
Error divisionByZero();
Error unknownFunction(std::string_view name);
Error wrongArgumentCount(std::string_view name);
Error notInAggregate(std::string_view expression);
Error aggregateInWhere(std::string_view expression);
Error unknownDestinationColumn(std::string_view column);
Error valueCountMismatch();
Error tableExists(std::string_view table);
Error requiredNull(std::string_view column);
// A column a definition statement names that its table lacks.
Error noField(std::string_view column, std::string_view table);
Error unionColumnCount();
Error notSupported(std::string_view what);

}  // namespace jet::sql::errors
