// Error values for SQL statements; see errors.h.
#include "jet/sql/errors.h"

#include "jet/error_codes.h"

namespace jet::sql::errors {

namespace {
Error make(int32_t number, std::string description) {
  return Error{number, std::move(description)};
}
std::string quoted(std::string_view s) {
  return "'" + std::string(s) + "'";
}
}  // namespace

Error syntax(std::string_view clause) {
  if (clause.empty()) return make(errc::kSyntax, "Error de sintaxis en la instrucción SQL.");
  std::string c(clause);
  if (c == "FROM" || c == "ORDER BY" || c == "GROUP BY" || c == "WHERE" || c == "HAVING")
    return make(errc::kSyntax, "Error de sintaxis en la cláusula " + c + ".");
  return make(errc::kSyntax, "Error de sintaxis en la instrucción " + c + ".");
}

Error syntaxInExpression(std::string_view expression) {
  return make(errc::kSyntax, "Error de sintaxis (falta operador) en la expresión de consulta " +
                                 quoted(expression) + ".");
}

Error invalidStatement() {
  return make(errc::kSyntax,
              "Instrucción SQL no válida; se esperaba 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT' o "
              "'UPDATE'.");
}

Error noTable(std::string_view table) {
  return make(errc::kNoTable,
              "No se encuentra la tabla o consulta de entrada " + quoted(table) + ".");
}

Error missingParameter() {
  return make(errc::kMissingParameter,
              "No se han especificado valores para algunos de los parámetros requeridos.");
}

Error typeMismatch() {
  return make(errc::kTypeMismatch, "No coinciden los tipos de datos en la expresión de criterios.");
}

Error overflow() {
  return make(errc::kOverflow, "Desbordamiento.");
}

Error divisionByZero() {
  return make(errc::kSyntax, "División por cero.");
}

Error unknownFunction(std::string_view name) {
  return make(errc::kSyntax, "Función " + quoted(name) + " no definida en la expresión.");
}

Error wrongArgumentCount(std::string_view name) {
  return make(errc::kSyntax, "Número incorrecto de argumentos utilizados con la función " +
                                 quoted(name) + " en la expresión de consulta.");
}

Error notInAggregate(std::string_view expression) {
  return make(errc::kSyntax, "Intentó ejecutar una consulta que no incluye la expresión " +
                                 quoted(expression) + " como parte de una función de agregado.");
}

Error aggregateInWhere(std::string_view expression) {
  return make(errc::kSyntax, "No se puede tener una función de agregado en la cláusula WHERE (" +
                                 std::string(expression) + ").");
}

Error unknownDestinationColumn(std::string_view column) {
  return make(errc::kSyntax, "Nombre de campo de destino desconocido: " + quoted(column) + ".");
}

Error valueCountMismatch() {
  return make(
      errc::kSyntax,
      "El número de valores de la consulta y el número de campos de destino son diferentes.");
}

Error tableExists(std::string_view table) {
  return make(errc::kSyntax, "La tabla " + quoted(table) + " ya existe.");
}

Error requiredNull(std::string_view column) {
  return make(errc::kIntegrity,
              "El campo " + quoted(column) +
                  " no puede contener un valor nulo porque la propiedad Requerido "
                  "para este campo está establecida en True.");
}

Error noField(std::string_view column, std::string_view table) {
  return make(errc::kSyntax,
              "El campo " + quoted(column) + " no existe en la tabla " + quoted(table) + ".");
}

Error unionColumnCount() {
  return make(
      errc::kSyntax,
      "El número de columnas de las dos tablas o consultas seleccionadas en una consulta de "
      "unión no coincide.");
}

Error notSupported(std::string_view what) {
  return make(errc::kNotSupported, "Esta operación no se admite: " + std::string(what) + ".");
}

}  // namespace jet::sql::errors
