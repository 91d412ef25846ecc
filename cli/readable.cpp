#include "readable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "command_texts.h"

bool CheckReadable(const std::string& path) {
  // Without O_NONBLOCK, opening a named pipe would wait for a writer.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  int error = fd < 0 ? errno : 0;
  struct stat info;
  if (fd >= 0 && fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) error = EISDIR;
  if (fd >= 0) close(fd);
  if (error == 0) return true;
  Say(Text::kCannotRead, path.c_str(), std::strerror(error));
  return false;
}
