// 16-bit (NE) modules through the resource interface and the document, as
// the window and the command open them: in the Windows build as well, where
// kernel32 keeps serving PE files and our reader serves NE ones.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/icon_document.h"
#include "core/messages.h"
#include "core/module_icons.h"
#include "core/module_loading.h"
#include "platform/handles.h"
#include "platform/module_resources.h"
#include "tests/module_icons/icon_size.h"
#include "tests/module_icons/test_list_window.h"
#include "tests/module_resources/ne_bytes.h"
#include "tests/module_resources/test_modules.h"
#include "tests/support/image_bytes.h"
#include "tests/support/message_capture.h"

namespace {

using ne_bytes::ModuleOf;

std::unique_ptr<NeModuleResources> Resources(const Bytes& file) {
  HeapPtr<std::uint8_t> copy(static_cast<std::uint8_t*>(std::malloc(file.size())));
  std::memcpy(copy.get(), file.data(), file.size());
  std::unique_ptr<NeModuleResources> module(new NeModuleResources);
  if (!module->Open(std::move(copy), file.size())) return nullptr;
  return module;
}

struct Listing {
  std::vector<std::string> names;  // "#n" for identifiers
  bool moduleNull = true;
  int stopAfter = -1;
};

BOOL CALLBACK Collect(HMODULE module, LPCSTR, LPSTR name, LONG_PTR param) {
  auto* listing = reinterpret_cast<Listing*>(param);
  listing->moduleNull = listing->moduleNull && module == nullptr;
  const auto value = reinterpret_cast<ULONG_PTR>(name);
  listing->names.push_back((value >> 16) == 0 ? "#" + std::to_string(value) : std::string(name));
  return static_cast<int>(listing->names.size()) != listing->stopAfter;
}

std::string Content(const ByteView& bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.Data()), bytes.Length());
}

TEST(NeModuleResources, FindsAndListsAsTheResourceCallsDo) {
  const Bytes one(20, 'a'), two(40, 'b'), three(5, 'c'), four(7, 'd');
  Bytes file = ModuleOf({{14, "", 2, one}, {14, "MAINICON", 0, two}, {14, "", 0x7FFF, three}, {3, "", 2, four}});
  std::unique_ptr<NeModuleResources> module = Resources(file);
  ASSERT_NE(nullptr, module);
  struct Case {
    LPCSTR name;
    LPCSTR type;
    bool found;
    std::string bytes;  // padded to the 16-byte unit
  } cases[] = {
      {MAKEINTRESOURCEA(2), RT_GROUP_ICON, true, std::string(20, 'a') + std::string(12, '\0')},
      {MAKEINTRESOURCEA(2), RT_ICON, true, std::string(7, 'd') + std::string(9, '\0')},
      {"MAINICON", RT_GROUP_ICON, true, std::string(40, 'b') + std::string(8, '\0')},
      {"mainIcon", RT_GROUP_ICON, true, std::string(40, 'b') + std::string(8, '\0')},
      {"MAINICON", MAKEINTRESOURCEA(3), false, ""},
      {"#2", RT_GROUP_ICON, true, std::string(20, 'a') + std::string(12, '\0')},
      {"#2", "#3", true, std::string(7, 'd') + std::string(9, '\0')},
      {"#32767", RT_GROUP_ICON, true, std::string(5, 'c') + std::string(11, '\0')},
      // Identifiers have 15 bits in the table: no flag bit is asked for.
      {MAKEINTRESOURCEA(0x8002), RT_GROUP_ICON, false, ""},
      {"#98306", RT_GROUP_ICON, false, ""},
      {MAKEINTRESOURCEA(3), RT_GROUP_ICON, false, ""},
      {"", RT_GROUP_ICON, false, ""},
  };
  for (const Case& c : cases) {
    const auto label = (reinterpret_cast<ULONG_PTR>(c.name) >> 16) == 0
                           ? std::to_string(reinterpret_cast<ULONG_PTR>(c.name))
                           : std::string(c.name);
    ByteView bytes;
    ASSERT_EQ(c.found, module->Find(c.name, c.type, &bytes)) << label;
    if (c.found) {
      EXPECT_EQ(c.bytes, Content(bytes)) << label;
    }
  }

  Listing all;
  EXPECT_EQ(TRUE, module->EnumerateNames(RT_GROUP_ICON, Collect, reinterpret_cast<LONG_PTR>(&all)));
  EXPECT_EQ((std::vector<std::string>{"#2", "MAINICON", "#32767"}), all.names);
  EXPECT_TRUE(all.moduleNull);
  Listing stopped;
  stopped.stopAfter = 2;
  EXPECT_EQ(FALSE, module->EnumerateNames(RT_GROUP_ICON, Collect, reinterpret_cast<LONG_PTR>(&stopped)));
  EXPECT_EQ(2u, stopped.names.size());
  Listing none;
  EXPECT_EQ(FALSE, module->EnumerateNames(MAKEINTRESOURCEA(16), Collect, reinterpret_cast<LONG_PTR>(&none)));
  EXPECT_TRUE(none.names.empty());
  EXPECT_EQ(FALSE, module->EnumerateNames(RT_GROUP_ICON, nullptr, 0));
}

