// Opening, reading and writing files over POSIX descriptors, and what a
// handle tells of its file.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "file_calls_posix.h"
#include "long_path.h"

namespace {

HANDLE NewHandle(int fd, bool holdsSignals, DWORD lastError = ERROR_SUCCESS) {
  SetLastError(lastError);
  return new PosixFile{fd, holdsSignals};
}

// Closes `fd` and fails the call with the errno value `error`.
HANDLE Abandon(int fd, int error) {
  close(fd);
  SetLastErrorFromErrno(error);
  return INVALID_HANDLE_VALUE;
}

// The open(2) flags of an access and a disposition; false for a disposition
// not taken.
bool OpenFlags(DWORD desiredAccess, DWORD disposition, int* flags) {
  const bool writes = (desiredAccess & GENERIC_WRITE) != 0;
  // Without O_NONBLOCK, opening a named pipe would wait for the other end.
  *flags = O_CLOEXEC | O_NONBLOCK;
  if ((desiredAccess & GENERIC_READ) && writes) {
    *flags |= O_RDWR;
  } else if (writes) {
    *flags |= O_WRONLY;
  } else {
    *flags |= O_RDONLY;
  }
  switch (disposition) {
    case CREATE_ALWAYS: *flags |= O_CREAT; return true;  // emptied once the sharing allows
    // Never through a link: O_EXCL refuses one already, O_NOFOLLOW says so.
    case CREATE_NEW: *flags |= O_CREAT | O_EXCL | O_NOFOLLOW; return true;
    case OPEN_ALWAYS: *flags |= O_CREAT; return true;
    case OPEN_EXISTING: return true;
    default: return false;
  }
}

// Opens the path, or the nameless file known by it; -1 with errno set.
int OpenPath(const char* path, DWORD disposition, int flags) {
  NamelessFile nameless;
  if (disposition == OPEN_EXISTING && FindNameless(path, &nameless)) {
    return open(DescriptorPath(nameless.fd).c_str(), flags);
  }
  return long_path::Open(path, flags, 0666);
}

// Only regular files: a folder, a pipe or a device is no file to read or
// write here. 0, or the errno to fail with: a folder's own, else EACCES,
// Windows' answer to a name that is no file it opens.
int NotRegular(int fd) {
  struct stat info;
  if (fstat(fd, &info) != 0) return errno;
  if (S_ISREG(info.st_mode)) return 0;
  return S_ISDIR(info.st_mode) ? EISDIR : EACCES;
}

// Sharing as advisory locks. A writer is kept out by every handle that
// doesn't share writing, and keeps its lock only when it shares nothing
// itself; a reader that doesn't share writing keeps writers out, but not
// other readers. False when another handle keeps this one out.
bool TakeSharing(int fd, bool writes, DWORD shareMode) {
  if (writes) {
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return false;
    if ((shareMode & (FILE_SHARE_READ | FILE_SHARE_WRITE)) != 0) flock(fd, LOCK_UN);
    return true;
  }
  if ((shareMode & FILE_SHARE_WRITE) == 0) return flock(fd, LOCK_SH | LOCK_NB) == 0;
  return true;
}

// A file made new takes the permissions of the template's file, before any
// content is in it (Windows gives it the template's attributes).
bool TakeTemplateMode(int fd, HANDLE templateFile) {
  PosixFile* like = FileOf(templateFile);
  struct stat info;
  return like == nullptr || (fstat(like->fd, &info) == 0 && fchmod(fd, info.st_mode & 0777) == 0);
}

// A temporary file made new: nameless, see nameless_files_posix.cpp.
HANDLE CreateTemporary(const char* path, DWORD flagsAndAttributes, HANDLE templateFile) {
  const bool keepName = (flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) == 0;
  int fd = CreateNameless(path, keepName);
  if (fd < 0) return INVALID_HANDLE_VALUE;
  if (!TakeTemplateMode(fd, templateFile)) {
    const int error = errno;
    if (keepName) ForgetNameless(path, true);
    return Abandon(fd, error);
  }
  return NewHandle(fd, false);
}

}  // namespace

PosixFile* FileOf(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
  return static_cast<PosixFile*>(handle);
}

std::string DescriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

