// The database properties a new file carries, as Access keeps them in the
// LvProp of the catalog row "MSysDb": the Access version and build that made
// the file. Programs that read Access files tell an Access 2000 database from
// a plain Jet 4 one by the version text there ("08.50"), and an Access 2007
// file carries "09.50" as Access 2007 writes it; without them a new file
// reads as a generic Jet file.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "jet/format/file_format.h"

namespace jet::storage {

// One property: a text or a 32-bit number.
struct DatabaseProperty {
  std::string name;
  std::variant<std::string, int32_t> value;
};

// The properties Access writes into a database of `format`.
std::vector<DatabaseProperty> accessDatabaseProperties(FileFormat format);

// The properties as one stored block: the "MR2" signature, the chunk of
// property names, then the chunk of values, each value naming its property
// by its place in the names chunk.
std::vector<uint8_t> encodeDatabaseProperties(const std::vector<DatabaseProperty>& properties);

}  // namespace jet::storage
