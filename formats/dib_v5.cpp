#include "dib_v5.h"

#include <cstring>

#include "little_endian.h"

namespace dib_v5 {

namespace {

constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kSrgb = 0x73524742;  // 'sRGB'
constexpr std::uint32_t kIntentImages = 4;   // LCS_GM_IMAGES

}  // namespace

void WriteAlphaHeader(std::uint8_t* at, std::int32_t width, std::int32_t height) {
  std::memset(at, 0, kHeaderBytes);
  PutU32(at + 0, kHeaderBytes);
  PutU32(at + 4, static_cast<std::uint32_t>(width));
  PutU32(at + 8, static_cast<std::uint32_t>(height));
  PutU16(at + 12, 1);   // planes
  PutU16(at + 14, 32);  // bits a pixel
  PutU32(at + 16, kBitFields);
  PutU32(at + 20, static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height) * 4);
  PutU32(at + 40, 0x00FF0000);  // red
  PutU32(at + 44, 0x0000FF00);  // green
  PutU32(at + 48, 0x000000FF);  // blue
  PutU32(at + 52, 0xFF000000);  // alpha
  PutU32(at + 56, kSrgb);
  // The end points (36 bytes) and gammas (12 bytes) are unused in sRGB.
  PutU32(at + 108, kIntentImages);
  // No profile: its offset, size and the reserved field stay 0.
}

}  // namespace dib_v5
