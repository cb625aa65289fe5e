#include "errors.h"

namespace zt {

std::string IoErrorText(int code) {
  switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case kIoReadBeyondEnd: return "Read beyond end of file";
    case kIoDiskFull: return "Disk full";
    case kIoInvalidNumericInput: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
  }
}

IoError::IoError(int code) : Error(IoErrorText(code)), code_(code) {}

FileOpenError::FileOpenError(const std::string& full_path, const std::string& system_text)
    : Error("Cannot open file \"" + full_path + "\". " + system_text) {}

ListIndexError::ListIndexError(long index)
    : Error("List index out of bounds (" + std::to_string(index) + ")") {}

std::string WithFullStop(const std::string& text) {
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
    return text + ".";
  return text;
}

}  // namespace zt
