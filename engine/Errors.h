// Exceptions that escape the calculator's operations and reach the one
// application-level error report (a message box; the program goes on).
// Header-only, no dependencies: any layer may throw these.
#pragma once

#include <stdexcept>
#include <string>

// Base of every error the program reports by its message.
class EZumbrelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A number text that cannot be converted ("'%s' is not a valid floating point
// value", "Invalid hexadecimal format", ...).
class EConvertError : public EZumbrelError {
 public:
  using EZumbrelError::EZumbrelError;
};

// Integer division by zero (the "#" operator): "Division by zero".
class EDivByZero : public EZumbrelError {
 public:
  EDivByZero() : EZumbrelError("Division by zero") {}
};

// A value that cannot be rounded to a 64-bit integer for display:
// "Invalid floating point operation".
class EInvalidOp : public EZumbrelError {
 public:
  EInvalidOp() : EZumbrelError("Invalid floating point operation") {}
};

// A settings key that cannot be written: "Unable to write to <path>".
class EWriteError : public EZumbrelError {
 public:
  using EZumbrelError::EZumbrelError;
};
