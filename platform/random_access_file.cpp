#include "random_access_file.h"

#include <cstring>

bool RandomAccessFile::OpenBytes(ByteView bytes) {
  Close();
  memory_ = bytes;
  length_ = bytes.Length();
  return true;
}

bool RandomAccessFile::Read(std::uint64_t offset, void* buffer, std::size_t count) {
  if (count > length_ || offset > length_ - count) return false;
  if (memory_.Data() == nullptr) return ReadFromFile(offset, buffer, count);
  if (count != 0) std::memcpy(buffer, memory_.Data() + offset, count);
  return true;
}
