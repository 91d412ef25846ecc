// Small icon images, icon files and bitmap files built byte by byte.
#pragma once

#include <cstdint>
#include <vector>

#include "temp_dir.h"

void PutU16(Bytes& bytes, std::size_t at, std::uint32_t value);
void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value);
std::uint32_t GetU16(const Bytes& bytes, std::size_t at);
std::uint32_t GetU32(const Bytes& bytes, std::size_t at);
void AppendU16(Bytes& bytes, std::uint32_t value);
void AppendU32(Bytes& bytes, std::uint32_t value);
void Append(Bytes& bytes, const Bytes& more);

struct HeaderFields {
  std::int32_t width = 32;
  std::int32_t height = 64;  // stored rows: twice the picture for an icon
  std::uint16_t planes = 1;
  std::uint16_t bitCount = 4;
  std::uint32_t sizeImage = 0;
  std::uint32_t clrUsed = 0;
  std::uint32_t size = 40;
};

// A 40-byte BITMAPINFOHEADER.
Bytes InfoHeader(const HeaderFields& fields);

// A complete icon image: header, table, XOR and AND rows, every byte after
// the header a running pattern so that copies can be told apart.
Bytes IconImageBlock(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                     std::uint32_t clrUsed = 0, std::uint8_t seed = 1);


// An icon file of the blocks, each placed behind the directory in order and
// described in its entry as its header describes it.
Bytes IconFile(const std::vector<Bytes>& blocks);

// A bitmap file: file header, info header, table and rows as given.
Bytes BitmapFile(const HeaderFields& fields, const Bytes& tableAndRows, std::uint32_t offBits);

// A 2 x 3 RGBA PNG, made with the Python imaging library:
//   Image.new("RGBA", (2, 3), (10, 20, 30, 255)) with pixel (0, 0) set to
//   (200, 100, 50, 128), saved with optimize=False.
extern const Bytes kSmallPng;

Bytes Concat2(const Bytes& a, const Bytes& b);
