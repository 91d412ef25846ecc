// The last error of the file calls: errno turned into Win32 error codes, and
// kept for the system's own words.
#include <cerrno>
#include <cstring>

#include "file_calls_posix.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;
// The errno behind lastError, for the system's own words.
thread_local int lastErrno = 0;

int ErrnoFromError(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS: return 0;
    case ERROR_FILE_NOT_FOUND: return ENOENT;
    case ERROR_PATH_NOT_FOUND: return ENOTDIR;
    case ERROR_ACCESS_DENIED: return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_SHARING_VIOLATION: return EWOULDBLOCK;
    case ERROR_DISK_FULL: return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_NOT_ENOUGH_MEMORY: return ENOMEM;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_INVALID_PARAMETER: return EINVAL;
    default: return EIO;
  }
}

DWORD ErrorFromErrno(int error) {
  switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ENXIO:
      return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EWOULDBLOCK: return ERROR_SHARING_VIOLATION;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    default: return ERROR_GEN_FAILURE;
  }
}

}  // namespace

void SetLastErrorFromErrno(int error) {
  lastError = ErrorFromErrno(error);
  lastErrno = error;
}

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD error) {
  lastError = error;
  lastErrno = ErrnoFromError(error);
}

const char* LastErrorText() { return lastError == ERROR_SUCCESS ? nullptr : std::strerror(lastErrno); }
