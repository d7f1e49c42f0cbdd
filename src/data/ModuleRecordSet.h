// The recordset helper every reader uses to decide whether a result has rows.
#pragma once

#include "ado/recordset.h"

// True when `rs` has no current row to read: its end flag or its beginning
// flag is set, or its record count is below 1 (a count of -1, one the cursor
// does not know, counts as empty too). A closed recordset, or no recordset at
// all (nullptr), is empty as well. Never raises.
bool esRecordsetVacio(const ado::Recordset& rs);
bool esRecordsetVacio(const ado::Recordset* rs);
