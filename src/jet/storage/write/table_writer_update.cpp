// TableWriter::update, in its steps: apply the changes to the row's
// values, check the keys they change, encode the new row (keeping the long
// values not named), put it back in place or move it behind a pointer, and
// change the index entries of the keys that changed.
#include "jet/error_codes.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/write/data_page.h"
#include "jet/storage/write/index_errors.h"
#include "jet/storage/write/table_writer.h"

namespace jet::storage::write {

namespace {

bool isLongValueColumn(ColumnType t) {
  return t == ColumnType::Memo || t == ColumnType::OLE;
}

}  // namespace

Result<TableWriter::RowChange> TableWriter::applyChanges(
    RowId row, const std::vector<std::pair<int, Value>>& changes) {
  const auto& cols = def_->schema.columns;
  RowChange change;
  JET_TRY(readWholeRow(row, change.before));
  change.after = change.before;
  change.touched.assign(cols.size(), false);
  for (const auto& [column, value] : changes) {
    if (column < 0 || column >= static_cast<int>(cols.size())) {
      return Error{errc::kSyntax, "Campo fuera de la tabla '" + def_->schema.name + "'"};
    }
    auto v = coerceForColumn(cols[column], value);
    if (!v) return v.status();
    change.after[column] = std::move(*v);
    change.touched[column] = true;
  }
  return change;
}

// Which indexes get a new key; fails, before anything is written, when a
// new key can't be made.
Result<std::vector<bool>> TableWriter::changedKeys(const RowChange& change) {
  std::vector<bool> keyChanged(layout_.indexes.size(), false);
  for (size_t i = 0; i < layout_.indexes.size(); ++i) {
    for (const auto& ic : layout_.indexes[i].columns) {
      if (change.touched[ic.column] && !(change.after[ic.column] == change.before[ic.column])) {
        keyChanged[i] = true;
      }
    }
    const RealIndex& ix = layout_.indexes[i];
    if (keyChanged[i] && ix.refusesNulls() && ix.keyHasNull(change.after)) return nullKeyError();
    if (keyChanged[i] && ix.holdsRow(change.after)) {
      auto key = keyOf(ix, change.after);
      if (!key) return key.status();
    }
  }
  return keyChanged;
}

Result<std::vector<uint8_t>> TableWriter::encodeUpdate(const RowChange& change,
                                                       const std::vector<uint8_t>& oldBytes) {
  const auto& cols = def_->schema.columns;
  RowEncodeOptions options = encodeOptions();
  // Long values the update does not name stay where they are.
  options.keepLongField.resize(cols.size());
  for (size_t i = 0; i < cols.size(); ++i) {
    if (isLongValueColumn(cols[i].type) && !change.touched[i] && !change.before[i].isNull()) {
      options.keepLongField[i] =
          variableFieldBytes(oldBytes, def_->placements[i].varIndex, fileLayout().jet3);
    }
  }
  // Long values go with the first long column's maps, as inserts do.
  LongValueColumnSink sink(longValues_, longValueColumn());
  auto encoded = encodeRow(*def_, change.after, &sink, options);
  if (!encoded) return encoded.status();
  // Long values replaced by this update give their rows back.
  std::vector<bool> replaced(cols.size(), false);
  for (size_t i = 0; i < cols.size(); ++i) {
    replaced[i] = isLongValueColumn(cols[i].type) && change.touched[i];
  }
  JET_TRY(longValues_.freeValuesOf(oldBytes, &replaced));
  return encoded;
}

// Puts the new bytes of `row` (whose bytes live at `slot`) in place, or,
// when they no longer fit there, on another page behind a pointer at the
// row's own place.
Status TableWriter::replaceOrMove(RowId row, RowId slot, const std::vector<uint8_t>& encoded) {
  const bool moved = !(slot == row);
  auto c = pager_.change(slot.page);
  if (!c) return c.status();
  if (DataPage(*c).replaceRow(slot.slot, encoded, moved ? format::kRowDeletedFlag : 0)) {
    return pages_.noteFreeSpace(slot.page);
  }
  auto target = pages_.placeRow(encoded, format::kRowDeletedFlag);
  if (!target) return target.status();
  if (moved) {
    auto old = pager_.change(slot.page);
    if (!old) return old.status();
    DataPage(*old).deleteRow(slot.slot);
    JET_TRY(pages_.noteFreeSpace(slot.page));
  }
  std::vector<uint8_t> pointer(format::kMovedRowPointerSize);
  pointer[0] = static_cast<uint8_t>(target->slot);
  put24(pointer.data() + 1, target->page);
  auto home = pager_.change(row.page);
  if (!home) return home.status();
  if (!DataPage(*home).replaceRow(row.slot, pointer, format::kRowOverflowFlag)) {
    return Error{errc::kUnspecified, "No se pudo mover la fila"};
  }
  return pages_.noteFreeSpace(row.page);
}

Result<RowId> TableWriter::update(RowId row, const std::vector<std::pair<int, Value>>& changes) {
  auto slot = dataSlot(row);
  if (!slot) return slot.status();
  auto change = applyChanges(row, changes);
  if (!change) return change.status();
  auto keyChanged = changedKeys(*change);
  if (!keyChanged) return keyChanged.status();
  auto oldBytes = rowBytes(*slot);
  if (!oldBytes) return oldBytes.status();
  auto encoded = encodeUpdate(*change, *oldBytes);
  if (!encoded) return encoded.status();
  JET_TRY(replaceOrMove(row, *slot, *encoded));
  JET_TRY(changeIndexEntries(*keyChanged, *change, row));
  changed_ = true;
  return row;
}

}  // namespace jet::storage::write
