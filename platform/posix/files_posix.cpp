// Win32 file operations over POSIX descriptors.
#include "win32_api.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "long_path.h"

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

// Sets the last error and returns the call's failure value.
template <typename T>
T Failing(DWORD error, T result) {
  lastError = error;
  lastErrno = ErrnoFromError(error);
  return result;
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

template <typename T = BOOL>
T FailingErrno(T result = FALSE) {
  const int error = errno;
  Failing(ErrorFromErrno(error), result);
  lastErrno = error;
  return result;
}

struct PosixFile {
  int fd;
  bool holdsSignals;
};

PosixFile* FileOf(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
  return static_cast<PosixFile*>(handle);
}

// The signals that end a program from outside (a kill, Ctrl-C, a closed
// terminal) wait while a file is rewritten in place or a finished file is
// given its name, so that neither is left half done: held while any such step
// runs (in the program's one thread), delivered when the last one ends.
std::mutex signalsMutex;
int signalsHolds = 0;
sigset_t signalsBefore;

void HoldTerminationSignals() {
  std::lock_guard<std::mutex> lock(signalsMutex);
  if (signalsHolds++ > 0) return;
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&signals, signal);
  pthread_sigmask(SIG_BLOCK, &signals, &signalsBefore);
}

void ReleaseTerminationSignals() {
  std::lock_guard<std::mutex> lock(signalsMutex);
  if (--signalsHolds == 0) pthread_sigmask(SIG_SETMASK, &signalsBefore, nullptr);
}

class HeldSignals {
 public:
  HeldSignals() { HoldTerminationSignals(); }
  ~HeldSignals() { ReleaseTerminationSignals(); }
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;
};

// A temporary file (FILE_ATTRIBUTE_TEMPORARY, CREATE_NEW) is made without a
// name (O_TMPFILE) and given the one it was created under only when it is
// moved or replaces another file; until then it lives in this process alone,
// under that name for the calls below, so that a process that dies, however,
// leaves nothing behind. Where the file system makes no nameless files, it is
// an ordinary file of that name.
struct NamelessFile {
  std::string path;
  int fd = -1;
  bool hasName = false;
};

std::mutex namelessMutex;
std::vector<NamelessFile> namelessFiles;

// The nameless file known as `path`; false when there is none.
bool FindNameless(const char* path, NamelessFile* found) {
  std::lock_guard<std::mutex> lock(namelessMutex);
  for (const NamelessFile& file : namelessFiles) {
    if (file.path != path) continue;
    *found = file;
    return true;
  }
  return false;
}

bool IsNameless(const char* path) {
  NamelessFile found;
  return FindNameless(path, &found);
}

// Closes this process's hold of the file; with `remove` its name goes too.
void ForgetNameless(const char* path, bool remove) {
  std::lock_guard<std::mutex> lock(namelessMutex);
  for (auto it = namelessFiles.begin(); it != namelessFiles.end(); ++it) {
    if (it->path != path) continue;
    if (remove && it->hasName) long_path::Unlink(it->path.c_str());
    close(it->fd);
    namelessFiles.erase(it);
    return;
  }
}

std::string FolderOf(const char* path) {
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return ".";
  if (slash == path) return "/";
  return std::string(path, static_cast<std::size_t>(slash - path));
}

std::string DescriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Gives the nameless file open as `fd` the name `to`; fails when `to` exists.
bool LinkNameless(int fd, const char* to) {
  if (long_path::Link(fd, "", to, AT_EMPTY_PATH) == 0) return true;
  // Without the right to link by descriptor, through its /proc entry.
  if (errno != ENOENT && errno != EPERM) return false;
  return long_path::Link(AT_FDCWD, DescriptorPath(fd).c_str(), to, AT_SYMLINK_FOLLOW) == 0;
}

