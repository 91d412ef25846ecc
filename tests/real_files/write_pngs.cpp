// Writes, for every group icon of the modules named, what the window's Save
// writes to a .png name (the group's largest image), and each image of the
// group as a PNG file of its own, for png-matches-icotool.py to compare
// with what icotool extracts.
// Usage: write_pngs OUTDIR MODULE...
// Prints one line per group: MODULE<TAB>NAME<TAB>LARGEST<TAB>IMAGES, NAME
// being the text between the entry's brackets and LARGEST counting from 1
// as icotool does. The files are OUTDIR/MODULE/NAME.png (the Save) and
// OUTDIR/MODULE/NAME-N.png (image N, from 1).
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/icon_document.h"
#include "core/png_file.h"
#include "core/held_entries.h"

namespace {

class NativeDocument {
 public:
  NativeDocument() { document_.Attach(&entries_, nullptr); }
  ~NativeDocument() { document_.Close(); }
  NativeDocument(const NativeDocument&) = delete;
  NativeDocument& operator=(const NativeDocument&) = delete;
  IconDocument& Get() { return document_; }

 private:
  HeldEntries entries_;
  IconDocument document_;
};

std::string BaseName(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "Icon [NAME]" -> NAME
std::string GroupName(const std::string& entry) {
  const std::string prefix = "Icon [";
  if (entry.compare(0, prefix.size(), prefix) != 0 || entry.back() != ']') return entry;
  return entry.substr(prefix.size(), entry.size() - prefix.size() - 1);
}

// Returns false when something that should have been written was not.
bool WriteModule(const std::string& outDir, const std::string& module) {
  NativeDocument document;
  IconDocument& doc = document.Get();
  // A module without group icons lists nothing, with a message; that is
  // no failure here.
  if (!doc.Open(module.c_str()).listed) return true;
  const std::string folder = outDir + "/" + BaseName(module);
  mkdir(folder.c_str(), 0755);
  bool ok = true;
  std::vector<std::string> entries = doc.Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string name = GroupName(entries[i]);
    doc.SelectEntry(static_cast<int>(i));
    const std::string saved = folder + "/" + name + ".png";
    if (doc.Save(saved.c_str(), "png", nullptr) != IconDocument::Saved::kWritten) {
      std::fprintf(stderr, "%s %s: not saved\n", module.c_str(), entries[i].c_str());
      ok = false;
      continue;
    }
    // The group the Save read stays the document's current group.
    const IconGroup* group = doc.ReadSelectedGroup();
    for (std::uint32_t n = 0; n < group->imageCount; ++n) {
      const std::string image = folder + "/" + name + "-" + std::to_string(n + 1) + ".png";
      if (!SaveImageAsPng(image.c_str(), &group->images[n])) ok = false;
    }
    std::printf("%s\t%s\t%d\t%u\n", BaseName(module).c_str(), name.c_str(), doc.LargestImageIndex() + 1,
                static_cast<unsigned>(group->imageCount));
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: write_pngs OUTDIR MODULE...\n");
    return 2;
  }
  bool ok = true;
  for (int i = 2; i < argc; ++i) ok = WriteModule(argv[1], argv[i]) && ok;
  return ok ? 0 : 1;
}
