// The bitmaps ImageMagick made (see make-real-files.sh), converted to every
// depth: at their own size the colours are those ImageMagick itself reads
// from the file; turned into icon images and saved, ImageMagick reads the
// icon files back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/bitmap_file.h"
#include "core/dib.h"
#include "core/dib_reformat.h"
#include "platform/handles.h"
#include "core/icon_file.h"
#include "core/icon_from_bitmap.h"
#include "tests/support/dib_fixtures.h"
#include "tests/support/message_capture.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Bitmaps() {
  const char* root = std::getenv("PICTROVE_REAL_FILES");
  std::vector<std::string> paths;
  if (root == nullptr) return paths;
  for (const auto& entry : fs::directory_iterator(fs::path(root) / "bmp"))
    paths.push_back(entry.path().string());
  std::sort(paths.begin(), paths.end());
  return paths;
}

std::string OutputOf(const std::string& command) {
  std::string output;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
  pclose(pipe);
  return output;
}

// ImageMagick's reading of the picture: red, green, blue bytes, top row first.
Bytes MagickColors(const std::string& path, const TempDir& dir) {
  std::string raw = dir.Path("magick.rgb");
  std::string command = "convert '" + path + "' -depth 8 rgb:'" + raw + "'";
  if (std::system(command.c_str()) != 0) return {};
  return ReadFileBytes(raw);
}

TEST(RealBitmaps, ConvertedAtTheirOwnSizeKeepTheColoursImageMagickReads) {
  std::vector<std::string> bitmaps = Bitmaps();
  if (bitmaps.empty()) GTEST_SKIP() << "PICTROVE_REAL_FILES is not set";
  EXPECT_EQ(24u, bitmaps.size());
  TempDir dir;
  MessageCapture messages;
  for (const std::string& path : bitmaps) {
    HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path.c_str()));
    ASSERT_TRUE(dib) << path << ": " << messages.OnlyText();
    const LONG width = dib->biWidth;
    const LONG height = dib->biHeight;
    // ImageMagick can't read back the 16-bit BMP3 file it wrote (bit fields
    // without their masks), so it is no reference for that one; the
    // comparison with GDI under Wine covers it. Every other file, bit
    // fields, top-down rows and run lengths included, it reads as it was
    // meant (Pillow is no better reference: it scales 5- and 6-bit colours
    // differently and misreads RLE deltas).
    bool magickReads = fs::path(path).filename() != "depth16.bmp";
    Bytes magick = magickReads ? MagickColors(path, dir) : Bytes{};
    if (magickReads) {
      ASSERT_EQ(std::size_t(width) * height * 3, magick.size()) << path;
    }
    for (WORD to : {1, 4, 8, 16, 24, 32}) {
      HeapPtr<BITMAPINFOHEADER> result(ReformatDib(dib.get(), width, height, to, TRUE));
      ASSERT_TRUE(result) << path << " to " << to;
      if (!magickReads || to < 16) continue;
      int differences = 0;
      for (LONG y = 0; y < height; ++y) {
        for (LONG x = 0; x < width; ++x) {
          const std::uint8_t* rgb = &magick[3 * (std::size_t(y) * width + x)];
          Color expected{rgb[0], rgb[1], rgb[2]};
          if (to == 16) {
            auto cut = [](std::uint8_t v) { return std::uint8_t((v & 0xF8) | v >> 5); };
            expected = Color{cut(expected.red), cut(expected.green), cut(expected.blue)};
          }
          Color got = PixelColor(result.get(), x, y, 0);
          if (got != expected && ++differences <= 3) {
            ADD_FAILURE() << path << " to " << to << " bits at " << x << "," << y << ": "
                          << Describe(got) << " ImageMagick " << Describe(expected);
          }
        }
      }
    }
  }
  EXPECT_TRUE(messages.Messages().empty());
}

TEST(RealBitmaps, IconImagesMadeOfThemReadBackInImageMagick) {
  std::vector<std::string> bitmaps = Bitmaps();
  if (bitmaps.empty()) GTEST_SKIP() << "PICTROVE_REAL_FILES is not set";
  TempDir dir;
  MessageCapture messages;
  for (const std::string& path : bitmaps) {
    IconGroupPtr starting(CreateUntitledGroup());
    ASSERT_EQ(1, ReadBitmapIntoGroup(starting.get(), true, path.c_str())) << path;
    std::string icon = dir.Path(fs::path(path).stem().string() + ".ico");
    ASSERT_EQ(1, SaveIconFile(starting.get(), icon.c_str())) << path;
    EXPECT_EQ("32 32\n", OutputOf("identify -format '%w %h\\n' '" + icon + "'")) << path;
  }
  EXPECT_TRUE(messages.Messages().empty());
}

}  // namespace
