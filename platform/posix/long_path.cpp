#include "long_path.h"

#include <limits.h>
#include <unistd.h>

#include <cstring>
#include <string>

bool DescriptorTraits::Close(int fd) {
  const int error = errno;
  const bool closed = close(fd) == 0;
  errno = error;
  return closed;
}

bool PathAt::Reach(const char* path) {
  folder_.Reset();
  name_ = path;
  const std::size_t length = std::strlen(path);
  if (length < PATH_MAX) return true;
  // The last name, behind the slashes that may end a folder's path.
  std::size_t end = length;
  while (end > 0 && path[end - 1] == '/') --end;
  std::size_t start = end;
  while (start > 0 && path[start - 1] != '/') --start;
  name_ = path + start;
  // The folders before it, as many whole names at once as one call takes.
  for (std::size_t at = 0; at < start;) {
    std::size_t cut = start;
    if (cut - at >= PATH_MAX) {
      cut = at + PATH_MAX - 1;
      while (cut > at && path[cut - 1] != '/') --cut;
      if (cut == at) {
        errno = ENAMETOOLONG;
        return false;
      }
    }
    const std::string piece(path + at, cut - at);
    Descriptor next(openat(Folder(), piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!next) return false;
    folder_ = std::move(next);
    at = cut;
  }
  return true;
}

namespace long_path {

int Open(const char* path, int flags, mode_t mode) {
  PathAt at;
  return at.Reach(path) ? openat(at.Folder(), at.Name(), flags, mode) : -1;
}

int Stat(const char* path, struct stat* info, int flags) {
  PathAt at;
  return at.Reach(path) ? fstatat(at.Folder(), at.Name(), info, flags) : -1;
}

int Access(const char* path, int mode) {
  PathAt at;
  return at.Reach(path) ? faccessat(at.Folder(), at.Name(), mode, 0) : -1;
}

int Unlink(const char* path) {
  PathAt at;
  return at.Reach(path) ? unlinkat(at.Folder(), at.Name(), 0) : -1;
}

int MakeFolder(const char* path, mode_t mode) {
  PathAt at;
  return at.Reach(path) ? mkdirat(at.Folder(), at.Name(), mode) : -1;
}

int Rename(const char* from, const char* to) {
  PathAt fromAt, toAt;
  return fromAt.Reach(from) && toAt.Reach(to) ? renameat(fromAt.Folder(), fromAt.Name(), toAt.Folder(), toAt.Name())
                                              : -1;
}

int Link(int folder, const char* from, const char* to, int flags) {
  PathAt at;
  return at.Reach(to) ? linkat(folder, from, at.Folder(), at.Name(), flags) : -1;
}

}  // namespace long_path
