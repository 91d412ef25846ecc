#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/handles.h"
#include "core/module_icons.h"
#include "tests/module_icons/icon_size.h"
#include "tests/module_icons/module_bytes.h"
#include "tests/module_icons/test_list_window.h"
#include "tests/support/image_bytes.h"
#include "tests/support/message_capture.h"

namespace {

const char kNotAModule[] = "装入文件时出错 - 请选择一个WIN32的DLL或EXE文件!";
const char kOutOfMemory[] = "内存分配出错!";
const char kNotAnIconImage[] = "转换成图标内部格式时出错!";

// A module holding the group-icon resources of `resources`, written to a
// file of the test's folder.
struct ModuleOnDisk {
  TempDir dir;
  std::string path;
  explicit ModuleOnDisk(const std::vector<ModuleResource>& resources)
      : path(dir.Write("icons.dll", RandomAccessFile(resources))) {}
};

// Whether this process holds the file open while a message is shown (where /proc tells).
std::filesystem::path watchedFile;
bool openWhileShown = false;
int WatchOpenFile(HWND, const char*, const char*, UINT) {
  std::error_code error;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    openWhileShown = openWhileShown || std::filesystem::read_symlink(fd, error) == watchedFile;
  }
  return IDOK;
}

std::vector<ModuleResource> Join(std::vector<std::vector<ModuleResource>> parts) {
  std::vector<ModuleResource> all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Lists the module's group icons as opening it does (under Windows through
// ListGroupName).
bool ListModule(const std::string& path, TestListWindow* window) {
  ModuleHandle module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return false;
  window->Entries()->ListGroups(LoadedModuleResources(module.Get()), RT_GROUP_ICON);
  return true;
}

TEST(ListGroupName, EntriesAreSortedByTextWithNamesOrIdentifiersAsData) {
  TestListWindow window;
  if (!window.HasList()) GTEST_SKIP() << "no window: no display";
  Bytes image = IconImageBlock(16, 16, 4);
  ModuleOnDisk module(Join({IconResources(2, "", {image}, 1), IconResources(10, "", {image}, 2),
                            IconResources(1, "", {image}, 3),
                            IconResources(0, "MAINICON", {image}, 4),
                            IconResources(128, "", {image}, 5)}));
  ASSERT_TRUE(ListModule(module.path, &window));
  std::vector<std::string> expected = {"Icon [1]", "Icon [10]", "Icon [128]", "Icon [2]",
                                       "Icon [MAINICON]"};
  EXPECT_EQ(expected, window.Texts());
  std::vector<LRESULT> data = window.ItemData();
  ASSERT_EQ(5u, data.size());
  EXPECT_EQ(1, data[0]);
  EXPECT_EQ(10, data[1]);
  EXPECT_EQ(128, data[2]);
  EXPECT_EQ(2, data[3]);
  ASSERT_FALSE(IsIntegerResourceName(static_cast<ResourceName>(data[4])));
  EXPECT_STREQ("MAINICON", reinterpret_cast<const char*>(data[4]));

#ifdef _WIN32
  ReleaseListGroupNames(window.Window());
  data = window.ItemData();
  EXPECT_EQ(0, data[4]) << "the copy is freed and no longer named";
  EXPECT_EQ(128, data[2]) << "identifiers stay";
#endif
}

// One character that takes more than one byte in the system's code page:
// UTF-8 natively, GBK under Wine in a Chinese locale; empty where there is
// none (a single-byte code page).
std::string WideCharacter() {
#ifdef _WIN32
  return GetACP() == 936 ? "\xD6\xD0" : "";
#else
  return "\xE4\xB8\xAD";
#endif
}

TEST(ListGroupName, NamesTooLongForTheEntryAreCutKeepingTheBracket) {
  TestListWindow window;
  if (!window.HasList()) GTEST_SKIP() << "no window: no display";
  const std::string wide = WideCharacter();
  struct Case {
    std::string name;
    int textLength;
  } cases[] = {
      {std::string(247, 'N'), 254},
      {std::string(248, 'N'), 255},
      {std::string(249, 'N'), 255},
      {std::string(300, 'N'), 255},
      {std::string(5000, 'N'), 255},
      // A character that would end past the room is left out whole.
      {std::string(247, 'N') + wide + "N", wide.empty() ? 255 : 254},
      {std::string(246, 'N') + wide + "N", wide.empty() ? 254 : 246 + wide.size() <= 248 ? 255 : 253},
  };
  for (const Case& c : cases) {
    window.Entries()->Clear();
    std::string name = c.name;
    window.AddGroup(&name[0]);
    std::vector<std::string> texts = window.Texts();
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(static_cast<std::size_t>(c.textLength), texts[0].size()) << "name of " << c.name.size();
    EXPECT_EQ("Icon [N", texts[0].substr(0, 7));
    EXPECT_EQ(']', texts[0].back());
    std::vector<LRESULT> data = window.ItemData();
    EXPECT_EQ(name, reinterpret_cast<const char*>(data[0])) << "the copy is whole";
  }
}

#ifdef _WIN32
TEST(ListGroupName, GoesOnWithoutAListAndLeavesNothingBehind) {
  char name[] = "LOST";
  EXPECT_EQ(TRUE, ListGroupName(nullptr, RT_GROUP_ICON, name, 0));
  EXPECT_EQ(TRUE, ListGroupName(nullptr, RT_GROUP_ICON, MAKEINTRESOURCEA(5), 0));
}
#endif

struct ReadCase {
  const char* what;
  std::vector<ModuleResource> resources;
  ResourceName name;
  const char* message;  // null: none
  std::uint32_t images;  // when read
  bool reads;
};

std::vector<ReadCase> ReadCases() {
  Bytes four = IconImageBlock(32, 32, 4);
  Bytes eight = IconImageBlock(16, 16, 8, 0, 7);
  Bytes png = kSmallPng;
  Bytes garbage(100, 0x55);
  std::vector<ReadCase> cases;
  cases.push_back({"three images, PNG among them", IconResources(7, "", {four, eight, png}, 1), 7,
                   nullptr, 3, true});
  cases.push_back({"count 0", {{14, "", 7, GroupDirectory({})}}, 7, nullptr, 0, true});
  cases.push_back({"missing icon resource",
                   {{3, "", 1, four}, {14, "", 7, GroupDirectory({{32, 32, 4, 744, 1}, {16, 16, 8, 0, 9}})}},
                   7, nullptr, 0, false});
  cases.push_back({"null name", IconResources(7, "", {four}, 1), 0, nullptr, 0, false});
  cases.push_back({"no such group", IconResources(7, "", {four}, 1), 8, nullptr, 0, false});
  cases.push_back({"group counting more entries than it holds",
                   {{3, "", 1, four}, {14, "", 7, GroupDirectory({{32, 32, 4, 744, 1}}, 2)}}, 7,
                   kNotAnIconImage, 0, false});
  cases.push_back({"group shorter than its header", {{3, "", 1, four}, {14, "", 7, Bytes{0, 0, 1}}}, 7,
                   kNotAnIconImage, 0, false});
  cases.push_back({"image that is no icon image", IconResources(7, "", {four, garbage}, 1), 7,
                   kNotAnIconImage, 0, false});
  cases.push_back({"empty icon resource", IconResources(7, "", {four, Bytes{}}, 1), 7,
                   kNotAnIconImage, 0, false});
  return cases;
}

TEST(LoadModuleIconGroup, ReadsEveryImageOrNothing) {
  for (const ReadCase& c : ReadCases()) {
    SCOPED_TRACE(c.what);
    ModuleOnDisk module(c.resources);
    MessageCapture capture;
    IconGroupPtr group(LoadModuleIconGroup(module.path.c_str(), c.name));
    if (c.message) {
      ASSERT_EQ(1u, capture.Messages().size());
      EXPECT_EQ(c.message, capture.Messages()[0].text);
      EXPECT_EQ(module.path, capture.Messages()[0].caption);
    } else {
      EXPECT_TRUE(capture.Messages().empty()) << capture.Messages()[0].text;
    }
    watchedFile = std::filesystem::canonical(module.path);
    openWhileShown = false;
    MessageBoxHook before = SetMessageBoxHook(WatchOpenFile);
    FreeIconGroup(LoadModuleIconGroup(module.path.c_str(), c.name));
    SetMessageBoxHook(before);
    EXPECT_FALSE(openWhileShown) << "the module is closed before its message";
    ASSERT_EQ(c.reads, group != nullptr);
    if (!group) continue;
    EXPECT_EQ(c.images, group->imageCount);
    EXPECT_EQ(module.path, group->modulePath);
    EXPECT_STREQ("", group->iconPath);
  }
}

TEST(LoadModuleIconGroup, RecordsHoldCopiesOfTheResourceBytes) {
  Bytes four = IconImageBlock(32, 32, 4);
  Bytes eight = IconImageBlock(16, 16, 8, 0, 7);
  ModuleOnDisk module(Join({IconResources(0, "MAINICON", {four, eight, kSmallPng}, 1)}));
  char name[] = "MAINICON";
  IconGroupPtr group(LoadModuleIconGroup(module.path.c_str(), ResourceNameFromArgument(name)));
  ASSERT_NE(nullptr, group);
  ASSERT_EQ(3u, group->imageCount);
  const Bytes* expected[] = {&four, &eight, &kSmallPng};
  for (std::uint32_t i = 0; i < 3; ++i) {
    IconImage* image = GroupImage(group.get(), i);
    ASSERT_EQ(expected[i]->size(), image->byteCount);
    EXPECT_EQ(0, std::memcmp(expected[i]->data(), image->bits, image->byteCount));
  }
  EXPECT_EQ(32, GroupImage(group.get(), 0)->height);
  EXPECT_EQ(8, GroupImage(group.get(), 1)->bitsPerPixel);
  IconImage* png = GroupImage(group.get(), 2);
  EXPECT_EQ(2, png->width);
  EXPECT_EQ(3, png->height);
  EXPECT_EQ(nullptr, png->header);
}

TEST(LoadModuleIconGroup, FilesThatAreNoModuleAreReported) {
  TempDir dir;
  struct Case {
    const char* what;
    std::string path;
  } cases[] = {
      {"text file named .dll", dir.Write("text.dll", Bytes{'h', 'e', 'l', 'l', 'o', '\n'})},
      {"empty file", dir.Write("empty.dll", Bytes{})},
      {"icon file", dir.Write("icon.dll", IconFile({IconImageBlock(16, 16, 4)}))},
      {"no such file", dir.Path("missing.dll")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MessageCapture capture;
    EXPECT_EQ(nullptr, LoadModuleIconGroup(c.path.c_str(), 1));
    ASSERT_EQ(1u, capture.Messages().size());
    EXPECT_EQ(kNotAModule, capture.Messages()[0].text);
    EXPECT_EQ(c.path, capture.Messages()[0].caption);
  }
}

TEST(LoadPreviewIcon, TakesTheImageNearestTheDisplaysIconSize) {
  std::vector<Bytes> images = {IconImageBlock(16, 16, 4), IconImageBlock(32, 32, 4),
                               IconImageBlock(48, 48, 8)};
  ModuleOnDisk module(Join({IconResources(1, "", images, 1),
                            {{3, "", 20, IconImageBlock(16, 16, 4)},
                             {14, "", 2, GroupDirectory({{16, 16, 4, 296, 20}, {32, 32, 4, 744, 21}})}},
                            {{14, "", 3, GroupDirectory({{16, 16, 4, 296, 20}}, 3)}}}));
  ModuleHandle loaded(LoadLibraryExA(module.path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(loaded);
  MessageCapture capture;
  IconHandle icon(LoadPreviewIcon(loaded.Get(), 1));
  ASSERT_TRUE(icon.IsValid());
  EXPECT_EQ(32, IconWidth(icon.Get()));
  EXPECT_EQ(nullptr, LoadPreviewIcon(loaded.Get(), 2)) << "best fit is missing";
  EXPECT_EQ(nullptr, LoadPreviewIcon(loaded.Get(), 3)) << "count beyond the bytes";
  EXPECT_EQ(nullptr, LoadPreviewIcon(loaded.Get(), 4)) << "no such group";
  EXPECT_EQ(nullptr, LoadPreviewIcon(loaded.Get(), 0));
  EXPECT_EQ(nullptr, LoadPreviewIcon(nullptr, 1));
  EXPECT_TRUE(capture.Messages().empty());
}

// Wine's own shell32.dll: 184 group icons, most of them with PNG images.
const char* WineShell32() {
#ifdef _WIN32
  return "Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\shell32.dll";
#else
  return "/usr/lib/i386-linux-gnu/wine/i386-windows/shell32.dll";
#endif
}

TEST(WineShell32, EveryGroupIsListedReadAndPreviewed) {
  TestListWindow window;
  if (!window.HasList()) GTEST_SKIP() << "no window: no display";
  if (!ListModule(WineShell32(), &window)) GTEST_SKIP() << "no " << WineShell32();
  std::vector<std::string> texts = window.Texts();
  std::vector<LRESULT> data = window.ItemData();
  EXPECT_EQ(184u, texts.size());
  EXPECT_EQ("Icon [1]", texts.at(0));
  EXPECT_EQ("Icon [10]", texts.at(1));
  ModuleHandle module(LoadLibraryExA(WineShell32(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(module);
  MessageCapture capture;
  std::size_t pngImages = 0;
  for (std::size_t i = 0; i < data.size(); ++i) {
    SCOPED_TRACE(texts[i]);
    auto name = static_cast<ResourceName>(data[i]);
    IconGroupPtr group(LoadModuleIconGroup(WineShell32(), name));
    ASSERT_NE(nullptr, group);
    ASSERT_GE(group->imageCount, 1u);
    for (std::uint32_t k = 0; k < group->imageCount; ++k) {
      pngImages += IsPngImage(GroupImage(group.get(), k));
    }
    IconHandle icon(LoadPreviewIcon(module.Get(), name));
    ASSERT_TRUE(icon.IsValid());
    EXPECT_EQ(32, IconWidth(icon.Get()));
  }
  EXPECT_GT(pngImages, 100u);
  EXPECT_TRUE(capture.Messages().empty());
}

}  // namespace
