// Column placement and TDEF page layout for new tables.
#include "jet/storage/write/table_def_writer.h"

#include <set>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/tables/text_codec.h"
#include "jet/text.h"

namespace jet::storage::write {

namespace {

constexpr uint8_t kColumnUpdatable = 0x02;

Error badDefinition(const std::string& what) {
  return Error{errc::kSyntax, "Definición de tabla no válida: " + what};
}

// Bytes a fixed column takes; 0 for variable columns.
int fixedSize(ColumnType t) {
  switch (t) {
    case ColumnType::Boolean: return 1;
    case ColumnType::Byte: return 1;
    case ColumnType::Integer: return 2;
    case ColumnType::Long: return 4;
    case ColumnType::Currency: return 8;
    case ColumnType::Single: return 4;
    case ColumnType::Double: return 8;
    case ColumnType::DateTime: return 8;
    case ColumnType::Guid: return 16;
    case ColumnType::BigInt: return 8;
    default: return 0;
  }
}

bool isLongValue(ColumnType t) {
  return t == ColumnType::Memo || t == ColumnType::OLE;
}

// A name as the definition stores it: its length in bytes, then UCS-2
// (Access 97: one length byte, then the code page's bytes).
Status putName(ByteBuilder& b, const std::string& name, const NewTableDef& d) {
  if (d.jet3) {
    auto bytes = encodeCodePageText(name, d.codePage);
    if (!bytes) {
      return badDefinition("el nombre '" + name +
                           "' tiene caracteres que esta base de datos de Access 97 no admite");
    }
    b.u8(static_cast<uint8_t>(bytes->size()));
    b.append(*bytes);
    return Status::ok();
  }
  std::u16string u = toUtf16(name);
  b.u16(static_cast<uint16_t>(u.size() * 2));
  for (char16_t c : u) b.u16(static_cast<uint16_t>(c));
  return Status::ok();
}

}  // namespace

Result<std::vector<ColumnPlacement>> placeColumns(const TableSchema& schema, bool jet3) {
  if (schema.name.empty() || utf16Length(schema.name) > 64) {
    return badDefinition("el nombre de la tabla debe tener de 1 a 64 caracteres");
  }
  if (schema.columns.empty() || schema.columns.size() > 255) {
    return badDefinition("una tabla tiene de 1 a 255 campos");
  }
  std::vector<ColumnPlacement> out;
  uint16_t fixedAt = 0, varIndex = 0;
  for (size_t i = 0; i < schema.columns.size(); ++i) {
    const ColumnDef& c = schema.columns[i];
    if (c.name.empty() || utf16Length(c.name) > 64) {
      return badDefinition("nombre de campo vacío o de más de 64 caracteres");
    }
    for (size_t j = 0; j < i; ++j) {
      if (equalsIgnoreCase(schema.columns[j].name, c.name)) {
        return badDefinition("el campo '" + c.name + "' está repetido");
      }
    }
    if (c.autoNumber && c.type != ColumnType::Long) {
      return badDefinition("sólo un campo Entero largo puede ser Autonumérico");
    }
    ColumnPlacement p;
    p.number = static_cast<uint16_t>(i);
    int size = fixedSize(c.type);
    if (size > 0) {
      p.fixed = true;
      p.fixedOffset = fixedAt;
      p.length = static_cast<uint16_t>(size);
      if (c.type != ColumnType::Boolean) fixedAt = static_cast<uint16_t>(fixedAt + size);
      // Variable columns before it, as Access keeps it; Access 97 keeps
      // the column's number there.
      p.varIndex = jet3 ? static_cast<uint16_t>(i) : varIndex;
    } else if (c.type == ColumnType::Text) {
      // Text sizes are in the file's bytes, as the reader gives them: two
      // per character (Text(50) is 100), one in Access 97.
      uint16_t chars = c.size == 0 ? 255 : static_cast<uint16_t>(jet3 ? c.size : c.size / 2);
      if (chars == 0) return badDefinition("un campo Texto tiene al menos 1 carácter");
      if (chars > 255) return badDefinition("un campo Texto tiene como mucho 255 caracteres");
      p.length = static_cast<uint16_t>(jet3 ? chars : chars * 2);
      p.varIndex = varIndex++;
    } else if (c.type == ColumnType::Binary) {
      p.length = c.size == 0 ? 255 : c.size;
      p.varIndex = varIndex++;
    } else if (isLongValue(c.type)) {
      p.length = 0;
      p.varIndex = varIndex++;
    } else {
      return badDefinition("el tipo del campo '" + c.name + "' no se puede crear");
    }
    p.flags = static_cast<uint8_t>(kColumnUpdatable | (p.fixed ? format::kColumnFixed : 0) |
                                   (c.autoNumber ? format::kColumnAutoLong : 0));
    out.push_back(p);
  }
  if (fixedAt > 2000) return badDefinition("los campos de tamaño fijo no caben en una fila");
  std::set<std::string> indexNames;
  for (const IndexDef& ix : schema.indexes) {
    if (ix.columns.empty() || ix.columns.size() > 10) {
      return badDefinition("un índice tiene de 1 a 10 campos");
    }
    for (const IndexColumn& ic : ix.columns) {
      if (ic.column < 0 || ic.column >= static_cast<int>(schema.columns.size())) {
        return badDefinition("el índice '" + ix.name + "' nombra un campo que no existe");
      }
      ColumnType t = schema.columns[ic.column].type;
      if (isLongValue(t) || t == ColumnType::Binary || t == ColumnType::Boolean ||
          t == ColumnType::Guid) {
        return badDefinition("el campo '" + schema.columns[ic.column].name +
                             "' no se puede indexar en esta versión");
      }
    }
  }
  return out;
}

TableDef tableDefFor(const NewTableDef& d) {
  TableDef t;
  t.page = d.page;
  t.schema = d.schema;
  t.placements = d.placements;
  t.maxColumns = static_cast<uint16_t>(d.schema.columns.size());
  uint16_t vars = 0;
  for (const auto& p : d.placements) vars = static_cast<uint16_t>(vars + (p.fixed ? 0 : 1));
  t.varColumns = vars;
  t.usedPages = d.usedPages;
  return t;
}

namespace {

// The header: counters, the column and index counts, the table's maps.
void putHeader(ByteBuilder& b, const NewTableDef& d) {
  const auto& cols = d.schema.columns;
  const auto& ixs = d.schema.indexes;
  const bool jet3 = d.jet3;
  b.u8(static_cast<uint8_t>(format::PageType::TableDef));
  b.u8(0x01);
  if (jet3) {
    b.u8('V');
    b.u8('C');
  } else {
    b.u16(0);  // free space, filled below
  }
  b.u32(0);  // next page
  b.u32(0);  // length, filled below
  if (!jet3) b.u32(0);
  b.u32(d.schema.rowCount);
  b.u32(0);  // last AutoNumber given
  if (!jet3) {
    b.u8(0x01);
    b.zeros(3 + 4 + 8);
  }
  b.u8(d.schema.system ? format::kTableTypeSystem : format::kTableTypeUser);
  uint16_t vars = 0;
  for (const auto& p : d.placements) vars = static_cast<uint16_t>(vars + (p.fixed ? 0 : 1));
  b.u16(static_cast<uint16_t>(cols.size()));  // max columns
  b.u16(vars);
  b.u16(static_cast<uint16_t>(cols.size()));
  b.u32(static_cast<uint32_t>(ixs.size()));
  b.u32(static_cast<uint32_t>(ixs.size()));
  b.u32(packRowPointer(d.usedPages));
  b.u32(packRowPointer(d.freePages));
  for (size_t i = 0; i < ixs.size(); ++i) {
    b.zeros(format::layoutFor(jet3 ? FileFormat::Jet3 : FileFormat::Jet4).realIndexEntrySize);
  }
}

void putColumnEntry(ByteBuilder& b, const ColumnDef& c, const ColumnPlacement& p, bool jet3,
                    uint16_t codePage) {
  b.u8(static_cast<uint8_t>(c.type));
  if (!jet3) b.u32(0);
  b.u16(p.number);
  b.u16(p.varIndex);
  b.u16(p.number);
  if (jet3) b.u16(0x0001);
  if (c.type == ColumnType::Numeric) {
    b.u8(c.precision);
    b.u8(c.scale);
  } else {
    b.u16(format::kGeneralSortOrder);
  }
  b.u16(jet3 ? codePage : 0);
  b.u8(p.flags);
  if (!jet3) {
    bool text = c.type == ColumnType::Text || c.type == ColumnType::Memo;
    b.u8(text ? format::kColumnCompressedText : 0);
    b.u32(0);
  }
  b.u16(p.fixed ? p.fixedOffset : 0);
  b.u16(p.length);
}

// The block of real index `i`: its columns, usage map, root and flags.
void putRealIndex(ByteBuilder& b, const NewTableDef& d, size_t i) {
  const IndexDef& ix = d.schema.indexes[i];
  if (!d.jet3) b.u32(0);
  for (int k = 0; k < format::kIndexMaxColumns; ++k) {
    if (k < static_cast<int>(ix.columns.size())) {
      b.u16(d.placements[ix.columns[k].column].number);
      b.u8(ix.columns[k].ascending ? 0x01 : 0x00);
    } else {
      b.u16(format::kNoColumn);
      b.u8(0);
    }
  }
  b.u32(packRowPointer(d.indexMaps[i]));
  b.u32(d.indexRoots[i]);
  uint8_t flags = 0;
  if (ix.unique || ix.primary) flags |= format::kIndexUnique;
  if (ix.ignoreNulls) flags |= format::kIndexIgnoreNulls;
  if (ix.primary) flags |= format::kIndexRequired;
  // Jet 4 keeps four more bytes before the flags and five after them.
  if (!d.jet3) b.u32(0);
  b.u8(flags);
  if (!d.jet3) b.zeros(5);
}

// The entry of logical index `i`, on real index `i`.
void putLogicalIndex(ByteBuilder& b, const NewTableDef& d, size_t i) {
  if (!d.jet3) b.u32(0);
  b.u32(static_cast<uint32_t>(i));
  b.u32(static_cast<uint32_t>(i));
  b.u8(0);
  b.u32(0xFFFFFFFF);
  b.u32(0);
  b.u8(0x04);
  b.u8(0x04);
  b.u8(d.schema.indexes[i].primary ? format::kIndexTypePrimary : 0);
  if (!d.jet3) b.u32(0);
}

}  // namespace

Result<std::vector<uint8_t>> buildTableDef(const NewTableDef& d, uint32_t pageSize) {
  const auto& cols = d.schema.columns;
  const auto& ixs = d.schema.indexes;
  const uint16_t codePage = d.codePage == 0 ? 1252 : d.codePage;
  ByteBuilder b;
  putHeader(b, d);
  for (size_t i = 0; i < cols.size(); ++i)
    putColumnEntry(b, cols[i], d.placements[i], d.jet3, codePage);
  for (const ColumnDef& c : cols) JET_TRY(putName(b, c.name, d));
  for (size_t i = 0; i < ixs.size(); ++i) putRealIndex(b, d, i);
  for (size_t i = 0; i < ixs.size(); ++i) putLogicalIndex(b, d, i);
  for (const IndexDef& ix : ixs) JET_TRY(putName(b, ix.name, d));
  for (const auto& m : d.longValueMaps) {
    b.u16(m.columnNumber);
    b.u32(packRowPointer(m.used));
    b.u32(packRowPointer(m.free));
  }
  b.u16(format::kNoColumn);
  if (b.size() + 8 > pageSize) {
    return Error{errc::kNotSupported,
                 "La definición de la tabla '" + d.schema.name + "' no cabe en una página"};
  }
  size_t length = b.size();
  if (!d.jet3) put16(b.at(2), static_cast<uint16_t>(pageSize - length - 8));
  put32(b.at(8), static_cast<uint32_t>(length));
  b.zeros(pageSize - length);
  return b.take();
}

}  // namespace jet::storage::write
