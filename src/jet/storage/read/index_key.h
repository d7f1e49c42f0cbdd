// Index keys: the bytes an index entry starts with, one part per key column,
// in the order Access sorts them (entries compare as plain byte strings).
//
// Each part opens with a flag: 0x7F for a value in an ascending column, 0x00
// for Null (so Nulls sort first); a descending column uses 0x80 and 0xFF and
// inverts the value's bytes. Numbers are big-endian with the sign bit turned
// over (negative floating-point numbers have every bit turned over), so byte
// order is numeric order.
//
// Text is keyed in the sort order of its column: the General order of
// Access 2000 to 2007 (sort order 1033, version 0), the newer General order
// of Access 2010 and later (1033, version 1), both laid out alike
// (index_key_general.cpp, with the characters' codes in
// general_sort_codes.*), or the General order of Access 97 files, with its
// own codes and layout of the accents (index_key_general97.cpp). A
// character an order has no code for fails the key with a clear error, so
// an index is never written with a guessed key; textKeyOrderFor() tells
// which order a column uses. Numbers, dates and Nulls are keyed alike in
// every generation.
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
  General,      // Access 2000 to 2007 (Jet 4 and ACE files, 1033 version 0)
  General2010,  // Access 2010 and later (ACE files, 1033 version 1)
  General97,    // Access 97 (Jet 3 files, 1033)
};

// The order of the text keys of a column kept in sort order `sortOrder`
// (version `sortVersion`, 0 in Jet 3 files) in a file of `format`;
// kNotSupported for an order the engine does not compute.
Result<TextKeyOrder> textKeyOrderFor(FileFormat format, uint16_t sortOrder, uint8_t sortVersion);

// Appends the key part of one column value; text in `order`.
Status appendIndexKeyPart(std::vector<uint8_t>& key, ColumnType type, const Value& value,
                          bool ascending, TextKeyOrder order = TextKeyOrder::General);

// The text key of `utf8` in the General order of Access 2000 to 2007,
// without the leading flag.
Result<std::vector<uint8_t>> generalTextKey(std::string_view utf8);
// The same in the General order of Access 2010 and later.
Result<std::vector<uint8_t>> general2010TextKey(std::string_view utf8);
// The Access 97 General text key of `utf8`, without the leading flag.
Result<std::vector<uint8_t>> general97TextKey(std::string_view utf8);

}  // namespace jet::storage
