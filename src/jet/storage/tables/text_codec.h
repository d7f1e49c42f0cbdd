// Text as the file keeps it, turned into the engine's UTF-8.
//
// Jet 4 and ACE keep text as UCS-2, optionally "compressed": a text that
// starts with FF FE holds runs of one-byte characters (high byte zero) and
// runs of two-byte characters, a zero byte switching between them. Jet 3
// keeps text in the database's Windows code page.
//
// Pure functions: any bytes give some text, never a failure or a read
// outside the input.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace jet::storage {

// UCS-2 little-endian (or compressed, when marked) to UTF-8. An odd final
// byte is ignored; unpaired surrogates become U+FFFD.
std::string decodeUcs2Text(std::span<const uint8_t> bytes);
// The same into `out`, replacing what it held and keeping its storage: the
// form a scan uses to refill one buffer row after row.
void decodeUcs2TextInto(std::span<const uint8_t> bytes, std::string& out);

// Text in a Windows code page (1252 when codePage is 0) to UTF-8.
std::string decodeCodePageText(std::span<const uint8_t> bytes, uint16_t codePage);
void decodeCodePageTextInto(std::span<const uint8_t> bytes, uint16_t codePage, std::string& out);

// UTF-8 text in a single-byte Windows code page (1252 when codePage is 0),
// for writing Access 97 text: each character becomes the byte that decodes
// back to it. Nullopt when some character has no such byte (or the text is
// not valid UTF-8), so nothing is stored that would read back otherwise.
std::optional<std::vector<uint8_t>> encodeCodePageText(std::string_view utf8, uint16_t codePage);

// Appends one code point as UTF-8.
void appendUtf8(std::string& out, uint32_t codePoint);

}  // namespace jet::storage
