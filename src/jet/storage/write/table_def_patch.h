// Changing bytes of an existing table definition in place: the row count,
// the AutoNumber and index roots a writer keeps up to date. A definition
// may run over several pages; the change lands on whichever hold those bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jet/status.h"
#include "jet/storage/pages/page_store.h"

namespace jet::storage::write {

// Writes `n` bytes at `offset` of the definition chain starting at `first`
// (offsets as in the bytes readTableDefBytes answers).
Status patchTableDef(PageStore& store, uint32_t first, size_t offset, const uint8_t* data,
                     size_t n);

}  // namespace jet::storage::write
