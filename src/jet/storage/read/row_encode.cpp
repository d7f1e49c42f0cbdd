// Row encoding: values to the bytes of one row, in the layout of the file's
// generation.
#include "jet/storage/read/row_encode.h"

#include <cmath>
#include <limits>

#include "jet/civil_date.h"
#include "jet/convert.h"
#include "jet/csv.h"
#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/storage/read/row_codec.h"
#include "jet/storage/tables/text_codec.h"
#include "jet/text.h"

namespace jet::storage {

namespace {

Error mismatch(const ColumnDef& c) {
  return Error{errc::kTypeMismatch,
               "No coinciden los tipos de datos: el valor no sirve para el campo '" + c.name + "'"};
}

Error overflow(const ColumnDef& c) {
  return Error{errc::kOverflow, "El valor no cabe en el campo '" + c.name + "' (desbordamiento)"};
}

std::optional<double> numberOf(const Value& v) {
  switch (v.type()) {
    case ValueType::Boolean: return v.asBoolean() ? -1.0 : 0.0;
    case ValueType::Byte: return v.asByte();
    case ValueType::Integer: return v.asInteger();
    case ValueType::Long: return v.asLong();
    case ValueType::Currency: return static_cast<double>(v.asCurrency().scaled) / 10000.0;
    case ValueType::Single: return v.asSingle();
    case ValueType::Double: return v.asDouble();
    case ValueType::BigInt: return static_cast<double>(v.asBigInt());
    case ValueType::DateTime: return v.asDateTime().days;
    case ValueType::Text: return parseNumber(v.asText());  // "12" into a number column
    default: return std::nullopt;
  }
}

// A whole number for an integer column, rounded as Access rounds.
std::optional<int64_t> wholeOf(const Value& v) {
  switch (v.type()) {
    case ValueType::Byte: return v.asByte();
    case ValueType::Integer: return v.asInteger();
    case ValueType::Long: return v.asLong();
    case ValueType::BigInt: return v.asBigInt();
    case ValueType::Boolean: return v.asBoolean() ? -1 : 0;
    default: break;
  }
  auto d = numberOf(v);
  if (!d || !std::isfinite(*d)) return std::nullopt;
  double r = roundHalfEven(*d);
  if (r < -9.2e18 || r > 9.2e18) return std::nullopt;
  return static_cast<int64_t>(r);
}

using Magnitude = unsigned __int128;

Magnitude powerOfTen(unsigned n) {
  Magnitude p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

// A decimal number written in plain digits ("-12.50", "3"), exactly; nullopt
// for anything else or more than 38 digits.
std::optional<Decimal> decimalFromText(std::string_view text) {
  Decimal d;
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) d.negative = text[i++] == '-';
  bool point = false;
  unsigned digits = 0;
  for (; i < text.size() && text[i] != ' '; ++i) {
    const char ch = text[i];
    if (ch == kDecimalSeparator && !point) {
      point = true;
      continue;
    }
    if (ch < '0' || ch > '9') return std::nullopt;
    if (d.magnitude == 0 && ch == '0' && !point) continue;  // leading zeros
    if (++digits > 38) return std::nullopt;
    d.magnitude = d.magnitude * 10 + static_cast<unsigned>(ch - '0');
    if (point) ++d.scale;
  }
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size() || (digits == 0 && text.find('0') == std::string_view::npos))
    return std::nullopt;
  return d;
}

// `d` at the column's scale (rounded half to even when digits are dropped),
// or nullopt when it has more digits than the column's precision allows.
std::optional<Decimal> fitDecimal(Decimal d, const ColumnDef& c) {
  if (d.scale > c.scale) {
    const Magnitude divisor = powerOfTen(d.scale - c.scale);
    const Magnitude rest = d.magnitude % divisor, half = divisor / 2;
    d.magnitude /= divisor;
    d.scale = c.scale;
    if (rest > half || (rest == half && d.magnitude % 2 == 1)) ++d.magnitude;
  }
  if (d.scale < c.scale) {
    const unsigned more = c.scale - d.scale;
    if (d.magnitude >= powerOfTen(38 - more)) return std::nullopt;
    d.magnitude *= powerOfTen(more);
    d.scale = c.scale;
  }
  const unsigned precision = c.precision == 0 ? 18 : c.precision;
  if (d.magnitude >= powerOfTen(std::min(precision, 38u))) return std::nullopt;
  d.precision = static_cast<uint8_t>(precision);
  if (d.magnitude == 0) d.negative = false;
  return d;
}

// Any number as a Decimal, exactly where the source is exact.
std::optional<Decimal> decimalOf(const Value& v) {
  switch (v.type()) {
    case ValueType::Decimal: return v.asDecimal();
    case ValueType::Currency: {
      const int64_t scaled = v.asCurrency().scaled;
      Decimal d;
      d.negative = scaled < 0;
      d.magnitude =
          scaled < 0 ? static_cast<Magnitude>(-(scaled + 1)) + 1 : static_cast<Magnitude>(scaled);
      d.scale = 4;
      return d;
    }
    case ValueType::Text: return decimalFromText(v.asText());
    case ValueType::Single: return decimalFromText(csv::plainNumber(v.asSingle()));
    default: break;
  }
  if (auto w = wholeOf(v); w && v.type() != ValueType::Double) {
    Decimal d;
    d.negative = *w < 0;
    d.magnitude = *w < 0 ? static_cast<Magnitude>(-(*w + 1)) + 1 : static_cast<Magnitude>(*w);
    return d;
  }
  auto n = numberOf(v);
  if (!n || !std::isfinite(*n)) return std::nullopt;
  // The shortest digits that read back as the same double.
  return decimalFromText(csv::plainNumber(*n));
}

Error notInCodePage(const ColumnDef& c) {
  return Error{errc::kUnspecified,
               "El texto del campo '" + c.name +
                   "' tiene caracteres que la página de códigos de esta base de datos de Access "
                   "97 no tiene; no se ha guardado nada."};
}

// The end of an Access 97 row after its variable data: the offsets (low
// bytes), the jump table, the count. `offsets` has one entry per variable
// column and the end of the data last; `tailAfter` is what follows the
// count (the null mask).
Status appendJet3VariableTail(ByteBuilder& row, const std::vector<uint32_t>& offsets,
                              size_t tailAfter) {
  const size_t varCount = offsets.size() - 1;
  if (varCount > 255) return Error{errc::kOverflow, "Demasiados campos de longitud variable"};
  // The reader counts one jump entry per 256 bytes of the whole row, the
  // table included: the least length that agrees with itself.
  const size_t before = row.size() + offsets.size() + 1 + tailAfter;
  size_t jumps = 0;
  while ((before + jumps - 1) / 256 != jumps) ++jumps;
  const size_t needed = offsets.back() / 256;
  if (needed != jumps && needed + 1 != jumps) {
    return Error{errc::kOverflow, "La fila no se puede guardar en una base de datos de Access 97"};
  }
  for (size_t i = offsets.size(); i-- > 0;) row.u8(static_cast<uint8_t>(offsets[i] & 0xFF));
  std::vector<uint8_t> table(jumps, static_cast<uint8_t>(varCount));
  for (size_t j = 0; j < needed; ++j) {
    size_t i = 0;
    while (offsets[i] < 256 * (j + 1)) ++i;
    table[j] = static_cast<uint8_t>(i);
  }
  for (size_t j = jumps; j-- > 0;) row.u8(table[j]);
  row.u8(static_cast<uint8_t>(varCount));
  return Status::ok();
}

}  // namespace