// Creates a nameless file in the folder of `path`. With `keepName` it is
// listed under `path` for the calls below; without, it is gone when closed.
int CreateNameless(const char* path, bool keepName) {
  struct stat existing;
  if (IsNameless(path) || long_path::Stat(path, &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    return Failing(ERROR_FILE_EXISTS, -1);
  }
  bool hasName = false;
  int fd = long_path::Open(FolderOf(path).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    fd = long_path::Open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    hasName = fd >= 0;
    if (hasName && !keepName) {
      long_path::Unlink(path);
      hasName = false;
    }
  }
  if (fd < 0) return FailingErrno(-1);
  if (!keepName) return fd;
  int kept = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (kept < 0) {
    int error = errno;
    if (hasName) long_path::Unlink(path);
    close(fd);
    errno = error;
    return FailingErrno(-1);
  }
  std::lock_guard<std::mutex> lock(namelessMutex);
  namelessFiles.push_back({path, kept, hasName});
  return fd;
}

// Puts the file known as `from` in place of `to` (only where `to` is no file
// unless `replace`). A nameless file that may not replace takes the place in
// one step; else it takes its own name first, then the place, with the
// ending signals held, so that no name of it stays behind.
BOOL MoveInPlace(const char* from, const char* to, bool replace) {
  NamelessFile nameless;
  bool isNameless = FindNameless(from, &nameless);
  if (isNameless && !nameless.hasName && !replace) {
    // Linking fails where `to` exists.
    if (!LinkNameless(nameless.fd, to)) return FailingErrno();
  } else {
    HeldSignals held;
    if (!replace && long_path::Access(to, F_OK) == 0) return Failing(ERROR_ALREADY_EXISTS, FALSE);
    bool linked = isNameless && !nameless.hasName;
    if (linked && !LinkNameless(nameless.fd, from)) return FailingErrno();
    if (long_path::Rename(from, to) != 0) {
      int error = errno;
      if (linked) long_path::Unlink(from);
      errno = error;
      return FailingErrno();
    }
  }
  if (isNameless) ForgetNameless(from, false);
  return TRUE;
}

// Gives the file open as `fd` the owner, group, permissions and extended
// attributes (access lists among them) of the file `likeFd` holds (by
// O_PATH: its attributes are read through its /proc entry, of any path's
// length); false when one can't be given, as another user's ownership can't.
bool TakeIdentity(int fd, int likeFd) {
  struct stat info, own;
  if (fstat(likeFd, &info) != 0 || fstat(fd, &own) != 0) return false;
  const std::string likePath = DescriptorPath(likeFd);
  const char* like = likePath.c_str();
  // Ownership first: changing it clears the set-user and set-group bits.
  if ((own.st_uid != info.st_uid || own.st_gid != info.st_gid) && fchown(fd, info.st_uid, info.st_gid) != 0) {
    return false;
  }
  if (fchmod(fd, info.st_mode & 07777) != 0) return false;
  ssize_t listLength = listxattr(like, nullptr, 0);
  if (listLength < 0) return errno == ENOTSUP;
  std::vector<char> names(static_cast<std::size_t>(listLength) + 1);
  listLength = listxattr(like, names.data(), names.size());
  if (listLength < 0) return false;
  for (ssize_t at = 0; at < listLength; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
    const char* name = &names[at];
    ssize_t valueLength = getxattr(like, name, nullptr, 0);
    if (valueLength < 0) return false;
    std::vector<char> value(static_cast<std::size_t>(valueLength) + 1);
    valueLength = getxattr(like, name, value.data(), value.size());
    if (valueLength < 0 || fsetxattr(fd, name, value.data(), static_cast<std::size_t>(valueLength), 0) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

DWORD GetLastError() { return lastError; }

void SetLastError(DWORD error) {
  lastError = error;
  lastErrno = ErrnoFromError(error);
}

const char* LastErrorText() { return lastError == ERROR_SUCCESS ? nullptr : std::strerror(lastErrno); }

HANDLE CreateFileA(LPCSTR path, DWORD desiredAccess, DWORD shareMode, void*, DWORD disposition,
                   DWORD flagsAndAttributes, HANDLE) {
  if (path == nullptr) return Failing(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  bool writes = (desiredAccess & GENERIC_WRITE) != 0;
  if ((flagsAndAttributes & (FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE)) && disposition == CREATE_NEW) {
    int fd = CreateNameless(path, (flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) == 0);
    if (fd < 0) return INVALID_HANDLE_VALUE;
    lastError = ERROR_SUCCESS;
    return new PosixFile{fd, false};
  }
  // Without O_NONBLOCK, opening a named pipe would wait for the other end.
  int flags = O_CLOEXEC | O_NONBLOCK;
  if ((desiredAccess & GENERIC_READ) && writes) {
    flags |= O_RDWR;
  } else if (writes) {
    flags |= O_WRONLY;
  } else {
    flags |= O_RDONLY;
  }
  switch (disposition) {
    case CREATE_ALWAYS: flags |= O_CREAT; break;  // emptied once the sharing allows
    // Never through a link: O_EXCL refuses one already, O_NOFOLLOW says so.
    case CREATE_NEW: flags |= O_CREAT | O_EXCL | O_NOFOLLOW; break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case OPEN_EXISTING: break;
    default: return Failing(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  }
  bool existed = disposition == OPEN_ALWAYS && long_path::Access(path, F_OK) == 0;
  NamelessFile nameless;
  int fd = disposition == OPEN_EXISTING && FindNameless(path, &nameless)
               ? open(DescriptorPath(nameless.fd).c_str(), flags)
               : long_path::Open(path, flags, 0666);
  if (fd < 0) return FailingErrno(INVALID_HANDLE_VALUE);
  // A file just made, exclusively, is a regular file that no other handle
  // has yet, to lock or share with: nothing to look at. Writers that make
  // hundreds of files (extract) make them so.
  if (disposition == CREATE_NEW && (shareMode & FILE_SHARE_WRITE) != 0) {
    lastError = ERROR_SUCCESS;
    return new PosixFile{fd, false};
  }
  // Only regular files: a folder, a pipe or a device is no file to read or
  // write here.
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return Failing(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
  }
  // Sharing as advisory locks. A writer is kept out by every handle that
  // doesn't share writing, and keeps its lock only when it shares nothing
  // itself; a reader that doesn't share writing keeps writers out, but not
  // other readers.
  bool locked = true;
  if (writes) {
    locked = flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (locked && (shareMode & (FILE_SHARE_READ | FILE_SHARE_WRITE)) != 0) flock(fd, LOCK_UN);
  } else if ((shareMode & FILE_SHARE_WRITE) == 0) {
    locked = flock(fd, LOCK_SH | LOCK_NB) == 0;
  }
  if (!locked) {
    close(fd);
    return Failing(ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
  }
  if (disposition == CREATE_ALWAYS && ftruncate(fd, 0) != 0) {
    int error = errno;
    close(fd);
    errno = error;
    return FailingErrno(INVALID_HANDLE_VALUE);
  }
  // An existing file opened for writing without being emptied is rewritten
  // in place: the ending signals wait until it is closed.
  bool inPlace = writes && (disposition == OPEN_EXISTING || disposition == OPEN_ALWAYS);
  if (inPlace) HoldTerminationSignals();
  lastError = existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
  return new PosixFile{fd, inPlace};
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
  lastError = ERROR_SUCCESS;
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
  lastError = ERROR_SUCCESS;
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

BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  if (from == nullptr || to == nullptr) return Failing(ERROR_INVALID_PARAMETER, FALSE);
  return MoveInPlace(from, to, (flags & MOVEFILE_REPLACE_EXISTING) != 0);
}

BOOL ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD, void*, void*) {
  if (replaced == nullptr || replacement == nullptr || backup != nullptr) {
    return Failing(ERROR_INVALID_PARAMETER, FALSE);
  }
  Descriptor like(long_path::Open(replaced, O_PATH | O_CLOEXEC));
  if (!like) return FailingErrno();
  NamelessFile nameless;
  Descriptor opened(FindNameless(replacement, &nameless) ? -1 : long_path::Open(replacement, O_RDONLY | O_CLOEXEC));
  if (!opened && nameless.path.empty()) return FailingErrno();
  bool taken = TakeIdentity(opened ? opened.Get() : nameless.fd, like.Get());
  opened.Close();
  // Either way both files are as they were.
  if (!taken) return Failing(ERROR_UNABLE_TO_REMOVE_REPLACED, FALSE);
  if (!MoveInPlace(replacement, replaced, true)) return Failing(ERROR_UNABLE_TO_MOVE_REPLACEMENT, FALSE);
  return TRUE;
}

BOOL DeleteFileA(LPCSTR path) {
  if (path == nullptr) return Failing(ERROR_INVALID_PARAMETER, FALSE);
  if (IsNameless(path)) {
    ForgetNameless(path, true);
    return TRUE;
  }
  return long_path::Unlink(path) == 0 ? TRUE : FailingErrno();
}
