// The scalar functions of Access SQL that the system and the staff use:
// InStr, Len, Left, Right, Mid, UCase, LCase, Trim, LTrim, RTrim, Nz, IIf,
// Abs, Int, Fix, Round, CStr, CLng, CInt, CDbl, Val, Now, Date, Year, Month,
// Day (and Time, Sgn, Space, String, Format-free Str).
//
// Text positions and lengths count UTF-16 units, as Access does. NULL in
// propagates to NULL out except where the function exists to replace it (Nz,
// IIf). Text search (InStr) ignores case, like every text comparison.
#pragma once

#include <string>
#include <vector>

#include "jet/status.h"
#include "jet/value.h"

namespace jet::sql {

// Checks name and argument count before a statement runs, so a misspelt
// function fails even on an empty table.
Status checkFunction(const std::string& name, size_t argumentCount);

// IIf is evaluated by the executor (only the chosen branch runs); every other
// function receives its evaluated arguments here.
Result<Value> callFunction(const std::string& name, const std::vector<Value>& args);

}  // namespace jet::sql
