// Decoding of stored text. UCS-2 and Windows-1252 / ISO-8859-1 (what
// Western Access 97 files use) are hot in every scan: they are decoded by
// hand into a buffer sized for the worst case, one pass, no per-character
// appends. Other code pages go through ICU's converters.
#include "jet/storage/tables/text_codec.h"

#include <unicode/ucnv.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "jet/format/jet_format.h"
#include "jet/text.h"

namespace jet::storage {

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

namespace {

// Appends UTF-16 code units, pairing surrogates.
class Utf16Sink {
 public:
  explicit Utf16Sink(std::string& out) : out_(out) {}
  void put(uint16_t unit) {
    if (pendingHigh_) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        appendUtf8(out_, 0x10000 + ((static_cast<uint32_t>(pendingHigh_) - 0xD800) << 10) +
                             (unit - 0xDC00));
        pendingHigh_ = 0;
        return;
      }
      appendUtf8(out_, 0xFFFD);
      pendingHigh_ = 0;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      pendingHigh_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      appendUtf8(out_, 0xFFFD);
    } else {
      appendUtf8(out_, unit);
    }
  }
  void finish() {
    if (pendingHigh_) appendUtf8(out_, 0xFFFD);
    pendingHigh_ = 0;
  }

 private:
  std::string& out_;
  uint16_t pendingHigh_ = 0;
};

// Windows-1252 0x80..0x9F; the rest of the page is ISO-8859-1.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};

