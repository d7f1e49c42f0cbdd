// Decoding rows: page offset tables, the row trailer (null mask, variable
// offsets, the Jet 3 jump table), column values and long values.
#include "jet/storage/read/row_codec.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "jet/civil_date.h"
#include "jet/storage/pages/errors.h"
#include "jet/storage/tables/text_codec.h"

namespace jet::storage {

namespace {

Error badRow(const std::string& what) {
  return damaged("fila ilegible: " + what);
}

// Bytes a fixed column of this type occupies; 0 when the declared length decides.
size_t fixedSize(ColumnType t) {
  switch (t) {
    case ColumnType::Byte: return 1;
    case ColumnType::Integer: return 2;
    case ColumnType::Long: return 4;
    case ColumnType::Complex: return 4;
    case ColumnType::Single: return 4;
    case ColumnType::Currency: return 8;
    case ColumnType::Double: return 8;
    case ColumnType::DateTime: return 8;
    case ColumnType::BigInt: return 8;
    case ColumnType::Guid: return 16;
    case ColumnType::Numeric: return 17;
    case ColumnType::ExtendedDateTime: return 42;
    default: return 0;
  }
}

// Decimal: a sign byte, then the 128-bit magnitude as four 32-bit words,
// the most significant first, each stored little-endian.
Value decodeDecimal(ByteSpan f, const ColumnDef& column) {
  Decimal d;
  d.negative = (f[0] & 0x80) != 0;
  d.precision = column.precision;
  d.scale = column.scale;
  for (int word = 0; word < 4; ++word) {
    d.magnitude = (d.magnitude << 32) | *readU32(f, 1 + 4 * word);
  }
  return Value::decimal(d);
}

// `f` holds at least fixedSize(column.type) bytes (the callers check).
Status decodeFixedInto(ByteSpan f, const ColumnDef& column, Value& out) {
  switch (column.type) {
    case ColumnType::Byte: out = Value::byte(f[0]); return Status::ok();
    case ColumnType::Integer:
      out = Value::integer(static_cast<int16_t>(*readU16(f, 0)));
      return Status::ok();
    case ColumnType::Long:
    case ColumnType::Complex:
      out = Value::longValue(static_cast<int32_t>(*readU32(f, 0)));
      return Status::ok();
    case ColumnType::Currency:
      out = Value::currency(Currency{static_cast<int64_t>(*readU64(f, 0))});
      return Status::ok();
    case ColumnType::Single: out = Value::single(*readF32(f, 0)); return Status::ok();
    case ColumnType::Double: out = Value::dbl(*readF64(f, 0)); return Status::ok();
    case ColumnType::DateTime: out = Value::dateTime(DateTime{*readF64(f, 0)}); return Status::ok();
    case ColumnType::BigInt:
      out = Value::bigInt(static_cast<int64_t>(*readU64(f, 0)));
      return Status::ok();
    case ColumnType::Guid: {
      Guid g;
      std::copy(f.begin(), f.begin() + 16, g.bytes.begin());
      out = Value::guid(g);
      return Status::ok();
    }
    case ColumnType::Numeric: out = decodeDecimal(f, column); return Status::ok();
    case ColumnType::ExtendedDateTime: {
      auto at = parseExtendedDateTime(f);
      if (!at) break;
      out = Value::extendedDateTime(*at);
      return Status::ok();
    }
    default: break;
  }
  out = Value::null();
  if (column.type == ColumnType::ExtendedDateTime)
    return badRow("fecha extendida ilegible en '" + column.name + "'");
  return badRow("tipo de columna fija inesperado");
}

void decodeTextInto(ByteSpan raw, const DecodeContext& ctx, Value& out) {
  std::string& text = out.textBuffer();
  if (ctx.layout->jet3) {
    decodeCodePageTextInto(raw, ctx.codePage, text);
  } else {
    decodeUcs2TextInto(raw, text);
  }
}

// A calculated Decimal: a 16-bit length (of what follows it), the scale,
// a sign byte, then the magnitude in at most 16 bytes: when their count is
// not a multiple of 8 the first 4 are one 32-bit word, and every 8 bytes
// after them are one 64-bit word, each word little-endian, the most
// significant first.
Status decodeCalculatedDecimal(ByteSpan f, const ColumnDef& column, Value& out) {
  if (f.size() < 4) return badRow("decimal calculado cortado en '" + column.name + "'");
  const size_t declared = *readU16(f, 0);
  size_t count = (declared > 2 ? declared : f.size() - 2) - 2;
  count = std::min<size_t>(count / 4 * 4, 16);
  if (f.size() < 4 + count) return badRow("decimal calculado cortado en '" + column.name + "'");
  Decimal d;
  d.scale = f[2];
  d.negative = f[3] != 0;
  d.precision = 28;
  size_t at = 4;
  auto word = [&](size_t bytes) {
    for (size_t i = bytes; i-- > 0;) d.magnitude = (d.magnitude << 8) | f[at + i];
    at += bytes;
  };
  if (count % 8 != 0) word(4);
  while (at < 4 + count) word(8);
  if (d.scale > 28) return badRow("decimal calculado ilegible en '" + column.name + "'");
  out = Value::decimal(d);
  return Status::ok();
}

// The value inside a calculated column's wrapping, as its result type.
Status decodeCalculatedInto(ByteSpan stored, const ColumnDef& column, const DecodeContext& ctx,
                            Value& out) {
  auto data = unwrapCalculated(stored);
  if (!data) return data.error();
  const size_t size = fixedSize(column.type);
  switch (column.type) {
    case ColumnType::Boolean:
      if (data->empty()) break;
      out = Value::boolean((*data)[0] != 0);
      return Status::ok();
    case ColumnType::Text:
    case ColumnType::Memo: decodeTextInto(*data, ctx, out); return Status::ok();
    case ColumnType::Numeric: return decodeCalculatedDecimal(*data, column, out);
    default:
      if (size == 0 || data->size() < size) break;
      return decodeFixedInto(data->first(size), column, out);
  }
  out = Value::null();
  return badRow("valor calculado ilegible en '" + column.name + "'");
}

}  // namespace

bool RowParts::present(uint16_t n) const {
  if (n >= columnCount || n / 8u >= nullMask.size()) return false;
  return (nullMask[n / 8] >> (n % 8)) & 1;
}

Status splitRowInto(ByteSpan row, const format::Layout& l, bool hasVarColumns, RowParts& p) {
  p.row = row;
  p.varCount = 0;
  const size_t len = row.size();
  if (len < l.rowColumnCountSize) return badRow("fila vacía");
  p.columnCount = l.jet3 ? row[0] : *readU16(row, 0);
  const size_t maskSize = (static_cast<size_t>(p.columnCount) + 7) / 8;
  if (len < l.rowColumnCountSize + maskSize)
    return badRow("fila más corta que su máscara de nulos");
  p.nullMask = row.subspan(len - maskSize, maskSize);
  if (!hasVarColumns) {
    // A table without variable columns keeps no offset table at all.
    p.varAreaEnd = len - maskSize;
    p.varOffsets.assign(1, static_cast<uint16_t>(p.varAreaEnd));
    return Status::ok();
  }
  if (len < l.rowColumnCountSize + maskSize + (l.jet3 ? 1 : 2))
    return badRow("fila sin tabla de desplazamientos");

  if (l.jet3) {
    const size_t varLenAt = len - maskSize - 1;
    p.varCount = row[varLenAt];
    // One jump entry per 256 bytes of row, counted from the row's size.
    size_t jumps = (len - 1) / 256;
    if (varLenAt < jumps) return badRow("tabla de saltos mayor que la fila");
    const size_t jumpTop = varLenAt;  // entries at jumpTop-1, jumpTop-2, ...
    // The offset table: varCount + 1 one-byte entries (the last ends the data), reversed.
    const size_t offsetsTop = varLenAt - jumps;  // entry i at offsetsTop - 1 - i
    if (offsetsTop < static_cast<size_t>(p.varCount) + 1 + l.rowColumnCountSize) {
      return badRow("tabla de desplazamientos mayor que la fila");
    }
    p.varAreaEnd = offsetsTop - (p.varCount + 1);
    // The count comes from the row's size, so the last entry may be a
    // filler: one whose segment starts past the offset table itself.
    if (jumps > 0 && p.varAreaEnd / 256 < jumps) --jumps;
    p.varOffsets.resize(p.varCount + 1);
    size_t used = 0;
    for (size_t i = 0; i <= p.varCount; ++i) {
      while (used < jumps && row[jumpTop - 1 - used] == i) ++used;
      p.varOffsets[i] = static_cast<uint16_t>(row[offsetsTop - 1 - i] + 256 * used);
    }
  } else {
    const size_t varLenAt = len - maskSize - 2;
    p.varCount = *readU16(row, varLenAt);
    const size_t tableBytes = 2 * (static_cast<size_t>(p.varCount) + 1);
    if (varLenAt < tableBytes + l.rowColumnCountSize)
      return badRow("tabla de desplazamientos mayor que la fila");
    p.varAreaEnd = varLenAt - tableBytes;
    p.varOffsets.resize(p.varCount + 1);
    for (size_t i = 0; i <= p.varCount; ++i)
      p.varOffsets[i] = *readU16(row, varLenAt - 2 * (i + 1));
  }
  return Status::ok();
}

Result<RowParts> splitRow(ByteSpan row, const format::Layout& l, bool hasVarColumns) {
  RowParts p;
  JET_TRY(splitRowInto(row, l, hasVarColumns, p));
  return p;
}

Result<LongValueRef> parseLongValueRef(ByteSpan f) {
  if (f.size() < format::kLongValueHeaderSize) return badRow("referencia de memo cortada");
  LongValueRef ref;
  const uint32_t head = *readU32(f, 0);
  ref.length = head & format::kLongValueLengthMask;
  if (head & format::kLongValueInline) {
    ref.kind = LongValueRef::Kind::Inline;
    if (ref.length > f.size() - format::kLongValueHeaderSize)
      return badRow("memo en línea más largo que la fila");
    ref.inlineData = f.subspan(format::kLongValueHeaderSize, ref.length);
  } else {
    ref.kind = (head & format::kLongValueSinglePage) ? LongValueRef::Kind::SinglePage
                                                     : LongValueRef::Kind::Chain;
    ref.where = splitRowPointer(*readU32(f, 4));
  }
  return ref;
}

Status readLongValueInto(const LongValueRef& ref, LongValueSource& source, Bytes& out) {
  out.clear();
  if (ref.kind == LongValueRef::Kind::Inline) {
    out.assign(ref.inlineData.begin(), ref.inlineData.end());
    return Status::ok();
  }
  if (ref.length == 0) return Status::ok();
  if (ref.kind == LongValueRef::Kind::SinglePage) {
    auto row = source.row(ref.where);
    if (!row) return row.status();
    if (row->size() < ref.length) return badRow("memo más largo que su fila");
    out.assign(row->begin(), row->begin() + ref.length);
    return Status::ok();
  }
  // A chain: each row starts with the pointer to the next. The declared
  // length and the number of rows the file can hold bound the walk.
  std::set<std::pair<uint32_t, uint16_t>> seen;
  RowPointer at = ref.where;
  while (out.size() < ref.length) {
    if (!seen.insert({at.page, at.slot}).second)
      return badRow("la cadena de un memo vuelve sobre sí misma");
    if (seen.size() > source.maxChainRows()) return badRow("cadena de memo demasiado larga");
    auto row = source.row(at);
    if (!row) return row.status();
    auto next = readU32(*row, 0);
    if (!next) return badRow("fila de memo sin puntero");
    const size_t take = std::min<size_t>(row->size() - 4, ref.length - out.size());
    out.insert(out.end(), row->begin() + 4, row->begin() + 4 + take);
    if (*next == 0) break;
    at = splitRowPointer(*next);
  }
  if (out.size() < ref.length) return badRow("cadena de memo más corta que su longitud");
  return Status::ok();
}

Result<Bytes> readLongValue(const LongValueRef& ref, LongValueSource& source) {
  Bytes out;
  JET_TRY(readLongValueInto(ref, source, out));
  return out;
}

std::optional<ExtendedDateTime> parseExtendedDateTime(ByteSpan f) {
  if (f.size() < kExtendedDateTimeSize - 1) return std::nullopt;
  auto digits = [&](size_t from) -> std::optional<int64_t> {
    int64_t n = 0;
    for (size_t i = from; i < from + 19; ++i) {
      if (f[i] < '0' || f[i] > '9' || n > kLastExtendedTick / 10) return std::nullopt;
      n = n * 10 + (f[i] - '0');
    }
    return n;
  };
  if (f[19] != ':' || f[39] != ':') return std::nullopt;
  auto day = digits(0), tick = digits(20);
  if (!day || !tick || *tick >= kTicksPerDay || *day >= kLastExtendedTick / kTicksPerDay + 1)
    return std::nullopt;
  return ExtendedDateTime{*day * kTicksPerDay + *tick};
}

std::vector<uint8_t> extendedDateTimeField(ExtendedDateTime at) {
  char text[kExtendedDateTimeSize + 1];
  std::snprintf(text, sizeof text, "%019lld:%019lld:7",
                static_cast<long long>(at.ticks / kTicksPerDay),
                static_cast<long long>(at.ticks % kTicksPerDay));
  // The 41 characters and the zero byte that ends them.
  return std::vector<uint8_t>(text, text + kExtendedDateTimeSize);
}

Result<ByteSpan> unwrapCalculated(ByteSpan stored) {
  if (stored.size() < format::kCalculatedDataOffset) return badRow("valor calculado cortado");
  const uint32_t length = *readU32(stored, format::kCalculatedLengthOffset);
  if (length > stored.size() - format::kCalculatedDataOffset)
    return badRow("valor calculado más largo que su campo");
  return stored.subspan(format::kCalculatedDataOffset, length);
}

Status decodeColumnInto(const RowParts& parts, const ColumnDef& column,
                        const ColumnPlacement& place, const DecodeContext& ctx, Value& out) {
  const bool present = parts.present(place.number);
  // A calculated Yes/No keeps its value in the row like any other result,
  // its null-mask bit saying only whether there is one.
  if (column.type == ColumnType::Boolean && !column.calculated) {
    out = Value::boolean(present);
    return Status::ok();
  }
  if (!present) {
    out = Value::null();
    return Status::ok();
  }
  auto fail = [&out](Error e) {
    out = Value::null();
    return e;
  };

  ByteSpan field;
  if (place.fixed) {
    size_t size = fixedSize(column.type);
    if (size == 0 || column.calculated) size = place.length;
    const size_t at = ctx.layout->rowColumnCountSize + place.fixedOffset;
    if (!fits(parts.row, at, size) || at + size > parts.varAreaEnd) {
      return fail(badRow("columna fija '" + column.name + "' fuera de la fila"));
    }
    field = parts.row.subspan(at, size);
    if (column.calculated) {
      if (auto s = decodeCalculatedInto(field, column, ctx, out); !s) return fail(s.error());
      return Status::ok();
    }
  } else {
    if (place.varIndex >= parts.varCount) {
      out = Value::null();
      return Status::ok();
    }
    const uint16_t start = parts.varOffsets[place.varIndex];
    const uint16_t end = parts.varOffsets[place.varIndex + 1];
    if (start > end || end > parts.varAreaEnd) {
      return fail(badRow("columna '" + column.name + "' fuera de la fila"));
    }
    field = parts.row.subspan(start, end - start);
    if (column.calculated && column.type != ColumnType::Memo) {
      if (auto s = decodeCalculatedInto(field, column, ctx, out); !s) return fail(s.error());
      return Status::ok();
    }
    const size_t size = fixedSize(column.type);
    if (size != 0) {
      // A fixed-size type kept in the variable part (rare, but legal).
      if (field.size() < size) return fail(badRow("columna '" + column.name + "' cortada"));
      return decodeFixedInto(field.first(size), column, out);
    }
  }

  switch (column.type) {
    case ColumnType::Text: decodeTextInto(field, ctx, out); return Status::ok();
    case ColumnType::Binary:
      out = Value::binary(Bytes(field.begin(), field.end()));
      return Status::ok();
    case ColumnType::Memo:
    case ColumnType::OLE: {
      auto ref = parseLongValueRef(field);
      if (!ref) return fail(ref.error());
      if (ref->kind == LongValueRef::Kind::Inline) {
        // Most memos of a kitchen (a line's details) sit in the row itself:
        // decoded straight from the page.
        if (column.type == ColumnType::OLE) {
          out = Value::binary(Bytes(ref->inlineData.begin(), ref->inlineData.end()));
        } else {
          decodeTextInto(ref->inlineData, ctx, out);
        }
        return Status::ok();
      }
      if (!ctx.longValues) return fail(badRow("memo fuera de la fila sin acceso al archivo"));
      Bytes local;
      Bytes& data = ctx.longValueScratch ? *ctx.longValueScratch : local;
      if (auto s = readLongValueInto(*ref, *ctx.longValues, data); !s) return fail(s.error());
      if (column.calculated) {
        if (auto s = decodeCalculatedInto(data, column, ctx, out); !s) return fail(s.error());
      } else if (column.type == ColumnType::OLE) {
        out = Value::binary(data);
      } else {
        decodeTextInto(data, ctx, out);
      }
      return Status::ok();
    }
    default:
      if (fixedSize(column.type) == 0) {
        out = Value::binary(Bytes(field.begin(), field.end()));
        return Status::ok();
      }
      if (field.size() < fixedSize(column.type))
        return fail(badRow("columna '" + column.name + "' cortada"));
      return decodeFixedInto(field, column, out);
  }
}

Result<Value> decodeColumn(const RowParts& parts, const ColumnDef& column,
                           const ColumnPlacement& place, const DecodeContext& ctx) {
  Value v;
  JET_TRY(decodeColumnInto(parts, column, place, ctx, v));
  return v;
}

}  // namespace jet::storage