std::vector<uint8_t> encodeUcs2Text(std::u16string_view text, bool compress) {
  std::vector<uint8_t> out;
  bool oneByte = compress && !text.empty();
  for (char16_t c : text) {
    if (c == 0 || c > 0xFF) {
      oneByte = false;
      break;
    }
  }
  // Compressed: FF FE then one byte per character, 2 + n < 2n when n > 2.
  if (oneByte && text.size() > 2) {
    out.reserve(text.size() + 2);
    out.push_back(format::kCompressedTextMark0);
    out.push_back(format::kCompressedTextMark1);
    for (char16_t c : text) out.push_back(static_cast<uint8_t>(c));
    return out;
  }
  out.reserve(text.size() * 2);
  for (char16_t c : text) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  return out;
}

Result<Value> coerceForColumn(const ColumnDef& c, const Value& v) {
  if (v.isNull()) return Value::null();
  switch (c.type) {
    case ColumnType::Boolean: {
      if (v.type() == ValueType::Boolean) return v;
      auto d = numberOf(v);
      if (!d) return mismatch(c);
      return Value::boolean(*d != 0);
    }
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long: {
      auto w = wholeOf(v);
      if (!w) return mismatch(c);
      if (c.type == ColumnType::Byte) {
        if (*w < 0 || *w > 255) return overflow(c);
        return Value::byte(static_cast<uint8_t>(*w));
      }
      if (c.type == ColumnType::Integer) {
        if (*w < -32768 || *w > 32767) return overflow(c);
        return Value::integer(static_cast<int16_t>(*w));
      }
      if (*w < std::numeric_limits<int32_t>::min() || *w > std::numeric_limits<int32_t>::max()) {
        return overflow(c);
      }
      return Value::longValue(static_cast<int32_t>(*w));
    }
    case ColumnType::BigInt: {
      auto w = wholeOf(v);
      if (!w) return mismatch(c);
      return Value::bigInt(*w);
    }
    case ColumnType::Currency: {
      if (v.type() == ValueType::Currency) return v;
      auto d = numberOf(v);
      if (!d || !std::isfinite(*d)) return mismatch(c);
      double scaled = roundHalfEven(*d * 10000.0);
      if (std::fabs(scaled) > 9.2e18) return overflow(c);
      return Value::currency(Currency{static_cast<int64_t>(scaled)});
    }
    case ColumnType::Single: {
      auto d = numberOf(v);
      if (!d) return mismatch(c);
      if (std::isfinite(*d) && std::fabs(*d) > std::numeric_limits<float>::max())
        return overflow(c);
      return Value::single(static_cast<float>(*d));
    }
    case ColumnType::Double: {
      auto d = numberOf(v);
      if (!d) return mismatch(c);
      return Value::dbl(*d);
    }
    case ColumnType::DateTime: {
      if (v.type() == ValueType::DateTime) return v;
      auto d = numberOf(v);
      if (!d) return mismatch(c);
      return Value::dateTime(DateTime{*d});
    }
    case ColumnType::Text:
    case ColumnType::Memo: {
      if (v.isText()) return v;
      if (v.type() == ValueType::Boolean) return Value::text(v.asBoolean() ? "Verdadero" : "Falso");
      auto d = numberOf(v);
      if (!d || v.type() == ValueType::DateTime) return mismatch(c);
      return Value::text(formatNumber(*d));
    }
    case ColumnType::Binary:
    case ColumnType::OLE: {
      if (v.type() == ValueType::Binary) return v;
      return mismatch(c);
    }
    case ColumnType::Guid: {
      if (v.type() == ValueType::Guid) return v;
      return mismatch(c);
    }
    case ColumnType::Numeric: {
      auto d = decimalOf(v);
      if (!d) return mismatch(c);
      auto fitted = fitDecimal(*d, c);
      if (!fitted) return overflow(c);
      return Value::decimal(*fitted);
    }
    case ColumnType::ExtendedDateTime: {
      if (v.type() == ValueType::ExtendedDateTime) {
        if (v.asExtendedDateTime().ticks < 0 || v.asExtendedDateTime().ticks > kLastExtendedTick)
          return overflow(c);
        return v;
      }
      auto d = numberOf(v);
      if (!d || v.isText()) return mismatch(c);
      auto at = extendedFromDateTime(DateTime{*d});
      if (!at) return overflow(c);
      return Value::extendedDateTime(*at);
    }
    default:
      return Error{errc::kNotSupported,
                   "El motor todavía no escribe campos del tipo de '" + c.name + "'"};
  }
}

