// Paths of any length for the native build. Linux refuses a path of PATH_MAX
// bytes or more in any one call, however deep folders a user makes; such a
// path is reached a piece at a time, each folder on the way opened from the
// one before, and its last name then given to the *at call with the folder
// it is in. A shorter path goes to the kernel whole, as it is.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>

#include "platform/handles.h"

// A descriptor: closing it keeps errno for the message that follows.
struct DescriptorTraits {
  using Value = int;
  static int None() { return -1; }
  static bool IsValid(int fd) { return fd >= 0; }
  static bool Close(int fd);
};
using Descriptor = UniqueHandle<DescriptorTraits>;

// The folder a path's last name is in (AT_FDCWD for a path short enough for
// one call), and that name, a part of the path given, which must outlive it.
class PathAt {
 public:
  // False, with errno set, when a folder on the way can't be opened.
  bool Reach(const char* path);
  int Folder() const { return folder_.IsValid() ? folder_.Get() : AT_FDCWD; }
  const char* Name() const { return name_; }

 private:
  Descriptor folder_;
  const char* name_ = nullptr;
};

// The calls of <fcntl.h>, <unistd.h> and <sys/stat.h> for a path of any
// length: what the plain call returns, with errno set on a failure.
namespace long_path {
int Open(const char* path, int flags, mode_t mode = 0);
// `flags` as fstatat's: AT_SYMLINK_NOFOLLOW for lstat.
int Stat(const char* path, struct stat* info, int flags);
int Access(const char* path, int mode);
int Unlink(const char* path);
int MakeFolder(const char* path, mode_t mode);
int Rename(const char* from, const char* to);
// linkat to `to` of what `folder` and `from` name, with linkat's flags.
int Link(int folder, const char* from, const char* to, int flags);
}  // namespace long_path
