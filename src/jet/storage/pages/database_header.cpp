// Unmasking and reading the header page. The password field is checked
// after its extra Jet 4 mask (the creation date's whole part, as four
// bytes) is taken off: an empty password reads as zeros.
#include "jet/storage/pages/database_header.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "jet/error_codes.h"
#include "jet/format/jet_format.h"
#include "jet/storage/pages/bytes.h"
#include "jet/storage/pages/errors.h"

namespace jet::storage {

void rc4Apply(std::span<const uint8_t> key, std::span<uint8_t> data) {
  if (key.empty()) return;
  std::array<uint8_t, 256> s{};
  for (int i = 0; i < 256; ++i) s[i] = static_cast<uint8_t>(i);
  uint8_t j = 0;
  for (int i = 0; i < 256; ++i) {
    j = static_cast<uint8_t>(j + s[i] + key[i % key.size()]);
    std::swap(s[i], s[j]);
  }
  uint8_t a = 0, b = 0;
  for (auto& byte : data) {
    a = static_cast<uint8_t>(a + 1);
    b = static_cast<uint8_t>(b + s[a]);
    std::swap(s[a], s[b]);
    byte ^= s[static_cast<uint8_t>(s[a] + s[b])];
  }
}

Result<DatabaseHeader> parseHeader(std::span<const uint8_t> page0, FileFormat format) {
  const bool jet3 = format == FileFormat::Jet3;
  const size_t maskedLength =
      jet3 ? format::kHeaderMaskedLengthJet3 : format::kHeaderMaskedLengthJet4;
  if (page0.size() < format::kHeaderMaskedOffset + maskedLength) {
    return notDatabase("la cabecera está incompleta");
  }
  std::vector<uint8_t> plain(page0.begin(), page0.end());
  rc4Apply(format::kHeaderMaskKey,
           std::span<uint8_t>(plain.data() + format::kHeaderMaskedOffset, maskedLength));
  ByteSpan p(plain);

  DatabaseHeader h;
  h.format = format;
  h.codePage = *readU16(p, format::kHeaderCodePageOffset);
  h.sortOrder = jet3 ? *readU16(p, format::kHeaderSortOrderOffsetJet3)
                     : *readU32(p, format::kHeaderSortOrderOffsetJet4);
  h.encrypted = *readU32(p, format::kHeaderDatabaseKeyOffset) != 0;

  const size_t passwordLength =
      jet3 ? format::kHeaderPasswordLengthJet3 : format::kHeaderPasswordLengthJet4;
  std::vector<uint8_t> password(plain.begin() + format::kHeaderPasswordOffset,
                                plain.begin() + format::kHeaderPasswordOffset + passwordLength);
  if (!jet3) {
    h.creationDate = *readF64(p, format::kHeaderCreationDateOffset);
    // The password is masked once more with the creation date's whole part.
    std::array<uint8_t, 4> mask{};
    if (std::isfinite(h.creationDate) && std::fabs(h.creationDate) < 2147483647.0) {
      const auto whole = static_cast<uint32_t>(static_cast<int32_t>(h.creationDate));
      for (int i = 0; i < 4; ++i) mask[i] = static_cast<uint8_t>(whole >> (8 * i));
    }
    for (size_t i = 0; i < password.size(); ++i) password[i] ^= mask[i % 4];
  }
  for (uint8_t b : password) h.hasPassword = h.hasPassword || b != 0;
  return h;
}

Result<DatabaseHeader> readableHeader(std::span<const uint8_t> page0, FileFormat format) {
  auto h = parseHeader(page0, format);
  if (!h) return h;
  if (h->encrypted) {
    return Error{errc::kNotAuthorized,
                 "La base de datos está cifrada; este sistema no lee archivos cifrados."};
  }
  if (h->hasPassword) {
    return Error{
        errc::kNotAuthorized,
        "La base de datos tiene contraseña; quítela en Access para usarla con este sistema."};
  }
  return h;
}

}  // namespace jet::storage
