// The place of one row in a database file: its data page and its slot in
// that page's row offset table. A row keeps its RowId for as long as it
// lives; an update that no longer fits leaves a pointer at the old place.
#pragma once

#include <cstdint>

namespace jet {

struct RowId {
  uint32_t page = 0;
  uint16_t slot = 0;
  friend bool operator==(const RowId&, const RowId&) = default;
};

}  // namespace jet
