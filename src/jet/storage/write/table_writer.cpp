// TableWriter: loading, inserts, deletes and the end of a statement; the
// update and the index steps have files of their own.
#include "jet/storage/write/table_writer.h"

#include "jet/error_codes.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/pages/errors.h"
#include "jet/storage/read/table_cursor.h"
#include "jet/storage/write/data_page.h"
#include "jet/storage/write/index_errors.h"
#include "jet/storage/write/table_def_patch.h"

namespace jet::storage::write {

namespace {

Error rowGone() {
  return Error{errc::kUnspecified, "La fila ya no existe: otro usuario la ha eliminado."};
}

}  // namespace

TableWriter::TableWriter(WritePager& pager, std::shared_ptr<const TableDef> def, TableLayout layout)
    : pager_(pager),
      def_(std::move(def)),
      layout_(std::move(layout)),
      pages_(pager_, *def_, layout_.freePages),
      longValues_(pages_, *def_, layout_) {
  rebuild_.assign(layout_.indexes.size(), false);
}

Result<std::unique_ptr<TableWriter>> TableWriter::load(WritePager& pager,
                                                       std::shared_ptr<const TableDef> def) {
  auto layout = loadTableLayout(pager, *def);
  if (!layout) return layout.status();
  return std::unique_ptr<TableWriter>(new TableWriter(pager, std::move(def), std::move(*layout)));
}

RowEncodeOptions TableWriter::encodeOptions() const {
  RowEncodeOptions options;
  options.compressText = layout_.compressed;
  options.jet3 = pager_.format() == FileFormat::Jet3;
  options.codePage = pager_.header().codePage;
  return options;
}

uint16_t TableWriter::longValueColumn() const {
  const auto& cols = def_->schema.columns;
  for (size_t i = 0; i < cols.size(); ++i) {
    if (cols[i].type == ColumnType::Memo || cols[i].type == ColumnType::OLE) {
      return def_->placements[i].number;
    }
  }
  return 0;
}

// Coerces each value to its column's type and gives the AutoNumber column
// its next number (or follows a larger one given).
Status TableWriter::coerceAndNumber(std::vector<Value>& values, int32_t* autoNumber) {
  const auto& cols = def_->schema.columns;
  for (size_t i = 0; i < cols.size(); ++i) {
    auto v = coerceForColumn(cols[i], values[i]);
    if (!v) return v.status();
    values[i] = std::move(*v);
    if (!cols[i].autoNumber) continue;
    if (values[i].isNull()) {
      if (layout_.lastAutoNumber >= format::kMaxAutoNumber) {
        return Error{errc::kOverflow, "El campo Autonumérico ha llegado a su valor máximo"};
      }
      values[i] = Value::longValue(static_cast<int32_t>(++layout_.lastAutoNumber));
      if (autoNumber) *autoNumber = values[i].asLong();
    } else if (values[i].asLong() > 0 &&
               static_cast<uint32_t>(values[i].asLong()) > layout_.lastAutoNumber) {
      layout_.lastAutoNumber = static_cast<uint32_t>(values[i].asLong());
      if (autoNumber) *autoNumber = values[i].asLong();
    }
  }
  return Status::ok();
}

Result<std::vector<std::vector<uint8_t>>> TableWriter::keysOf(const std::vector<Value>& values) {
  std::vector<std::vector<uint8_t>> keys;
  keys.reserve(layout_.indexes.size());
  for (const RealIndex& ix : layout_.indexes) {
    if (ix.refusesNulls() && ix.keyHasNull(values)) return nullKeyError();
    // No entry (an empty key) for a row the index leaves out.
    if (!ix.holdsRow(values)) {
      keys.emplace_back();
      continue;
    }
    auto key = keyOf(ix, values);
    if (!key) return key.status();
    keys.push_back(std::move(*key));
  }
  return keys;
}

Result<RowId> TableWriter::insert(std::vector<Value> values, int32_t* autoNumber) {
  if (values.size() != def_->schema.columns.size()) {
    return Error{errc::kSyntax, "El número de valores no coincide con el de campos de la tabla '" +
                                    def_->schema.name + "'"};
  }
  JET_TRY(coerceAndNumber(values, autoNumber));
  // Keys first: a character an index can't sort fails before anything is written.
  auto keys = keysOf(values);
  if (!keys) return keys.status();
  LongValueColumnSink sink(longValues_, longValueColumn());
  auto row = encodeRow(*def_, values, &sink, encodeOptions());
  if (!row) return row.status();
  auto at = pages_.placeRow(*row, 0);
  if (!at) return at.status();
  JET_TRY(addIndexEntries(*keys, values, *at));
  ++layout_.rowCount;
  changed_ = true;
  return *at;
}

Result<RowId> TableWriter::dataSlot(RowId row) {
  if (row.page == 0 || row.page >= pager_.pageCount()) return rowGone();
  auto ref = pager_.read(row.page);
  if (!ref) return ref.status();
  const PageBuffer& b = **ref;
  if (b[0] != static_cast<uint8_t>(format::PageType::Data) ||
      get32(&b[format::kDataPageOwnerOffset]) != def_->page) {
    return rowGone();
  }
  DataPage dp = viewDataPage(b);
  auto bounds = dp.rowBounds(row.slot);
  if (!bounds || dp.isDeleted(row.slot)) return rowGone();
  if (!dp.isOverflow(row.slot)) return row;
  if (size_t{bounds->second} - bounds->first < format::kMovedRowPointerSize) {
    return damaged("puntero de fila movida corto");
  }
  RowId target{get24(&b[bounds->first + 1]), b[bounds->first]};
  if (target.page == 0 || target.page >= pager_.pageCount())
    return damaged("fila movida fuera del archivo");
  return target;
}

Result<std::vector<uint8_t>> TableWriter::rowBytes(RowId slot) {
  auto ref = pager_.read(slot.page);
  if (!ref) return ref.status();
  auto b = viewDataPage(**ref).rowBounds(slot.slot);
  if (!b) return damaged("fila fuera de su página");
  return std::vector<uint8_t>((*ref)->begin() + b->first, (*ref)->begin() + b->second);
}

Status TableWriter::readWholeRow(RowId row, std::vector<Value>& out) {
  std::vector<int> all(def_->schema.columns.size());
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  return readRowAt(pager_, *def_, row, all, out);
}

Status TableWriter::remove(RowId row) {
  auto slot = dataSlot(row);
  if (!slot) return slot.status();
  std::vector<Value> before;
  JET_TRY(readWholeRow(row, before));
  auto bytes = rowBytes(*slot);
  if (!bytes) return bytes.status();
  JET_TRY(longValues_.freeValuesOf(*bytes, nullptr));
  if (!(*slot == row)) {
    auto c = pager_.change(slot->page);
    if (!c) return c.status();
    DataPage(*c).deleteRow(slot->slot);
    JET_TRY(pages_.noteFreeSpace(slot->page));
  }
  auto c = pager_.change(row.page);
  if (!c) return c.status();
  DataPage(*c).deleteRow(row.slot);
  JET_TRY(pages_.noteFreeSpace(row.page));
  JET_TRY(removeIndexEntries(before, row));
  if (layout_.rowCount > 0) --layout_.rowCount;
  changed_ = true;
  return Status::ok();
}

Status TableWriter::finish() {
  if (!changed_) return Status::ok();
  uint8_t raw[8];
  put32(raw, layout_.rowCount);
  put32(raw + 4, layout_.lastAutoNumber);
  // The AutoNumber follows the row count in both generations.
  static_assert(
      format::kJet3Layout.tdefAutoNumberOffset == format::kJet3Layout.tdefRowCountOffset + 4 &&
      format::kJet4Layout.tdefAutoNumberOffset == format::kJet4Layout.tdefRowCountOffset + 4);
  JET_TRY(patchTableDef(pager_, def_->page, fileLayout().tdefRowCountOffset, raw, 8));
  for (size_t i = 0; i < layout_.indexes.size(); ++i) {
    if (rebuild_[i]) {
      JET_TRY(rebuildIndex(i));
    } else {
      // A split of the root gave the index a new one.
      put32(raw, layout_.indexes[i].root);
      JET_TRY(patchTableDef(pager_, def_->page,
                            layout_.indexes[i].defOffset + fileLayout().realIndexDefRootOffset, raw,
                            4));
    }
    rebuild_[i] = false;
  }
  changed_ = false;
  return Status::ok();
}

}  // namespace jet::storage::write
