#include "transparency_checks.h"

#include <windows.h>

#include <cstdint>
#include <vector>

#include "command_clipboard.h"
#include "gui_checks.h"
#include "codecs/png_decoder.h"

namespace {

// Alpha of each pixel, top row first.
struct AlphaPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> alpha;
};

bool PngAlpha(const Bytes& png, AlphaPicture* picture) {
  RgbaPicture rgba;
  if (DecodePng(png.data(), png.size(), &rgba) != DecodeOutcome::kDecoded) return false;
  picture->width = rgba.width;
  picture->height = rgba.height;
  picture->alpha.clear();
  for (std::size_t i = 3; i < rgba.pixels.size(); i += 4) picture->alpha.push_back(rgba.pixels[i]);
  return true;
}

// What the image's transparency is, read from its block as the platform
// draws it: a 32-bit image's alpha bytes when any is not zero, else the AND
// mask (a set bit transparent); a PNG image's own alpha.
bool ImageAlpha(const Bytes& block, AlphaPicture* picture) {
  if (block.size() >= 8 && block[0] == 0x89 && block[1] == 'P') return PngAlpha(block, picture);
  if (block.size() < 40) return false;
  const int width = static_cast<int>(GetU32(block, 4));
  const int height = static_cast<int>(GetU32(block, 8)) / 2;
  const std::uint32_t bits = GetU16(block, 14);
  const std::uint32_t used = GetU32(block, 32);
  const std::size_t table = 4 * (used ? used : (bits <= 8 ? 1u << bits : 0));
  const std::size_t colorStride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  const std::size_t maskStride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  const std::size_t colors = 40 + table, mask = colors + colorStride * height;
  if (width <= 0 || height <= 0 || block.size() < mask + maskStride * height) return false;
  picture->width = width;
  picture->height = height;
  picture->alpha.assign(static_cast<std::size_t>(width) * height, 0);
  bool channel = false;
  for (int y = 0; y < height; ++y) {
    const std::size_t stored = static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      std::uint8_t& alpha = picture->alpha[static_cast<std::size_t>(y) * width + x];
      if (bits == 32) {
        alpha = block[colors + stored * colorStride + 4 * x + 3];
        channel = channel || alpha != 0;
      }
    }
  }
  if (channel) return true;
  for (int y = 0; y < height; ++y) {
    const std::size_t stored = static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const bool set = block[mask + stored * maskStride + x / 8] >> (7 - x % 8) & 1;
      picture->alpha[static_cast<std::size_t>(y) * width + x] = set ? 0 : 0xFF;
    }
  }
  return true;
}

// The alpha of a CF_DIBV5 block of 32 bits a pixel with an alpha mask.
bool DibV5Alpha(const Bytes& block, AlphaPicture* picture) {
  if (block.size() < 124 || GetU32(block, 0) != 124 || GetU16(block, 14) != 32 || GetU32(block, 52) != 0xFF000000u) {
    return false;
  }
  const int width = static_cast<int>(GetU32(block, 4));
  const int height = static_cast<int>(GetU32(block, 8));
  if (width <= 0 || height <= 0 || block.size() < 124 + static_cast<std::size_t>(width) * height * 4) return false;
  picture->width = width;
  picture->height = height;
  picture->alpha.assign(static_cast<std::size_t>(width) * height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      picture->alpha[static_cast<std::size_t>(y) * width + x] =
          block[124 + (static_cast<std::size_t>(height - 1 - y) * width + x) * 4 + 3];
    }
  }
  return true;
}

void CheckAlpha(const AlphaPicture& expected, bool read, const AlphaPicture& found, const std::string& what) {
  int transparent = 0, opaque = 0, wrong = -1;
  if (read && found.width == expected.width && found.height == expected.height) {
    wrong = 0;
    for (std::size_t i = 0; i < expected.alpha.size(); ++i) {
      wrong += found.alpha[i] != expected.alpha[i];
      transparent += found.alpha[i] == 0;
      opaque += found.alpha[i] == 0xFF;
    }
  }
  std::string detail = !read ? "not readable"
                       : wrong < 0
                           ? std::to_string(found.width) + "x" + std::to_string(found.height) + ", not " +
                                 std::to_string(expected.width) + "x" + std::to_string(expected.height)
                           : std::to_string(transparent) + " transparent, " + std::to_string(opaque) + " opaque, " +
                                 std::to_string(wrong) + " differing";
  Check(wrong == 0, what + ": transparent and opaque where the image is", detail);
}

}  // namespace

void CheckSavedPng(const std::wstring& path, const Bytes& block, const std::string& what) {
  AlphaPicture expected, found;
  Check(ImageAlpha(block, &expected), what + ": the image's own transparency is readable");
  Bytes png = ReadBytes(path);
  CheckAlpha(expected, PngAlpha(png, &found), found, what + " saved as PNG");
}

void CheckCopiedWithTransparency(const Paths& p, const Bytes& block, const std::string& what, bool viaX11) {
  AlphaPicture expected, found;
  if (!ImageAlpha(block, &expected)) {
    Check(false, what + ": the image's own transparency is readable");
    return;
  }
  Bytes png = ClipboardBytes(RegisterClipboardFormatW(L"PNG"));
  CheckAlpha(expected, PngAlpha(png, &found), found, what + " copied as \"PNG\"");
  Bytes dib = ClipboardBytes(CF_DIBV5);
  CheckAlpha(expected, DibV5Alpha(dib, &found), found, what + " copied as CF_DIBV5");
  if (!viaX11) return;
  std::string targets = X11ClipboardTargets(p.unix);
  Check(targets.find("image/png") != std::string::npos, what + ": the X11 clipboard offers image/png", targets);
  png = X11ClipboardContent(p.unix, "image/png");
  CheckAlpha(expected, PngAlpha(png, &found), found, what + " read back from the X11 clipboard as image/png");
}