namespace {

// How many columns a row of the table counts, the size of its fixed part,
// and its variable-offset slots.
struct RowShape {
  uint16_t columnCount = 0;
  size_t fixedSize = 0;
  int varSlots = 0;
};

RowShape rowShape(const TableDef& def) {
  const auto& cols = def.schema.columns;
  RowShape shape;
  shape.columnCount = def.maxColumns;
  for (size_t i = 0; i < cols.size(); ++i) {
    const auto& p = def.placements[i];
    if (p.number >= shape.columnCount) shape.columnCount = static_cast<uint16_t>(p.number + 1);
    if (p.fixed) {
      if (cols[i].type != ColumnType::Boolean) {
        shape.fixedSize = std::max<size_t>(shape.fixedSize, size_t{p.fixedOffset} + p.length);
      }
    } else {
      shape.varSlots = std::max(shape.varSlots, p.varIndex + 1);
    }
  }
  return shape;
}

// The bytes of a value of a fixed-size type (and Binary); nullopt for the
// text and long-value types.
std::optional<std::vector<uint8_t>> plainValueBytes(ColumnType type, const Value& v) {
  std::vector<uint8_t> bytes;
  switch (type) {
    case ColumnType::Byte: bytes = {v.asByte()}; break;
    case ColumnType::Integer:
      bytes.resize(2);
      put16(bytes.data(), static_cast<uint16_t>(v.asInteger()));
      break;
    case ColumnType::Long:
      bytes.resize(4);
      put32(bytes.data(), static_cast<uint32_t>(v.asLong()));
      break;
    case ColumnType::BigInt:
      bytes.resize(8);
      put64(bytes.data(), static_cast<uint64_t>(v.asBigInt()));
      break;
    case ColumnType::Currency:
      bytes.resize(8);
      put64(bytes.data(), static_cast<uint64_t>(v.asCurrency().scaled));
      break;
    case ColumnType::Single:
      bytes.resize(4);
      putF32(bytes.data(), v.asSingle());
      break;
    case ColumnType::Double:
      bytes.resize(8);
      putF64(bytes.data(), v.asDouble());
      break;
    case ColumnType::DateTime:
      bytes.resize(8);
      putF64(bytes.data(), v.asDateTime().days);
      break;
    case ColumnType::Guid: bytes.assign(v.asGuid().bytes.begin(), v.asGuid().bytes.end()); break;
    case ColumnType::Numeric: {
      // A sign byte, then the magnitude as four 32-bit words, the most
      // significant first, each little-endian: the form the reader takes.
      const Decimal& d = v.asDecimal();
      bytes.resize(17);
      bytes[0] = d.negative ? 0x80 : 0x00;
      for (int word = 0; word < 4; ++word) {
        put32(bytes.data() + 1 + 4 * word, static_cast<uint32_t>(d.magnitude >> (32 * (3 - word))));
      }
      break;
    }
    case ColumnType::ExtendedDateTime: bytes = extendedDateTimeField(v.asExtendedDateTime()); break;
    case ColumnType::Binary: bytes = v.asBinary(); break;
    default: return std::nullopt;
  }
  return bytes;
}

Result<std::vector<uint8_t>> textBytes(const ColumnDef& c, const ColumnPlacement& p, const Value& v,
                                       bool compress, const RowEncodeOptions& options) {
  std::u16string u = toUtf16(v.asText());
  size_t maxChars = options.jet3 ? p.length : p.length / 2;
  if (u.size() > maxChars) {
    return Error{errc::kOverflow, "El texto es demasiado largo para el campo '" + c.name + "' (" +
                                      std::to_string(maxChars) + " caracteres)"};
  }
  if (options.jet3) {
    auto encoded = encodeCodePageText(v.asText(), options.codePage);
    if (!encoded) return notInCodePage(c);
    return std::move(*encoded);
  }
  return encodeUcs2Text(u, compress);
}

// The field a memo or OLE value leaves in the row, the value stored
// through `sink`.
Result<std::vector<uint8_t>> longValueField(const ColumnDef& c, const Value& v, LongValueSink* sink,
                                            const RowEncodeOptions& options) {
  if (!sink) return Error{errc::kNotSupported, "No hay dónde guardar el valor largo"};
  std::vector<uint8_t> data;
  if (c.type == ColumnType::Memo && options.jet3) {
    auto encoded = encodeCodePageText(v.asText(), options.codePage);
    if (!encoded) return notInCodePage(c);
    data = std::move(*encoded);
  } else if (c.type == ColumnType::Memo) {
    std::u16string u = toUtf16(v.asText());
    data = encodeUcs2Text(u, u.size() <= 1024);
  } else {
    data = v.asBinary();
  }
  return sink->storeLongValue(std::move(data));
}

// The bytes column `i` keeps of a present, non-Boolean value.
Result<std::vector<uint8_t>> columnBytes(const TableDef& def, size_t i, const Value& v,
                                         LongValueSink* sink, const RowEncodeOptions& options) {
  const ColumnDef& c = def.schema.columns[i];
  if (auto plain = plainValueBytes(c.type, v)) return std::move(*plain);
  switch (c.type) {
    case ColumnType::Text: {
      bool compress = i < options.compressText.size() && options.compressText[i];
      return textBytes(c, def.placements[i], v, compress, options);
    }
    case ColumnType::Memo:
    case ColumnType::OLE: return longValueField(c, v, sink, options);
    default:
      return Error{errc::kNotSupported, "El motor todavía no escribe el campo '" + c.name + "'"};
  }
}

// The variable data, its offsets and their count after the fixed part.
Status appendVariablePart(ByteBuilder& row, const std::vector<std::vector<uint8_t>>& varData,
                          size_t maskSize, bool jet3) {
  const size_t varSlots = varData.size();
  std::vector<uint32_t> offsets(varSlots + 1);
  for (size_t s = 0; s < varSlots; ++s) {
    offsets[s] = static_cast<uint32_t>(row.size());
    row.append(varData[s]);
  }
  offsets.back() = static_cast<uint32_t>(row.size());  // end of data
  if (row.size() > 0xFFFF) return Error{errc::kOverflow, "La fila es demasiado grande"};
  if (jet3) return appendJet3VariableTail(row, offsets, maskSize);
  for (size_t s = offsets.size(); s-- > 0;) row.u16(static_cast<uint16_t>(offsets[s]));
  row.u16(static_cast<uint16_t>(varSlots));
  return Status::ok();
}

}  // namespace

