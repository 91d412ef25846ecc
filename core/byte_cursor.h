// A read position over (pointer, length) that cannot walk past the end: every
// read checks `n <= length - offset` first and leaves the cursor where it was
// when the bytes are not there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class ByteCursor {
 public:
  ByteCursor(const void* data, std::size_t length)
      : data_(static_cast<const std::uint8_t*>(data)), length_(length) {}

  std::size_t Offset() const { return offset_; }
  std::size_t Remaining() const { return length_ - offset_; }

  bool Seek(std::size_t offset) {
    if (offset > length_) return false;
    offset_ = offset;
    return true;
  }

  bool Skip(std::size_t n) {
    if (n > length_ - offset_) return false;
    offset_ += n;
    return true;
  }

  bool ReadBytes(void* out, std::size_t n) {
    if (n > length_ - offset_) return false;
    if (n != 0) std::memcpy(out, data_ + offset_, n);
    offset_ += n;
    return true;
  }

  bool ReadU8(std::uint8_t* out) { return ReadBytes(out, 1); }

  bool ReadU16(std::uint16_t* out) {
    std::uint8_t b[2];
    if (!ReadBytes(b, sizeof b)) return false;
    *out = static_cast<std::uint16_t>(b[0] | b[1] << 8);
    return true;
  }

  bool ReadU32(std::uint32_t* out) {
    std::uint8_t b[4];
    if (!ReadBytes(b, sizeof b)) return false;
    *out = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    return true;
  }

  bool ReadI32(std::int32_t* out) {
    std::uint32_t value;
    if (!ReadU32(&value)) return false;
    *out = static_cast<std::int32_t>(value);
    return true;
  }

  // PNG stores its numbers most significant byte first.
  bool ReadBigEndianU32(std::uint32_t* out) {
    std::uint8_t b[4];
    if (!ReadBytes(b, sizeof b)) return false;
    *out = static_cast<std::uint32_t>(b[0]) << 24 | static_cast<std::uint32_t>(b[1]) << 16 |
           static_cast<std::uint32_t>(b[2]) << 8 | static_cast<std::uint32_t>(b[3]);
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t length_;
  std::size_t offset_ = 0;
};
