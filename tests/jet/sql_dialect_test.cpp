// The Access dialect's expressions: how text compares, how NULL travels,
// what the operators and functions answer, and the errors a person typing
// at `cocina-db sql` gets back.
#include <string>

#include "jet/error_codes.h"
#include "sql_test_support.h"

namespace sqltest {
namespace {

class SqlDialect : public SqlTest {};

TEST_F(SqlDialect, TextComparesWithoutCaseAndSortsWithAccentsInPlace) {
  EXPECT_EQ(text("'pendiente' = 'PENDIENTE'"), "-1");
  EXPECT_EQ(text("'Año' = 'AÑO'"), "-1");
  EXPECT_EQ(text("'cafe' = 'café'"), "0");  // an accent is a different word
  // The collation puts á with a, ñ after n: never byte order.
  EXPECT_EQ(text("'ábaco' < 'b'"), "-1");
  EXPECT_EQ(text("'ñu' > 'nz'"), "-1");
  EXPECT_EQ(text("'Zeta' > 'alfa'"), "-1");
}

TEST_F(SqlDialect, NullFollowsThreeValuedLogic) {
  EXPECT_EQ(text("Null = Null"), "NULL");
  EXPECT_EQ(text("Not (Null = 1)"), "NULL");
  EXPECT_EQ(text("(Null = 1) Or True"), "-1");
  EXPECT_EQ(text("(Null = 1) And False"), "0");
  EXPECT_EQ(text("(Null = 1) And True"), "NULL");
  EXPECT_EQ(text("Null Is Null"), "-1");
  EXPECT_EQ(text("1 Is Not Null"), "-1");
  EXPECT_EQ(text("2 In (1, Null)"), "NULL");
  EXPECT_EQ(text("1 In (1, Null)"), "-1");
  EXPECT_EQ(text("5 Not In (1, 2)"), "-1");
}

TEST_F(SqlDialect, PlusPropagatesNullAndAmpersandTreatsItAsEmpty) {
  EXPECT_EQ(text("'BAR' + Null"), "NULL");
  EXPECT_EQ(text("'BAR' & Null"), "BAR");
  EXPECT_EQ(text("'%' + 'BAR' + '%'"), "%BAR%");
  EXPECT_EQ(text("1 & 2"), "12");
  EXPECT_EQ(text("'2' + 3"), "5");  // a numeric text meets a number as a number
  EXPECT_EQ(errorOf("SELECT 'x' + 3"), jet::errc::kTypeMismatch);
}

TEST_F(SqlDialect, ArithmeticIsExactAndWidensInsteadOfWrapping) {
  EXPECT_EQ(text("7 \\ 2"), "3");
  EXPECT_EQ(text("-7 Mod 3"), "-1");
  EXPECT_EQ(text("2 ^ 10"), "1024");
  EXPECT_EQ(text("2147483647 + 1"), "2147483648");
  EXPECT_EQ(text("-2 ^ 2"), "-4");  // ^ binds tighter than a sign
  EXPECT_EQ(text("(-2) ^ 2"), "4");
  EXPECT_EQ(text("1 + 2 * 3 - 4 / 2"), "5");
  EXPECT_EQ(text("10 Mod 4 + 1"), "3");
  EXPECT_EQ(text("#2024-03-01# - 1 = #2024-02-29#"), "-1");
  EXPECT_EQ(errorOf("SELECT 1 / 0"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT 5 \\ 0"), jet::errc::kSyntax);
}

TEST_F(SqlDialect, LikeUsesTheProvidersWildcardsIgnoringCase) {
  EXPECT_EQ(text("'BARPIZZA' Like '%' + 'pizza' + '%'"), "-1");
  EXPECT_EQ(text("'BARPIZZA' Like '%RPI%'"), "-1");
  EXPECT_EQ(text("'BAR' Like 'B_R'"), "-1");
  EXPECT_EQ(text("'BR' Like 'B_R'"), "0");
  EXPECT_EQ(text("'mesa7' Like 'mesa[0-9]'"), "-1");
  EXPECT_EQ(text("'mesaX' Like 'mesa[!0-9]'"), "-1");
  EXPECT_EQ(text("'mesa7' Like 'mesa[^0-9]'"), "0");
  EXPECT_EQ(text("'a*b' Like 'a*b'"), "-1");  // * is no wildcard for this provider
  EXPECT_EQ(text("'axb' Like 'a*b'"), "0");
  EXPECT_EQ(text("'x' Not Like '%y%'"), "-1");
  EXPECT_EQ(text("Null Like '%'"), "NULL");
  EXPECT_EQ(text("'BAR' Like '%' + Null + '%'"), "NULL");
  // Many % against a long text that doesn't match: answered, not stuck.
  EXPECT_EQ(text("'" + std::string(2000, 'a') + "' Like '" + std::string(50, '%') + "a%b'"), "0");
}

TEST_F(SqlDialect, BetweenAndInCompareLikeEquals) {
  EXPECT_EQ(text("5 Between 1 And 5"), "-1");
  EXPECT_EQ(text("'b' Between 'A' And 'C'"), "-1");
  EXPECT_EQ(text("6 Not Between 1 And 5"), "-1");
  EXPECT_EQ(text("'bar' In ('PIZZA', 'BAR')"), "-1");
}

TEST_F(SqlDialect, TextFunctionsCountCharactersNotBytes) {
  EXPECT_EQ(text("InStr('BARPIZZA', 'pizza')"), "4");
  EXPECT_EQ(text("InStr(1, 'BARPIZZA', 'RPI')"), "3");
  EXPECT_EQ(text("InStr(5, 'BARBAR', 'bar')"), "0");
  EXPECT_EQ(text("InStr(4, 'BARBAR', 'bar')"), "4");
  EXPECT_EQ(text("InStr(1, 'BAR', Null)"), "NULL");
  EXPECT_EQ(text("Len('Año')"), "3");
  EXPECT_EQ(text("Left('Año nuevo', 3)"), "Año");
  EXPECT_EQ(text("Right('mesa12', 2)"), "12");
  EXPECT_EQ(text("Mid('cocina', 3)"), "cina");
  EXPECT_EQ(text("Mid('cocina', 2, 3)"), "oci");
  EXPECT_EQ(text("Mid('abc', 9)"), "");
  EXPECT_EQ(text("UCase('ñandú')"), "ÑANDÚ");
  EXPECT_EQ(text("LCase('BAR')"), "bar");
  EXPECT_EQ(text("'[' & Trim('  a b  ') & ']' & LTrim(' x') & RTrim('y ') & ']'"), "[a b]xy]");
  EXPECT_EQ(text("Len(Null)"), "NULL");
}

TEST_F(SqlDialect, NumberFunctionsRoundHalfToEven) {
  EXPECT_EQ(text("Round(2.5)"), "2");
  EXPECT_EQ(text("Round(3.5)"), "4");
  EXPECT_EQ(text("Round(1.005 * 1000, 0)"), "1005");
  EXPECT_EQ(text("Round(0.125, 2)"), "0.12");
  EXPECT_EQ(text("CLng(2.5)"), "2");
  EXPECT_EQ(text("CInt(-3.5)"), "-4");
  EXPECT_EQ(text("Int(-2.5)"), "-3");
  EXPECT_EQ(text("Fix(-2.5)"), "-2");
  EXPECT_EQ(text("Abs(-7)"), "7");
  EXPECT_EQ(text("Val(' 12.5 kg')"), "12.5");
  EXPECT_EQ(text("Val('kg')"), "0");
  EXPECT_EQ(text("CDbl('1.25') * 2"), "2.5");
  EXPECT_EQ(text("CStr(15) & ' Minutos'"), "15 Minutos");
  EXPECT_EQ(errorOf("SELECT CInt(40000)"), jet::errc::kOverflow);
  EXPECT_EQ(errorOf("SELECT CLng('doce')"), jet::errc::kTypeMismatch);
}

TEST_F(SqlDialect, NzIIfAndDates) {
  EXPECT_EQ(text("Nz(Null, 'sin detalle')"), "sin detalle");
  EXPECT_EQ(text("Nz('x', 'y')"), "x");
  EXPECT_EQ(text("Nz(Null)"), "");
  EXPECT_EQ(text("IIf(1 > 2, 'si', 'no')"), "no");
  // Only the branch taken is evaluated: the other would divide by zero.
  EXPECT_EQ(text("IIf(True, 1, 1 / 0)"), "1");
  EXPECT_EQ(text("Year(#12/31/2025#) & '-' & Month(#12/31/2025#) & '-' & Day(#12/31/2025#)"),
            "2025-12-31");
  EXPECT_EQ(text("Day(#2024-02-29 13:45#)"), "29");
  EXPECT_EQ(text("Year(Date()) > 2000"), "-1");
  EXPECT_EQ(text("Now() >= Date"), "-1");
  EXPECT_EQ(errorOf("SELECT #2023-02-29#"), jet::errc::kSyntax);
}

TEST_F(SqlDialect, QuotesBracketsAndGluedKeywordsRead) {
  EXPECT_EQ(text("'it''s'"), "it's");
  EXPECT_EQ(text("\"say \"\"hola\"\"\""), "say \"hola\"");
  EXPECT_EQ(text("'a'&'b'"), "ab");
  run("CREATE TABLE [Mesa Nueva] ([id mesa] TEXT(10), [Negocio] TEXT(20))");
  run("INSERT INTO [mesa nueva] ([ID MESA], negocio) VALUES ('5', 'BAR')");
  EXPECT_EQ(rows("SELECT [Id Mesa] FROM [MESA NUEVA] WHERE negocio='bar'GROUP BY [id mesa]"),
            (Rows{{"5"}}));
  EXPECT_EQ(rows("select m.[id mesa] from [Mesa Nueva] m where m.Negocio = 'BAR';"), (Rows{{"5"}}));
}

TEST_F(SqlDialect, MistakesAnswerTheProvidersNumbersInSpanish) {
  EXPECT_EQ(errorOf("SELECT * FROM"), jet::errc::kSyntax);
  EXPECT_EQ(lastError_, "Error de sintaxis en la cláusula FROM.");
  EXPECT_EQ(errorOf("SELECT 1 FROM nada"), jet::errc::kNoTable);
  EXPECT_EQ(lastError_, "No se encuentra la tabla o consulta de entrada 'nada'.");
  EXPECT_EQ(errorOf("SELECT ?, ?", {jet::Value::longValue(1)}), jet::errc::kMissingParameter);
  EXPECT_EQ(lastError_,
            "No se han especificado valores para algunos de los parámetros requeridos.");
  EXPECT_EQ(errorOf("SELEC 1"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT 'sin cerrar"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT [sin cerrar"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT 1 2"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT Nada(1)"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT Left('a')"), jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT 1 ORDER BY"), jet::errc::kSyntax);
  EXPECT_EQ(lastError_, "Error de sintaxis en la cláusula ORDER BY.");
  // Deep nesting is refused, not followed until the stack runs out.
  EXPECT_EQ(errorOf("SELECT " + std::string(5000, '(') + "1" + std::string(5000, ')')),
            jet::errc::kSyntax);
  EXPECT_EQ(errorOf("SELECT " + std::string(5000, '-') + "1"), jet::errc::kSyntax);
}

TEST_F(SqlDialect, ParametersBindInOrderWithTheirTypes) {
  auto r = run("SELECT ? - 700, ? & '!', ? * 2",
               {jet::Value::longValue(715), jet::Value::text("P"), jet::Value::dbl(1.25)});
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0][0], jet::Value::longValue(15));
  EXPECT_EQ(r.rows[0][1], jet::Value::text("P!"));
  EXPECT_EQ(r.rows[0][2], jet::Value::dbl(2.5));
  // A ? inside a quoted text is text, not a parameter.
  EXPECT_EQ(text("'¿?'"), "¿?");
}

}  // namespace
}  // namespace sqltest
