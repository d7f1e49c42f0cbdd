// The property block of a new database; see database_properties.h.
//
// Layout: "MR2\0"; a chunk is a 32-bit length (its 6-byte header included)
// and a 16-bit kind. The names chunk (kind 0x80) lists each name as a 16-bit
// byte length and UTF-16LE. The values chunk (kind 0x00) opens with the name
// of the object the values belong to (empty for the database itself: a
// 32-bit length 6 and a 16-bit name length 0), then one entry per property:
// 16-bit entry length, a flag byte (0), the column type code of the value,
// the 16-bit index of its name, the 16-bit value length, the value.
#include "jet/storage/write/database_properties.h"

#include "jet/schema.h"
#include "jet/storage/pages/byte_writer.h"
#include "jet/text.h"

namespace jet::storage {

namespace {

constexpr uint16_t kNamesChunk = 0x80;
constexpr uint16_t kValuesChunk = 0x00;

void appendUtf16(ByteBuilder& b, std::string_view text) {
  for (char16_t unit : toUtf16(text)) b.u16(static_cast<uint16_t>(unit));
}

}  // namespace

std::vector<DatabaseProperty> accessDatabaseProperties(FileFormat format) {
  // Access 2000 marks its .mdb files "08.50"; Access 2007 writes "09.50"
  // into its .accdb files too. The builds are those the Access-made files
  // of each version carry.
  if (format == FileFormat::Ace12) return {{"AccessVersion", "09.50"}, {"Build", 1150}};
  return {{"AccessVersion", "08.50"}, {"Build", 6620}};
}

std::vector<uint8_t> encodeDatabaseProperties(const std::vector<DatabaseProperty>& properties) {
  ByteBuilder b;
  b.append(reinterpret_cast<const uint8_t*>("MR2"), 4);  // with its terminating zero

  const size_t names = b.size();
  b.u32(0);
  b.u16(kNamesChunk);
  for (const auto& p : properties) {
    b.u16(static_cast<uint16_t>(utf16Length(p.name) * 2));
    appendUtf16(b, p.name);
  }
  put32(b.at(names), static_cast<uint32_t>(b.size() - names));

  const size_t values = b.size();
  b.u32(0);
  b.u16(kValuesChunk);
  b.u32(6);
  b.u16(0);
  for (size_t i = 0; i < properties.size(); ++i) {
    const size_t entry = b.size();
    b.u16(0);
    b.u8(0);
    if (const auto* text = std::get_if<std::string>(&properties[i].value)) {
      b.u8(static_cast<uint8_t>(ColumnType::Text));
      b.u16(static_cast<uint16_t>(i));
      b.u16(static_cast<uint16_t>(utf16Length(*text) * 2));
      appendUtf16(b, *text);
    } else {
      b.u8(static_cast<uint8_t>(ColumnType::Long));
      b.u16(static_cast<uint16_t>(i));
      b.u16(4);
      b.u32(static_cast<uint32_t>(std::get<int32_t>(properties[i].value)));
    }
    put16(b.at(entry), static_cast<uint16_t>(b.size() - entry));
  }
  put32(b.at(values), static_cast<uint32_t>(b.size() - values));
  return b.take();
}

}  // namespace jet::storage
