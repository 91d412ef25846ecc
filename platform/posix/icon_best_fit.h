// Which image of an icon directory best fits a display: the rules of
// LookupIconIdFromDirectoryEx. Plain C++ with no platform calls, so that a
// Windows test can compare the choice with user32's.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes of a group-icon resource before its entries, and of each entry.
constexpr std::size_t kGroupIconHeaderBytes = 6;
constexpr std::size_t kGroupIconEntryBytes = 14;

struct IconEntrySize {
  std::int32_t width;   // a byte of 0 stands for 256
  std::int32_t height;
  std::int32_t bitCount;
};

// The index of the entry nearest in size (the least sum of the width and
// height differences, the first of equals), and among entries of exactly
// that difference the one nearest in depth (again the first of equals); -1
// when there is no entry.
int BestIconEntry(const IconEntrySize* entries, std::size_t count, std::int32_t width,
                  std::int32_t height, std::int32_t depth);

// Reads the sizes of the entries of a group-icon resource (type 14) held in
// `length` bytes: as many as the header counts and the bytes hold. Returns
// the number read, at most `capacity`; 0 when the header is not that of an
// icon directory (reserved 0, type 1).
std::size_t ReadGroupIconSizes(const std::uint8_t* group, std::size_t length,
                               IconEntrySize* sizes, std::size_t capacity);

// The icon resource identifier of entry `index` of a group-icon resource;
// the caller has checked that the entry lies inside the bytes.
std::uint16_t GroupIconEntryId(const std::uint8_t* group, std::size_t index);
