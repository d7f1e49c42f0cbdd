// Little-endian reads from byte spans, for every decoder of the file.
//
// Each reader checks that the field lies inside the span and answers
// nullopt otherwise, so a damaged length or offset read from a page can
// never send a decoder outside its buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace jet::storage {

using ByteSpan = std::span<const uint8_t>;

inline bool fits(ByteSpan s, size_t offset, size_t length) {
  return offset <= s.size() && length <= s.size() - offset;
}

inline std::optional<uint8_t> readU8(ByteSpan s, size_t at) {
  if (!fits(s, at, 1)) return std::nullopt;
  return s[at];
}

inline std::optional<uint16_t> readU16(ByteSpan s, size_t at) {
  if (!fits(s, at, 2)) return std::nullopt;
  return static_cast<uint16_t>(s[at] | (s[at + 1] << 8));
}

inline std::optional<uint32_t> readU24(ByteSpan s, size_t at) {
  if (!fits(s, at, 3)) return std::nullopt;
  return static_cast<uint32_t>(s[at]) | (static_cast<uint32_t>(s[at + 1]) << 8) |
         (static_cast<uint32_t>(s[at + 2]) << 16);
}

inline std::optional<uint32_t> readU32(ByteSpan s, size_t at) {
  if (!fits(s, at, 4)) return std::nullopt;
  return static_cast<uint32_t>(s[at]) | (static_cast<uint32_t>(s[at + 1]) << 8) |
         (static_cast<uint32_t>(s[at + 2]) << 16) | (static_cast<uint32_t>(s[at + 3]) << 24);
}

inline std::optional<uint64_t> readU64(ByteSpan s, size_t at) {
  if (!fits(s, at, 8)) return std::nullopt;
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | s[at + i];
  return v;
}

inline std::optional<double> readF64(ByteSpan s, size_t at) {
  auto bits = readU64(s, at);
  if (!bits) return std::nullopt;
  double d;
  std::memcpy(&d, &*bits, sizeof d);
  return d;
}

inline std::optional<float> readF32(ByteSpan s, size_t at) {
  auto bits = readU32(s, at);
  if (!bits) return std::nullopt;
  float f;
  std::memcpy(&f, &*bits, sizeof f);
  return f;
}

// A pointer to a row elsewhere in the file: the row's slot in the low byte,
// its page in the upper three bytes.
struct RowPointer {
  uint32_t page = 0;
  uint16_t slot = 0;
};

inline RowPointer splitRowPointer(uint32_t raw) {
  return RowPointer{raw >> 8, static_cast<uint16_t>(raw & 0xFF)};
}

// The 4-byte row pointer as stored: the slot in the low byte, the page above.
inline uint32_t packRowPointer(RowPointer p) {
  return (p.page << 8) | (p.slot & 0xFF);
}

}  // namespace jet::storage
