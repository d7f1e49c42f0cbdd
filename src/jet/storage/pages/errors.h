// The failures of the storage layer, built in one place so that every
// damaged or foreign file reads the same to the staff: the provider's
// number for a storage failure and a Spanish description that names what
// was wrong.
#pragma once

#include <string>

#include "jet/error_codes.h"
#include "jet/status.h"

namespace jet::storage {

// The file is damaged: a page, a row or a chain does not hold together.
inline Error damaged(const std::string& what) {
  return Error{errc::kUnspecified, "La base de datos está dañada: " + what};
}

// The file can't be opened or read at all.
inline Error unreadable(const std::string& what) {
  return Error{errc::kUnspecified, "No se puede leer la base de datos: " + what};
}

inline Error notDatabase(const std::string& what) {
  return Error{errc::kUnspecified,
               "El archivo no es una base de datos de Access reconocible: " + what};
}

}  // namespace jet::storage