TEST(NeModuleResources, AnImageIsAsLongAsItsEntrySaysWithinItsResource) {
  Bytes file = ModuleOf({{3, "", 1, Bytes(20, 'a')}});
  std::unique_ptr<NeModuleResources> module = Resources(file);
  ASSERT_NE(nullptr, module);
  ByteView resource;
  ASSERT_TRUE(module->Find(MAKEINTRESOURCEA(1), RT_ICON, &resource));
  ASSERT_EQ(32u, resource.Length());
  for (std::uint32_t claimed : {0u, 1u, 20u, 31u, 32u, 33u, 0xFFFFFFFFu}) {
    ByteView image = module->EntryImage(resource, claimed);
    EXPECT_EQ(claimed < 32 ? claimed : 32u, image.Length()) << claimed;
    if (image.Length() != 0) {
      EXPECT_EQ(resource.Data(), image.Data());
    }
  }
  // PE resources are as long as their directory says.
  LoadedModuleResources loaded(static_cast<HMODULE>(nullptr));
  EXPECT_EQ(32u, loaded.EntryImage(resource, 20).Length());
}

TEST(NeModuleResources, ResourcesOverSharedBytesShareOneCopy) {
  // Forty resources at one offset, each a unit longer than the one before:
  // a copy each would cost twenty times the file. Past the first few, each
  // is a part of one copy.
  ne_bytes::Description d;
  d.types.push_back({ne_bytes::Field::Id(3), {}});
  for (std::uint16_t i = 1; i <= 40; ++i) d.types[0].names.push_back({ne_bytes::Field::Id(i), 16, i});
  d.fileBytes = 16 * 16 + 16 * 40;
  std::unique_ptr<NeModuleResources> module = Resources(ne_bytes::Build(d).file);
  ASSERT_NE(nullptr, module);
  ByteView bytes[41];
  for (std::uint16_t i = 1; i <= 40; ++i) {
    ASSERT_TRUE(module->Find(MAKEINTRESOURCEA(i), RT_ICON, &bytes[i]));
    EXPECT_EQ(16u * i, bytes[i].Length());
    EXPECT_EQ(0, std::memcmp(bytes[1].Data(), bytes[i].Data(), bytes[1].Length())) << i;
  }
  EXPECT_EQ(bytes[20].Data(), bytes[40].Data());
}

