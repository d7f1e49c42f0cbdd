// The binding rules of a parameter list: which element binds what, by name,
// type, size and value, for reads and for updates.
#include "data/parameter_binding.h"

#include <gtest/gtest.h>

#include "ado/constants.h"
#include "support/locale.h"

namespace {

using ado::Variant;
using data::BindingUse;
using data::parameterFor;

void expectParameter(const std::optional<ado::Parameter>& p, const std::string& name, int32_t type,
                     int32_t size, const std::string& value) {
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(p->name(), name);
  EXPECT_EQ(p->type(), type);
  EXPECT_EQ(p->direction(), ado::adParamInput);
  EXPECT_EQ(p->size(), size);
  EXPECT_EQ(p->value().toString(), value);
}

TEST(NamedText, NameBeforeTheFirstPairOfColonsValueUpToTheNext) {
  for (auto use : {BindingUse::Read, BindingUse::Update}) {
    expectParameter(parameterFor(Variant("mesa::12"), 4, use), "mesa", ado::adVarChar, 3, "12");
    expectParameter(parameterFor(Variant("::"), 0, use), "", ado::adVarChar, 1, "");
    expectParameter(parameterFor(Variant("a::b::c"), 0, use), "a", ado::adVarChar, 2, "b");
  }
  // The value of a named text is text even when it reads as a number.
  EXPECT_EQ(parameterFor(Variant("n::7"), 0, BindingUse::Read)->value().kind(),
            Variant::Kind::String);
}

TEST(PlainText, NamedByItsPositionSizedByItsLength) {
  expectParameter(parameterFor(Variant("abc"), 0, BindingUse::Read), "0", ado::adVarChar, 4, "abc");
  expectParameter(parameterFor(Variant("P"), 1, BindingUse::Update), "1", ado::adVarChar, 2, "P");
  // Characters, not bytes: "Caña" is four characters.
  expectParameter(parameterFor(Variant("Caña"), 2, BindingUse::Update), "2", ado::adVarChar, 5,
                  "Caña");
}

TEST(Numbers, SixteenBitIsAdIntegerThirtyTwoBitIsAdNumeric) {
  for (auto use : {BindingUse::Read, BindingUse::Update}) {
    expectParameter(parameterFor(Variant(int16_t{7}), 0, use), "7", ado::adInteger, 0, "7");
    expectParameter(parameterFor(Variant(int32_t{7}), 0, use), "7", ado::adNumeric, 0, "7");
    expectParameter(parameterFor(Variant(2.5), 3, use), "2.5", ado::adDouble, 0, "2.5");
    expectParameter(parameterFor(Variant(true), 0, use), "Verdadero", ado::adBoolean, 0,
                    "Verdadero");
  }
}

TEST(Numbers, NamedWithThePointUnderTheSpanishLocale) {
  cocina::test::ScopedLocale spanish(cocina::test::kSpanishLocale);
  if (!cocina::test::requireCommaLocale(spanish)) return;
  for (auto use : {BindingUse::Read, BindingUse::Update})
    expectParameter(parameterFor(Variant(13.5), 0, use), "13.5", ado::adDouble, 0, "13.5");
  expectParameter(parameterFor(Variant(0.5f), 0, BindingUse::Update), "0.5", ado::adSingle, 0,
                  "0.5");
}

TEST(ReadsAndUpdates, SinglesBindOnlyInUpdatesDatesOnlyInReads) {
  EXPECT_FALSE(parameterFor(Variant(1.5f), 0, BindingUse::Read).has_value());
  EXPECT_EQ(parameterFor(Variant(1.5f), 0, BindingUse::Update)->type(), ado::adSingle);
  const Variant date = Variant::date(jet::DateTime{45000});
  EXPECT_EQ(parameterFor(date, 0, BindingUse::Read)->type(), ado::adDate);
  EXPECT_FALSE(parameterFor(date, 0, BindingUse::Update).has_value());
}

TEST(Skipped, EmptyNullCurrencyAndByteBindNothing) {
  for (auto use : {BindingUse::Read, BindingUse::Update}) {
    EXPECT_FALSE(parameterFor(Variant(), 0, use).has_value());
    EXPECT_FALSE(parameterFor(Variant::null(), 0, use).has_value());
    EXPECT_FALSE(parameterFor(Variant::currency(jet::Currency{10000}), 0, use).has_value());
    EXPECT_FALSE(parameterFor(Variant(uint8_t{3}), 0, use).has_value());
  }
}

TEST(BindParameters, ASkippedElementMovesTheNextValueForward) {
  ado::Command cmd;
  data::bindParameters(cmd, {Variant(), Variant("x")}, BindingUse::Read);
  ASSERT_EQ(cmd.parameters().count(), 1);
  // Named after its own position in the list, but bound to the first mark.
  EXPECT_EQ(cmd.parameters().item(0).name(), "1");
  EXPECT_EQ(cmd.parameters().item(0).value().toString(), "x");
}

TEST(BindParameters, TheKitchensFirstMark) {
  ado::Command cmd;
  data::bindParameters(cmd, {Variant(int32_t{715}), Variant("P"), Variant("S")},
                       BindingUse::Update);
  ASSERT_EQ(cmd.parameters().count(), 3);
  EXPECT_EQ(cmd.parameters().item(0).type(), ado::adNumeric);
  EXPECT_EQ(cmd.parameters().item(0).name(), "715");
  EXPECT_EQ(cmd.parameters().item(1).name(), "1");
  EXPECT_EQ(cmd.parameters().item(1).size(), 2);
  EXPECT_EQ(cmd.parameters().item(2).name(), "2");
  EXPECT_EQ(cmd.parameters().item(2).value().toString(), "S");
}

}  // namespace
