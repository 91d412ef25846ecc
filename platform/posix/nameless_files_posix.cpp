// Nameless temporary files. A temporary file (FILE_ATTRIBUTE_TEMPORARY,
// CREATE_NEW) is made without a name (O_TMPFILE) and given the one it was
// created under only when it is moved or replaces another file; until then it
// lives in this process alone, under that name for the file calls, so that a
// process that dies, however, leaves nothing behind. Where the file system
// makes no nameless files, it is an ordinary file of that name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "file_calls_posix.h"
#include "long_path.h"

namespace {

std::mutex namelessMutex;
std::vector<NamelessFile> namelessFiles;

std::string FolderOf(const char* path) {
  const char* slash = std::strrchr(path, '/');
  if (slash == nullptr) return ".";
  if (slash == path) return "/";
  return std::string(path, static_cast<std::size_t>(slash - path));
}

// A nameless file in the folder of `path`, or where the file system makes
// none, a file of that name (`hasName`); -1 with errno set.
int OpenNameless(const char* path, bool* hasName) {
  *hasName = false;
  int fd = long_path::Open(FolderOf(path).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    fd = long_path::Open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    *hasName = fd >= 0;
  }
  return fd;
}

}  // namespace

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

bool LinkNameless(int fd, const char* to) {
  if (long_path::Link(fd, "", to, AT_EMPTY_PATH) == 0) return true;
  // Without the right to link by descriptor, through its /proc entry.
  if (errno != ENOENT && errno != EPERM) return false;
  return long_path::Link(AT_FDCWD, DescriptorPath(fd).c_str(), to, AT_SYMLINK_FOLLOW) == 0;
}

int CreateNameless(const char* path, bool keepName) {
  struct stat existing;
  if (IsNameless(path) || long_path::Stat(path, &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    return Failing(ERROR_FILE_EXISTS, -1);
  }
  bool hasName = false;
  int fd = OpenNameless(path, &hasName);
  if (fd < 0) return FailingErrno(-1);
  if (!keepName) {
    if (hasName) long_path::Unlink(path);
    return fd;
  }
  // This process's own hold, which keeps the file while its handles come and go.
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
