// The malformed files of make-hostile-files.py, opened as the window opens
// them: each must give exactly the outcome its manifest line names, and what
// reads must go on to survive drawing, copying and saving, leaving behind no
// file but the ones saved. Run natively, under the sanitizers and under
// Valgrind.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/bitmap_file.h"
#include "core/icon_file.h"
#include "core/icon_from_bitmap.h"
#include "core/icon_handles.h"
#include "core/handles.h"
#include "core/module_icons.h"
#include "core/png_image.h"
#include "tests/support/message_capture.h"
#include "tests/support/temp_dir.h"

namespace {

struct GroupDeleter {
  void operator()(IconGroup* group) const { FreeIconGroup(group); }
};
using GroupPtr = std::unique_ptr<IconGroup, GroupDeleter>;

std::string FilesDir() {
  const char* dir = std::getenv("PICTROVE_HOSTILE_FILES");
  return dir ? dir : "";
}

// The program's texts are GBK bytes; the manifest is UTF-8.
std::string Utf8FromGbk(const std::string& text) {
  iconv_t convert = iconv_open("UTF-8", "GBK");
  if (convert == reinterpret_cast<iconv_t>(-1)) return text;
  std::string out(text.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* to = &out[0];
  std::size_t outLeft = out.size();
  std::size_t done = iconv(convert, &in, &inLeft, &to, &outLeft);
  iconv_close(convert);
  if (done == static_cast<std::size_t>(-1)) return text;
  out.resize(out.size() - outLeft);
  return out;
}

std::string EndingOf(const std::string& name) {
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? "" : name.substr(dot + 1);
}

// The texts of the messages shown so far, in UTF-8, each after " | "; every
// one must name the file as its caption. The capture is emptied.
std::string Said(MessageCapture& capture, const std::string& path) {
  std::string said;
  for (const CapturedMessage& message : capture.Messages()) {
    EXPECT_EQ(path, message.caption) << "the message does not name its file";
    said += " | " + Utf8FromGbk(message.text);
  }
  capture.Clear();
  return said;
}

// What becomes of a group that was read: every image drawn and copied, the
// group saved as an icon file and its first image as a bitmap, what was saved
// read back. Only the files saved may be left in `out`. What saving a broken
// image says is not the reader's outcome, and is dropped.
void UseGroup(IconGroup* group, const TempDir& out, MessageCapture& capture) {
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    HICON icon = IconHandleFromImage(GroupImage(group, i));
    if (icon != nullptr) DestroyIcon(icon);
    CopyImageToClipboard(GroupImage(group, i));
  }
  std::vector<std::string> saved;
  if (SaveIconFile(group, out.Path("saved.ico").c_str())) {
    saved.push_back("saved.ico");
    GroupPtr back(LoadIconFile(out.Path("saved.ico").c_str()));
    EXPECT_NE(back, nullptr) << "the icon file written does not read";
    if (back) {
      EXPECT_EQ(group->imageCount, back->imageCount);
    }
  }
  if (group->imageCount != 0 &&
      SaveImageAsBitmap(out.Path("saved.bmp").c_str(), GroupImage(group, 0))) {
    saved.push_back("saved.bmp");
    std::free(LoadBitmapFile(out.Path("saved.bmp").c_str()));
  }
  std::sort(saved.begin(), saved.end());
  EXPECT_EQ(saved, out.Files()) << "a failed save left a file behind";
  for (const std::string& name : saved) std::remove(out.Path(name).c_str());
  capture.Clear();
}

std::string ReadIconFileOutcome(const std::string& path, const TempDir& out,
                                MessageCapture& capture) {
  GroupPtr group(LoadIconFile(path.c_str()));
  std::string said = Said(capture, path);
  if (!group) return said.substr(3);
  UseGroup(group.get(), out, capture);
  return "reads " + std::to_string(group->imageCount) + said;
}

std::string ReadBitmapOutcome(const std::string& path, const TempDir& out,
                              MessageCapture& capture) {
  GroupPtr group(CreateUntitledGroup());
  int read = ReadBitmapIntoGroup(group.get(), true, path.c_str());
  std::string said = Said(capture, path);
  if (!read) return said.substr(3);
  UseGroup(group.get(), out, capture);
  return "reads" + said;
}

// The module's group icons listed as the Open command lists them, each read
// with every image as the Save command reads it and drawn as the preview is.
// A module that does not load says so when a group is read from it.
std::string ReadModuleOutcome(const std::string& path, const TempDir& out,
                              MessageCapture& capture) {
  ModuleHandle module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) {
    GroupPtr group(LoadModuleIconGroup(path.c_str(), 1));
    EXPECT_EQ(group, nullptr);
    return Said(capture, path).substr(3);
  }
  HWND dialog = CreateNativeListDialog();
  EnumResourceNamesA(module.Get(), RT_GROUP_ICON, ListGroupName,
                     reinterpret_cast<LONG_PTR>(dialog));
  HWND list = GetDlgItem(dialog, kIconListId);
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  LRESULT read = 0;
  std::string said;
  for (LRESULT i = 0; i < count; ++i) {
    auto name = static_cast<ResourceName>(
        SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
    GroupPtr group(LoadModuleIconGroup(path.c_str(), name));
    said += Said(capture, path);
    if (group) {
      ++read;
      UseGroup(group.get(), out, capture);
    }
    HICON preview = LoadPreviewIcon(module.Get(), name);
    if (preview != nullptr) DestroyIcon(preview);
  }
  ReleaseListGroupNames(dialog);
  DestroyWindow(dialog);
  return "reads " + std::to_string(read) + " of " + std::to_string(count) + said;
}

struct Case {
  std::string name;
  std::string outcome;
};

std::vector<Case> ReadManifest(const std::string& folder) {
  std::vector<Case> cases;
  std::ifstream manifest(folder + "/manifest.txt");
  std::string line;
  while (std::getline(manifest, line)) {
    std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    cases.push_back({line.substr(0, tab), line.substr(tab + 1)});
  }
  return cases;
}

TEST(HostileFiles, EachGivesTheOutcomeItsManifestNames) {
  const std::string folder = FilesDir();
  if (folder.empty()) GTEST_SKIP() << "PICTROVE_HOSTILE_FILES not set";
  std::vector<Case> cases = ReadManifest(folder);
  ASSERT_GT(cases.size(), 100u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder + "/" + c.name;
    const std::string kind = EndingOf(c.name);
    TempDir out;
    MessageCapture capture;
    std::string outcome;
    if (kind == "ico") {
      outcome = ReadIconFileOutcome(path, out, capture);
    } else if (kind == "bmp") {
      outcome = ReadBitmapOutcome(path, out, capture);
    } else {
      outcome = ReadModuleOutcome(path, out, capture);
    }
    // A module the script has added since its outcome was written down:
    // reading it without a fault is the test.
    if (c.outcome == "any") continue;
    EXPECT_EQ(c.outcome, outcome);
    // The manifest line this file would need, readable, for a changed reader.
    if (c.outcome != outcome) std::printf("actual:\t%s\t%s\n", c.name.c_str(), outcome.c_str());
    EXPECT_TRUE(out.Files().empty());
  }
}

// A PNG image is bound from its header chunk alone; decoding it must refuse
// data that inflates far past the picture the header declares, instead of
// following it to gigabytes.
TEST(HostileFiles, PngDataInflatingPastItsPictureIsNotDecoded) {
  const std::string folder = FilesDir();
  if (folder.empty()) GTEST_SKIP() << "PICTROVE_HOSTILE_FILES not set";
  MessageCapture capture;
  GroupPtr group(LoadIconFile((folder + "/img-png-inflates-far.ico").c_str()));
  ASSERT_NE(group, nullptr);
  const IconImage* image = GroupImage(group.get(), 0);
  EXPECT_EQ(nullptr, DecodePngToDib(image->bits, image->byteCount));
}

}  // namespace
