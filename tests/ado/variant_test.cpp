// The variant: type names as the binding rules test them, the numeric test,
// whole-number conversions and the plain text form.
#include "ado/variant.h"

#include <gtest/gtest.h>

#include "ado/com_error_of.h"
#include "ado/error.h"
#include "support/locale.h"

namespace {

using ado::Variant;

class FixedField : public ado::FieldSource {
 public:
  explicit FixedField(Variant v) : v_(std::move(v)) {}
  std::string name() const override { return "cantidad"; }
  Variant value() const override { return v_; }

 private:
  Variant v_;
};

using adotest::errorOf;

TEST(Variant, EachKindAnswersItsTypeName) {
  EXPECT_STREQ(Variant().typeName(), "Empty");
  EXPECT_STREQ(Variant::null().typeName(), "Null");
  EXPECT_STREQ(Variant(int16_t{7}).typeName(), "Integer");
  EXPECT_STREQ(Variant(int32_t{7}).typeName(), "Long");
  EXPECT_STREQ(Variant(1.5f).typeName(), "Single");
  EXPECT_STREQ(Variant(1.5).typeName(), "Double");
  EXPECT_STREQ(Variant::currency({15000}).typeName(), "Currency");
  EXPECT_STREQ(Variant::date({45000.5}).typeName(), "Date");
  EXPECT_STREQ(Variant("P").typeName(), "String");
  EXPECT_STREQ(Variant(true).typeName(), "Boolean");
  EXPECT_STREQ(Variant(uint8_t{3}).typeName(), "Byte");
  EXPECT_STREQ(Variant::fromValue(jet::Value::decimal({false, 18, 2, 1234})).typeName(), "Decimal");
  auto f = Variant::field(std::make_shared<FixedField>(Variant(2.0)));
  EXPECT_STREQ(f.typeName(), "Field");
  EXPECT_EQ(f.toDouble(), 2.0);  // a field reads through to its value
}

TEST(Variant, EngineValuesKeepTheirType) {
  EXPECT_STREQ(Variant::fromValue(jet::Value::longValue(5)).typeName(), "Long");
  EXPECT_STREQ(Variant::fromValue(jet::Value::text("x")).typeName(), "String");
  EXPECT_STREQ(Variant::fromValue(jet::Value()).typeName(), "Null");
  EXPECT_STREQ(Variant::fromValue(jet::Value::dateTime({1.0})).typeName(), "Date");
  EXPECT_EQ(Variant::fromValue(jet::Value::integer(-4)).toValue(), jet::Value::integer(-4));
}

TEST(Variant, NumericTest) {
  EXPECT_TRUE(Variant(" 14").isNumeric());
  EXPECT_TRUE(Variant("13.5").isNumeric());
  EXPECT_FALSE(Variant("").isNumeric());
  EXPECT_FALSE(Variant(": 14").isNumeric());
  EXPECT_FALSE(Variant::null().isNumeric());
  EXPECT_TRUE(Variant().isNumeric());  // Empty converts to 0
  EXPECT_TRUE(Variant(int32_t{3}).isNumeric());
}

TEST(Variant, WholeNumberConversionsRoundHalfToEvenAndOverflow) {
  EXPECT_EQ(Variant(" 13.5").toInteger(), 14);
  EXPECT_EQ(Variant("12.5").toInteger(), 12);
  EXPECT_EQ(Variant(-2.5).toLong(), -2);
  EXPECT_EQ(Variant(32767.4).toInteger(), 32767);
  EXPECT_EQ(errorOf([] { (void)Variant(32767.5).toInteger(); }), ado::kErrOverflow);
  EXPECT_EQ(errorOf([] { (void)Variant("40000").toInteger(); }), ado::kErrOverflow);
  EXPECT_EQ(Variant(-32768.0).toInteger(), -32768);
  EXPECT_EQ(errorOf([] { (void)Variant(3e9).toLong(); }), ado::kErrOverflow);
  EXPECT_EQ(errorOf([] { (void)Variant("doce").toInteger(); }), ado::kErrTypeMismatch);
  EXPECT_EQ(errorOf([] { (void)Variant::null().toLong(); }), ado::kErrInvalidNull);
  EXPECT_EQ(Variant(true).toInteger(), -1);
}

TEST(Variant, PlainTextForm) {
  EXPECT_EQ(Variant(2.0).toString(), "2");
  EXPECT_EQ(Variant(-2.0).toString(), "-2");
  EXPECT_EQ(Variant(0.5).toString(), "0.5");
  EXPECT_EQ(Variant(1234567.0).toString(), "1234567");
  EXPECT_EQ(Variant(int32_t{-700}).toString(), "-700");
  EXPECT_EQ(Variant::currency({25000}).toString(), "2.5");
  EXPECT_EQ(Variant::currency({-10000}).toString(), "-1");
  EXPECT_EQ(Variant().toString(), "");
  EXPECT_EQ(errorOf([] { (void)Variant::null().toString(); }), ado::kErrInvalidNull);
}

TEST(Variant, NumbersAndTheirTextsUnderTheSpanishLocale) {
  cocina::test::ScopedLocale spanish(cocina::test::kSpanishLocale);
  if (!cocina::test::requireCommaLocale(spanish)) return;
  EXPECT_EQ(Variant("13.5").toDouble(), 13.5);
  EXPECT_EQ(Variant(" 13.5").toInteger(), 14);
  EXPECT_FALSE(Variant("13,5").isNumeric());
  EXPECT_EQ(Variant(0.5).toString(), "0.5");
  EXPECT_EQ(Variant(0.1f).toString(), "0.1");
  EXPECT_EQ(Variant::currency({25000}).toString(), "2.5");
}

TEST(Variant, DatesReadAsDayMonthYear) {
  // 45000 is 2023-03-15; .75 is 18:00.
  EXPECT_EQ(Variant::date({45000.75}).toString(), "15/03/2023 18:00:00");
  EXPECT_EQ(Variant::date({45000}).toString(), "15/03/2023");
  EXPECT_EQ(Variant::date({0.5}).toString(), "12:00:00");
  EXPECT_EQ(Variant::date({2}).toString(), "01/01/1900");
  EXPECT_EQ(Variant::date({-1.25}).toString(), "29/12/1899 06:00:00");
  // A time that rounds up to midnight is the next day in time, before
  // 1899-12-30 too (it once went a day back instead).
  EXPECT_EQ(Variant::date({-1.9999999}).toString(), "30/12/1899");
  EXPECT_EQ(Variant::date({-2.9999999}).toString(), "29/12/1899");
  EXPECT_EQ(Variant::date({-0.9999999}).toString(), "31/12/1899");
}

}  // namespace
