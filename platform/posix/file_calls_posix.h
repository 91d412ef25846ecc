// What the posix file calls share among their files (files_posix.cpp opens,
// reads and writes; nameless_files_posix.cpp keeps the nameless temporary
// files; file_moves_posix.cpp moves, replaces and deletes; file_errors_posix.cpp
// keeps the last error). Not for the core: it sees win32_api.h alone.
#pragma once

#include <cerrno>
#include <string>

#include "win32_api.h"

// --- The last error (file_errors_posix.cpp) ---

// Sets the last error from an errno value, keeping that value for the
// system's own words (LastErrorText).
void SetLastErrorFromErrno(int error);

// Sets the last error and returns the call's failure value.
template <typename T>
T Failing(DWORD error, T result) {
  SetLastError(error);
  return result;
}

// The same from errno.
template <typename T = BOOL>
T FailingErrno(T result = FALSE) {
  SetLastErrorFromErrno(errno);
  return result;
}

// --- Handles (files_posix.cpp) ---

// A HANDLE of the native build's file calls.
struct PosixFile {
  int fd;
  bool holdsSignals;  // an in-place rewrite: the ending signals wait until it is closed
};

// Null for no handle or INVALID_HANDLE_VALUE.
PosixFile* FileOf(HANDLE handle);

// The /proc entry of a descriptor: a path to the file it holds, named or not.
std::string DescriptorPath(int fd);

// --- The ending signals (file_moves_posix.cpp) ---

// SIGINT, SIGTERM, SIGHUP and SIGQUIT wait while any hold is taken (in the
// program's one thread), and are delivered when the last one is released.
void HoldTerminationSignals();
void ReleaseTerminationSignals();

class HeldSignals {
 public:
  HeldSignals() { HoldTerminationSignals(); }
  ~HeldSignals() { ReleaseTerminationSignals(); }
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;
};

// --- Nameless temporary files (nameless_files_posix.cpp) ---

// A file made by CreateFileA with FILE_ATTRIBUTE_TEMPORARY and CREATE_NEW,
// known by the path it was created under.
struct NamelessFile {
  std::string path;
  int fd = -1;           // this process's hold of it, which keeps it alive
  bool hasName = false;  // made with a name, where the file system makes no nameless files
};

// The nameless file known as `path`; false when there is none.
bool FindNameless(const char* path, NamelessFile* found);
bool IsNameless(const char* path);
// Closes this process's hold of the file; with `remove` a name it has goes too.
void ForgetNameless(const char* path, bool remove);
// Gives the nameless file open as `fd` the name `to`; fails when `to` exists.
bool LinkNameless(int fd, const char* to);
// Creates a nameless file in the folder of `path` and answers its
// descriptor (-1 with the last error set). With `keepName` it is listed
// under `path` for the calls here; without, it is gone when closed.
int CreateNameless(const char* path, bool keepName);