HANDLE CreateFileA(LPCSTR path, DWORD desiredAccess, DWORD shareMode, void*, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE templateFile) {
  if (path == nullptr) return Failing(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  if ((flagsAndAttributes & (FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE)) && disposition == CREATE_NEW) {
    return CreateTemporary(path, flagsAndAttributes, templateFile);
  }
  int flags = 0;
  if (!OpenFlags(desiredAccess, disposition, &flags)) return Failing(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  const bool existed = disposition == OPEN_ALWAYS && long_path::Access(path, F_OK) == 0;
  const int fd = OpenPath(path, disposition, flags);
  if (fd < 0) return FailingErrno(INVALID_HANDLE_VALUE);
  if (disposition == CREATE_NEW && !TakeTemplateMode(fd, templateFile)) {
    const int error = errno;
    long_path::Unlink(path);
    return Abandon(fd, error);
  }
  // A file just made, exclusively, is a regular file that no other handle
  // has yet, to lock or share with: nothing to look at. Writers that make
  // hundreds of files (extract) make them so.
  if (disposition == CREATE_NEW && (shareMode & FILE_SHARE_WRITE) != 0) return NewHandle(fd, false);
  if (const int error = NotRegular(fd)) return Abandon(fd, error);
  const bool writes = (desiredAccess & GENERIC_WRITE) != 0;
  if (!TakeSharing(fd, writes, shareMode)) return Abandon(fd, EWOULDBLOCK);
  if (disposition == CREATE_ALWAYS && ftruncate(fd, 0) != 0) return Abandon(fd, errno);
  // An existing file opened for writing without being emptied is rewritten
  // in place: the ending signals wait until it is closed.
  const bool inPlace = writes && (disposition == OPEN_EXISTING || disposition == OPEN_ALWAYS);
  if (inPlace) HoldTerminationSignals();
  return NewHandle(fd, inPlace, existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, void*) {
  PosixFile* file = FileOf(handle);
  if (read) *read = 0;
  if (file == nullptr) return Failing(ERROR_INVALID_HANDLE, FALSE);
  DWORD done = 0;
  while (done < toRead) {
    ssize_t n = ::read(file->fd, static_cast<char*>(buffer) + done, toRead - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FailingErrno();
    if (n == 0) break;
    done += static_cast<DWORD>(n);
  }
  if (read) *read = done;
  return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written, void*) {
  PosixFile* file = FileOf(handle);
  if (written) *written = 0;
  if (file == nullptr) return Failing(ERROR_INVALID_HANDLE, FALSE);
  DWORD done = 0;
  while (done < toWrite) {
    ssize_t n = ::write(file->fd, static_cast<const char*>(buffer) + done, toWrite - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (written) *written = done;
      return n < 0 ? FailingErrno() : Failing(ERROR_DISK_FULL, FALSE);
    }
    done += static_cast<DWORD>(n);
  }
  if (written) *written = done;
  return TRUE;
}

DWORD SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD method) {
  PosixFile* file = FileOf(handle);
  if (file == nullptr || method != FILE_BEGIN) return Failing(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
  long long offset = distance;
  if (distanceHigh) {
    offset = (static_cast<long long>(*distanceHigh) << 32) | static_cast<DWORD>(distance);
  }
  if (offset < 0) return Failing(ERROR_NEGATIVE_SEEK, INVALID_SET_FILE_POINTER);
  off_t at = lseek(file->fd, static_cast<off_t>(offset), SEEK_SET);
  if (at < 0) return FailingErrno(INVALID_SET_FILE_POINTER);
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<long long>(at) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(at);
}

BOOL SetEndOfFile(HANDLE handle) {
  PosixFile* file = FileOf(handle);
  if (file == nullptr) return Failing(ERROR_INVALID_HANDLE, FALSE);
  off_t at = lseek(file->fd, 0, SEEK_CUR);
  struct stat info;
  if (at < 0 || fstat(file->fd, &info) != 0) return FailingErrno();
  if (at <= info.st_size) return ftruncate(file->fd, at) == 0 ? TRUE : FailingErrno();
  // Growing takes the disk's room at once, as Windows does, so that a full
  // disk fails here and not in a later write.
  int error = posix_fallocate(file->fd, 0, at);
  if (error == 0) return TRUE;
  errno = error;
  return FailingErrno();
}

BOOL FlushFileBuffers(HANDLE handle) {
  PosixFile* file = FileOf(handle);
  if (file == nullptr) return Failing(ERROR_INVALID_HANDLE, FALSE);
  return fsync(file->fd) == 0 ? TRUE : FailingErrno();
}

DWORD GetFileSize(HANDLE handle, LPDWORD sizeHigh) {
  PosixFile* file = FileOf(handle);
  struct stat info;
  if (file == nullptr || fstat(file->fd, &info) != 0) return Failing(ERROR_INVALID_HANDLE, INVALID_FILE_SIZE);
  unsigned long long size = static_cast<unsigned long long>(info.st_size);
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}

BOOL GetFileInformationByHandle(HANDLE handle, BY_HANDLE_FILE_INFORMATION* information) {
  PosixFile* file = FileOf(handle);
  struct stat info;
  if (file == nullptr || information == nullptr || fstat(file->fd, &info) != 0) {
    return Failing(ERROR_INVALID_HANDLE, FALSE);
  }
  *information = BY_HANDLE_FILE_INFORMATION{};
  information->dwFileAttributes = (info.st_mode & 0222) == 0 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
  information->dwVolumeSerialNumber = static_cast<DWORD>(info.st_dev);
  unsigned long long size = static_cast<unsigned long long>(info.st_size);
  information->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  information->nFileSizeLow = static_cast<DWORD>(size);
  information->nNumberOfLinks = static_cast<DWORD>(info.st_nlink);
  information->nFileIndexHigh = static_cast<DWORD>(static_cast<unsigned long long>(info.st_ino) >> 32);
  information->nFileIndexLow = static_cast<DWORD>(info.st_ino);
  return TRUE;
}

DWORD GetFinalPathNameByHandleA(HANDLE handle, LPSTR path, DWORD size, DWORD) {
  PosixFile* file = FileOf(handle);
  if (file == nullptr) return Failing(ERROR_INVALID_HANDLE, DWORD{0});
  char buffer[PATH_MAX];
  ssize_t length = readlink(DescriptorPath(file->fd).c_str(), buffer, sizeof buffer);
  if (length <= 0 || length >= static_cast<ssize_t>(sizeof buffer) || buffer[0] != '/') {
    return Failing(ERROR_PATH_NOT_FOUND, DWORD{0});
  }
  auto needed = static_cast<DWORD>(length);
  if (path == nullptr || size <= needed) return Failing(ERROR_NOT_ENOUGH_MEMORY, needed + 1);
  std::memcpy(path, buffer, needed);
  path[needed] = '\0';
  return needed;
}

DWORD GetFileAttributesA(LPCSTR path) {
  struct stat info;
  if (path == nullptr) return Failing(ERROR_INVALID_PARAMETER, INVALID_FILE_ATTRIBUTES);
  if (IsNameless(path)) return FILE_ATTRIBUTE_TEMPORARY;
  if (long_path::Stat(path, &info, AT_SYMLINK_NOFOLLOW) != 0) return FailingErrno(INVALID_FILE_ATTRIBUTES);
  if (S_ISLNK(info.st_mode)) return FILE_ATTRIBUTE_REPARSE_POINT;
  if (S_ISDIR(info.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return (info.st_mode & 0222) == 0 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
}

BOOL SetFileAttributesA(LPCSTR path, DWORD) {
  struct stat info;
  if (path == nullptr) return Failing(ERROR_INVALID_PARAMETER, FALSE);
  if (IsNameless(path)) return TRUE;
  return long_path::Stat(path, &info, AT_SYMLINK_NOFOLLOW) == 0 ? TRUE : FailingErrno(FALSE);
}

DWORD GetTempPathA(DWORD size, LPSTR path) {
  const char* folder = std::getenv("TMPDIR");
  std::string text = folder != nullptr && *folder == '/' ? folder : "/tmp";
  if (text.back() != '/') text += '/';
  auto needed = static_cast<DWORD>(text.size());
  if (path == nullptr || size <= needed) return needed + 1;
  std::memcpy(path, text.c_str(), needed + 1);
  return needed;
}

BOOL CloseHandle(HANDLE handle) {
  PosixFile* file = FileOf(handle);
  if (file == nullptr) return Failing(ERROR_INVALID_HANDLE, FALSE);
  int rc = close(file->fd);
  int error = errno;
  if (file->holdsSignals) ReleaseTerminationSignals();
  delete file;
  if (rc != 0) {
    errno = error;
    return FailingErrno();
  }
  return TRUE;
}

