// The header page (page 0): format version, code page, default sort order,
// creation date, and whether the file carries a database password or is
// encrypted.
//
// Most of the page is masked with RC4 under a fixed key; parseHeader unmasks
// a copy and reads the fields. A file with a password or an encrypted file
// is refused here with a clear error: its pages would otherwise be read as
// garbage.
#pragma once

#include <cstdint>
#include <span>

#include "jet/format/file_format.h"
#include "jet/status.h"

namespace jet::storage {

struct DatabaseHeader {
  FileFormat format = FileFormat::Jet4;
  uint16_t codePage = 0;    // Windows code page of Jet 3 text (0: the default, 1252)
  uint32_t sortOrder = 0;   // default text collation (0x409 General)
  double creationDate = 0;  // days since 1899-12-30 (Jet 4 and later)
  bool hasPassword = false;
  bool encrypted = false;
};

// Reads the header from page 0's bytes. Answers the fields even for a file
// with a password or encryption (the flags say so); only a page too short
// for the fields is an error.
Result<DatabaseHeader> parseHeader(std::span<const uint8_t> page0, FileFormat format);

// parseHeader, then refuses a file with a password or encryption.
Result<DatabaseHeader> readableHeader(std::span<const uint8_t> page0, FileFormat format);

// RC4 keystream applied in place (the header mask and Jet page encryption).
void rc4Apply(std::span<const uint8_t> key, std::span<uint8_t> data);

}  // namespace jet::storage
