// Scanning a table page by page, row by row.
#include "jet/storage/read/table_cursor.h"

#include "jet/storage/pages/errors.h"

namespace jet::storage {

namespace {

constexpr int kMaxMoves = 4;  // a moved row's target is never itself moved; allow a little slack

// The bytes of the live row at `slot` of `page`, following moves.
Result<ByteSpan> liveRow(Pager& pager, PageRef& holder, uint32_t pageNumber, uint16_t slot,
                         bool acceptDeleted) {
  const auto& layout = format::layoutFor(pager.format());
  for (int moves = 0; moves <= kMaxMoves; ++moves) {
    auto page = pager.page(pageNumber);
    if (!page) return page.status();
    if ((**page)[0] != static_cast<uint8_t>(format::PageType::Data)) {
      return damaged("la fila apunta a la página " + std::to_string(pageNumber) +
                     ", que no es de datos");
    }
    auto where = locateRow(**page, layout, slot);
    if (!where) return where.status();
    if (where->deleted && !acceptDeleted) return damaged("la fila está borrada");
    if (!where->valid) return damaged("fila ilegible");
    holder = *page;
    ByteSpan row = ByteSpan(*holder).subspan(where->start, where->end - where->start);
    if (!where->moved) return row;
    auto target = movedRowTarget(row);
    if (!target) return target.status();
    pageNumber = target->page;
    slot = target->slot;
    // The row's real place is flagged deleted on its own page, so scans
    // meet it only through the pointer.
    acceptDeleted = true;
  }
  return damaged("cadena de filas desplazadas demasiado larga");
}

}  // namespace

Status decodeRowInto(Pager& pager, const TableDef& def, ByteSpan row,
                     const std::vector<int>& columns, LongValueSource& longValues,
                     RowDecodeBuffers& buffers, std::vector<Value>& out) {
  const auto& layout = format::layoutFor(pager.format());
  JET_TRY(splitRowInto(row, layout, def.varColumns > 0, buffers.parts));
  DecodeContext ctx{&layout, pager.header().codePage, &longValues, &buffers.longValue};
  // Sized once per cursor; every later row refills the same Values in place.
  out.resize(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) {
    const int c = columns[i];
    JET_TRY(decodeColumnInto(buffers.parts, def.schema.columns[c], def.placements[c], ctx, out[i]));
  }
  return Status::ok();
}

Status readRowAt(Pager& pager, const TableDef& def, RowId where, const std::vector<int>& columns,
                 std::vector<Value>& out) {
  PageRef holder;
  auto page = pager.page(where.page);
  if (!page) return page.status();
  auto head = ByteSpan(**page);
  if (head[0] != static_cast<uint8_t>(format::PageType::Data) || *readU32(head, 4) != def.page) {
    return Error{errc::kUnspecified,
                 "La fila pedida no pertenece a la tabla '" + def.schema.name + "'."};
  }
  auto row = liveRow(pager, holder, where.page, where.slot, false);
  if (!row) return row.status();
  LongValueReader longValues(pager);
  RowDecodeBuffers buffers;
  return decodeRowInto(pager, def, *row, columns, longValues, buffers, out);
}

Result<std::unique_ptr<TableCursor>> TableCursor::open(Pager& pager,
                                                       std::shared_ptr<const TableDef> def,
                                                       std::vector<int> columns) {
  for (int c : columns) {
    if (c < 0 || static_cast<size_t>(c) >= def->schema.columns.size()) {
      return Error{errc::kSyntax, "Columna inexistente en la tabla '" + def->schema.name + "'."};
    }
  }
  auto pages = UsageMapPages::load(pager, def->usedPages);
  if (!pages) return pages.status();
  return std::unique_ptr<TableCursor>(
      new TableCursor(pager, std::move(def), std::move(columns), std::move(*pages)));
}

TableCursor::TableCursor(Pager& pager, std::shared_ptr<const TableDef> def,
                         std::vector<int> columns, UsageMapPages pages)
    : pager_(pager),
      def_(std::move(def)),
      columns_(std::move(columns)),
      pages_(std::move(pages)),
      longValues_(pager) {}

TableCursor::~TableCursor() {
  hold_.release();
}

Result<bool> TableCursor::nextPage() {
  const auto& layout = format::layoutFor(pager_.format());
  while (true) {
    auto next = pages_.next(pager_);
    if (!next) return next.status();
    if (!*next) return false;
    auto page = pager_.page(**next);
    if (!page) return page.status();
    ByteSpan p(**page);
    // The map may list pages the table gave up; only its own data pages count.
    if (p[0] != static_cast<uint8_t>(format::PageType::Data) || *readU32(p, 4) != def_->page)
      continue;
    auto count = pageRowCount(p, layout);
    if (!count) return count.status();
    page_ = *page;
    pageNumber_ = **next;
    rowsOnPage_ = *count;
    nextSlot_ = 0;
    return true;
  }
}

Result<bool> TableCursor::next() {
  if (done_) return false;
  const auto& layout = format::layoutFor(pager_.format());
  while (true) {
    if (!page_ || nextSlot_ >= rowsOnPage_) {
      auto more = nextPage();
      if (!more) {
        done_ = true;
        hold_.release();
        return more.status();
      }
      if (!*more) {
        done_ = true;
        page_.reset();
        hold_.release();
        return false;
      }
      continue;
    }
    const uint16_t slot = nextSlot_++;
    auto where = locateRow(*page_, layout, slot);
    if (!where) return where.status();
    if (where->deleted) continue;
    ByteSpan row;
    PageRef holder;
    if (!where->moved) {
      // The common case: the row lies on the page already held.
      row = ByteSpan(*page_).subspan(where->start, where->end - where->start);
    } else {
      auto moved = liveRow(pager_, holder, pageNumber_, slot, false);
      if (!moved) return moved.status();
      row = *moved;
    }
    current_ = RowId{pageNumber_, slot};
    JET_TRY(decodeRowInto(pager_, *def_, row, columns_, longValues_, buffers_, values_));
    return true;
  }
}

}  // namespace jet::storage
