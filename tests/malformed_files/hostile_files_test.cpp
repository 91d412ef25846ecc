// The malformed files of make-hostile-files.py, opened through the document
// as the window opens them: each must give exactly the outcome its manifest line names, and what
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
#include "core/icon_document.h"
#include "core/icon_handles.h"
#include "core/messages.h"
#include "codecs/png_dib.h"
#include "core/held_entries.h"
#include "tests/support/message_capture.h"
#include "tests/support/temp_dir.h"

namespace {

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

// The texts of the messages shown so far, in UTF-8, each after " | ": the
// readers' (captioned with the file) and the Open command's own (captioned
// "错误"; a path at the start of the text is left out). That nothing is
// listed shows in the outcome already, so its message is left out too. The
// capture is emptied.
std::string Said(MessageCapture& capture, const std::string& path) {
  std::string said;
  for (const CapturedMessage& message : capture.Messages()) {
    std::string text = message.text;
    if (text == MessageText(Message::kNoIcons)) continue;
    if (message.caption != path) {
      EXPECT_EQ(std::string("错误"), message.caption) << "a message names neither its file nor the program";
      if (text.compare(0, path.size(), path) == 0) text.erase(0, path.size());
    }
    said += " | " + Utf8FromGbk(text);
  }
  capture.Clear();
  return said;
}

// What becomes of the group read for the selected entry: every image drawn
// and copied, then the entry saved as the window saves it, as an icon file,
// a bitmap and a PNG file, and what was saved read back. Only the files
// saved may be left in `out`. What saving a broken image says is not the
// reader's outcome, and is dropped.
void UseGroup(IconDocument& document, const IconGroup* group, const TempDir& out,
              MessageCapture& capture) {
  const std::uint32_t imageCount = group->imageCount;
  for (std::uint32_t i = 0; i < imageCount; ++i) {
    IconHandle icon(IconHandleFromImage(&group->images[i]));
    CopyImageToClipboard(&group->images[i]);
  }
  document.Copy();
  std::vector<std::string> saved;
  if (document.Save(out.Path("saved.ico").c_str(), "ico", nullptr) == IconDocument::Saved::kWritten) {
    saved.push_back("saved.ico");
    IconGroupPtr back(LoadIconFile(out.Path("saved.ico").c_str()));
    EXPECT_NE(back, nullptr) << "the icon file written does not read";
    if (back) {
      EXPECT_EQ(imageCount, back->imageCount);
    }
  }
  if (document.Save(out.Path("saved.bmp").c_str(), "bmp", nullptr) == IconDocument::Saved::kWritten) {
    saved.push_back("saved.bmp");
    std::free(LoadBitmapFile(out.Path("saved.bmp").c_str()));
  }
  if (document.Save(out.Path("saved.png").c_str(), "png", nullptr) == IconDocument::Saved::kWritten) {
    saved.push_back("saved.png");
  }
  std::sort(saved.begin(), saved.end());
  EXPECT_EQ(saved, out.Files()) << "a failed save left a file behind";
  for (const std::string& name : saved) std::remove(out.Path(name).c_str());
  capture.Clear();
}

// The file opened as the window opens it, its kind by its extension. An icon
// or bitmap file: "reads" (with the icon file's image count) when its group
// was read. A module: its group icons listed, each then selected, read with
// every image as Save reads it, and drawn as the preview is: "reads N of M".
std::string OpenOutcome(const std::string& path, const std::string& kind, const TempDir& out,
                        MessageCapture& capture) {
  HeldEntries list;
  IconDocument document;
  document.Attach(&list, nullptr);
  // Told as the window tells it.
  const IconDocument::OpenOutcome opened = document.Open(path.c_str());
  if (!opened.listed) ShowMessage(opened.failure, path.c_str());
  const bool listed = opened.listed && document.SelectFirstEntry();
  std::string said = Said(capture, path);
  if (kind == "ico" || kind == "bmp") {
    const IconGroup* group = document.ReadSelectedGroup();
    const bool read = kind == "ico" ? group != nullptr : document.HasFirstImage();
    if (!read) return said.substr(3);
    std::string outcome = kind == "ico" ? "reads " + std::to_string(group->imageCount) : "reads";
    if (listed) UseGroup(document, group, out, capture);
    return outcome + said;
  }
  if (!document.IsModuleSource()) return said.substr(3);
  const std::vector<std::string> entries = document.Entries();
  std::size_t read = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    document.SelectEntry(static_cast<int>(i));
    const IconGroup* group = document.ReadSelectedGroup();
    said += Said(capture, path);
    if (group != nullptr) {
      ++read;
      UseGroup(document, group, out, capture);
    }
    IconHandle preview;
    document.SelectedModulePreview(&preview);
  }
  return "reads " + std::to_string(read) + " of " + std::to_string(entries.size()) + said;
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
    std::string outcome = OpenOutcome(path, kind, out, capture);
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
  IconGroupPtr group(LoadIconFile((folder + "/img-png-inflates-far.ico").c_str()));
  ASSERT_NE(group, nullptr);
  const IconImage* image = GroupImage(group.get(), 0);
  std::uint8_t* dib = nullptr;
  EXPECT_EQ(DecodeOutcome::kUndecodable, DecodePngToDib(image->bits, image->byteCount, &dib));
  EXPECT_EQ(nullptr, dib);
}

}  // namespace
