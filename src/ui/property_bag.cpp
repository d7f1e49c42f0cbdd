// The property bag as a map keyed by the lower-case name.
#include "ui/property_bag.h"

#include <algorithm>
#include <cctype>

namespace ui {

std::string PropertyBag::key(const std::string& name) {
  std::string k = name;
  std::transform(k.begin(), k.end(), k.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return k;
}

PropertyValue PropertyBag::read(const std::string& name, const PropertyValue& defaultValue) const {
  auto it = values_.find(key(name));
  if (it == values_.end() || it->second.index() != defaultValue.index()) return defaultValue;
  return it->second;
}

void PropertyBag::write(const std::string& name, const PropertyValue& value,
                        const PropertyValue& defaultValue) {
  if (value == defaultValue) {
    values_.erase(key(name));
  } else {
    values_[key(name)] = value;
  }
}

bool PropertyBag::contains(const std::string& name) const {
  return values_.count(key(name)) != 0;
}

}  // namespace ui
