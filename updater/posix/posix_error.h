// The one translation from errno to Windows system error codes, and the
// Windows texts of those codes.
#pragma once

#include <string>

namespace zt::posix_detail {

// Codes beyond the common ones of the platform interface.
inline constexpr int kErrorInvalidName = 123;
inline constexpr int kErrorDirectoryName = 267;

// The Windows code for `err` from an operation on `host_path`. A missing
// entry is "file not found" (2) when its folder exists and "path not found"
// (3) when a folder on the way is missing, which is why the path is needed.
int WindowsError(int err, const std::string& host_path);

// The system's text for a Windows error code, without a line end.
std::string WindowsErrorText(int code);

}  // namespace zt::posix_detail
