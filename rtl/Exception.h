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

// A failed read, write or close of a file. The message ends with the system's
// reason ("Permission denied", "No space left on device") when there is one;
// Reason() gives that reason alone.
class EInOutError : public Exception {
 public:
  explicit EInOutError(std::string message, std::string reason = {})
      : Exception(reason.empty() ? std::move(message) : std::move(message) + ": " + reason),
        reason_(std::move(reason)) {}
  const std::string& Reason() const noexcept { return reason_; }

 private:
  std::string reason_;
};

}  // namespace rtl

namespace rtl {

// A float operation without a result: rounding a value out of range, NaN to integer.
class EInvalidOp : public Exception {
 public:
  EInvalidOp() : Exception("Invalid floating point operation") {}
};

}  // namespace rtl
