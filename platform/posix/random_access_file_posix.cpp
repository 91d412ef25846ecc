// Module files of the native build, over POSIX descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "long_path.h"
#include "platform/random_access_file.h"

bool RandomAccessFile::Open(const char* path) {
  Close();
  if (path == nullptr) return false;
  // Without O_NONBLOCK, opening a named pipe would wait for a writer.
  int fd = long_path::Open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info;
  // Of any size: what is read of it is bounded where it is read (the NE
  // reader's headers and table, the PE reader's headers and directory), so
  // that a program with gigabytes of data appended (an installer) is read as
  // any other.
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    close(fd);
    return false;
  }
  file_ = fd;
  length_ = static_cast<std::uint64_t>(info.st_size);
  return true;
}

void RandomAccessFile::Close() {
  if (file_ >= 0) close(static_cast<int>(file_));
  file_ = -1;
  length_ = 0;
  memory_ = ByteView();
}

bool RandomAccessFile::ReadFromFile(std::uint64_t offset, void* buffer, std::size_t count) {
  if (file_ < 0) return false;
  std::size_t done = 0;
  while (done < count) {
    ssize_t n = pread(static_cast<int>(file_), static_cast<char*>(buffer) + done, count - done,
                      static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    // A file cut short since it was opened reads as a failure.
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}
