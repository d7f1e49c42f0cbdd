// A failure raised by the data-access layer, as ADO raises one: an error
// number (the provider's negative HRESULT, or a VBA run-time error number such
// as 6 for overflow) and a description in Spanish.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "jet/error_codes.h"
#include "jet/status.h"

namespace ado {

// VBA run-time error numbers the conversions raise.
inline constexpr int32_t kErrOverflow = 6;       // "Desbordamiento"
inline constexpr int32_t kErrTypeMismatch = 13;  // "No coinciden los tipos"
inline constexpr int32_t kErrInvalidNull = 94;   // "Uso no válido de Null"

// The provider's failure numbers (ado::errc::kUnspecified, kSyntax, ...):
// the engine reports the numbers the Access provider does, so they are its.
namespace errc = jet::errc;
// The engine's native numbers (ado::native::kLocked), as ComError tells them.
namespace native = jet::native;

class ComError : public std::runtime_error {
 public:
  ComError(int32_t number, std::string description, int32_t nativeError = 0)
      : std::runtime_error(description),
        number_(number),
        description_(std::move(description)),
        nativeError_(nativeError) {}
  // The engine's failure as ADO raises it.
  explicit ComError(const jet::Error& e) : ComError(e.number, e.description, e.native) {}
  int32_t number() const { return number_; }
  const std::string& description() const { return description_; }
  // The Access engine's own number (ADO's Error.NativeError), 0 when none:
  // native::kLocked tells a file another program kept busy.
  int32_t nativeError() const { return nativeError_; }

 private:
  int32_t number_;
  std::string description_;
  int32_t nativeError_;
};

// Raises ADO's own failure `number` (one of the adErr... constants) with
// its standard description.
[[noreturn]] void raiseAdoError(int32_t number);

}  // namespace ado
