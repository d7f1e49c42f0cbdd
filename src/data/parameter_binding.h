// How a parameter list of the system becomes the parameters of a command.
//
// Elements are taken in order from index 0; each appends one parameter or
// none. A text containing "::" is a named text: "name::value" (further "::"
// parts dropped), always bound as adVarChar. Otherwise the element's type
// decides, and the reads (Query, QueryProgres) and the updates (comando)
// accept slightly different sets of types:
//
//   type      reads                       updates
//   String    adVarChar, size len+1       adVarChar, size len+1
//   Field     adVarChar, size len+1       (skipped)
//   Double    adDouble                    adDouble
//   Single    (skipped)                   adSingle
//   Integer   adInteger                   adInteger
//   Long      adNumeric                   adNumeric
//   Date      adDate                      (skipped)
//   Boolean   adBoolean                   adBoolean
//   other     (skipped)                   (skipped)
//
// A skipped element moves the values after it one "?" forward; the engine
// then sees fewer values than marks and refuses the statement. Texts and
// fields are named after their position ("0", "1", ...), other values after
// their own text form. Lengths count characters as the point of sale's
// strings do (UTF-16 units).
#pragma once

#include <optional>
#include <vector>

#include "ado/command.h"
#include "ado/parameter.h"
#include "ado/variant.h"

namespace data {

enum class BindingUse { Read, Update };

// The parameter one element binds, or nothing when the element is skipped.
std::optional<ado::Parameter> parameterFor(const ado::Variant& element, size_t position,
                                           BindingUse use);

// Appends to `command` the parameters of every element of `params`.
void bindParameters(ado::Command& command, const std::vector<ado::Variant>& params, BindingUse use);

}  // namespace data
