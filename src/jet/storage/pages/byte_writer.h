// Little-endian (and, for index keys, big-endian) stores into byte buffers,
// for every encoder of the write side. The caller owns the bounds: these
// helpers are used only on buffers the writer has sized itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace jet::storage {

inline void put8(uint8_t* p, uint8_t v) {
  p[0] = v;
}
inline void put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void put24(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
}
inline void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void put64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void putF64(uint8_t* p, double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  put64(p, bits);
}
inline void putF32(uint8_t* p, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  put32(p, bits);
}
inline uint16_t get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t get24(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16);
}
inline uint32_t get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A growing byte string with the same stores appended at the end.
class ByteBuilder {
 public:
  size_t size() const { return bytes_.size(); }
  std::vector<uint8_t>& bytes() { return bytes_; }
  std::vector<uint8_t> take() { return std::move(bytes_); }
  uint8_t* at(size_t offset) { return bytes_.data() + offset; }

  void u8(uint8_t v) { bytes_.push_back(v); }
  void u16(uint16_t v) { put16(grow(2), v); }
  void u24(uint32_t v) { put24(grow(3), v); }
  void u32(uint32_t v) { put32(grow(4), v); }
  void u64(uint64_t v) { put64(grow(8), v); }
  void f64(double d) { putF64(grow(8), d); }
  void zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
  void append(const uint8_t* p, size_t n) { bytes_.insert(bytes_.end(), p, p + n); }
  void append(const std::vector<uint8_t>& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }

 private:
  uint8_t* grow(size_t n) {
    bytes_.resize(bytes_.size() + n);
    return bytes_.data() + bytes_.size() - n;
  }
  std::vector<uint8_t> bytes_;
};

}  // namespace jet::storage
