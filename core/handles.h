// Move-only owners for what the core opens and allocates, so that every early
// return releases it.
#pragma once

#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/platform.h"

struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};

// A block from the C heap, released with free.
template <typename T>
using HeapPtr = std::unique_ptr<T, FreeDeleter>;

class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() { Close(); }
  FileHandle(FileHandle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE Get() const { return handle_; }

  // Closes now; false when the platform reports that the close failed (the
  // last buffered bytes may not have reached the disk).
  bool Close() {
    if (!IsValid()) return true;
    BOOL closed = CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
    return closed != FALSE;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};
