#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/handles.h"
#include "core/icon_file.h"
#include "tests/support/image_bytes.h"
#include "tests/support/message_capture.h"
#include "tests/support/save_checks.h"

namespace {

// A group built in memory from blocks, as a reader would hand it out.
class BuiltGroup {
 public:
  explicit BuiltGroup(const std::vector<Bytes>& blocks) {
    group_ = static_cast<IconGroup*>(std::calloc(1, IconGroupBytes(blocks.size())));
    for (const Bytes& block : blocks) {
      IconImage* image = GroupImage(group_, group_->imageCount++);
      image->bits = static_cast<BYTE*>(std::malloc(block.size()));
      std::memcpy(image->bits, block.data(), block.size());
      image->byteCount = static_cast<std::uint32_t>(block.size());
      EXPECT_EQ(1, BindImagePointers(image));
    }
  }
  ~BuiltGroup() { FreeIconGroup(group_); }
  IconGroup* get() { return group_; }

 private:
  IconGroup* group_;
};

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) Append(all, part);
  return all;
}

class IconFileWriter : public ::testing::Test {
 protected:
  TempDir dir;
  MessageCapture messages;
};

TEST_F(IconFileWriter, WorkedExampleOfTwoFourBitImages) {
  Bytes big = IconImageBlock(32, 32, 4, 0, 1);
  Bytes small = IconImageBlock(16, 16, 4, 0, 2);
  ASSERT_EQ(744u, big.size());
  ASSERT_EQ(296u, small.size());
  BuiltGroup group({big, small});
  std::string path = dir.Path("two.ico");
  ASSERT_EQ(1, SaveIconFile(group.get(), path.c_str()));
  Bytes expected = Concat({
      {0x00, 0x00, 0x01, 0x00, 0x02, 0x00},
      {0x20, 0x20, 0x10, 0x00, 0x01, 0x00, 0x04, 0x00, 0xE8, 0x02, 0x00, 0x00, 0x26, 0x00, 0x00, 0x00},
      {0x10, 0x10, 0x10, 0x00, 0x01, 0x00, 0x04, 0x00, 0x28, 0x01, 0x00, 0x00, 0x0E, 0x03, 0x00, 0x00},
      big, small});
  EXPECT_EQ(expected, ReadFileBytes(path));
  EXPECT_EQ(38u, ImageFileOffset(group.get(), 0));
  EXPECT_EQ(782u, ImageFileOffset(group.get(), 1));
  EXPECT_EQ(1078u, ImageFileOffset(group.get(), 2));
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(IconFileWriter, EmptyGroupIsTheSixByteHeader) {
  BuiltGroup group({});
  std::string path = dir.Path("empty.ico");
  ASSERT_EQ(1, SaveIconFile(group.get(), path.c_str()));
  EXPECT_EQ((Bytes{0, 0, 1, 0, 0, 0}), ReadFileBytes(path));
}

TEST_F(IconFileWriter, DirectoryEntryFollowsEachImagesHeader) {
  struct Case {
    std::int32_t width, height;
    std::uint16_t bitCount;
    std::uint8_t widthByte, heightByte;
    std::uint8_t colourCount;
  } cases[] = {{16, 16, 1, 16, 16, 2},    {16, 16, 4, 16, 16, 16},  {16, 16, 8, 16, 16, 0},
               {16, 16, 16, 16, 16, 0},   {16, 16, 24, 16, 16, 0},  {16, 16, 32, 16, 16, 0},
               {256, 256, 32, 0, 0, 0},   {255, 255, 8, 255, 255, 0},
               // Past 255 a side is 0 too, never its low byte (313 is 57);
               // each side on its own, or readers take 256 x 128 for 256 x 256.
               {313, 313, 4, 0, 0, 16},   {256, 128, 32, 0, 128, 0}, {40, 300, 8, 40, 0, 0}};
  for (const Case& c : cases) {
    BuiltGroup group({IconImageBlock(c.width, c.height, c.bitCount)});
    // The entry describes the block's header, whatever the record says.
    GroupImage(group.get(), 0)->bitsPerPixel = 7;
    std::string path = dir.Path("entry.ico");
    ASSERT_EQ(1, SaveIconFile(group.get(), path.c_str()));
    Bytes file = ReadFileBytes(path);
    ASSERT_GE(file.size(), 22u);
    EXPECT_EQ(c.widthByte, file[6]) << c.width << " x " << c.height;
    EXPECT_EQ(c.heightByte, file[7]) << c.width << " x " << c.height;
    EXPECT_EQ(c.colourCount, file[8]) << c.bitCount << " bits";
    EXPECT_EQ(0, file[9]);
    EXPECT_EQ(1u, GetU16(file, 10));
    EXPECT_EQ(c.bitCount, GetU16(file, 12));
  }
}

TEST_F(IconFileWriter, SizeImageIsWrittenAsZeroAndKeptInTheRecord) {
  Bytes block = IconImageBlock(16, 16, 4);
  PutU32(block, 20, 1234);
  BuiltGroup group({block});
  std::string path = dir.Path("sizeimage.ico");
  ASSERT_EQ(1, SaveIconFile(group.get(), path.c_str()));
  Bytes file = ReadFileBytes(path);
  EXPECT_EQ(0u, GetU32(file, 22 + 20));
  EXPECT_EQ(1234u, group.get()->images[0].header->biSizeImage);
  Bytes expected = block;
  PutU32(expected, 20, 0);
  EXPECT_EQ(expected, Bytes(file.begin() + 22, file.end()));
}

TEST_F(IconFileWriter, PngImageIsWrittenUnchangedWithAnEntryFromTheRecord) {
  BuiltGroup group({kSmallPng});
  std::string path = dir.Path("png.ico");
  ASSERT_EQ(1, SaveIconFile(group.get(), path.c_str()));
  Bytes file = ReadFileBytes(path);
  Bytes entry(file.begin() + 6, file.begin() + 22);
  Bytes expected = {2, 3, 0, 0, 1, 0, 32, 0};
  AppendU32(expected, static_cast<std::uint32_t>(kSmallPng.size()));
  AppendU32(expected, 22);
  EXPECT_EQ(expected, entry);
  EXPECT_EQ(kSmallPng, Bytes(file.begin() + 22, file.end()));
}

TEST_F(IconFileWriter, ReadBackGivesTheSameRecords) {
  BuiltGroup group({IconImageBlock(48, 48, 32, 0, 5), IconImageBlock(32, 32, 8, 0, 6),
                    kSmallPng, IconImageBlock(16, 16, 1, 0, 7)});
  std::string path = dir.Path("round.ico");
  ASSERT_EQ(1, SaveIconFile(group.get(), path.c_str()));
  IconGroup* back = LoadIconFile(path.c_str());
  ASSERT_NE(nullptr, back);
  ASSERT_EQ(group.get()->imageCount, back->imageCount);
  for (std::uint32_t i = 0; i < back->imageCount; ++i) {
    const IconImage& a = *GroupImage(group.get(), i);
    const IconImage& b = *GroupImage(back, i);
    EXPECT_EQ(a.width, b.width) << "image " << i;
    EXPECT_EQ(a.height, b.height) << "image " << i;
    EXPECT_EQ(a.bitsPerPixel, b.bitsPerPixel) << "image " << i;
    ASSERT_EQ(a.byteCount, b.byteCount) << "image " << i;
    EXPECT_EQ(0, std::memcmp(a.bits, b.bits, a.byteCount)) << "image " << i;
  }
  FreeIconGroup(back);
}

TEST_F(IconFileWriter, ReplacesALongerFileWhole) {
  std::string path = dir.Write("old.ico", Bytes(5000, 0xAB));
  BuiltGroup group({IconImageBlock(16, 16, 4)});
  ASSERT_EQ(1, SaveIconFile(group.get(), path.c_str()));
  EXPECT_EQ(22u + 296u, ReadFileBytes(path).size());
  EXPECT_EQ((std::vector<std::string>{"old.ico"}), dir.Files()) << "no temporary file is left";
}

class IconFileSaves : public IconFileWriter {
 protected:
  // Over 4 KiB, so that a disk with one page free takes the header only.
  BuiltGroup group{{IconImageBlock(32, 32, 32, 0, 5), IconImageBlock(16, 16, 4, 0, 6)}};
  SaveTo save = [this](const char* path) { return SaveIconFile(group.get(), path); };
};

TEST_F(IconFileSaves, EveryAcceptedLengthOfPath) { ExpectEveryAcceptedLengthSaves(dir, save); }

TEST_F(IconFileSaves, KeepWhatTheTargetIs) { ExpectSavesKeepWhatTargetsAre(dir, save); }

TEST_F(IconFileSaves, FailedSaveLeavesTheTargetAsItWas) {
  ExpectFailedSavesLeaveTargets(dir, {"文件建立时出错!", "写图标文件头时出错!", "写图标文件出错!"}, save);
}

#ifdef _WIN32
// Wine keeps no temporary mark: the calls that take it off and move files are watched.
extern "C" decltype(&SetFileAttributesA) importedSet asm("__imp__SetFileAttributesA@8");
extern "C" decltype(&MoveFileExA) importedMove asm("__imp__MoveFileExA@12");
decltype(&SetFileAttributesA) realSet = importedSet;
decltype(&MoveFileExA) realMove = importedMove;
std::string unmarked = "\n", movedMarked;  // paths, each followed by a newline
BOOL WINAPI WatchSet(LPCSTR path, DWORD attributes) {
  if (!(attributes & FILE_ATTRIBUTE_TEMPORARY)) unmarked += path + std::string("\n");
  return realSet(path, attributes);
}
BOOL WINAPI WatchMove(LPCSTR from, LPCSTR to, DWORD flags) {
  if (unmarked.find("\n" + std::string(from) + "\n") == std::string::npos) movedMarked += from;
  return realMove(from, to, flags);
}
TEST_F(IconFileWriter, AFilePutInPlaceHasLostItsTemporaryMark) {
  importedSet = WatchSet, importedMove = WatchMove;
  BuiltGroup group({IconImageBlock(16, 16, 4)});
  EXPECT_EQ(1, SaveIconFile(group.get(), dir.Path("new.ico").c_str()));
  EXPECT_TRUE(CreateHardLinkForTest(dir.Write("linked.ico", Bytes(100, 1)), dir.Path("partner.ico")));
  EXPECT_EQ(1, SaveIconFile(group.get(), dir.Path("linked.ico").c_str()));
  importedSet = realSet, importedMove = realMove;
  EXPECT_NE("\n", unmarked);
  EXPECT_EQ("", movedMarked);
}
#endif

TEST_F(IconFileWriter, HeaderWriterTakesTheLow16BitsOfTheCount) {
  for (std::uint32_t count : {0u, 1u, 65535u, 65536u + 7}) {
    std::string path = dir.Path("header.ico");
    {
      FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
      ASSERT_TRUE(file.IsValid());
      EXPECT_EQ(1, WriteIconFileHeader(file.Get(), count));
    }
    Bytes expected = {0, 0, 1, 0};
    AppendU16(expected, count & 0xFFFF);
    EXPECT_EQ(expected, ReadFileBytes(path)) << "count " << count;
  }
}

}  // namespace
