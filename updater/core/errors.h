// The errors the updater raises. Handlers catch none of them: an error ends
// the running handler where it occurs and the dispatcher shows its text in
// the application's default error report.
#pragma once

#include <stdexcept>
#include <string>

namespace zt {

// Base of every error the updater raises; what() is the text the user sees.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text-file operation or a change of the current directory failed. Carries
// the system error code (or one of the run-time's own codes below).
class IoError : public Error {
 public:
  explicit IoError(int code);
  int code() const { return code_; }

 private:
  int code_;
};

// The run-time's own I/O codes, next to the system codes of platform.h.
inline constexpr int kIoReadBeyondEnd = 100;
inline constexpr int kIoDiskFull = 101;  // also: a write that wrote less than asked
inline constexpr int kIoInvalidNumericInput = 106;

// A file that is read whole could not be opened.
class FileOpenError : public Error {
 public:
  FileOpenError(const std::string& full_path, const std::string& system_text);
};

// A list was read beyond its last entry.
class ListIndexError : public Error {
 public:
  explicit ListIndexError(long index);
};

// The text of an I/O error for a code: "File not found", ..., "I/O error 32".
std::string IoErrorText(int code);

// The error report appends a full stop when the text's last character sorts
// after "." ("File not found" gets one, "... (27)" does not).
std::string WithFullStop(const std::string& text);

}  // namespace zt
