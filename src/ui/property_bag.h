// The property storage a control keeps in its container: named values read
// with a default and written with a default, a value equal to its default
// not being stored. Names are compared without regard to case, as the
// container compares them ("Color" and "color" are one property).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>

namespace ui {

using PropertyValue = std::variant<std::string, int32_t, bool>;

class PropertyBag {
 public:
  // The stored value, or `defaultValue` when none is stored or the stored
  // one is of another type.
  PropertyValue read(const std::string& name, const PropertyValue& defaultValue) const;
  // Stores the value; a value equal to its default removes the entry.
  void write(const std::string& name, const PropertyValue& value,
             const PropertyValue& defaultValue);
  bool contains(const std::string& name) const;
  size_t size() const { return values_.size(); }

 private:
  static std::string key(const std::string& name);
  std::map<std::string, PropertyValue> values_;
};

}  // namespace ui
