// New, empty database files, built page by page by the engine itself: the
// header page, the file's page map, the catalog table MSysObjects and the
// system tables every reader of Access files expects (MSysACEs, MSysQueries,
// MSysRelationships), with the catalog's containers ("Tables", "Databases",
// "Relationships"). Jet 4 (.mdb) and ACE 12 (.accdb) differ in the header's
// signature and version byte; the rest of the layout is shared.
#pragma once

#include <string>

#include "jet/format/file_format.h"
#include "jet/schema.h"
#include "jet/status.h"

namespace jet::storage {

// The format a new file gets from its name: the last five characters
// "ACCDB" in any case give ACE 12, anything else Jet 4.
FileFormat formatForPath(const std::string& path);

// Writes the bootstrap pages (header, page map, MSysObjects) of a new file at
// `path`; fails if the file exists. The caller then adds the system tables.
Status writeBootstrapFile(const std::string& path, FileFormat format);

// The definition of MSysObjects as Access keeps it, and the ids of the
// catalog's containers.
inline constexpr int32_t kContainerRoot = 0x0F000000;
inline constexpr int32_t kContainerTables = 0x0F000001;
inline constexpr int32_t kContainerDatabases = 0x0F000002;
inline constexpr int32_t kContainerRelationships = 0x0F000003;
inline constexpr int32_t kDatabaseObject = 0x10000000;

TableSchema catalogSchema();

}  // namespace jet::storage