std::string decodeWithIcu(std::span<const uint8_t> bytes, uint16_t codePage) {
  thread_local uint16_t cachedPage = 0;
  thread_local std::unique_ptr<UConverter, ConverterCloser> converter;
  if (!converter || cachedPage != codePage) {
    UErrorCode status = U_ZERO_ERROR;
    std::string name = "windows-" + std::to_string(codePage);
    converter.reset(ucnv_open(name.c_str(), &status));
    if (U_FAILURE(status) || !converter) {
      status = U_ZERO_ERROR;
      name = "cp" + std::to_string(codePage);
      converter.reset(ucnv_open(name.c_str(), &status));
      if (U_FAILURE(status)) converter.reset();
    }
    cachedPage = codePage;
  }
  if (!converter) return decodeCodePageText(bytes, 1252);
  std::u16string units(bytes.size() * 2 + 4, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  int32_t n = ucnv_toUChars(
      converter.get(), reinterpret_cast<UChar*>(units.data()), static_cast<int32_t>(units.size()),
      reinterpret_cast<const char*>(bytes.data()), static_cast<int32_t>(bytes.size()), &status);
  if (U_FAILURE(status)) return decodeCodePageText(bytes, 1252);
  std::string out;
  Utf16Sink sink(out);
  for (int32_t i = 0; i < n; ++i) sink.put(units[i]);
  sink.finish();
  return out;
}

// Writes UTF-8 into a buffer the caller sized for the worst case (two bytes
// out per byte in, which bounds every path below), pairing surrogates as
// Utf16Sink does.
class Utf8Writer {
 public:
  explicit Utf8Writer(char* at) : at_(at) {}
  char* end() const { return at_; }

  // Copies ASCII bytes as they are; false (and nothing written) while a
  // high surrogate waits for its pair, so unit() decides what it was.
  bool asciiRun(const uint8_t* from, size_t length) {
    if (pendingHigh_) return false;
    std::memcpy(at_, from, length);
    at_ += length;
    return true;
  }

  void unit(uint16_t u) {
    if (u < 0x80 && !pendingHigh_) {
      *at_++ = static_cast<char>(u);
      return;
    }
    slowUnit(u);
  }
  void finish() {
    if (pendingHigh_) codePoint(0xFFFD);
    pendingHigh_ = 0;
  }
  void codePoint(uint32_t cp) {
    if (cp < 0x80) {
      *at_++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
      *at_++ = static_cast<char>(0xC0 | (cp >> 6));
      *at_++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      *at_++ = static_cast<char>(0xE0 | (cp >> 12));
      *at_++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      *at_++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      *at_++ = static_cast<char>(0xF0 | (cp >> 18));
      *at_++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      *at_++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      *at_++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

 private:
  void slowUnit(uint16_t u) {
    if (pendingHigh_) {
      if (u >= 0xDC00 && u <= 0xDFFF) {
        codePoint(0x10000 + ((static_cast<uint32_t>(pendingHigh_) - 0xD800) << 10) + (u - 0xDC00));
        pendingHigh_ = 0;
        return;
      }
      codePoint(0xFFFD);
      pendingHigh_ = 0;
    }
    if (u >= 0xD800 && u <= 0xDBFF) {
      pendingHigh_ = u;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      codePoint(0xFFFD);
    } else {
      codePoint(u);
    }
  }

  char* at_;
  uint16_t pendingHigh_ = 0;
};

}  // namespace

namespace {

// Decodes into `dest`, which holds at least 2 * b.size() bytes; answers the
// bytes written.
size_t writeUcs2AsUtf8(std::span<const uint8_t> b, char* dest) {
  Utf8Writer w(dest);
  const size_t n = b.size();
  if (n >= 2 && b[0] == format::kCompressedTextMark0 && b[1] == format::kCompressedTextMark1) {
    bool compressed = true;
    size_t i = 2;
    while (i < n) {
      if (b[i] == 0) {
        compressed = !compressed;
        ++i;
      } else if (compressed) {
        // Runs of plain ASCII, most of what a kitchen writes, go whole.
        size_t end = i;
        while (end < n && b[end] - 1u < 0x7Fu) ++end;
        if (end > i && w.asciiRun(b.data() + i, end - i)) {
          i = end;
          continue;
        }
        w.unit(b[i]);
        ++i;
      } else if (i + 1 < n) {
        w.unit(static_cast<uint16_t>(b[i] | (b[i + 1] << 8)));
        i += 2;
      } else {
        break;
      }
    }
  } else {
    for (size_t i = 0; i + 1 < n; i += 2) w.unit(static_cast<uint16_t>(b[i] | (b[i + 1] << 8)));
  }
  w.finish();
  return static_cast<size_t>(w.end() - dest);
}

// A text column of a row is at most a page long; such texts are decoded on
// the stack and copied once, sparing the string a fill it would overwrite.
constexpr size_t kStackTextBytes = 4096;

}  // namespace

void decodeUcs2TextInto(std::span<const uint8_t> b, std::string& out) {
  const size_t n = b.size();
  if (n >= 2 && b[0] == format::kCompressedTextMark0 && b[1] == format::kCompressedTextMark1) {
    // Most of what the point of sale writes (states, areas, names without
    // accents) is compressed plain ASCII: the bytes are the text.
    size_t i = 2;
    while (i < n && b[i] - 1u < 0x7Fu) ++i;
    if (i == n) {
      out.assign(reinterpret_cast<const char*>(b.data()) + 2, n - 2);
      return;
    }
  }
  if (n <= kStackTextBytes) {
    char buffer[2 * kStackTextBytes];
    const size_t length = writeUcs2AsUtf8(b, buffer);
    out.clear();
    out.append(buffer, length);
    return;
  }
  out.resize(2 * b.size());
  out.resize(writeUcs2AsUtf8(b, out.data()));
}

std::string decodeUcs2Text(std::span<const uint8_t> b) {
  std::string out;
  decodeUcs2TextInto(b, out);
  return out;
}

void decodeCodePageTextInto(std::span<const uint8_t> bytes, uint16_t codePage, std::string& out) {
  if (codePage != 0 && codePage != 1252 && codePage != 28591) {
    out = decodeWithIcu(bytes, codePage);
    return;
  }
  // Three bytes out at most per byte in (the euro sign and its neighbours).
  out.resize(3 * bytes.size());
  Utf8Writer w(out.data());
  for (uint8_t c : bytes) {
    if (c < 0x80) {
      w.codePoint(c);
    } else if (c < 0xA0 && codePage != 28591) {
      w.codePoint(kCp1252High[c - 0x80]);
    } else {
      w.codePoint(c);
    }
  }
  out.resize(static_cast<size_t>(w.end() - out.data()));
}

std::string decodeCodePageText(std::span<const uint8_t> bytes, uint16_t codePage) {
  std::string out;
  decodeCodePageTextInto(bytes, codePage, out);
  return out;
}

namespace {

// What each byte of a code page reads as, one byte alone; U+FFFD where it
// reads as nothing (a lead byte of a double-byte page, a hole of the page).
struct CodePageTable {
  uint16_t codePage = 0xFFFF;
  std::array<uint32_t, 256> decoded{};
};

const CodePageTable& tableFor(uint16_t codePage) {
  thread_local CodePageTable table;
  if (table.codePage != codePage) {
    for (int b = 0; b < 256; ++b) {
      uint8_t byte = static_cast<uint8_t>(b);
      std::u16string u = toUtf16(decodeCodePageText(std::span<const uint8_t>(&byte, 1), codePage));
      table.decoded[b] = u.size() == 1 && b != 0 ? u[0] : 0xFFFD;
    }
    table.codePage = codePage;
  }
  return table;
}

}  // namespace

std::optional<std::vector<uint8_t>> encodeCodePageText(std::string_view utf8, uint16_t codePage) {
  // Text that is not UTF-8 reads as U+FFFD, which no byte stands for.
  const CodePageTable& t = tableFor(codePage);
  std::u16string u = toUtf16(utf8);
  std::vector<uint8_t> out;
  out.reserve(u.size());
  for (char16_t c : u) {
    if (c < 0x80 && t.decoded[c] == c && c != 0) {
      out.push_back(static_cast<uint8_t>(c));
      continue;
    }
    int found = -1;
    for (int b = 0x80; b < 256 && found < 0; ++b) {
      if (t.decoded[b] == c && c != 0xFFFD) found = b;
    }
    for (int b = 1; b < 0x80 && found < 0; ++b) {
      if (t.decoded[b] == c && c != 0xFFFD) found = b;
    }
    if (found < 0) return std::nullopt;
    out.push_back(static_cast<uint8_t>(found));
  }
  return out;
}

}  // namespace jet::storage
