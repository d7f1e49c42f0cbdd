// Index keys: the bytes an index entry starts with, one part per key column,
// in the order Access sorts them (entries compare as plain byte strings).
//
// Each part opens with a flag: 0x7F for a value in an ascending column, 0x00
// for Null (so Nulls sort first); a descending column uses 0x80 and 0xFF and
// inverts the value's bytes. Numbers are big-endian with the sign bit turned
// over (negative floating-point numbers have every bit turned over), so byte
// order is numeric order.
//
// Text uses the General sort order of Access 2000 to 2007 (the one Jet 4
// and ACE 12 files carry as 1033/0x409): each character gives one or two
// inline codes that ignore case and accents; the accents follow after an
// end mark, one code per character (0x02 for "none", trailing ones left
// out); the apostrophe, the hyphen and control characters add no inline
// code and are listed at the end with their position. Handled: blanks,
// digits, the Latin letters, the Spanish ones (á é í ó ú ü ñ, both cases)
// and the other Western accented letters, and common punctuation. Any other
// character makes the key fail with a clear error, so an index is never
// written with a guessed key.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "jet/schema.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet::storage {

// Appends the key part of one column value.
Status appendIndexKeyPart(std::vector<uint8_t>& key, ColumnType type, const Value& value,
                          bool ascending);

// The General (legacy) text key of `utf8`, without the leading flag.
Result<std::vector<uint8_t>> generalTextKey(std::string_view utf8);

}  // namespace jet::storage
