#include "readable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "command_texts.h"

bool CheckReadable(const std::string& path) {
  // Two look-ups of the name, where opening the file would cost several
  // times as much for each of a batch's hundreds of files.
  struct stat info;
  int error = 0;
  if (stat(path.c_str(), &info) != 0 || faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) != 0) {
    error = errno;
  } else if (S_ISDIR(info.st_mode)) {
    error = EISDIR;
  }
  if (error == 0) return true;
  Say(Text::kCannotRead, path.c_str(), std::strerror(error));
  return false;
}
