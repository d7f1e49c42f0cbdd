// Expressions of the Access dialect, by recursive descent. Operator
// precedence, loosest first, as in the Access engine:
//   XOR, OR, AND, NOT, comparisons (= <> < > <= >= LIKE IS BETWEEN IN), &,
//   + -, MOD, \, * /, unary - +, ^.
// Then literals (numbers, 'texts', #dates#), `?` parameters, names and
// qualified names, function calls and aggregates, and subqueries in
// parentheses.
#include <cmath>
#include <cstdlib>
#include <string>

#include "jet/convert.h"
#include "jet/sql/dates.h"
#include "jet/sql/parser_state.h"
#include "jet/text.h"

namespace jet::sql::parsing {

Result<ExprPtr> Parser::expression() {
  if (++depth_ > kMaxDepth) return fail();
  size_t first = pos_;
  auto e = parseXor();
  --depth_;
  if (e && e.value()->text.empty()) e.value()->text = textBetween(first, pos_);
  return e;
}

ExprPtr Parser::binary(std::string op, ExprPtr a, ExprPtr b, size_t first) {
  auto e = std::make_unique<Expr>();
  e->kind = ExprKind::Binary;
  e->op = std::move(op);
  e->args.push_back(std::move(a));
  e->args.push_back(std::move(b));
  e->text = textBetween(first, pos_);
  return e;
}

const char* Parser::acceptOperator(std::initializer_list<const char*> operators) {
  for (const char* op : operators)
    if (acceptSymbol(op) || acceptWord(op)) return op;
  return nullptr;
}

Result<ExprPtr> Parser::leftAssoc(Result<ExprPtr> (Parser::*next)(),
                                  std::initializer_list<const char*> operators) {
  size_t first = pos_;
  auto left = (this->*next)();
  if (!left) return left;
  while (const char* op = acceptOperator(operators)) {
    auto right = (this->*next)();
    if (!right) return right;
    left = binary(op, std::move(left.value()), std::move(right.value()), first);
  }
  return left;
}

Result<ExprPtr> Parser::parseXor() {
  return leftAssoc(&Parser::parseOr, {"XOR"});
}

Result<ExprPtr> Parser::parseOr() {
  return leftAssoc(&Parser::parseAnd, {"OR"});
}

Result<ExprPtr> Parser::parseAnd() {
  return leftAssoc(&Parser::parseNot, {"AND"});
}

Result<ExprPtr> Parser::parseNot() {
  if (acceptWord("NOT")) {
    if (++depth_ > kMaxDepth) return fail();
    size_t first = pos_ - 1;
    auto inner = parseNot();
    --depth_;
    if (!inner) return inner;
    auto e = std::make_unique<Expr>();
    e->kind = ExprKind::Unary;
    e->op = "NOT";
    e->args.push_back(std::move(inner.value()));
    e->text = textBetween(first, pos_);
    return ExprPtr(std::move(e));
  }
  return parseComparison();
}

Result<ExprPtr> Parser::parseComparison() {
  size_t first = pos_;
  auto left = parseConcat();
  if (!left) return left;
  for (;;) {
    const Token& t = peek();
    if (t.kind == TokenKind::Symbol && (t.text == "=" || t.text == "<>" || t.text == "<" ||
                                        t.text == ">" || t.text == "<=" || t.text == ">=")) {
      std::string op = t.text;
      ++pos_;
      auto right = parseConcat();
      if (!right) return right;
      left = binary(op, std::move(left.value()), std::move(right.value()), first);
      continue;
    }
    bool negated = false;
    size_t save = pos_;
    if (acceptWord("NOT")) negated = true;
    if (acceptWord("LIKE")) {
      auto right = parseConcat();
      if (!right) return right;
      left = binary("LIKE", std::move(left.value()), std::move(right.value()), first);
      left.value()->negated = negated;
      continue;
    }
    if (acceptWord("BETWEEN")) {
      auto low = parseConcat();
      if (!low) return low;
      if (!acceptWord("AND")) return fail();
      auto high = parseConcat();
      if (!high) return high;
      auto e = std::make_unique<Expr>();
      e->kind = ExprKind::Between;
      e->negated = negated;
      e->args.push_back(std::move(left.value()));
      e->args.push_back(std::move(low.value()));
      e->args.push_back(std::move(high.value()));
      e->text = textBetween(first, pos_);
      left = ExprPtr(std::move(e));
      continue;
    }
    if (acceptWord("IN")) {
      if (!acceptSymbol("(")) return fail();
      auto e = std::make_unique<Expr>();
      e->kind = ExprKind::In;
      e->negated = negated;
      e->args.push_back(std::move(left.value()));
      if (isWord("SELECT")) {
        auto sub = std::make_shared<Query>();
        std::string outerClause = clause_;
        JET_TRY(parseQuery(*sub));
        clause_ = outerClause;
        if (!acceptSymbol(")")) return fail();
        e->subquery = std::move(sub);
        e->text = textBetween(first, pos_);
        left = ExprPtr(std::move(e));
        continue;
      }
      do {
        auto item = expression();
        if (!item) return item;
        e->args.push_back(std::move(item.value()));
      } while (acceptSymbol(","));
      if (!acceptSymbol(")")) return fail();
      e->text = textBetween(first, pos_);
      left = ExprPtr(std::move(e));
      continue;
    }
    if (!negated && acceptWord("IS")) {
      bool isNot = acceptWord("NOT");
      if (!acceptWord("NULL")) return fail();
      auto e = std::make_unique<Expr>();
      e->kind = ExprKind::IsNull;
      e->negated = isNot;
      e->args.push_back(std::move(left.value()));
      e->text = textBetween(first, pos_);
      left = ExprPtr(std::move(e));
      continue;
    }
    pos_ = save;
    break;
  }
  return left;
}

Result<ExprPtr> Parser::parseConcat() {
  return leftAssoc(&Parser::parseAdditive, {"&"});
}

Result<ExprPtr> Parser::parseAdditive() {
  return leftAssoc(&Parser::parseMod, {"+", "-"});
}

Result<ExprPtr> Parser::parseMod() {
  return leftAssoc(&Parser::parseIntDiv, {"MOD"});
}

Result<ExprPtr> Parser::parseIntDiv() {
  return leftAssoc(&Parser::parseMultiplicative, {"\\"});
}

Result<ExprPtr> Parser::parseMultiplicative() {
  return leftAssoc(&Parser::parseUnary, {"*", "/"});
}

Result<ExprPtr> Parser::parseUnary() {
  if (isSymbol("-") || isSymbol("+")) {
    size_t first = pos_;
    std::string op = peek().text;
    ++pos_;
    if (++depth_ > kMaxDepth) return fail();
    auto inner = parseUnary();
    --depth_;
    if (!inner) return inner;
    auto e = std::make_unique<Expr>();
    e->kind = ExprKind::Unary;
    e->op = op;
    e->args.push_back(std::move(inner.value()));
    e->text = textBetween(first, pos_);
    return ExprPtr(std::move(e));
  }
  return parsePower();
}

Result<ExprPtr> Parser::parsePower() {
  return leftAssoc(&Parser::parsePrimary, {"^"});
}

Result<ExprPtr> Parser::parsePrimary() {
  size_t first = pos_;
  const Token t = peek();
  auto e = std::make_unique<Expr>();
  switch (t.kind) {
    case TokenKind::Number: {
      ++pos_;
      auto v = parseNumber(t.text);
      if (!v) return fail();
      e->kind = ExprKind::Literal;
      bool whole = t.text.find_first_of(".eE") == std::string::npos;
      if (whole && *v <= 2147483647.0)
        e->value = Value::longValue(static_cast<int32_t>(*v));
      else
        e->value = Value::dbl(*v);
      break;
    }
    case TokenKind::Text:
      ++pos_;
      e->kind = ExprKind::Literal;
      e->value = Value::text(t.text);
      break;
    case TokenKind::Date: {
      ++pos_;
      auto d = parseDateText(t.text);
      if (!d) return errors::syntaxInExpression("#" + t.text + "#");
      e->kind = ExprKind::Literal;
      e->value = Value::dateTime(*d);
      break;
    }
    case TokenKind::Parameter:
      ++pos_;
      e->kind = ExprKind::Parameter;
      e->index = params_++;
      break;
    case TokenKind::Identity:
      ++pos_;
      e->kind = ExprKind::Identity;
      break;
    case TokenKind::Symbol:
      if (t.text == "(") {
        ++pos_;
        auto inner = expression();
        if (!inner) return inner;
        if (!acceptSymbol(")")) return fail();
        return inner;
      }
      return fail();
    case TokenKind::Name: {
      ++pos_;
      e->kind = ExprKind::Column;
      e->name = t.text;
      JET_TRY(qualified(*e));
      break;
    }
    case TokenKind::Word: {
      if (keywordIs(t.text, "NULL")) {
        ++pos_;
        e->kind = ExprKind::Literal;
        break;
      }
      if (keywordIs(t.text, "TRUE") || keywordIs(t.text, "FALSE")) {
        ++pos_;
        e->kind = ExprKind::Literal;
        e->value = Value::boolean(keywordIs(t.text, "TRUE"));
        break;
      }
      if (isReserved(t.text)) return fail();
      ++pos_;
      if (isSymbol("(")) {
        ++pos_;
        e->kind = isAggregateName(t.text) ? ExprKind::Aggregate : ExprKind::Call;
        e->name = t.text;
        if (!acceptSymbol(")")) {
          do {
            if (e->kind == ExprKind::Aggregate && isSymbol("*")) {
              ++pos_;
              auto star = std::make_unique<Expr>();
              star->kind = ExprKind::Star;
              star->text = "*";
              e->args.push_back(std::move(star));
              continue;
            }
            auto a = expression();
            if (!a) return a;
            e->args.push_back(std::move(a.value()));
          } while (acceptSymbol(","));
          if (!acceptSymbol(")")) return fail();
        }
        break;
      }
      e->kind = ExprKind::Column;
      e->name = t.text;
      JET_TRY(qualified(*e));
      break;
    }
    default: return fail();
  }
  e->text = textBetween(first, pos_);
  return ExprPtr(std::move(e));
}

// table.column or alias.column: the first name becomes the qualifier.
Status Parser::qualified(Expr& e) {
  if (!isSymbol(".")) return Status::ok();
  ++pos_;
  if (isSymbol("*")) return fail();
  const Token& t = peek();
  if (t.kind != TokenKind::Name && t.kind != TokenKind::Word) return fail();
  ++pos_;
  e.qualifier = e.name;
  e.name = t.text;
  return Status::ok();
}

}  // namespace jet::sql::parsing
