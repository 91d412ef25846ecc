// Little-endian reads at given offsets of (pointer, length) that never leave
// it: every read checks `n <= length && offset <= length - n` first and reports
// failure instead of reading.
#pragma once

#include <cstddef>
#include <cstdint>

class PeBytes {
 public:
  PeBytes() = default;
  PeBytes(const std::uint8_t* data, std::size_t length) : data_(data), length_(length) {}

  const std::uint8_t* Data() const { return data_; }
  std::size_t Length() const { return length_; }

  // True when the n bytes at offset are all inside, offsets given in 64 bits
  // so that callers need not add 32-bit values first.
  bool Holds(std::uint64_t offset, std::uint64_t n) const {
    return n <= length_ && offset <= length_ - n;
  }

  bool U16(std::uint64_t offset, std::uint16_t* out) const {
    if (!Holds(offset, 2)) return false;
    const std::uint8_t* p = data_ + offset;
    *out = static_cast<std::uint16_t>(p[0] | p[1] << 8);
    return true;
  }

  bool U32(std::uint64_t offset, std::uint32_t* out) const {
    if (!Holds(offset, 4)) return false;
    const std::uint8_t* p = data_ + offset;
    *out = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    return true;
  }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t length_ = 0;
};
