#include <gtest/gtest.h>

#include <cstring>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "core/file_io.h"
#include "core/icon_file.h"
#include "platform/handles.h"
#include "tests/support/image_bytes.h"
#include "tests/support/message_capture.h"

namespace {

class IconFileReader : public ::testing::Test {
 protected:
  TempDir dir;
  MessageCapture messages;

  // Reads the bytes as an icon file and returns the one message shown, ""
  // when it read.
  std::string ReadMessage(const Bytes& file) {
    messages.Clear();
    std::string path = dir.Write("in.ico", file);
    IconGroupPtr owner(LoadIconFile(path.c_str()));
    if (owner.get() != nullptr) {
      EXPECT_TRUE(messages.Messages().empty());
      return "";
    }
    EXPECT_EQ(path, messages.Messages().empty() ? "" : messages.Messages()[0].caption);
    return messages.OnlyText();
  }
};

TEST_F(IconFileReader, ReadsEveryImageInDirectoryOrder) {
  Bytes first = IconImageBlock(32, 32, 4, 0, 1);
  Bytes second = IconImageBlock(16, 16, 8, 0, 2);
  Bytes third = IconImageBlock(48, 48, 32, 0, 3);
  std::string path = dir.Write("three.ico", IconFile({first, second, third}));
  IconGroupPtr owner(LoadIconFile(path.c_str()));
  ASSERT_NE(nullptr, owner.get());
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_EQ(path, owner->iconPath);
  EXPECT_STREQ("", owner->modulePath);
  ASSERT_EQ(3u, owner->imageCount);
  const Bytes* expected[] = {&first, &second, &third};
  const int sizes[] = {32, 16, 48};
  const int depths[] = {4, 8, 32};
  for (std::uint32_t i = 0; i < 3; ++i) {
    const IconImage& image = *GroupImage(owner.get(), i);
    EXPECT_EQ(sizes[i], image.width) << "image " << i;
    EXPECT_EQ(sizes[i], image.height) << "image " << i;
    EXPECT_EQ(depths[i], image.bitsPerPixel) << "image " << i;
    ASSERT_EQ(expected[i]->size(), image.byteCount) << "image " << i;
    EXPECT_EQ(0, std::memcmp(expected[i]->data(), image.bits, image.byteCount)) << "image " << i;
  }
}

TEST_F(IconFileReader, CountZeroGivesAnEmptyGroup) {
  std::string path = dir.Write("empty.ico", {0, 0, 1, 0, 0, 0});
  IconGroupPtr owner(LoadIconFile(path.c_str()));
  ASSERT_NE(nullptr, owner.get());
  EXPECT_EQ(0u, owner->imageCount);
  EXPECT_EQ(path, owner->iconPath);
}

TEST_F(IconFileReader, SizeComesFromTheImageNotTheEntry) {
  Bytes file = IconFile({IconImageBlock(32, 32, 4)});
  file[6] = 48;  // entry says 48 x 48
  file[7] = 48;
  std::string path = dir.Write("lying.ico", file);
  IconGroupPtr owner(LoadIconFile(path.c_str()));
  ASSERT_NE(nullptr, owner.get());
  EXPECT_EQ(32, owner->images[0].width);
  EXPECT_EQ(32, owner->images[0].height);
}

TEST_F(IconFileReader, EntriesOnTheSameBytesShareOneCopy) {
  Bytes block = IconImageBlock(16, 16, 4);
  Bytes file = IconFile({block, block});
  PutU32(file, 6 + 16 + 12, GetU32(file, 6 + 12));  // second entry on the first's bytes
  file.resize(file.size() - block.size());
  std::string path = dir.Write("shared.ico", file);
  IconGroupPtr owner(LoadIconFile(path.c_str()));
  ASSERT_NE(nullptr, owner.get());
  ASSERT_EQ(2u, owner->imageCount);
  EXPECT_EQ(owner->images[0].bits, GroupImage(owner.get(), 1)->bits);
  EXPECT_TRUE(GroupImage(owner.get(), 1)->sharesBits && !owner->images[0].sharesBits);
}

TEST_F(IconFileReader, PngImagesAreRead) {
  std::string path = dir.Write("png.ico", IconFile({IconImageBlock(16, 16, 4), kSmallPng}));
  IconGroupPtr owner(LoadIconFile(path.c_str()));
  ASSERT_NE(nullptr, owner.get());
  const IconImage& png = *GroupImage(owner.get(), 1);
  EXPECT_TRUE(IsPngImage(&png));
  EXPECT_EQ(2, png.width);
  EXPECT_EQ(kSmallPng.size(), png.byteCount);
}

TEST_F(IconFileReader, APngImageKeepsThePlanesAndBitCountItsEntryGives) {
  const int cases[][3] = {{1, 8, 8}, {2, 16, 32}, {0, 0, 32}, {65535, 65535, 32}, {1, 32, 32}, {0, 4, 4}};
  for (const auto& c : cases) {
    Bytes file = IconFile({kSmallPng});
    PutU16(file, 6 + 4, c[0]);
    PutU16(file, 6 + 6, c[1]);
    IconGroupPtr read(LoadIconFile(dir.Write("png-entry.ico", file).c_str()));
    ASSERT_NE(nullptr, read.get());
    EXPECT_EQ(c[2], read->images[0].bitsPerPixel) << c[0] << " x " << c[1];
    ASSERT_EQ(1, SaveIconFile(read.get(), dir.Path("copy.ico").c_str()));
    Bytes written = ReadFileBytes(dir.Path("copy.ico"));
    EXPECT_EQ(Bytes(file.begin() + 10, file.begin() + 14), Bytes(written.begin() + 10, written.begin() + 14));
  }
}

TEST_F(IconFileReader, EachFailureShowsItsMessageWithThePathAsCaption) {
  Bytes good = IconFile({IconImageBlock(32, 32, 4)});
  auto with = [&](auto change) {
    Bytes file = good;
    change(file);
    return file;
  };
  struct Case {
    const char* what;
    Bytes file;
    const char* message;
  } cases[] = {
      {"empty file", {}, "读图标文件头时出错!"},
      {"five bytes", {0, 0, 1, 0, 1}, "读图标文件头时出错!"},
      {"reserved 1", with([](Bytes& f) { f[0] = 1; }), "读图标文件头时出错!"},
      {"cursor file", with([](Bytes& f) { f[2] = 2; }), "读图标文件头时出错!"},
      {"type 0", with([](Bytes& f) { f[2] = 0; }), "读图标文件头时出错!"},
      {"directory cut short", {0, 0, 1, 0, 2, 0, 32, 32, 0, 0}, "读图标文件时出错!"},
      {"count above the directory",
       with([](Bytes& f) { f[4] = 200; }), "读图标文件时出错!"},
      {"offset past the end",
       with([](Bytes& f) { PutU32(f, 18, static_cast<std::uint32_t>(f.size()) + 10); }),
       "读图标内容出错!"},
      {"block runs past the end",
       with([](Bytes& f) { PutU32(f, 14, GetU32(f, 14) + 1); }), "读图标内容出错!"},
      {"offset 2^31", with([](Bytes& f) { PutU32(f, 18, 0x80000000u); }), "图标内容定位时出错!"},
      {"offset 2^32-1", with([](Bytes& f) { PutU32(f, 18, 0xFFFFFFFFu); }), "图标内容定位时出错!"},
      {"offset plus size wraps 2^32",
       with([](Bytes& f) { PutU32(f, 14, 0xFFFFFFF0u); }), "读图标内容出错!"},
      {"block not an image",
       with([](Bytes& f) { PutU32(f, 22, 12); }), "图标内部格式转换出错!"},
      {"block shorter than its header says",
       with([](Bytes& f) { PutU32(f, 14, GetU32(f, 14) - 1); }), "图标内部格式转换出错!"},
      {"zero-byte block", with([](Bytes& f) { PutU32(f, 14, 0); }), "图标内部格式转换出错!"},
      {"negative height", with([](Bytes& f) { PutU32(f, 22 + 8, static_cast<std::uint32_t>(-64)); }),
       "图标内部格式转换出错!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.message, ReadMessage(c.file)) << c.what;
  }
}

TEST_F(IconFileReader, MissingAndTooLongPathsAreNotOpened) {
  messages.Clear();
  std::string missing = dir.Path("missing.ico");
  EXPECT_EQ(nullptr, LoadIconFile(missing.c_str()));
  EXPECT_EQ("图标文件打开时出错!", messages.OnlyText());

  // In the Windows build 259 bytes is the longest path: one more is refused
  // before any file is touched, even where the system could open it. The
  // native build reads it.
  std::string name(259 - dir.Path("").size(), 'n');
  std::string atLimit = dir.Write(name, IconFile({IconImageBlock(16, 16, 4)}));
  ASSERT_EQ(259u, atLimit.size());
  messages.Clear();
  IconGroupPtr owner(LoadIconFile(atLimit.c_str()));
  EXPECT_NE(nullptr, owner.get());
  std::string overLimit = dir.Write(name + "x", IconFile({IconImageBlock(16, 16, 4)}));
  messages.Clear();
  IconGroupPtr longer(LoadIconFile(overLimit.c_str()));
#ifdef _WIN32
  EXPECT_EQ(nullptr, longer.get());
  EXPECT_EQ("图标文件打开时出错!", messages.OnlyText());
#else
  EXPECT_NE(nullptr, longer.get());
#endif

#ifndef _WIN32
  // A named pipe is no file: refused at once, never waited on.
  std::string pipe = dir.Path("pipe.ico");
  ASSERT_EQ(0, mkfifo(pipe.c_str(), 0600));
  messages.Clear();
  EXPECT_EQ(nullptr, LoadIconFile(pipe.c_str()));
  EXPECT_EQ("图标文件打开时出错!", messages.OnlyText());
#endif
}

TEST_F(IconFileReader, ReadersDoNotKeepOneAnotherOut) {
  std::string path = dir.Write("shared.ico", IconFile({IconImageBlock(16, 16, 4)}));
  FileHandle other(OpenForReading(path.c_str()));
  ASSERT_TRUE(other.IsValid());
  IconGroupPtr owner(LoadIconFile(path.c_str()));
  EXPECT_NE(nullptr, owner);
  EXPECT_TRUE(messages.Messages().empty());
}

TEST(IconFileBytes, AnImagePastWhatWasReadOfALargerFileIsTooLargeNotCut) {
  Bytes file = IconFile({IconImageBlock(16, 16, 4)});
  ByteView head(file.data(), file.size() - 1);
  EXPECT_EQ(IconFileFailure::kImageCut, ReadIconFile(head, head.Length()).Reason());
  EXPECT_EQ(IconFileFailure::kTooLarge, ReadIconFile(head, file.size()).Reason());
}

TEST_F(IconFileReader, HeaderReaderReturnsCountOrMinusOne) {
  struct Case {
    Bytes bytes;
    int count;
  } cases[] = {{{0, 0, 1, 0, 0, 0}, 0},       {{0, 0, 1, 0, 0xFF, 0xFF}, 65535},
               {{0, 0, 1, 0, 3, 0}, 3},       {{0, 0, 2, 0, 3, 0}, -1},
               {{1, 0, 1, 0, 3, 0}, -1},      {{0, 0, 1, 0, 3}, -1},
               {{0, 0, 1}, -1},               {{}, -1}};
  for (const Case& c : cases) {
    std::string path = dir.Write("header.ico", c.bytes);
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.IsValid());
    EXPECT_EQ(c.count, ReadIconFileHeader(file.Get())) << c.bytes.size() << " bytes";
  }
}

}  // namespace
