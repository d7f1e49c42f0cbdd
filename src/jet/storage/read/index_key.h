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
//
// Access 97 files keep text in their own General order, with other codes
// and another layout of the accents (index_key_general97.cpp); which of the
// two a column uses follows from the file's format and the column's sort
// order (textKeyOrderFor). Numbers, dates and Nulls are keyed alike in both
// generations.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "jet/format/file_format.h"
#include "jet/schema.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet::storage {

// The orders text keys are made in.
enum class TextKeyOrder {
  General,    // Access 2000 to 2007 (Jet 4 and ACE files, 1033 version 0)
  General97,  // Access 97 (Jet 3 files, 1033)
};

// The order of the text keys of a column kept in sort order `sortOrder`
// (version `sortVersion`, 0 in Jet 3 files) in a file of `format`;
// kNotSupported for an order the engine does not compute.
Result<TextKeyOrder> textKeyOrderFor(FileFormat format, uint16_t sortOrder, uint8_t sortVersion);

// Appends the key part of one column value; text in `order`.
Status appendIndexKeyPart(std::vector<uint8_t>& key, ColumnType type, const Value& value,
                          bool ascending, TextKeyOrder order = TextKeyOrder::General);

// The General (legacy) text key of `utf8`, without the leading flag.
Result<std::vector<uint8_t>> generalTextKey(std::string_view utf8);
// The Access 97 General text key of `utf8`, without the leading flag.
Result<std::vector<uint8_t>> general97TextKey(std::string_view utf8);

}  // namespace jet::storage