TEST(NeModuleResources, RefusesWhatIsNoNeModule) {
  Bytes pe(256, 0);
  pe[0] = 'M';
  pe[1] = 'Z';
  pe[0x3C] = 64;
  std::memcpy(&pe[64], "PE\0\0", 4);
  for (const Bytes& file : {pe, Bytes{'M', 'Z'}, Bytes{}}) {
    EXPECT_EQ(nullptr, Resources(file.empty() ? Bytes{0} : file));
  }
}

// A document on a window with the main window's sorted list.
struct OpenedDocument {
  TestListWindow window;
  IconDocument document;
  OpenedDocument() { document.Attach(window.Entries(), nullptr); }
  ~OpenedDocument() { document.Close(); }
};

std::vector<std::pair<std::uint32_t, std::uint32_t>> Images(const IconGroup* group) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> images;
  for (std::uint32_t i = 0; group != nullptr && i < group->imageCount; ++i) {
    const IconImage& image = group->images[i];
    images.emplace_back(image.byteCount, Crc32(image.bits, image.byteCount));
  }
  return images;
}

#define REQUIRE_TEST_MODULES()                                                        \
  do {                                                                                \
    if (TestModulesDir().empty()) GTEST_SKIP() << "PICTROVE_TEST_MODULES is not set"; \
  } while (0)

// Every group of every made NE module, listed, read as Save reads it (a
// loading of its own) and from the module held since Open, and previewed.
TEST(NeDocument, ListsReadsAndPreviewsEveryGroupOfTheMadeModules) {
  REQUIRE_TEST_MODULES();
  TestListWindow probe;
  if (!probe.HasList()) GTEST_SKIP() << "no window: no display";
  std::vector<ManifestGroup> groups = ReadManifestGroups(TestModulesDir(), "manifest-ne.txt");
  ASSERT_GT(groups.size(), 50u);
  std::size_t read = 0;
  for (const ManifestGroup& expected : groups) {
    SCOPED_TRACE(expected.module + " " + expected.entry);
    const std::string path = JoinPath(TestModulesDir(), expected.module);
    OpenedDocument opened;
    MessageCapture capture;
    ASSERT_TRUE(opened.document.Open(path.c_str()).listed);
    ASSERT_TRUE(opened.document.IsModuleSource());
    const int entry = opened.document.FindEntry(expected.entry);
    ASSERT_GE(entry, 0);
    opened.document.SelectEntry(entry);
    EXPECT_EQ(expected.images, Images(opened.document.ReadSelectedGroup()));
    EXPECT_EQ(expected.images, Images(opened.document.ReadEntryFromHeldModule(entry)));
    IconHandle preview;
    ASSERT_TRUE(opened.document.SelectedModulePreview(&preview));
    EXPECT_EQ(!expected.images.empty(), preview.IsValid());
    EXPECT_TRUE(capture.Messages().empty()) << capture.Messages()[0].text;
    ++read;
  }
  EXPECT_EQ(groups.size(), read);
}

TEST(NeDocument, ListsGroupsInTheSortedListsOrder) {
  REQUIRE_TEST_MODULES();
  TestListWindow probe;
  if (!probe.HasList()) GTEST_SKIP() << "no window: no display";
  struct Case {
    const char* module;
    std::vector<std::string> entries;
  } cases[] = {
      {"ne-good-shift4.icl", {"Icon [10]", "Icon [12]", "Icon [2]", "Icon [FOLDER]", "Icon [MAINICON]"}},
      {"ne-good-shift9.icl", {"Icon [10]", "Icon [12]", "Icon [2]", "Icon [FOLDER]", "Icon [MAINICON]"}},
      {"ne-good.exe", {"Icon [10]", "Icon [12]", "Icon [2]", "Icon [FOLDER]", "Icon [MAINICON]"}},
      {"ne-odd-split-types.icl", {"Icon [1]", "Icon [SECOND]"}},
  };
  for (const Case& c : cases) {
    OpenedDocument opened;
    MessageCapture capture;
    ASSERT_TRUE(opened.document.Open(JoinPath(TestModulesDir(), c.module).c_str()).listed) << c.module;
    EXPECT_TRUE(opened.document.SelectFirstEntry());
    EXPECT_EQ(c.entries, opened.document.Entries()) << c.module;
    EXPECT_TRUE(capture.Messages().empty()) << c.module;
  }
}

