// pictrove: the icon extractor's core from the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/icon_file.h"
#include "core/messages.h"
#include "platform/platform.h"
#include "source.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char kUsageText[] =
    "usage: pictrove list FILE\n"
    "       pictrove info FILE [--entry TEXT]\n"
    "       pictrove save FILE TARGET [--entry TEXT]\n"
    "       pictrove extract FILE... -o DIR\n"
    "       pictrove --help\n"
    "\n"
    "FILE is opened as the window's Open command opens it, its kind chosen by\n"
    "its extension: .ico an icon file, .bmp a bitmap, anything else a module.\n"
    "\n"
    "  list   prints the entries the icon list would hold, one a line.\n"
    "  info   prints one line per image of the icon that Save would write:\n"
    "         INDEX WIDTHxHEIGHT BPP-bit BYTES bytes [png]\n"
    "  save   writes the entry (default: the first) to TARGET: .ico the whole\n"
    "         icon, .bmp the colour picture of its first image.\n"
    "  extract writes every group icon of every FILE into DIR as its own .ico:\n"
    "         a module's entry \"Icon [NAME]\" as FILENAME_Icon_NAME.ico (for\n"
    "         shell32.dll_Icon_1.ico), an icon or bitmap file's one icon as\n"
    "         FILENAME_Icon.ico; characters a file name can't hold become \"_\".\n"
    "         A line per file written; a bad FILE is reported and skipped.\n"
    "\n"
    "Messages go to stderr as \"caption: text\". Exit status: 0 done, 1 after a\n"
    "message, 2 usage error.\n";

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "pictrove: %s\n", problem);
  std::fputs(kUsageText, stderr);
  return kUsage;
}

struct Arguments {
  std::string command;
  std::vector<std::string> files;
  std::string entry;
  bool hasEntry = false;
  std::string outputFolder;
  bool hasOutputFolder = false;
};

bool Parse(int argc, char** argv, Arguments* args) {
  if (argc < 2) return false;
  args->command = argv[1];
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--entry") == 0) {
      if (i + 1 >= argc || args->hasEntry) return false;
      args->entry = argv[++i];
      args->hasEntry = true;
    } else if (std::strcmp(argv[i], "-o") == 0) {
      if (i + 1 >= argc || args->hasOutputFolder) return false;
      args->outputFolder = argv[++i];
      args->hasOutputFolder = true;
    } else {
      args->files.push_back(argv[i]);
    }
  }
  return true;
}

// Opens the source and selects the entry to work on; false after a message.
bool OpenAndSelect(Source& source, const Arguments& args) {
  if (!source.Open(args.files[0])) return false;
  if (!args.hasEntry) return true;
  int entry = source.Document().FindEntry(args.entry);
  if (entry < 0) {
    std::fprintf(stderr, "pictrove: %s has no entry \"%s\"\n", args.files[0].c_str(),
                 args.entry.c_str());
    return false;
  }
  source.Document().SelectEntry(entry);
  return true;
}

int List(const Arguments& args) {
  if (args.files.size() != 1 || args.hasEntry || args.hasOutputFolder) {
    return Usage("list takes one FILE");
  }
  Source source;
  source.Open(args.files[0]);
  const std::vector<std::string> entries = source.Document().Entries();
  for (const std::string& entry : entries) std::printf("%s\n", entry.c_str());
  return entries.empty() ? kFailed : kDone;
}

int Info(const Arguments& args) {
  if (args.files.size() != 1 || args.hasOutputFolder) return Usage("info takes one FILE");
  Source source;
  if (!OpenAndSelect(source, args)) return kFailed;
  const IconGroup* group = source.Document().ReadSelectedEntry();
  if (group == nullptr) {
    ShowMessage(Message::kNothingToSave);
    return kFailed;
  }
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    const IconImage& image = group->images[i];
    std::printf("%u %dx%d %d-bit %u bytes%s\n", i, image.width, image.height, image.bitsPerPixel,
                image.byteCount, IsPngImage(&image) ? " png" : "");
  }
  return kDone;
}

int Save(const Arguments& args) {
  if (args.files.size() != 2 || args.hasOutputFolder) return Usage("save takes FILE and TARGET");
  const std::string& target = args.files[1];
  std::string kind = LowerExtension(target);
  if (kind != "ico" && kind != "bmp") return Usage("TARGET must end in .ico or .bmp");

  Source source;
  if (!OpenAndSelect(source, args)) return kFailed;
  switch (source.Document().Save(target.c_str(), nullptr)) {
    case IconDocument::Saved::kWritten:
      return kDone;
    case IconDocument::Saved::kNotWritten:
      std::fprintf(stderr, "pictrove: %s was not written\n", target.c_str());
      return kFailed;
    default:
      return kFailed;
  }
}

// The name of one extracted icon: the source's file name, then the entry
// without its brackets.
std::string ExtractedName(const std::string& path, const std::string& entry, bool module) {
  std::size_t slash = path.find_last_of("/\\");
  std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1) + "_Icon";
  if (module && entry.size() > 7 && entry.compare(0, 6, "Icon [") == 0 && entry.back() == ']') {
    name += "_" + entry.substr(6, entry.size() - 7);
  }
  for (char& c : name) {
    if (std::strchr("/\\:*?\"<>| ", c) != nullptr || static_cast<unsigned char>(c) < 32) c = '_';
  }
  return name;
}

int Extract(const Arguments& args) {
  if (!args.hasOutputFolder || args.hasEntry) return Usage("extract takes FILE... and -o DIR");
  bool failed = false;
  for (const std::string& file : args.files) {
    Source source;
    source.Open(file);
    IconDocument& document = source.Document();
    std::vector<std::string> entries = document.Entries();
    if (entries.empty()) {
      failed = true;
      continue;
    }
    bool module = document.IsModuleSource();
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const IconGroup* group = document.ReadEntryFromHeldModule(static_cast<int>(i));
      std::string target = args.outputFolder + "/" + ExtractedName(file, entries[i], module) + ".ico";
      if (group == nullptr || !SaveIconFile(group, target.c_str())) {
        std::fprintf(stderr, "pictrove: %s: \"%s\" was not written\n", file.c_str(),
                     entries[i].c_str());
        failed = true;
        continue;
      }
      std::printf("%s\n", target.c_str());
    }
  }
  return failed ? kFailed : kDone;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsageText, stdout);
    return kDone;
  }
  Arguments args;
  if (!Parse(argc, argv, &args)) return Usage(nullptr);
  if (args.files.empty()) return Usage("FILE is missing");
  if (args.command == "list") return List(args);
  if (args.command == "info") return Info(args);
  if (args.command == "save") return Save(args);
  if (args.command == "extract") return Extract(args);
  return Usage("unknown command");
}
