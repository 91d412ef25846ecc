// Moving, replacing and deleting files, nameless temporary ones among them:
// the last steps of a safe save, taken with the ending signals held.
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "file_calls_posix.h"
#include "long_path.h"

namespace {

// The signals that end a program from outside (a kill, Ctrl-C, a closed
// terminal) wait while a file is rewritten in place or a finished file is
// given its name, so that neither is left half done.
std::mutex signalsMutex;
int signalsHolds = 0;
sigset_t signalsBefore;

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

// Copies the extended attributes (access lists among them) of the file
// `like` names to the file open as `fd`; true where there are none to copy.
bool TakeExtendedAttributes(int fd, const char* like) {
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

// Gives the file open as `fd` the owner, group, permissions and extended
// attributes of the file `likeFd` holds (by O_PATH: its attributes are read
// through its /proc entry, of any path's length); false when one can't be
// given, as another user's ownership can't.
bool TakeIdentity(int fd, int likeFd) {
  struct stat info, own;
  if (fstat(likeFd, &info) != 0 || fstat(fd, &own) != 0) return false;
  // Ownership first: changing it clears the set-user and set-group bits.
  if ((own.st_uid != info.st_uid || own.st_gid != info.st_gid) && fchown(fd, info.st_uid, info.st_gid) != 0) {
    return false;
  }
  if (fchmod(fd, info.st_mode & 07777) != 0) return false;
  return TakeExtendedAttributes(fd, DescriptorPath(likeFd).c_str());
}

}  // namespace

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
