// extract: every group icon (or group cursor) of every file into one folder,
// a file each, in one run that never writes two of them under one name.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "command_texts.h"
#include "commands.h"
#include "core/cursor_file.h"
#include "core/icon_file.h"
#include "core/module_cursors.h"
#include "core/module_icons.h"
#include "core/png_file.h"
#include "opened.h"
#include "platform/posix/terminal_text.h"
#include "source.h"

namespace {

// The longest name of a file that Linux's file systems take.
constexpr std::size_t kMaxNameBytes = 255;

// Makes the folder and its parents, as mkdir -p does; false after a message
// with the system's reason.
bool MakeFolders(const std::string& folder) {
  int error = 0;
  for (std::size_t i = 1; i <= folder.size() && error == 0; ++i) {
    if (i < folder.size() && folder[i] != '/') continue;
    if (mkdir(folder.substr(0, i).c_str(), 0777) != 0 && errno != EEXIST) error = errno;
  }
  struct stat info;
  if (error == 0 && stat(folder.c_str(), &info) != 0) error = errno;
  if (error == 0 && !S_ISDIR(info.st_mode)) error = ENOTDIR;
  if (error == 0) return true;
  Say(Text::kCannotCreateFolder, folder.c_str(), std::strerror(error));
  return false;
}

class Extraction {
 public:
  explicit Extraction(const Arguments& args) : args_(args) {
    folder_ = args.outputFolder;
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
  }

  // False when something of the file was not read or not written.
  bool Icons(const std::string& file);
  bool Cursors(const std::string& file);

 private:
  // The path of the next file written: the source's file name, the kind and
  // the group's name, with characters a file name can't hold as "_", cut to
  // fit, and "_2", "_3"... behind a name this run has written already.
  std::string TargetFor(const std::string& file, const char* kind, const std::string* group, const char* extension);
  void Written(const std::string& target) {
    if (!args_.quiet) std::printf("%s\n", TerminalText(target).c_str());
  }

  const Arguments& args_;
  std::string folder_;
  std::set<std::string> taken_;
};

std::string Extraction::TargetFor(const std::string& file, const char* kind, const std::string* group,
                                  const char* extension) {
  std::size_t slash = file.find_last_of('/');
  std::string name = file.substr(slash == std::string::npos ? 0 : slash + 1) + "_" + kind;
  if (group != nullptr) name += "_" + *group;
  for (char& c : name) {
    if (std::strchr("/\\:*?\"<>| ", c) != nullptr || static_cast<unsigned char>(c) < 32) c = '_';
  }
  // Every path the program writes fits MAX_PATH, and every name the 255
  // bytes file systems allow one: a long group name is cut, at the start of
  // a character, with room left for a "_NNNNNNN" behind it.
  const std::size_t reserved = std::strlen(extension) + 8;
  std::size_t keep = kMaxNameBytes - reserved;
  if (folder_.size() + reserved < MAX_PATH - 1) keep = std::min(keep, MAX_PATH - 1 - reserved - folder_.size());
  if (name.size() > keep) {
    std::size_t cut = keep;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  std::string target = folder_ + name + extension;
  for (unsigned n = 2; !taken_.insert(target).second; ++n) {
    target = folder_ + name + "_" + std::to_string(n) + extension;
  }
  return target;
}

bool Extraction::Icons(const std::string& file) {
  Source source;
  const Opened opened = OpenIcons(source, file);
  // A file without icons is no failure: one note, or none with -q.
  if (opened == Opened::kEmpty && !args_.quiet) ShowMessage(Message::kNoIcons, file.c_str());
  if (opened != Opened::kListed) return opened == Opened::kEmpty;

  IconDocument& document = source.Document();
  const std::vector<std::string> entries = document.Entries();
  bool done = true;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const IconGroup* group = document.ReadEntryFromHeldModule(static_cast<int>(i));
    // The images a group holds are written; those it names but lacks are named.
    if (!TellMissingImages(source, file, entries[i])) done = false;
    if (group != nullptr && group->imageCount == 0) group = nullptr;
    std::string name;
    const bool named = document.IsModuleSource() && GroupNameOfEntry(entries[i], &name);
    const std::string target = TargetFor(file, "Icon", named ? &name : nullptr, args_.png ? ".png" : ".ico");
    if (group == nullptr ||
        !(args_.png ? SaveLargestImageAsPng(group, target.c_str()) : SaveIconFile(group, target.c_str()))) {
      Say(Text::kEntryNotWritten, file.c_str(), entries[i].c_str());
      done = false;
      continue;
    }
    Written(target);
  }
  return done;
}

bool Extraction::Cursors(const std::string& file) {
  ModuleCursors cursors;
  const Opened opened = OpenCursors(cursors, file);
  if (opened == Opened::kEmpty && !args_.quiet) ShowMessage(Message::kNoCursors, file.c_str());
  if (opened != Opened::kListed) return opened == Opened::kEmpty;

  bool done = true;
  std::vector<CursorImage> images;
  const SortedEntries& entries = cursors.Entries();
  for (std::size_t i = 0; i < entries.Count(); ++i) {
    const std::string name = ResourceNameText(entries.Name(i));
    const std::string target = TargetFor(file, "Cursor", &name, ".cur");
    if (!cursors.Read(i, &images) || !SaveCursorFile(images, target.c_str())) {
      Say(Text::kEntryNotWritten, file.c_str(), entries.Text(i).c_str());
      done = false;
      continue;
    }
    Written(target);
  }
  return done;
}

}  // namespace

int Extract(const Arguments& args) {
  if (!args.hasOutputFolder || args.files.empty()) return UsageError(CommandText(Text::kExtractArguments));
  if (args.png && args.cursors) return UsageError(CommandText(Text::kPngWithCursors));
  if (!MakeFolders(args.outputFolder)) return kFailed;
  Extraction extraction(args);
  bool failed = false;
  for (const std::string& file : args.files) {
    if (!(args.cursors ? extraction.Cursors(file) : extraction.Icons(file))) failed = true;
  }
  return failed ? kFailed : kDone;
}
