#include "readable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "command_texts.h"
#include "platform/posix/long_path.h"

bool TellFileKind(const std::string& path, FileStart* start) {
  // Without O_NONBLOCK, opening a named pipe would wait for a writer.
  Descriptor file(long_path::Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat info;
  int error = 0;
  if (!file || fstat(file.Get(), &info) != 0) {
    error = errno;
  } else if (S_ISDIR(info.st_mode)) {
    error = EISDIR;
  }
  if (error != 0) {
    Say(Text::kCannotRead, path.c_str(), std::strerror(error));
    return false;
  }
  // A named pipe or a device: its readers would refuse it later, with a
  // reason (a denied permission) that is none of its.
  if (!S_ISREG(info.st_mode)) {
    Say(Text::kNotRegular, path.c_str());
    return false;
  }
  std::uint8_t bytes[file_kind::kTellingBytes];
  ssize_t got = pread(file.Get(), bytes, sizeof bytes, 0);
  if (got < 0) {
    Say(Text::kCannotRead, path.c_str(), std::strerror(errno));
    return false;
  }
  start->length = static_cast<std::uint64_t>(info.st_size);
  start->kind = file_kind::KindOf(ByteView(bytes, static_cast<std::size_t>(got)));
  // Two bytes tell a module or a bitmap, four an icon or a cursor.
  start->tooShort = start->kind == file_kind::Kind::kUnknown && got < 4;
  return true;
}
