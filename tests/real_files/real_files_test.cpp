// Icon and bitmap files that other programs made (see make-real-files.sh):
// each reads without a message, and what we write of it reads back the same.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "core/bitmap_file.h"
#include "core/dib.h"
#include "platform/handles.h"
#include "core/icon_file.h"
#include "tests/support/image_bytes.h"
#include "tests/support/message_capture.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> FilesIn(const std::string& folder) {
  const char* root = std::getenv("PICTROVE_REAL_FILES");
  std::vector<std::string> paths;
  if (root == nullptr) return paths;
  for (const auto& entry : fs::directory_iterator(fs::path(root) / folder)) {
    paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

// The image blocks of an icon file, in directory order, as the file holds them.
std::vector<Bytes> BlocksOf(const Bytes& file) {
  std::vector<Bytes> blocks;
  for (std::uint32_t i = 0; i < GetU16(file, 4); ++i) {
    std::uint32_t size = GetU32(file, 6 + 16 * i + 8);
    std::uint32_t offset = GetU32(file, 6 + 16 * i + 12);
    blocks.emplace_back(file.begin() + offset, file.begin() + offset + size);
  }
  return blocks;
}

bool IsPng(const Bytes& block) { return block.size() > 8 && block[0] == 0x89 && block[1] == 'P'; }

TEST(RealFiles, IconFilesReadAndWriteBackTheSameImages) {
  std::vector<std::string> icons = FilesIn("ico");
  if (icons.empty()) GTEST_SKIP() << "PICTROVE_REAL_FILES is not set";
  EXPECT_GE(icons.size(), 180u);
  TempDir dir;
  MessageCapture messages;
  int pngImages = 0;
  for (const std::string& path : icons) {
    IconGroupPtr read(LoadIconFile(path.c_str()));
    ASSERT_NE(nullptr, read.get()) << path << ": " << messages.OnlyText();
    std::vector<Bytes> original = BlocksOf(ReadFileBytes(path));
    ASSERT_EQ(original.size(), read->imageCount) << path;

    std::string copy = dir.Path("copy.ico");
    ASSERT_EQ(1, SaveIconFile(read.get(), copy.c_str())) << path;
    std::vector<Bytes> written = BlocksOf(ReadFileBytes(copy));
    ASSERT_EQ(original.size(), written.size()) << path;
    for (std::size_t i = 0; i < original.size(); ++i) {
      Bytes expected = original[i];
      if (IsPng(expected)) {
        ++pngImages;
      } else {
        PutU32(expected, 20, 0);  // biSizeImage is written as 0
      }
      EXPECT_EQ(expected, written[i]) << path << " image " << i;
    }

    IconGroupPtr back(LoadIconFile(copy.c_str()));
    ASSERT_NE(nullptr, back.get()) << path;
    for (std::uint32_t i = 0; i < back->imageCount; ++i) {
      const IconImage& a = *GroupImage(read.get(), i);
      const IconImage& b = *GroupImage(back.get(), i);
      EXPECT_EQ(a.width, b.width) << path << " image " << i;
      EXPECT_EQ(a.height, b.height) << path << " image " << i;
      EXPECT_EQ(a.bitsPerPixel, b.bitsPerPixel) << path << " image " << i;
      EXPECT_EQ(a.byteCount, b.byteCount) << path << " image " << i;
    }
  }
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_GT(pngImages, 100) << "shell32's groups hold PNG images";
}

TEST(RealFiles, FirstImageOfEveryIconSavesAsABitmap) {
  std::vector<std::string> icons = FilesIn("ico");
  if (icons.empty()) GTEST_SKIP() << "PICTROVE_REAL_FILES is not set";
  TempDir dir;
  MessageCapture messages;
  for (const std::string& path : icons) {
    IconGroupPtr read(LoadIconFile(path.c_str()));
    ASSERT_NE(nullptr, read.get()) << path;
    if (read->imageCount == 0) continue;
    const IconImage& first = *GroupImage(read.get(), 0);
    std::string bmp = dir.Path("first.bmp");
    ASSERT_EQ(1, SaveImageAsBitmap(bmp.c_str(), &first)) << path << ": " << messages.OnlyText();
    HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(bmp.c_str()));
    ASSERT_TRUE(dib) << path;
    EXPECT_EQ(first.width, dib->biWidth) << path;
    EXPECT_EQ(first.height, dib->biHeight) << path;
  }
}

TEST(RealFiles, BitmapsOfEveryDepthAndHeaderReadAndWriteBack) {
  std::vector<std::string> bitmaps = FilesIn("bmp");
  if (bitmaps.empty()) GTEST_SKIP() << "PICTROVE_REAL_FILES is not set";
  EXPECT_EQ(24u, bitmaps.size());
  TempDir dir;
  MessageCapture messages;
  for (const std::string& path : bitmaps) {
    Bytes file = ReadFileBytes(path);
    HeapPtr<BITMAPINFOHEADER> dib(LoadBitmapFile(path.c_str()));
    ASSERT_TRUE(dib) << path << ": " << messages.OnlyText();
    std::size_t table = DibPaletteBytes(dib.get());
    std::size_t rows = static_cast<std::size_t>(DibStride(dib.get())) * dib->biHeight;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(dib.get());
    // What the program handles: a 40-byte header over plain bottom-up rows
    // of the file's size. A file of that layout itself comes through byte
    // for byte (how the others' pixels read is compared with ImageMagick's
    // reading in real_conversion_test).
    EXPECT_EQ(40u, dib->biSize) << path;
    EXPECT_EQ(0u, dib->biCompression) << path;
    EXPECT_EQ(GetU32(file, 18), static_cast<std::uint32_t>(dib->biWidth)) << path;
    auto fileHeight = static_cast<std::int32_t>(GetU32(file, 22));
    EXPECT_EQ(fileHeight < 0 ? -fileHeight : fileHeight, dib->biHeight) << path;
    // BMP3's 16-bit files say bit fields but hold no masks: plain rows.
    bool plainFile = GetU32(file, 14) == 40 && fileHeight > 0 &&
                     (GetU32(file, 30) == 0 || (GetU32(file, 30) == 3 && GetU32(file, 10) == 54));
    if (plainFile) {
      Bytes header(file.begin() + 14, file.begin() + 54);
      PutU32(header, 16, 0);
      EXPECT_EQ(0, std::memcmp(header.data(), bytes, 40)) << path;
      EXPECT_EQ(0, std::memcmp(file.data() + 54, bytes + 40, table)) << path;
      EXPECT_EQ(0, std::memcmp(file.data() + GetU32(file, 10), DibPixels(dib.get()), rows))
          << path;
    }

    // As the colour rows of an icon image: header with doubled height, then
    // the bitmap's table and rows.
    Bytes image(bytes, bytes + 40 + table + rows);
    PutU32(image, 8, static_cast<std::uint32_t>(dib->biHeight * 2));
    std::string copy = dir.Path("copy.bmp");
    ASSERT_EQ(1, SaveBitmapFile(copy.c_str(), reinterpret_cast<BITMAPINFOHEADER*>(image.data())))
        << path;
    HeapPtr<BITMAPINFOHEADER> back(LoadBitmapFile(copy.c_str()));
    ASSERT_TRUE(back) << path;
    EXPECT_EQ(0, std::memcmp(bytes, back.get(), 40 + table + rows)) << path;
  }
}

}  // namespace