// An NE module without group icons says what a PE module without them
// says; one whose headers are broken, what a file that is no module says.
TEST(NeDocument, ModulesWithoutGroupIconsOrHeadersAreReportedAsPeModulesAre) {
  REQUIRE_TEST_MODULES();
  struct Case {
    const char* module;
    Message message;
  } cases[] = {
      {"ne-good-font.fon", Message::kEnumerationFailed},
      {"ne-good-no-group-icons.dll", Message::kEnumerationFailed},
      {"ne-good-no-resources.exe", Message::kEnumerationFailed},
      {"ne-bad-shift-16.icl", Message::kEnumerationFailed},
      {"good-no-group-icons.dll", Message::kEnumerationFailed},
      {"ne-bad-cut-header.exe", Message::kNotLoadable},
      {"ne-bad-lfanew-past-end.exe", Message::kNotLoadable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.module);
    const std::string path = JoinPath(TestModulesDir(), c.module);
    OpenedDocument opened;
    MessageCapture capture;
    const IconDocument::OpenOutcome outcome = opened.document.Open(path.c_str());
    EXPECT_FALSE(outcome.listed);
    EXPECT_EQ(c.message, outcome.failure);
    EXPECT_TRUE(capture.Messages().empty()) << "the caller tells what Open came to";
    EXPECT_TRUE(opened.document.Entries().empty());
    EXPECT_EQ(c.message == Message::kEnumerationFailed, opened.document.IsModuleSource());
    capture.Clear();
    // Save then loads the file itself: for a broken one, it says so.
    EXPECT_EQ(nullptr, LoadModuleIconGroup(path.c_str(), 1));
    EXPECT_EQ(c.message == Message::kNotLoadable ? 1u : 0u, capture.Messages().size());
  }
}

// The one group icon of Wine's own NE modules: display.drv's, ten images
// (a PNG one first) of the sizes its entries give, cut out of the PE file
// that carries it.
TEST(NeDocument, ReadsTheGroupIconOfWinesDisplayDriver) {
  TestListWindow probe;
  if (!probe.HasList()) GTEST_SKIP() << "no window: no display";
  Bytes carrier = ReadFileContents(JoinPath(WineModulesDir(), "display.drv16"));
  if (carrier.empty()) GTEST_SKIP() << "no display.drv16 in " << WineModulesDir();
  TempDir dir;
  const std::string path = dir.Write("display.drv", EmbeddedNeModule(carrier));
  OpenedDocument opened;
  MessageCapture capture;
  ASSERT_TRUE(opened.document.Open(path.c_str()).listed);
  ASSERT_TRUE(opened.document.SelectFirstEntry());
  EXPECT_EQ(std::vector<std::string>{"Icon [1]"}, opened.document.Entries());
  const IconGroup* group = opened.document.ReadSelectedGroup();
  ASSERT_NE(nullptr, group);
  ASSERT_EQ(10u, group->imageCount);
  const std::uint32_t sizes[] = {23001, 9640, 3752, 1640, 4264, 2216, 744, 1128, 1384, 296};
  for (std::uint32_t i = 0; i < 10; ++i) EXPECT_EQ(sizes[i], group->images[i].byteCount) << i;
  EXPECT_TRUE(IsPngImage(&group->images[0]));
  EXPECT_EQ(48, group->images[1].width);
  IconHandle preview;
  ASSERT_TRUE(opened.document.SelectedModulePreview(&preview));
  ASSERT_TRUE(preview.IsValid());
  EXPECT_EQ(32, IconWidth(preview.Get()));
  EXPECT_TRUE(capture.Messages().empty());
}

}  // namespace
