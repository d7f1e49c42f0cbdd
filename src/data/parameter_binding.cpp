// The binding rules of the system's parameter lists: named texts, the type
// table for reads and for updates, and the elements that bind nothing.
#include "data/parameter_binding.h"

#include <string>

#include "ado/constants.h"
#include "ado/conversions.h"

namespace data {

namespace {

int32_t lengthPlusOne(const std::string& text) {
  return static_cast<int32_t>(ado::textLength(text)) + 1;
}

// The element as text when it can hold "::": a text, or a field whose value
// is a text. Numbers, dates and Booleans never write "::".
bool textOf(const ado::Variant& element, std::string& out) {
  if (element.kind() == ado::Variant::Kind::String) {
    out = element.toString();
    return true;
  }
  if (element.kind() == ado::Variant::Kind::Field) {
    ado::Variant v = element.resolved();
    if (v.kind() != ado::Variant::Kind::String) return false;
    out = v.toString();
    return true;
  }
  return false;
}

ado::Parameter namedText(const std::string& text) {
  size_t first = text.find("::");
  std::string name = text.substr(0, first);
  size_t valueStart = first + 2;
  size_t second = text.find("::", valueStart);
  std::string value = text.substr(
      valueStart, second == std::string::npos ? std::string::npos : second - valueStart);
  return ado::Parameter(name, ado::adVarChar, ado::adParamInput, lengthPlusOne(value),
                        ado::Variant(value));
}

}  // namespace

std::optional<ado::Parameter> parameterFor(const ado::Variant& element, size_t position,
                                           BindingUse use) {
  std::string text;
  if (textOf(element, text) && text.find("::") != std::string::npos) return namedText(text);

  const std::string positionName = std::to_string(position);
  using K = ado::Variant::Kind;
  auto byValue = [&](int32_t type) {
    return ado::Parameter(element.toString(), type, ado::adParamInput, 0, element);
  };
  switch (element.kind()) {
    case K::String:
      return ado::Parameter(positionName, ado::adVarChar, ado::adParamInput,
                            lengthPlusOne(element.toString()), element);
    case K::Field: {
      if (use == BindingUse::Update) return std::nullopt;
      ado::Variant v = element.resolved();
      // The field is bound itself and read by the engine when the statement
      // runs; a null field is a one-character slot holding nothing.
      int32_t size = v.isNull() ? 1 : lengthPlusOne(v.toString());
      return ado::Parameter(positionName, ado::adVarChar, ado::adParamInput, size, element);
    }
    case K::Double: return byValue(ado::adDouble);
    case K::Single:
      if (use == BindingUse::Read) return std::nullopt;
      return byValue(ado::adSingle);
    case K::Integer: return byValue(ado::adInteger);
    case K::Long: return byValue(ado::adNumeric);
    case K::Date:
      if (use == BindingUse::Update) return std::nullopt;
      return byValue(ado::adDate);
    case K::Boolean: return byValue(ado::adBoolean);
    default: return std::nullopt;
  }
}

void bindParameters(ado::Command& command, const std::vector<ado::Variant>& params,
                    BindingUse use) {
  for (size_t i = 0; i < params.size(); ++i) {
    if (auto p = parameterFor(params[i], i, use)) command.parameters().append(std::move(*p));
  }
}

}  // namespace data
