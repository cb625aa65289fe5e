#include "posix_error.h"

#include <sys/stat.h>

#include <cerrno>

#include "updater/core/platform.h"

namespace zt::posix_detail {
namespace {

constexpr int kErrorInvalidFunction = 1;
constexpr int kErrorNotSameDevice = 17;
constexpr int kErrorWriteProtect = 19;
constexpr int kErrorInvalidParameter = 87;
constexpr int kErrorDirNotEmpty = 145;
constexpr int kErrorFilenameTooLong = 206;
constexpr int kErrorIoDevice = 1117;

bool ParentIsFolder(const std::string& host_path) {
  std::size_t cut = host_path.find_last_of('/');
  if (cut == std::string::npos) return false;
  struct stat st;
  return stat(host_path.substr(0, cut == 0 ? 1 : cut).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int WindowsError(int err, const std::string& host_path) {
  switch (err) {
    case 0:
      return 0;
    case ENOENT:
      return ParentIsFolder(host_path) ? kErrorFileNotFound : kErrorPathNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kErrorAccessDenied;
    case EROFS:
      return kErrorWriteProtect;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case EBADF:
      return kErrorInvalidHandle;
    case ENOSPC:
    case EDQUOT:
      return kErrorDiskFull;
    case EEXIST:
      return kErrorAlreadyExists;
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case EXDEV:
      return kErrorNotSameDevice;
    case ENAMETOOLONG:
      return kErrorFilenameTooLong;
    case ENOTEMPTY:
      return kErrorDirNotEmpty;
    case EINVAL:
      return kErrorInvalidParameter;
    case ENOMEDIUM:
      return kErrorNotReady;
    case EIO:
      return kErrorIoDevice;
    default:
      return kErrorInvalidFunction;
  }
}

std::string WindowsErrorText(int code) {
  switch (code) {
    case 0: return "The operation completed successfully.";
    case kErrorInvalidFunction: return "Incorrect function.";
    case kErrorFileNotFound: return "The system cannot find the file specified.";
    case kErrorPathNotFound: return "The system cannot find the path specified.";
    case kErrorTooManyOpenFiles: return "The system cannot open the file.";
    case kErrorAccessDenied: return "Access is denied.";
    case kErrorInvalidHandle: return "The handle is invalid.";
    case kErrorNotSameDevice: return "The system cannot move the file to a different disk drive.";
    case kErrorWriteProtect: return "The media is write protected.";
    case kErrorNotReady: return "The device is not ready.";
    case kErrorSharingViolation:
      return "The process cannot access the file because it is being used by another process.";
    case kErrorHandleDiskFull: return "The disk is full.";
    case kErrorFileExists: return "The file exists.";
    case kErrorInvalidParameter: return "The parameter is incorrect.";
    case kErrorDiskFull: return "There is not enough space on the disk.";
    case kErrorInvalidName:
      return "The filename, directory name, or volume label syntax is incorrect.";
    case kErrorDirNotEmpty: return "The directory is not empty.";
    case kErrorAlreadyExists: return "Cannot create a file when that file already exists.";
    case kErrorFilenameTooLong: return "The filename or extension is too long.";
    case kErrorDirectoryName: return "The directory name is invalid.";
    case kErrorIoDevice:
      return "The request could not be performed because of an I/O device error.";
    default: return "Unknown error (" + std::to_string(code) + ").";
  }
}

}  // namespace zt::posix_detail
