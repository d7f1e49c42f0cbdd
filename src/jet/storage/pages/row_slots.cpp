// Reading a data page's row offset table; see row_slots.h.
#include "jet/storage/pages/row_slots.h"

#include <algorithm>
#include <string>

#include "jet/storage/pages/errors.h"

namespace jet::storage {

namespace {

Error badRow(const std::string& what) {
  return damaged("fila ilegible: " + what);
}

}  // namespace

Result<uint16_t> pageRowCount(ByteSpan page, const format::Layout& l) {
  auto n = readU16(page, l.dataRowCountOffset);
  if (!n) return badRow("página de datos cortada");
  // Each entry takes two bytes after the count; more than fit is damage.
  if (!fits(page, l.dataRowCountOffset + 2, static_cast<size_t>(*n) * 2)) {
    return badRow("tabla de filas de la página mayor que la página");
  }
  return *n;
}

Result<RowSlot> locateRow(ByteSpan page, const format::Layout& l, uint16_t slot) {
  auto count = pageRowCount(page, l);
  if (!count) return count.status();
  if (slot >= *count) return badRow("fila " + std::to_string(slot) + " inexistente en la página");
  const size_t table = l.dataRowCountOffset + 2;
  const uint16_t raw = *readU16(page, table + 2 * slot);
  RowSlot r;
  r.deleted = (raw & format::kRowDeletedFlag) != 0;
  r.moved = (raw & format::kRowOverflowFlag) != 0;
  r.start = raw & format::kRowOffsetMask;
  if (slot == 0) {
    r.end = static_cast<uint16_t>(std::min<size_t>(page.size(), 0xFFFF));
  } else {
    r.end = *readU16(page, table + 2 * (slot - 1)) & format::kRowOffsetMask;
  }
  const size_t tableEnd = table + 2 * static_cast<size_t>(*count);
  r.valid = r.start >= tableEnd && r.start <= r.end && r.end <= page.size();
  // A deleted row is skipped, so a damaged extent there harms nothing.
  if (!r.valid && !r.deleted) {
    return badRow("la fila " + std::to_string(slot) + " está fuera de su sitio en la página");
  }
  return r;
}

Result<RowPointer> movedRowTarget(ByteSpan row) {
  auto raw = readU32(row, 0);
  if (!raw) return badRow("puntero de fila desplazada cortado");
  return splitRowPointer(*raw);
}

}  // namespace jet::storage
