// Reads of outside data that cannot leave it. ByteView reads at given offsets
// of (pointer, length); ByteCursor reads one field after another. Every read
// checks `n <= length && offset <= length - n` first and reports failure
// instead of reading; a failed cursor read leaves the cursor where it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "little_endian.h"

class ByteView {
 public:
  ByteView() = default;
  ByteView(const void* data, std::size_t length)
      : data_(static_cast<const std::uint8_t*>(data)), length_(length) {}

  const std::uint8_t* Data() const { return data_; }
  std::size_t Length() const { return length_; }

  // Offsets are taken in 64 bits so that callers need not add 32-bit values
  // from a file first.
  bool Holds(std::uint64_t offset, std::uint64_t n) const {
    return n <= length_ && offset <= length_ - n;
  }

  // The n bytes at offset as a view of their own; an empty view when they
  // are not all inside.
  ByteView Sub(std::uint64_t offset, std::uint64_t n) const {
    if (!Holds(offset, n)) return ByteView();
    return ByteView(data_ + offset, static_cast<std::size_t>(n));
  }

  bool U8(std::uint64_t offset, std::uint8_t* out) const {
    if (!Holds(offset, 1)) return false;
    *out = data_[offset];
    return true;
  }

  bool U16(std::uint64_t offset, std::uint16_t* out) const {
    if (!Holds(offset, 2)) return false;
    *out = LoadU16(data_ + offset);
    return true;
  }

  bool U32(std::uint64_t offset, std::uint32_t* out) const {
    if (!Holds(offset, 4)) return false;
    *out = LoadU32(data_ + offset);
    return true;
  }

  bool BigEndianU32(std::uint64_t offset, std::uint32_t* out) const {
    if (!Holds(offset, 4)) return false;
    *out = LoadBigEndianU32(data_ + offset);
    return true;
  }

  // True when the bytes at offset are exactly `expected`.
  bool Matches(std::uint64_t offset, const void* expected, std::size_t n) const {
    return Holds(offset, n) && std::memcmp(data_ + offset, expected, n) == 0;
  }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t length_ = 0;
};

class ByteCursor {
 public:
  ByteCursor(const void* data, std::size_t length) : view_(data, length) {}
  explicit ByteCursor(ByteView view) : view_(view) {}

  std::size_t Offset() const { return offset_; }
  std::size_t Remaining() const { return view_.Length() - offset_; }

  bool Seek(std::size_t offset) {
    if (offset > view_.Length()) return false;
    offset_ = offset;
    return true;
  }

  bool Skip(std::size_t n) {
    if (n > Remaining()) return false;
    offset_ += n;
    return true;
  }

  bool ReadBytes(void* out, std::size_t n) {
    if (n > Remaining()) return false;
    if (n != 0) std::memcpy(out, view_.Data() + offset_, n);
    offset_ += n;
    return true;
  }

  bool ReadU8(std::uint8_t* out) { return Advance(view_.U8(offset_, out), 1); }
  bool ReadU16(std::uint16_t* out) { return Advance(view_.U16(offset_, out), 2); }
  bool ReadU32(std::uint32_t* out) { return Advance(view_.U32(offset_, out), 4); }
  bool ReadBigEndianU32(std::uint32_t* out) { return Advance(view_.BigEndianU32(offset_, out), 4); }

  bool ReadI32(std::int32_t* out) {
    std::uint32_t value;
    if (!ReadU32(&value)) return false;
    *out = static_cast<std::int32_t>(value);
    return true;
  }

 private:
  bool Advance(bool read, std::size_t n) {
    if (read) offset_ += n;
    return read;
  }

  ByteView view_;
  std::size_t offset_ = 0;
};
