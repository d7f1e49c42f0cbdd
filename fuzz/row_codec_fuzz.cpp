// Fuzzes the row codec: any bytes as a data page of either generation, its
// rows split and every column type decoded, long values read through a
// source that serves rows of the same input. Nothing may read outside the
// input, loop forever or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "jet/storage/read/row_codec.h"

namespace {

using namespace jet::storage;

class InputRows : public LongValueSource {
 public:
  InputRows(ByteSpan page, const jet::format::Layout& layout) : page_(page), layout_(layout) {}
  jet::Result<ByteSpan> row(RowPointer where) override {
    auto slot = locateRow(page_, layout_, where.slot);
    if (!slot) return slot.status();
    if (!slot->valid) return jet::Error{-1, "bad"};
    return page_.subspan(slot->start, slot->end - slot->start);
  }
  uint32_t maxChainRows() const override { return 256; }

 private:
  ByteSpan page_;
  const jet::format::Layout& layout_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const auto& layout = (data[0] & 1) ? jet::format::kJet3Layout : jet::format::kJet4Layout;
  const bool hasVar = (data[0] & 2) != 0;
  // The page: the input after two control bytes, padded to a page.
  std::vector<uint8_t> page(data + 2, data + size);
  page.resize(layout.pageSize, 0);
  ByteSpan p(page);
  InputRows rows(p, layout);
  DecodeContext ctx{&layout, 1252, &rows};

  // Columns of every type, placed by the second control byte.
  std::vector<jet::ColumnDef> cols;
  std::vector<ColumnPlacement> places;
  const jet::ColumnType types[] = {jet::ColumnType::Boolean,
                                   jet::ColumnType::Byte,
                                   jet::ColumnType::Integer,
                                   jet::ColumnType::Long,
                                   jet::ColumnType::Currency,
                                   jet::ColumnType::Single,
                                   jet::ColumnType::Double,
                                   jet::ColumnType::DateTime,
                                   jet::ColumnType::Binary,
                                   jet::ColumnType::Text,
                                   jet::ColumnType::OLE,
                                   jet::ColumnType::Memo,
                                   jet::ColumnType::Guid,
                                   jet::ColumnType::Numeric,
                                   jet::ColumnType::Complex,
                                   jet::ColumnType::BigInt,
                                   jet::ColumnType::ExtendedDateTime};
  uint16_t n = 0;
  for (auto t : types) {
    jet::ColumnDef c;
    c.type = t;
    ColumnPlacement pl;
    pl.number = n;
    pl.varIndex = static_cast<uint16_t>(n % 4);
    pl.fixedOffset = static_cast<uint16_t>((data[1] * n) % 64);
    pl.length = 16;
    pl.fixed = t != jet::ColumnType::Text && t != jet::ColumnType::Memo &&
               t != jet::ColumnType::OLE && t != jet::ColumnType::Binary;
    cols.push_back(c);
    places.push_back(pl);
    ++n;
  }

  auto count = pageRowCount(p, layout);
  if (!count) return 0;
  for (uint16_t slot = 0; slot < *count && slot < 64; ++slot) {
    auto where = locateRow(p, layout, slot);
    if (!where || !where->valid) continue;
    auto row = p.subspan(where->start, where->end - where->start);
    if (where->moved) (void)movedRowTarget(row);
    auto parts = splitRow(row, layout, hasVar);
    if (!parts) continue;
    for (size_t i = 0; i < cols.size(); ++i) (void)decodeColumn(*parts, cols[i], places[i], ctx);
  }
  return 0;
}
