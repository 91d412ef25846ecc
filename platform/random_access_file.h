// A file read at the offsets asked for, as our own module readers read one
// (16-bit NE modules, which the system can't load as data files, and in the
// native build PE modules too): a regular file of any size, opened for
// reading while others may read it too; or bytes already in memory, read
// the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "formats/byte_cursor.h"
#include "handles.h"

class RandomAccessFile {
 public:
  RandomAccessFile() = default;
  ~RandomAccessFile() { Close(); }
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;
  RandomAccessFile(RandomAccessFile&& other) noexcept { *this = std::move(other); }
  RandomAccessFile& operator=(RandomAccessFile&& other) noexcept {
    if (this != &other) {
      Close();
      std::swap(file_, other.file_);
      std::swap(length_, other.length_);
      std::swap(memory_, other.memory_);
    }
    return *this;
  }

  // False when the file can't be opened or is no regular file (a folder, a
  // pipe, a device).
  bool Open(const char* path);
  // Borrows bytes that stay valid while this object reads them.
  bool OpenBytes(ByteView bytes);
  void Close();

  std::uint64_t Length() const { return length_; }

  // `count` bytes from `offset`; false when they are not all in the file or
  // reading fails.
  bool Read(std::uint64_t offset, void* buffer, std::size_t count);

 private:
  // Read of an open file, within its length.
  bool ReadFromFile(std::uint64_t offset, void* buffer, std::size_t count);

  // The platform's file: a descriptor, or a handle's value; -1 for none.
  std::intptr_t file_ = -1;
  std::uint64_t length_ = 0;
  // The bytes, when they are in memory; then there is no file.
  ByteView memory_;
};

// The PE module whose file `file` has open, at `path`, loaded as a data file
// (as LoadLibraryExA with LOAD_LIBRARY_AS_DATAFILE loads it): the native
// build reads it from the open file (or bytes), Windows loads it by its path.
// Null when it is no module the platform loads.
HMODULE LoadDataModule(RandomAccessFile file, const char* path);

// Where bytes of a module loaded as a data file (a resource's, or a part of
// one) lie in its file; false when they are none of its.
bool ModuleFileOffset(HMODULE module, const void* bytes, std::uint64_t* offset);
