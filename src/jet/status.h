// Errors as values. Every engine operation that can fail answers a Status or
// a Result<T>; only the layer that talks to a person (the tool, the board)
// turns one into a message. The number is the one the Access provider
// reports for the same failure (see error_codes.h), the description is in
// Spanish, the language of the staff who read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace jet {

struct Error {
  int32_t number = 0;
  std::string description;
  // The Access engine's own number where it tells more than `number` does
  // (error_codes.h, jet::native); 0 otherwise.
  int32_t native = 0;
};

class [[nodiscard]] Status {
 public:
  Status() = default;  // success
  Status(Error e) : error_(std::move(e)) {}
  static Status ok() { return Status(); }

  bool isOk() const { return !error_.has_value(); }
  explicit operator bool() const { return isOk(); }
  const Error& error() const { return *error_; }
  int32_t number() const { return error_ ? error_->number : 0; }
  const std::string& description() const {
    static const std::string empty;
    return error_ ? error_->description : empty;
  }
  // Itself, so that JET_TRY takes a Status as it takes a Result.
  Status status() const { return *this; }

 private:
  std::optional<Error> error_;
};

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}
  Result(Error e) : v_(std::in_place_index<1>, std::move(e)) {}
  Result(Status s) : v_(std::in_place_index<1>, s.error()) {}  // s must be an error

  bool isOk() const { return v_.index() == 0; }
  explicit operator bool() const { return isOk(); }
  T& value() & { return std::get<0>(v_); }
  const T& value() const& { return std::get<0>(v_); }
  T&& value() && { return std::get<0>(std::move(v_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() { return value(); }
  const Error& error() const { return std::get<1>(v_); }
  Status status() const { return isOk() ? Status() : Status(error()); }

 private:
  std::variant<T, Error> v_;
};

// Propagates a failed Status or Result from the current function.
#define JET_TRY(expr)                            \
  do {                                           \
    auto jet_try_s_ = (expr);                    \
    if (!jet_try_s_) return jet_try_s_.status(); \
  } while (0)

}  // namespace jet
