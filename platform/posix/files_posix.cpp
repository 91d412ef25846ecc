// Win32 file operations over POSIX descriptors.
#include "win32_api.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct PosixFile {
  int fd;
};

PosixFile* FileOf(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
    SetLastError(EBADF);
    return nullptr;
  }
  return static_cast<PosixFile*>(handle);
}

thread_local DWORD t_lastError = 0;

// Each file call ends through one of these, so that the last error tells of
// the last call only.
BOOL Succeeded() {
  t_lastError = 0;
  return TRUE;
}

template <typename T>
T Failed(T result, int error = errno) {
  t_lastError = static_cast<DWORD>(error);
  return result;
}

}  // namespace

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD error) { t_lastError = error; }

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, void*, DWORD disposition,
                   DWORD, HANDLE) {
  if (path == nullptr) return Failed(INVALID_HANDLE_VALUE, EINVAL);
  int flags = O_CLOEXEC;
  if ((access & GENERIC_READ) && (access & GENERIC_WRITE)) {
    flags |= O_RDWR;
  } else if (access & GENERIC_WRITE) {
    flags |= O_WRONLY;
  } else {
    flags |= O_RDONLY;
  }
  if (disposition == CREATE_ALWAYS) {
    flags |= O_CREAT | O_TRUNC;
  } else if (disposition == CREATE_NEW) {
    flags |= O_CREAT | O_EXCL;
  } else if (disposition != OPEN_EXISTING) {
    return Failed(INVALID_HANDLE_VALUE, EINVAL);
  }
  int fd = open(path, flags, 0666);
  if (fd < 0) return Failed(INVALID_HANDLE_VALUE);
  struct stat info;
  int error = 0;
  if (fstat(fd, &info) != 0) {
    error = errno;
  } else if (S_ISDIR(info.st_mode)) {
    error = EISDIR;
  } else if (shareMode == 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = errno;
  }
  if (error != 0) {
    close(fd);
    return Failed(INVALID_HANDLE_VALUE, error);
  }
  Succeeded();
  return new PosixFile{fd};
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, void*) {
  PosixFile* file = FileOf(handle);
  if (read) *read = 0;
  if (file == nullptr) return FALSE;
  DWORD done = 0;
  while (done < toRead) {
    ssize_t n = ::read(file->fd, static_cast<char*>(buffer) + done, toRead - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Failed(FALSE);
    if (n == 0) break;
    done += static_cast<DWORD>(n);
  }
  if (read) *read = done;
  return Succeeded();
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written, void*) {
  PosixFile* file = FileOf(handle);
  if (written) *written = 0;
  if (file == nullptr) return FALSE;
  DWORD done = 0;
  while (done < toWrite) {
    ssize_t n = ::write(file->fd, static_cast<const char*>(buffer) + done, toWrite - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (written) *written = done;
      return Failed(FALSE, n == 0 ? ENOSPC : errno);
    }
    done += static_cast<DWORD>(n);
  }
  if (written) *written = done;
  return Succeeded();
}

DWORD SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD method) {
  PosixFile* file = FileOf(handle);
  if (file == nullptr) return INVALID_SET_FILE_POINTER;
  if (method != FILE_BEGIN) return Failed(INVALID_SET_FILE_POINTER, EINVAL);
  long long offset = distance;
  if (distanceHigh) {
    offset = (static_cast<long long>(*distanceHigh) << 32) | static_cast<DWORD>(distance);
  }
  if (offset < 0) return Failed(INVALID_SET_FILE_POINTER, EINVAL);
  off_t at = lseek(file->fd, static_cast<off_t>(offset), SEEK_SET);
  if (at < 0) return Failed(INVALID_SET_FILE_POINTER);
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<long long>(at) >> 32);
  Succeeded();
  return static_cast<DWORD>(at);
}

DWORD GetFileSize(HANDLE handle, LPDWORD sizeHigh) {
  PosixFile* file = FileOf(handle);
  struct stat info;
  if (file == nullptr) return INVALID_FILE_SIZE;
  if (fstat(file->fd, &info) != 0) return Failed(INVALID_FILE_SIZE);
  unsigned long long size = static_cast<unsigned long long>(info.st_size);
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
  Succeeded();
  return static_cast<DWORD>(size);
}

BOOL CloseHandle(HANDLE handle) {
  PosixFile* file = FileOf(handle);
  if (file == nullptr) return FALSE;
  int rc = close(file->fd);
  int error = errno;
  delete file;
  return rc == 0 ? Succeeded() : Failed(FALSE, error);
}

// As on Windows: with `unique` 0 the name is made unique by creating the
// file; otherwise only the name is formed from the low 16 bits of `unique`
// and the caller creates the file.
UINT GetTempFileNameA(LPCSTR folder, LPCSTR prefix, UINT unique, LPSTR tempPath) {
  if (folder == nullptr || prefix == nullptr || tempPath == nullptr) return Failed(0u, EINVAL);
  char name[PATH_MAX];
  const char* slash = (*folder && folder[std::strlen(folder) - 1] != '/') ? "/" : "";
  unique &= 0xFFFF;
  int n = unique != 0
              ? std::snprintf(name, sizeof name, "%s%s%.3s%X.tmp", folder, slash, prefix, unique)
              : std::snprintf(name, sizeof name, "%s%s%.3sXXXXXX.tmp", folder, slash, prefix);
  if (n < 0 || n >= MAX_PATH) return Failed(0u, ENAMETOOLONG);
  if (unique == 0) {
    int fd = mkstemps(name, 4);
    if (fd < 0) return Failed(0u);
    close(fd);
  }
  std::memcpy(tempPath, name, static_cast<size_t>(n) + 1);
  Succeeded();
  return unique != 0 ? unique : 1;
}

BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  if (from == nullptr || to == nullptr) return Failed(FALSE, EINVAL);
  if (!(flags & MOVEFILE_REPLACE_EXISTING) && access(to, F_OK) == 0) return Failed(FALSE, EEXIST);
  return rename(from, to) == 0 ? Succeeded() : Failed(FALSE);
}

BOOL DeleteFileA(LPCSTR path) {
  if (path == nullptr) return Failed(FALSE, EINVAL);
  return unlink(path) == 0 ? Succeeded() : Failed(FALSE);
}
