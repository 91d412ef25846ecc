// Gathers small writes into one larger transfer, so that a file of many
// directory entries and image blocks costs a few writes, not one per field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "file_io.h"

class BufferedWriter {
 public:
  explicit BufferedWriter(HANDLE file, std::size_t capacity = 64 * 1024)
      : file_(file), capacity_(capacity) {
    buffer_.reserve(capacity_);
  }

  // The capacity that takes a file of `fileBytes` in one transfer where it
  // is not very large (extracting writes hundreds of them), else 16 MiB.
  static std::size_t WholeFileCapacity(std::uint64_t fileBytes) {
    constexpr std::uint64_t kWholeFileBytes = 16 * 1024 * 1024;
    return static_cast<std::size_t>(fileBytes < kWholeFileBytes ? fileBytes : kWholeFileBytes);
  }

  // False once any transfer has failed; the bytes may then be anywhere
  // between the buffer and the file.
  bool Write(const void* bytes, std::size_t count) {
    if (!ok_) return false;
    const auto* from = static_cast<const std::uint8_t*>(bytes);
    if (count >= capacity_) {
      return Flush() && (ok_ = WriteExactly(file_, from, static_cast<DWORD>(count)));
    }
    if (count > capacity_ - buffer_.size() && !Flush()) return false;
    buffer_.insert(buffer_.end(), from, from + count);
    return true;
  }

  bool Flush() {
    if (ok_ && !buffer_.empty()) {
      ok_ = WriteExactly(file_, buffer_.data(), static_cast<DWORD>(buffer_.size()));
    }
    buffer_.clear();
    return ok_;
  }

 private:
  HANDLE file_;
  std::size_t capacity_;
  std::vector<std::uint8_t> buffer_;
  bool ok_ = true;
};
