#include "image_bytes.h"

void PutU16(Bytes& bytes, std::size_t at, std::uint32_t value) {
  bytes.at(at) = static_cast<std::uint8_t>(value);
  bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  PutU16(bytes, at, value);
  PutU16(bytes, at + 2, value >> 16);
}

std::uint32_t GetU16(const Bytes& bytes, std::size_t at) {
  return bytes.at(at) | bytes.at(at + 1) << 8;
}

std::uint32_t GetU32(const Bytes& bytes, std::size_t at) {
  return GetU16(bytes, at) | GetU16(bytes, at + 2) << 16;
}

void AppendU16(Bytes& bytes, std::uint32_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendU32(Bytes& bytes, std::uint32_t value) {
  AppendU16(bytes, value);
  AppendU16(bytes, value >> 16);
}

void Append(Bytes& bytes, const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }

Bytes InfoHeader(const HeaderFields& f) {
  Bytes h;
  AppendU32(h, f.size);
  AppendU32(h, static_cast<std::uint32_t>(f.width));
  AppendU32(h, static_cast<std::uint32_t>(f.height));
  AppendU16(h, f.planes);
  AppendU16(h, f.bitCount);
  AppendU32(h, 0);  // biCompression
  AppendU32(h, f.sizeImage);
  AppendU32(h, 0);
  AppendU32(h, 0);
  AppendU32(h, f.clrUsed);
  AppendU32(h, 0);
  return h;
}

Bytes IconImageBlock(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
                     std::uint32_t clrUsed, std::uint8_t seed) {
  HeaderFields fields;
  fields.width = width;
  fields.height = height * 2;
  fields.bitCount = bitCount;
  fields.clrUsed = clrUsed;
  Bytes block = InfoHeader(fields);
  std::size_t colours = clrUsed ? (clrUsed & 0xFFFF) : (bitCount <= 8 ? 1u << bitCount : 0);
  std::size_t table = (4 * colours) & 0xFFFF;
  std::size_t xorStride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
  std::size_t andStride = ((static_cast<std::size_t>(width) + 31) / 32) * 4;
  std::size_t rest = table + (xorStride + andStride) * static_cast<std::size_t>(height);
  for (std::size_t i = 0; i < rest; ++i) block.push_back(static_cast<std::uint8_t>(seed + i * 7));
  return block;
}

Bytes IconFile(const std::vector<Bytes>& blocks) {
  Bytes file;
  AppendU16(file, 0);
  AppendU16(file, 1);
  AppendU16(file, static_cast<std::uint32_t>(blocks.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * blocks.size());
  for (const Bytes& block : blocks) {
    // The entry describes the block as its header does; blocks without a
    // whole header (PNG, or cut short on purpose) get 32 x 32 at 32 bits.
    bool hasHeader = block.size() >= 40 && GetU32(block, 0) == 40;
    std::uint32_t width = hasHeader ? GetU32(block, 4) : 32;
    std::uint32_t height = hasHeader ? GetU32(block, 8) / 2 : 32;
    std::uint32_t bits = hasHeader ? GetU16(block, 14) : 32;
    file.insert(file.end(), {static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(height), 0, 0});
    AppendU16(file, 1);
    AppendU16(file, bits);
    AppendU32(file, static_cast<std::uint32_t>(block.size()));
    AppendU32(file, offset);
    offset += static_cast<std::uint32_t>(block.size());
  }
  for (const Bytes& block : blocks) Append(file, block);
  return file;
}

Bytes BitmapFile(const HeaderFields& fields, const Bytes& tableAndRows, std::uint32_t offBits) {
  Bytes file;
  AppendU16(file, 19778);
  AppendU32(file, static_cast<std::uint32_t>(54 + tableAndRows.size()));
  AppendU16(file, 0);
  AppendU16(file, 0);
  AppendU32(file, offBits);
  Append(file, InfoHeader(fields));
  Append(file, tableAndRows);
  return file;
}

const Bytes kSmallPng = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
    0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x08, 0x06, 0x00, 0x00, 0x00, 0xb9,
    0xea, 0xde, 0x81, 0x00, 0x00, 0x00, 0x1e, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0x38,
    0x91, 0x62, 0xd4, 0xc0, 0x25, 0x22, 0xf7, 0x9f, 0x91, 0x4b, 0x44, 0xee, 0x3f, 0x03, 0x03,
    0x03, 0x03, 0x13, 0x03, 0x14, 0x00, 0x00, 0x57, 0xe6, 0x04, 0x58, 0x61, 0xa2, 0x3b, 0x6a,
    0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

Bytes Concat2(const Bytes& a, const Bytes& b) {
  Bytes all = a;
  Append(all, b);
  return all;
}
