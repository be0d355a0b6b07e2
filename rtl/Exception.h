#pragma once
// Root of the system's exceptions, and the run-time library's own errors.

#include <exception>
#include <string>
#include <utility>

namespace rtl {

// Every exception the system raises carries a message meant for a person.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

 private:
  std::string message_;
};

// A text that is not a number, or a format pattern that does not fit its arguments.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A failed read, write or close of a file.
class EInOutError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace rtl

namespace rtl {

// A float operation without a result: rounding a value out of range, NaN to integer.
class EInvalidOp : public Exception {
 public:
  EInvalidOp() : Exception("Invalid floating point operation") {}
};

}  // namespace rtl
