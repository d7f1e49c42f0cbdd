// Data pages as the writer changes them (Jet 3, Jet 4 and ACE layouts).
//
// A data page holds a header (type, free space, owning table definition),
// a table of row offsets growing from the front, and the rows themselves
// packed from the end of the page towards the front. A row runs from its
// offset up to the start of the row before it (or the page end). Deleted
// rows keep their slot with the deleted flag, so row places (page, slot)
// stay valid for the life of the row.
//
// The two generations differ only in the header: Access 97 pages are 2 KiB
// with the row count at byte 8, later ones 4 KiB with it at byte 12. The
// page's size tells them apart, so every user of a page gets the right one.
//
// Invariant kept by every function here: the rows of live and deleted
// slots are contiguous from the page end, and the free-space field equals
// the bytes between the offset table and the lowest row.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "jet/format/jet_format.h"

namespace jet::storage::write {

using format::kLongValueOwner;
using format::kMaxRowsPerPage;

// Bytes in front of the offset table of a data page of `pageSize` bytes:
// the header ends with the row count.
inline size_t dataPageHeaderSize(size_t pageSize) {
  return format::layoutForPageSize(pageSize).dataRowCountOffset + 2;
}

class DataPage {
 public:
  explicit DataPage(std::span<uint8_t> page) : p_(page), header_(dataPageHeaderSize(page.size())) {}

  // Bytes in front of the offset table.
  size_t headerSize() const { return header_; }

  // Formats an empty data page owned by the table whose definition is at
  // `owner` (or kLongValueOwner).
  void format(uint32_t owner);

  uint16_t rowCount() const;
  uint16_t freeSpace() const;
  uint32_t owner() const;
  // Raw offset entry of a slot (flags included).
  uint16_t slotEntry(uint16_t slot) const;
  bool isDeleted(uint16_t slot) const;
  bool isOverflow(uint16_t slot) const;
  // The row's bytes [start, end) within the page, or nullopt when the slot
  // does not exist or the offsets are damaged.
  std::optional<std::pair<uint16_t, uint16_t>> rowBounds(uint16_t slot) const;

  // True when no slot holds a row any more: every one deleted and empty
  // (a moved row's new place is flagged deleted too, but keeps its bytes).
  bool holdsNothing() const;

  // Whether a new row of `size` bytes fits (with its offset entry).
  bool fits(size_t size) const;
  // Adds a row at a new slot; answers the slot, or nullopt when it does not
  // fit. `flags` are set on the offset entry.
  std::optional<uint16_t> addRow(std::span<const uint8_t> row, uint16_t flags = 0);
  // Replaces the bytes of an existing slot, repacking the page if the size
  // changes; false when the new bytes do not fit on the page.
  bool replaceRow(uint16_t slot, std::span<const uint8_t> row, uint16_t flags = 0);
  // Marks a slot deleted and frees its bytes (the slot stays, empty).
  void deleteRow(uint16_t slot);

 private:
  bool repack(uint16_t slot, std::span<const uint8_t> row, uint16_t flags);
  size_t rowCountAt() const { return header_ - 2; }
  std::span<uint8_t> p_;
  size_t header_;
};

// A DataPage over a page only read: for its const members only (the
// page's bytes must not be changed through it).
inline DataPage viewDataPage(const std::vector<uint8_t>& page) {
  return DataPage(std::span<uint8_t>(const_cast<uint8_t*>(page.data()), page.size()));
}

}  // namespace jet::storage::write
