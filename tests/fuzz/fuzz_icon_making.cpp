// Making an icon or cursor from decoded pictures and writing it: the first
// bytes choose the pictures' sizes, the sizes asked for and how images are
// stored; the rest, repeated, are the pixels. What is written must read back
// with an image for each made, and a picture of a size asked for must come
// back pixel for pixel.
#include <cstdio>
#include <cstdlib>

#include "codecs/icon_rgba.h"
#include "core/cursor_file.h"
#include "core/directory_file.h"
#include "core/icon_file.h"
#include "core/icon_maker.h"
#include "fuzz_support.h"

namespace {

constexpr std::int32_t kSides[] = {1, 16, 20, 24, 32, 40, 48, 64, 256};

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "icon making broke: %s\n", what);
    std::abort();
  }
}

// A side from one byte: small ones mostly, and from 250 on past 255, where
// images are PNG-compressed.
std::int32_t Side(std::uint8_t byte) { return byte >= 250 ? 256 + (byte - 250) : 1 + byte % 72; }

// Compares where the picture is visible: the decoder gives transparent pixels as black.
bool SamePicture(const RgbaPicture& a, const RgbaPicture& b) {
  if (a.width != b.width || a.height != b.height) return false;
  for (std::size_t i = 0; i < a.pixels.size(); i += 4) {
    if (a.pixels[i + 3] != b.pixels[i + 3]) return false;
    if (a.pixels[i + 3] != 0 && !std::equal(&a.pixels[i], &a.pixels[i + 3], &b.pixels[i])) return false;
  }
  return true;
}

bool AnyVisible(const RgbaPicture& picture) {
  for (std::size_t i = 3; i < picture.pixels.size(); i += 4) {
    if (picture.pixels[i] != 0) return true;
  }
  return false;
}

void CheckWritten(const IconGroup& back, const std::vector<MakerInput>& inputs, const IconRecipe& recipe) {
  for (std::uint32_t i = 0; i < back.imageCount; ++i) {
    RgbaPicture picture;
    Check(DecodeIconRgba(back.images[i].bits, back.images[i].byteCount, &picture) == DecodeOutcome::kDecoded,
          "an image written does not decode");
    for (const MakerInput& input : inputs) {
      if (input.picture.width != picture.width || input.picture.height != picture.height) continue;
      // An all-transparent PNG decodes opaque, as Windows draws it.
      if (AnyVisible(input.picture)) Check(SamePicture(input.picture, picture), "a picture kept is not the same");
      break;
    }
    if (recipe.cursor) {
      Check(back.images[i].hotSpot.x < back.images[i].width && back.images[i].hotSpot.y < back.images[i].height,
            "hot spot outside");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceMessages();
  if (size < 4) return 0;
  IconRecipe recipe;
  recipe.storage = static_cast<ImageStorage>(data[0] % 3);
  recipe.cursor = (data[0] & 4) != 0;
  recipe.enlarge = (data[0] & 8) != 0;
  const std::size_t count = 1 + (data[0] >> 4) % 3;
  for (std::size_t bit = 0; bit < 9; ++bit) {
    if (((data[1] | (data[0] & 0x80) << 1) >> bit) & 1) recipe.sizes.push_back(kSides[bit]);
  }
  if (size < 2 + 2 * count + 1) return 0;
  const std::uint8_t* pixels = data + 2 + 2 * count;
  const std::size_t pixelBytes = size - 2 - 2 * count;
  std::vector<MakerInput> inputs(count);
  for (std::size_t i = 0; i < count; ++i) {
    RgbaPicture& picture = inputs[i].picture;
    picture.width = Side(data[2 + 2 * i]);
    picture.height = Side(data[3 + 2 * i]);
    picture.pixels.resize(std::size_t(picture.width) * std::size_t(picture.height) * 4);
    for (std::size_t p = 0; p < picture.pixels.size(); ++p) picture.pixels[p] = pixels[(p + i) % pixelBytes];
    inputs[i].hotSpot = icon_directory::HotSpot{pixels[0], pixels[pixelBytes - 1]};
  }
  const MadeIcon made = MakeIcon(inputs, recipe);
  if (!made.group) return 0;
  const std::string path = FuzzOutputPath(recipe.cursor ? "cur" : "ico");
  const std::uint16_t type = recipe.cursor ? icon_directory::kCursorType : icon_directory::kIconType;
  Check(WriteDirectoryFile(made.group->images, made.group->imageCount, type, path.c_str(), nullptr), "not written");
  IconGroupPtr back(recipe.cursor ? LoadCursorFile(path.c_str()).release() : LoadIconFile(path.c_str()));
  Check(back && back->imageCount == made.group->imageCount, "the file does not read back whole");
  CheckWritten(*back, inputs, recipe);
  std::remove(path.c_str());
  return 0;
}
