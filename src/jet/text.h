// Text helpers shared by the engine: UTF-8 <-> UTF-16 and the case-insensitive
// name comparison Access uses for table and column names.
#pragma once

#include <string>
#include <string_view>

namespace jet {

std::u16string toUtf16(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);
// Equal ignoring case, with Unicode case folding ("Año" equals "AÑO").
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Length in UTF-16 code units, as Access counts characters.
size_t utf16Length(std::string_view utf8);

}  // namespace jet
