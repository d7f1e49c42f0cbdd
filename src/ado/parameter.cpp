// Parameters: the conversion of a bound value to the type it was declared
// with, and the collection's lookups.
#include "ado/parameter.h"

#include <cmath>

#include "ado/error.h"
#include "jet/convert.h"
#include "jet/text.h"

namespace ado {

namespace {

[[noreturn]] void raiseNotFound() {
  raiseAdoError(adErrItemNotFound);
}

}  // namespace

jet::Value Parameter::engineValue() const {
  Variant v = value_.resolved();
  if (v.isEmpty() || v.isNull()) return jet::Value::null();
  switch (type_) {
    case adChar:
    case adWChar:
    case adVarChar:
    case adVarWChar:
    case adLongVarChar:
    case adLongVarWChar: return jet::Value::text(v.toString());
    case adDouble: return jet::Value::dbl(v.toDouble());
    case adSingle: return jet::Value::single(static_cast<float>(v.toDouble()));
    case adSmallInt:
    case adInteger: return jet::Value::integer(v.toInteger());
    case adTinyInt:
    case adUnsignedTinyInt: {
      int16_t i = v.toInteger();
      if (i < 0 || i > 255) throw ComError(kErrOverflow, "Desbordamiento");
      return jet::Value::byte(static_cast<uint8_t>(i));
    }
    case adNumeric: {
      // A whole number that fits stays whole, so "? - idProducto" computes
      // in whole numbers as the kitchen times are kept.
      double d = v.toDouble();
      if (d == std::trunc(d) && d >= -2147483648.0 && d <= 2147483647.0)
        return jet::Value::longValue(static_cast<int32_t>(d));
      return jet::Value::dbl(d);
    }
    case adBigInt: {
      double d = jet::roundHalfEven(v.toDouble());
      if (!(d >= -9.2233720368547758e18 && d < 9.2233720368547758e18))
        throw ComError(kErrOverflow, "Desbordamiento");
      return jet::Value::bigInt(static_cast<int64_t>(d));
    }
    case adCurrency: {
      double d = std::round(v.toDouble() * 10000.0);
      return jet::Value::currency(jet::Currency{static_cast<int64_t>(d)});
    }
    case adDate:
      if (v.kind() == Variant::Kind::Date) return v.toValue();
      return jet::Value::dateTime(jet::DateTime{v.toDouble()});
    case adBoolean: return jet::Value::boolean(v.toBoolean());
    default: return v.toValue();
  }
}

Parameter& Parameters::item(int32_t index) {
  if (index < 0 || index >= count()) raiseNotFound();
  return items_[static_cast<size_t>(index)];
}

const Parameter& Parameters::item(int32_t index) const {
  if (index < 0 || index >= count()) raiseNotFound();
  return items_[static_cast<size_t>(index)];
}

Parameter& Parameters::item(const std::string& name) {
  for (auto& p : items_)
    if (jet::equalsIgnoreCase(p.name(), name)) return p;
  raiseNotFound();
}

}  // namespace ado
