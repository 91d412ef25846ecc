// Which image of an icon directory best fits a display: the rules of
// LookupIconIdFromDirectoryEx. Plain C++ with no platform calls, so that a
// Windows test can compare the choice with user32's.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/icon_directory.h"

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

// The size an entry stands for: both bytes 0 stand for 256 x 256.
IconEntrySize EntrySize(const icon_directory::Entry& entry);

// Reads the sizes of the entries of a group-icon resource (type 14) held in
// `length` bytes: as many as the header counts and the bytes hold. Returns
// the number read, at most `capacity`; 0 when the header is not that of an
// icon directory (reserved 0, type 1).
std::size_t ReadGroupIconSizes(const std::uint8_t* group, std::size_t length,
                               IconEntrySize* sizes, std::size_t capacity);

// The icon resource identifier of the entry of a group-icon resource held in
// `length` bytes that best fits the size and depth; 0 when there is none.
std::uint16_t BestGroupIconId(const std::uint8_t* group, std::size_t length, std::int32_t width,
                              std::int32_t height, std::int32_t depth);