Result<std::vector<uint8_t>> encodeRow(const TableDef& def, const std::vector<Value>& values,
                                       LongValueSink* sink, const RowEncodeOptions& options) {
  const auto& cols = def.schema.columns;
  if (values.size() != cols.size()) {
    return Error{errc::kUnspecified, "Número de valores distinto del número de campos"};
  }
  for (const ColumnDef& c : cols) {
    if (!c.calculated) continue;
    // The engine does not evaluate Access expressions, and a calculated
    // column left stale or empty would show a wrong value: no row of such a
    // table is written, and nothing (not even a long value) is stored first.
    return Error{errc::kNotSupported, "El motor no calcula el campo calculado '" + c.name +
                                          "': no se escriben filas en esta tabla."};
  }
  const RowShape shape = rowShape(def);
  std::vector<uint8_t> mask((shape.columnCount + 7) / 8, 0);
  auto markPresent = [&](uint16_t number) {
    mask[number / 8] |= static_cast<uint8_t>(1u << (number % 8));
  };
  const bool jet3 = options.jet3;
  if (jet3 && shape.columnCount > 255) {
    return Error{errc::kOverflow, "Demasiados campos en la fila"};
  }
  const size_t countSize = jet3 ? 1 : 2;
  ByteBuilder row;
  if (jet3) {
    row.u8(static_cast<uint8_t>(shape.columnCount));
  } else {
    row.u16(shape.columnCount);
  }
  row.zeros(shape.fixedSize);
  std::vector<std::vector<uint8_t>> varData(static_cast<size_t>(shape.varSlots));

  for (size_t i = 0; i < cols.size(); ++i) {
    const ColumnDef& c = cols[i];
    const ColumnPlacement& p = def.placements[i];
    if (i < options.keepLongField.size() && options.keepLongField[i].has_value()) {
      markPresent(p.number);
      varData[p.varIndex] = *options.keepLongField[i];
      continue;
    }
    auto coerced = coerceForColumn(c, values[i]);
    if (!coerced) return coerced.status();
    const Value& v = *coerced;
    if (c.type == ColumnType::Boolean) {
      if (!v.isNull() && v.asBoolean()) markPresent(p.number);
      continue;
    }
    if (v.isNull()) {
      if (c.required) {
        return Error{errc::kIntegrity, "El campo '" + c.name + "' no puede contener un valor nulo"};
      }
      continue;
    }
    markPresent(p.number);
    auto bytes = columnBytes(def, i, v, sink, options);
    if (!bytes) return bytes.status();
    if (p.fixed) {
      if (bytes->size() > p.length) return overflow(c);
      std::copy(bytes->begin(), bytes->end(), row.at(countSize + p.fixedOffset));
    } else {
      if (c.type == ColumnType::Binary && bytes->size() > p.length && p.length > 0)
        return overflow(c);
      varData[p.varIndex] = std::move(*bytes);
    }
  }
  if (shape.varSlots > 0) JET_TRY(appendVariablePart(row, varData, mask.size(), jet3));
  row.append(mask);
  return row.take();
}

std::optional<std::vector<uint8_t>> variableFieldBytes(std::span<const uint8_t> row,
                                                       uint16_t varIndex, bool jet3) {
  const format::Layout& l = jet3 ? format::kJet3Layout : format::kJet4Layout;
  auto parts = splitRow(ByteSpan(row.data(), row.size()), l, true);
  if (!parts || varIndex >= parts->varCount) return std::nullopt;
  uint16_t start = parts->varOffsets[varIndex];
  uint16_t end = parts->varOffsets[varIndex + 1u];
  if (start > end || end > row.size()) return std::nullopt;
  return std::vector<uint8_t>(row.begin() + start, row.begin() + end);
}

}  // namespace jet::storage
