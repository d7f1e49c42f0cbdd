// The on-disk layout of Access database files, in one place: page types,
// header fields and the offsets of page and table-definition fields for the
// two generations of the format. Jet 3 (Access 97) uses 2 KB pages and
// code-page text; Jet 4 (Access 2000 to 2003) and ACE (Access 2007 and
// later, .accdb) use 4 KB pages and UCS-2 text with optional compression.
//
// Only constants live here; the page file, the table-definition reader and
// the row codec read the format through them, and the writer uses the same
// numbers, so the layout is stated once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "jet/format/file_format.h"

namespace jet::format {

// First byte of every page.
enum class PageType : uint8_t {
  Header = 0x00,
  Data = 0x01,
  TableDef = 0x02,
  IndexNode = 0x03,
  IndexLeaf = 0x04,
  UsageBitmap = 0x05,
};

// --- header page (page 0) ---
inline constexpr size_t kHeaderMagicOffset = 0x00;  // 00 01 00 00
inline constexpr size_t kHeaderIdOffset = 0x04;     // "Standard Jet DB" / "Standard ACE DB"
inline constexpr size_t kHeaderVersionOffset = 0x14;
// The header is masked with RC4 under a fixed key from here on.
inline constexpr size_t kHeaderMaskedOffset = 0x18;
inline constexpr size_t kHeaderMaskedLengthJet3 = 126;
inline constexpr size_t kHeaderMaskedLengthJet4 = 128;
inline constexpr std::array<uint8_t, 4> kHeaderMaskKey = {0xC7, 0xDA, 0x39, 0x6B};
inline constexpr size_t kHeaderCodePageOffset = 0x3C;     // 2 bytes
inline constexpr size_t kHeaderDatabaseKeyOffset = 0x3E;  // 4 bytes: non-zero = encrypted
inline constexpr size_t kHeaderPasswordOffset = 0x42;
inline constexpr size_t kHeaderPasswordLengthJet3 = 20;
inline constexpr size_t kHeaderPasswordLengthJet4 = 40;
inline constexpr size_t kHeaderSortOrderOffsetJet3 = 0x3A;  // 2 bytes
inline constexpr size_t kHeaderSortOrderOffsetJet4 = 0x6E;  // 4 bytes
inline constexpr size_t kHeaderCreationDateOffset = 0x72;   // 8-byte date (Jet 4 and later)

// Version byte at kHeaderVersionOffset.
inline constexpr uint8_t kVersionJet3 = 0x00;
inline constexpr uint8_t kVersionJet4 = 0x01;
inline constexpr uint8_t kVersionAce12 = 0x02;
inline constexpr uint8_t kVersionAce14 = 0x03;
inline constexpr uint8_t kVersionAce16 = 0x05;
inline constexpr uint8_t kVersionAce17 = 0x06;

// The catalog table MSysObjects always has its definition on page 2.
inline constexpr uint32_t kCatalogTableDefPage = 2;

// Data pages: the page of the table definition that owns the page (or
// kLongValueOwner) follows the type and free-space fields.
inline constexpr size_t kDataPageOwnerOffset = 4;
// The owner field of a long-value (LVAL) page: "LVAL".
inline constexpr uint32_t kLongValueOwner = 0x4C41564C;
// The largest slot number a row pointer (one byte) can name.
inline constexpr uint16_t kMaxRowsPerPage = 255;
// A moved row holds only this pointer: the slot byte, then the 3-byte page.
inline constexpr size_t kMovedRowPointerSize = 4;

// Table-definition pages: the next page of the chain at this offset, and
// continuation pages start their part of the definition after a header.
inline constexpr size_t kTableDefNextPageOffset = 4;
inline constexpr size_t kTableDefPageHeaderSize = 8;

// Row offset table entries: the low bits are the row's start on the page,
// the top bits flag a deleted row and a row moved to another page.
inline constexpr uint16_t kRowDeletedFlag = 0x8000;
inline constexpr uint16_t kRowOverflowFlag = 0x4000;
inline constexpr uint16_t kRowOffsetMask = 0x1FFF;

// Long value (memo, OLE) field in a row: 12 bytes.
inline constexpr size_t kLongValueHeaderSize = 12;
inline constexpr uint32_t kLongValueInline = 0x80000000u;
inline constexpr uint32_t kLongValueSinglePage = 0x40000000u;
inline constexpr uint32_t kLongValueLengthMask = 0x3FFFFFFFu;

// The first 4 bytes of a long-value row in a chain point to the next row.
inline constexpr size_t kLongValueChainPointerSize = 4;

// The AutoNumber counter of a table stops at the largest Long.
inline constexpr uint32_t kMaxAutoNumber = 0x7FFFFFFF;

// Column flags in a table definition.
inline constexpr uint8_t kColumnFixed = 0x01;
inline constexpr uint8_t kColumnNullable = 0x02;
inline constexpr uint8_t kColumnAutoLong = 0x04;
inline constexpr uint8_t kColumnAutoGuid = 0x40;

// In a column entry (Jet 4 and later): text kept compressed.
inline constexpr uint8_t kColumnCompressedText = 0x01;
// A column-number slot that names no column (unused index column slots,
// the end of the long-value map list).
inline constexpr uint16_t kNoColumn = 0xFFFF;
// After the index names (Jet 4 and later): one entry per long-value
// column, its number then the row pointers of its used and free maps.
inline constexpr size_t kLongValueMapEntrySize = 10;
// More entries than this are taken for damage: the list is not followed further.
inline constexpr int kMaxLongValueMaps = 300;

// Text sort orders, as a column and the header store them. General is the
// order of English, Spanish and most Western languages (locale 1033).
inline constexpr uint16_t kGeneralSortOrder = 0x0409;

// Index flags and logical index types.
inline constexpr uint8_t kIndexUnique = 0x01;
inline constexpr uint8_t kIndexIgnoreNulls = 0x02;
inline constexpr uint8_t kIndexRequired = 0x08;
inline constexpr uint8_t kIndexTypePrimary = 0x01;
inline constexpr uint8_t kIndexTypeForeign = 0x02;
inline constexpr int kIndexMaxColumns = 10;

// Table type byte in a table definition.
inline constexpr uint8_t kTableTypeUser = 0x4E;
inline constexpr uint8_t kTableTypeSystem = 0x53;

// Catalog entries (MSysObjects rows).
inline constexpr int32_t kObjectTypeTable = 1;
inline constexpr uint32_t kObjectFlagSystem = 0x80000000u;
inline constexpr uint32_t kObjectFlagHidden = 0x00000002u;
inline constexpr uint32_t kObjectIdPageMask = 0x00FFFFFFu;

// Compressed UCS-2 text starts with these two bytes.
inline constexpr uint8_t kCompressedTextMark0 = 0xFF;
inline constexpr uint8_t kCompressedTextMark1 = 0xFE;

// The offsets that differ between the two generations.
struct Layout {
  bool jet3 = false;
  uint32_t pageSize = 4096;
  // data pages
  size_t dataRowCountOffset = 0;  // 2 bytes; the offset table follows
  // row layout
  size_t rowColumnCountSize = 2;  // 1 in Jet 3
  // table definition
  size_t tdefRowCountOffset = 0;
  size_t tdefAutoNumberOffset = 0;
  size_t tdefTableTypeOffset = 0;
  size_t tdefMaxColumnsOffset = 0;
  size_t tdefVarColumnsOffset = 0;
  size_t tdefColumnCountOffset = 0;
  size_t tdefIndexCountOffset = 0;
  size_t tdefRealIndexCountOffset = 0;
  size_t tdefUsedPagesOffset = 0;
  size_t tdefFreePagesOffset = 0;
  size_t tdefFirstEntryOffset = 0;  // the real-index entries, then the columns
  size_t realIndexEntrySize = 0;
  size_t columnEntrySize = 0;
  // within a column entry
  size_t colTypeOffset = 0;
  size_t colNumberOffset = 0;
  size_t colVarIndexOffset = 0;
  size_t colMiscOffset = 0;  // precision / scale, or sort order
  size_t colFlagsOffset = 0;
  size_t colFixedOffsetOffset = 0;
  size_t colLengthOffset = 0;
  // Jet 4 and later only (0 in Jet 3, whose text is neither compressed nor
  // of more than one sort-order version): 0x01 marks compressed text; the
  // version of the text sort order.
  size_t colCompressedFlagsOffset = 0;
  size_t colSortVersionOffset = 0;
  size_t nameLengthSize = 2;  // 1 in Jet 3
  // real index column block (10 columns x 3 bytes, usage map, first page, flags)
  size_t realIndexDefSize = 0;
  size_t realIndexDefColumnsOffset = 0;
  size_t realIndexDefUsedPagesOffset = 0;
  size_t realIndexDefRootOffset = 0;
  size_t realIndexDefFlagsOffset = 0;
  // logical index entries
  size_t logicalIndexEntrySize = 0;
  size_t logicalIndexNumberOffset = 0;
  size_t logicalIndexRealOffset = 0;
  size_t logicalIndexTypeOffset = 0;
};

inline constexpr Layout kJet3Layout = [] {
  Layout l;
  l.jet3 = true;
  l.pageSize = 2048;
  l.dataRowCountOffset = 8;
  l.rowColumnCountSize = 1;
  l.tdefRowCountOffset = 12;
  l.tdefAutoNumberOffset = 16;
  l.tdefTableTypeOffset = 20;
  l.tdefMaxColumnsOffset = 21;
  l.tdefVarColumnsOffset = 23;
  l.tdefColumnCountOffset = 25;
  l.tdefIndexCountOffset = 27;
  l.tdefRealIndexCountOffset = 31;
  l.tdefUsedPagesOffset = 35;
  l.tdefFreePagesOffset = 39;
  l.tdefFirstEntryOffset = 43;
  l.realIndexEntrySize = 8;
  l.columnEntrySize = 18;
  l.colTypeOffset = 0;
  l.colNumberOffset = 1;
  l.colVarIndexOffset = 3;
  l.colMiscOffset = 9;
  l.colFlagsOffset = 13;
  l.colFixedOffsetOffset = 14;
  l.colLengthOffset = 16;
  l.nameLengthSize = 1;
  l.realIndexDefSize = 39;
  l.realIndexDefColumnsOffset = 0;
  l.realIndexDefUsedPagesOffset = 30;
  l.realIndexDefRootOffset = 34;
  l.realIndexDefFlagsOffset = 38;
  l.logicalIndexEntrySize = 20;
  l.logicalIndexNumberOffset = 0;
  l.logicalIndexRealOffset = 4;
  l.logicalIndexTypeOffset = 19;
  return l;
}();

inline constexpr Layout kJet4Layout = [] {
  Layout l;
  l.jet3 = false;
  l.pageSize = 4096;
  l.dataRowCountOffset = 12;
  l.rowColumnCountSize = 2;
  l.tdefRowCountOffset = 16;
  l.tdefAutoNumberOffset = 20;
  l.tdefTableTypeOffset = 40;
  l.tdefMaxColumnsOffset = 41;
  l.tdefVarColumnsOffset = 43;
  l.tdefColumnCountOffset = 45;
  l.tdefIndexCountOffset = 47;
  l.tdefRealIndexCountOffset = 51;
  l.tdefUsedPagesOffset = 55;
  l.tdefFreePagesOffset = 59;
  l.tdefFirstEntryOffset = 63;
  l.realIndexEntrySize = 12;
  l.columnEntrySize = 25;
  l.colTypeOffset = 0;
  l.colNumberOffset = 5;
  l.colVarIndexOffset = 7;
  l.colMiscOffset = 11;
  l.colFlagsOffset = 15;
  l.colFixedOffsetOffset = 21;
  l.colLengthOffset = 23;
  l.colCompressedFlagsOffset = 16;
  l.colSortVersionOffset = 14;
  l.nameLengthSize = 2;
  l.realIndexDefSize = 52;
  l.realIndexDefColumnsOffset = 4;
  l.realIndexDefUsedPagesOffset = 34;
  l.realIndexDefRootOffset = 38;
  l.realIndexDefFlagsOffset = 46;
  l.logicalIndexEntrySize = 28;
  l.logicalIndexNumberOffset = 4;
  l.logicalIndexRealOffset = 8;
  l.logicalIndexTypeOffset = 23;
  return l;
}();

inline const Layout& layoutFor(FileFormat f) {
  return f == FileFormat::Jet3 ? kJet3Layout : kJet4Layout;
}

// The layout of a file whose pages are `pageSize` bytes: only Access 97
// uses 2 KiB pages.
inline const Layout& layoutForPageSize(size_t pageSize) {
  return pageSize == kJet3Layout.pageSize ? kJet3Layout : kJet4Layout;
}

}  // namespace jet::format
