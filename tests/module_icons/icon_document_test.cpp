#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/file_names.h"
#include "core/icon_document.h"
#include "core/png_file.h"
#include "tests/module_icons/test_list_window.h"
#include "tests/support/image_bytes.h"
#include "tests/support/message_capture.h"

namespace {

const char kUnsupported[] = "不支持的文件类型!";
const char kNothingToSave[] = "没有可保存的图标资源!";

class DocumentSave : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!window.HasList()) GTEST_SKIP() << "no window: no display";
#ifdef _WIN32
    document.Attach(window.Entries(), GetModuleHandleA(nullptr));
#else
    document.Attach(window.Entries(), nullptr);
#endif
  }

  std::vector<std::uint8_t> PngOf(std::uint32_t image) {
    const IconGroup* group = document.ReadSelectedGroup();
    std::vector<std::uint8_t> png;
    EXPECT_TRUE(group != nullptr && IconImageAsPng(&group->images[image], &png) == DecodeOutcome::kDecoded);
    return png;
  }

  TestListWindow window;
  IconDocument document;
  TempDir dir;
  MessageCapture messages;
};

TEST_F(DocumentSave, APngNameGetsTheLargestImage) {
  std::string icon = dir.Write("three.ico", IconFile({IconImageBlock(16, 16, 32, 0, 1), IconImageBlock(48, 48, 4, 0, 2),
                                                      IconImageBlock(48, 48, 8, 0, 3), IconImageBlock(32, 32, 32, 0, 4)}));
  ASSERT_TRUE(document.Open(icon.c_str()).listed && document.SelectFirstEntry());
  for (const char* name : {"largest.png", "LARGEST.Png"}) {
    SCOPED_TRACE(name);
    std::string target = dir.Path(name);
    EXPECT_EQ(IconDocument::Saved::kWritten, document.Save(target.c_str(), LowerExtension(target), nullptr));
    EXPECT_EQ(2, document.LargestImageIndex()) << "48 x 48 at 8 bits";
    EXPECT_EQ(PngOf(2), ReadFileBytes(target));
  }
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(DocumentSave, ABitmapReadIntoTheStartingGroupIsItsImage) {
  HeaderFields fields;
  fields.width = 4;
  fields.height = 4;
  fields.bitCount = 24;
  std::string bitmap = dir.Write("four.bmp", BitmapFile(fields, Bytes(4 * 12, 0x55), 54));
  ASSERT_TRUE(document.Open(bitmap.c_str()).listed && document.SelectFirstEntry());
  std::string target = dir.Path("bitmap.png");
  EXPECT_EQ(IconDocument::Saved::kWritten, document.Save(target.c_str(), LowerExtension(target), nullptr));
  EXPECT_EQ(PngOf(0), ReadFileBytes(target));
  EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(DocumentSave, OtherExtensionsWriteNothingAndSaySo) {
  std::string icon = dir.Write("one.ico", IconFile({IconImageBlock(16, 16, 4)}));
  ASSERT_TRUE(document.Open(icon.c_str()).listed && document.SelectFirstEntry());
  for (const char* name : {"icon.txt", "icon", "icon.png.bak", "icon.", "icon.pn"}) {
    SCOPED_TRACE(name);
    messages.Clear();
    EXPECT_EQ(IconDocument::Saved::kOtherKind, document.Save(dir.Path(name).c_str(), LowerExtension(name), nullptr));
    EXPECT_EQ(kUnsupported, messages.OnlyText());
    if (!messages.Messages().empty()) {
      EXPECT_EQ("错误", messages.Messages()[0].caption);
    }
  }
  EXPECT_EQ(std::vector<std::string>{"one.ico"}, dir.Files());
}

TEST_F(DocumentSave, APngNameWithNothingListedSaysThereIsNothingToSave) {
  std::string empty = dir.Write("empty.ico", IconFile({}));
  document.Open(empty.c_str());
  messages.Clear();
  EXPECT_EQ(IconDocument::Saved::kNothingToSave, document.Save(dir.Path("empty.png").c_str(), "png", nullptr));
  EXPECT_EQ(kNothingToSave, messages.OnlyText());
  EXPECT_EQ(std::vector<std::string>{"empty.ico"}, dir.Files());
}

}  // namespace
