// One value-or-error type for every operation of the system.
#pragma once

#include <expected>
#include <string>
#include <utility>

namespace meet {

enum class ErrorKind {
  NotFound,   // a file or record the operation needs is not there
  Io,         // the file system refused a read or write
  Format,     // a file's contents cannot be used
  Invalid,    // the operator's input cannot be taken
  Refused,    // the operation would damage data or exceed a limit
  Cancelled,  // the operator answered a question with Cancel / No
};

struct Error {
  ErrorKind kind;
  std::string message;  // a sentence the operator can act on (Japanese or plain)
};

template <class T>
using Result = std::expected<T, Error>;
using Status = std::expected<void, Error>;

inline std::unexpected<Error> Fail(ErrorKind kind, std::string message) {
  return std::unexpected<Error>(Error{kind, std::move(message)});
}

}  // namespace meet
