// A failure raised by the data-access layer, as ADO raises one: an error
// number (the provider's negative HRESULT, or a VBA run-time error number such
// as 6 for overflow) and a description in Spanish.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "jet/error_codes.h"

namespace ado {

// VBA run-time error numbers the conversions raise.
inline constexpr int32_t kErrOverflow = 6;       // "Desbordamiento"
inline constexpr int32_t kErrTypeMismatch = 13;  // "No coinciden los tipos"
inline constexpr int32_t kErrInvalidNull = 94;   // "Uso no válido de Null"

// The provider's failure numbers (ado::errc::kUnspecified, kSyntax, ...):
// the engine reports the numbers the Access provider does, so they are its.
namespace errc = jet::errc;

class ComError : public std::runtime_error {
 public:
  ComError(int32_t number, std::string description)
      : std::runtime_error(description), number_(number), description_(std::move(description)) {}
  int32_t number() const { return number_; }
  const std::string& description() const { return description_; }

 private:
  int32_t number_;
  std::string description_;
};

// Raises ADO's own failure `number` (one of the adErr... constants) with
// its standard description.
[[noreturn]] void raiseAdoError(int32_t number);

}  // namespace ado
