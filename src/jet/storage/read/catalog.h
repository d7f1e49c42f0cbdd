// The catalog: the rows of MSysObjects that describe tables.
//
// MSysObjects has its definition on page 2 of every file. Each table has a
// row with its name, its type (1 for a table of this file), its flags (the
// system and hidden bits mark Access's own tables) and an id whose low
// three bytes are the page of its definition.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/storage/pages/pager.h"

namespace jet::storage {

struct CatalogEntry {
  std::string name;
  uint32_t tableDefPage = 0;
  uint32_t flags = 0;
  bool system = false;
};

// The tables of the file, in catalog order.
Result<std::vector<CatalogEntry>> readCatalog(Pager& pager);

}  // namespace jet::storage
