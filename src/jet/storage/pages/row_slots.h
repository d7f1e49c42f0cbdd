// The row offset table of a data page: where each row lies, and whether it
// was deleted or moved.
//
// A data page lists its rows in an offset table; rows are stored from the
// end of the page towards the start, so a row ends where the previous one
// starts. An entry may flag the row deleted, or moved: then the row holds
// only a pointer to the page and slot where it lives now. Nothing here
// trusts the bytes: every entry is checked against the page.
#pragma once

#include <cstdint>

#include "jet/format/jet_format.h"
#include "jet/status.h"
#include "jet/storage/pages/bytes.h"

namespace jet::storage {

// Number of entries in a data page's row offset table.
Result<uint16_t> pageRowCount(ByteSpan page, const format::Layout& layout);

struct RowSlot {
  uint16_t start = 0;  // first byte of the row on the page
  uint16_t end = 0;    // one past its last byte
  bool deleted = false;
  bool moved = false;  // the row holds a pointer to where it lives now
  bool valid = false;  // start and end lie inside the page (always so when not deleted)
};

// Where row `slot` lies on a data page. A live row whose extent is not on
// the page is an error; a deleted one answers valid = false.
Result<RowSlot> locateRow(ByteSpan page, const format::Layout& layout, uint16_t slot);

// The pointer held by a moved row.
Result<RowPointer> movedRowTarget(ByteSpan row);

}  // namespace jet::storage
