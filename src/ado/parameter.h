// ADO Parameter and the Parameters collection of a Command: the values bound
// in order to the "?" marks of a statement.
//
// A parameter's value is converted to its declared type when the statement
// runs (a text parameter receives the text form of its value, a numeric one
// the number), as the provider converts it. Names carry no meaning for "?"
// marks: binding is by position, so equal names are allowed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ado/constants.h"
#include "ado/variant.h"
#include "jet/value.h"

namespace ado {

class Parameter {
 public:
  Parameter() = default;
  Parameter(std::string name, int32_t type, int32_t direction, int32_t size, Variant value)
      : name_(std::move(name)),
        type_(type),
        direction_(direction),
        size_(size),
        value_(std::move(value)) {}

  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  int32_t type() const { return type_; }
  void setType(int32_t type) { type_ = type; }
  int32_t direction() const { return direction_; }
  void setDirection(int32_t direction) { direction_ = direction; }
  int32_t size() const { return size_; }
  void setSize(int32_t size) { size_ = size; }
  const Variant& value() const { return value_; }
  void setValue(Variant value) { value_ = std::move(value); }

  // The engine value the statement receives: the value (a Field read now)
  // converted to the declared type. Empty and Null give Null. Raises
  // ComError when the value does not convert (a text that is no number for
  // a numeric type).
  jet::Value engineValue() const;

 private:
  std::string name_;
  int32_t type_ = adEmpty;
  int32_t direction_ = adParamInput;
  int32_t size_ = 0;
  Variant value_;
};

class Parameters {
 public:
  void append(Parameter p) { items_.push_back(std::move(p)); }
  int32_t count() const { return static_cast<int32_t>(items_.size()); }
  // By position from 0; raises adErrItemNotFound outside the range.
  Parameter& item(int32_t index);
  const Parameter& item(int32_t index) const;
  // By name, without regard to case; raises adErrItemNotFound.
  Parameter& item(const std::string& name);
  void clear() { items_.clear(); }

  std::vector<Parameter>::const_iterator begin() const { return items_.begin(); }
  std::vector<Parameter>::const_iterator end() const { return items_.end(); }

 private:
  std::vector<Parameter> items_;
};

}  // namespace ado
