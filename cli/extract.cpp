// extract: every group icon (or group cursor) of every file into one folder,
// a file each, in one run that never writes two of them under one name.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "command_files.h"
#include "command_texts.h"
#include "commands.h"
#include "cursor_commands.h"
#include "core/cursor_file.h"
#include "core/cursor_frames.h"
#include "core/icon_file.h"
#include "core/module_cursors.h"
#include "core/module_icons.h"
#include "core/png_file.h"
#include "formats/input_limits.h"
#include "opened.h"
#include "platform/posix/terminal_text.h"
#include "source.h"

namespace {

// The longest name of a file that Linux's file systems take.
constexpr std::size_t kMaxNameBytes = 255;

// Makes the folder and its parents, as mkdir -p does; false after a message
// with the system's reason.
bool MakeFolders(const std::string& folder) {
  const int error = command_files::MakeFolders(folder);
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
  // Each image of the group as a PNG: FILE_KIND_NAME_N.png, N its index,
  // `suffix` behind N.
  bool EveryImage(const std::string& file, const char* kind, const std::string& entry, const std::string& prefix,
                  const std::string& suffix, const IconGroup& group);
  // A .CUR file's one cursor, written as it is read (FILE_Cursor.cur); an
  // .ANI file's frames, each a cursor of all its images (FILE_Cursor_F.cur,
  // F the frame's index). With --png, pictures as an icon's: of a .CUR its
  // largest image (FILE_Cursor.png; every one with --all-images,
  // FILE_Cursor_N.png), of an .ANI each frame's largest (FILE_Cursor_F.png;
  // with --all-images every image, FILE_Cursor_F.I.png, I its index in a
  // frame of several).
  bool CursorFile(const std::string& file);
  bool Frames(const std::string& file, const IconGroup& frames);
  // The cursor to `target` as a .cur, or with --png its largest image.
  bool WriteCursor(const std::string& file, const IconGroup& group, const std::string& target);


 private:
  // kStopped: nothing more of the file is written (its resources gone, or its
  // output budget spent).
  enum class Outcome { kWritten, kFailed, kStopped };
  // Entry `entry` of the source in the language the document reads, written
  // with `suffix` behind its group's name.
  Outcome IconEntry(Source& source, const std::string& file, int entry, const std::string& text,
                    const std::string& suffix);
  // A module's group cursor NAME (FILE_Cursor_NAME.cur), with --png as an
  // icon's pictures (FILE_Cursor_NAME.png, FILE_Cursor_NAME_N.png).
  Outcome CursorEntry(const std::string& file, const std::string& entry, const std::string& name,
                      const IconGroup* group);

  // The path of the next file written: the source's file name, the kind and
  // the group's name, with characters a file name can't hold as "_", cut to
  // fit, and "_2", "_3"... behind a name that is taken. The name is taken
  // for the file at once, by an empty file of ours: in a folder others write
  // to, a link they left at the name would lead the file elsewhere.
  std::string TargetFor(const std::string& file, const char* kind, const std::string* group, const char* extension);
  bool ClaimName(const std::string& target);
  void NotWritten(const std::string& file, const std::string& entry, const std::string& target);
  // `bytes`: the file's size, when its writer told it before; else it is
  // read from the file.
  void Written(const std::string& target, std::optional<std::uint64_t> bytes = std::nullopt) {
    if (!args_.quiet) std::printf("%s\n", TerminalText(target).c_str());
    Charge(target, bytes);
  }
  // What the current input file may still make written (limits::OutputBudget):
  // set when a file is begun, charged with each file written of it.
  void Allow(const std::string& file) {
    left_ = limits::OutputBudget(InputBytes(file));
    stopped_ = false;
  }
  void Charge(const std::string& target, std::optional<std::uint64_t> bytes);
  // False, after saying so, when a file of `bytes` would pass the allowance:
  // nothing more of the input is written.
  bool Affords(const std::string& file, std::uint64_t bytes);

  const Arguments& args_;
  std::string folder_;
  std::set<std::string> taken_;
  std::unordered_map<std::string, unsigned> nextSuffix_;  // by unsuffixed name
  std::set<std::string> claimed_;  // made empty by ClaimName
  std::uint64_t left_ = 0;
  bool stopped_ = false;
  FileHandle made_;                // the last name made, open for its writer
};

void Extraction::Charge(const std::string& target, std::optional<std::uint64_t> bytes) {
  command_files::Facts facts;
  if (!bytes) bytes = command_files::Inspect(target, &facts, false) == 0 ? facts.length : 0;
  const std::uint64_t charged = std::max(*bytes, limits::kMinOutputFileBytes);
  left_ = charged < left_ ? left_ - charged : 0;
}

bool Extraction::Affords(const std::string& file, std::uint64_t bytes) {
  if (std::max(bytes, limits::kMinOutputFileBytes) <= left_) return true;
  ShowMessage(Message::kOverOutputBudget, file.c_str());
  stopped_ = true;
  return false;
}

// The name cut to at most `bytes`, at the start of a character.
void CutName(std::string* name, std::size_t bytes) {
  if (name->size() <= bytes) return;
  while (bytes > 0 && (static_cast<unsigned char>((*name)[bytes]) & 0xC0) == 0x80) --bytes;
  name->resize(bytes);
}

std::string Extraction::TargetFor(const std::string& file, const char* kind, const std::string* group,
                                  const char* extension) {
  std::size_t slash = file.find_last_of('/');
  std::string name = file.substr(slash == std::string::npos ? 0 : slash + 1);
  std::string tail = std::string("_") + kind;
  if (group != nullptr) tail += "_" + *group;
  for (std::string* part : {&name, &tail}) {
    for (char& c : *part) {
      if (std::strchr("/\\:*?\"<>| ", c) != nullptr || static_cast<unsigned char>(c) < 32) c = '_';
    }
  }
  // Every name fits the 255 bytes file systems allow one, with room left for
  // a "_NNNNNNN" behind it: a long file name is cut for the group's name,
  // which tells the files apart; a group's name longer than the room is cut
  // too. The path is as long as the folder makes it.
  const std::size_t keep = kMaxNameBytes - (std::strlen(extension) + 8);
  if (tail.size() < keep) CutName(&name, keep - tail.size());
  name += tail;
  CutName(&name, keep);
  const std::string unsuffixed = name + extension;
  std::string target = folder_ + unsuffixed;
  // Each suffix below the one remembered for the name is taken: the search
  // goes on from there, not again from 2 for each name alike.
  auto next = nextSuffix_.emplace(unsuffixed, 2).first;
  while (!taken_.insert(target).second || !ClaimName(target)) {
    target = folder_ + name + "_" + std::to_string(next->second++) + extension;
  }
  return target;
}

bool Extraction::ClaimName(const std::string& target) {
  // Made where no file or link is; kept open for the writer, which writes
  // the content into it directly.
  bool taken = false;
  made_ = command_files::CreateNew(target, &taken);
  if (made_.IsValid()) {
    claimed_.insert(target);
    return true;
  }
  // A name that can't be made for another reason is the writer's to report.
  return !taken;
}

void Extraction::NotWritten(const std::string& file, const std::string& entry, const std::string& target) {
  // The empty file that took the name goes; one the writer failed to
  // replace is still empty, and ours.
  made_.Close();
  if (claimed_.count(target) != 0) command_files::RemoveIfEmpty(target);
  Say(Text::kEntryNotWritten, file.c_str(), entry.c_str());
}

bool Extraction::Icons(const std::string& file) {
  Source source;
  const Opened opened = OpenIcons(source, file);
  if (opened == Opened::kCursorFile) return CursorFile(file);
  // A file without icons is no failure: one note, or none with -q.
  if (opened == Opened::kEmpty && !args_.quiet) ShowMessage(Message::kNoIcons, file.c_str());
  if (opened != Opened::kListed) return opened == Opened::kEmpty;

  IconDocument& document = source.Document();
  // Each group is written and let go before the next is read.
  document.BorrowFromHeldModule();
  bool done = true;
  Allow(file);
  // Listed once: each listing copies every entry's text.
  const std::vector<std::string> entries = document.Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int entry = static_cast<int>(i);
    // Every language of the group, the first under the group's name, each
    // other with its id behind it; with --language that one alone, under the
    // group's name. A group of a file without languages is one.
    std::vector<WORD> languages = document.EntryLanguages(entry);
    if (args_.hasLanguage) {
      if (std::find(languages.begin(), languages.end(), args_.language) == languages.end()) continue;
      languages = {args_.language};
    } else if (languages.empty()) {
      languages = {0};
    }
    for (std::size_t k = 0; k < languages.size(); ++k) {
      document.ReadInLanguage(languages[k]);
      const Outcome outcome =
          IconEntry(source, file, entry, entries[i], k == 0 ? "" : "_" + std::to_string(languages[k]));
      // Resources gone from the file (the others are gone too), or its
      // output budget spent.
      if (outcome == Outcome::kStopped) return false;
      if (outcome == Outcome::kFailed) done = false;
    }
  }
  return done;
}

Extraction::Outcome Extraction::IconEntry(Source& source, const std::string& file, int entry, const std::string& text,
                                          const std::string& suffix) {
  IconDocument& document = source.Document();
  const IconGroup* group = document.ReadEntryFromHeldModule(entry);
  if (group == nullptr && TellUnreadable(source, file)) return Outcome::kStopped;
  // The images a group holds are written; those it names but lacks are named.
  bool done = TellMissingImages(source, file, text);
  if (group != nullptr && group->imageCount == 0) group = nullptr;
  const ResourceName groupName = document.EntryName(entry);
  std::string name = groupName != 0 ? ResourceNameText(groupName) : "";
  const bool named = groupName != 0;
  if (args_.allImages && group != nullptr) {
    const bool written = EveryImage(file, "Icon", text, named ? name + "_" : "", suffix, *group);
    if (stopped_) return Outcome::kStopped;
    return written && done ? Outcome::kWritten : Outcome::kFailed;
  }
  // An .ico's size is known before it is written; a PNG's once it is.
  const std::uint64_t bytes = group != nullptr && !args_.png ? IconFileBytes(group) : 0;
  if (!Affords(file, bytes)) return Outcome::kStopped;
  name += suffix;
  const std::string target = TargetFor(file, "Icon", named ? &name : nullptr, args_.png ? ".png" : ".ico");
  if (group == nullptr || !(args_.png ? SaveLargestImageAsPng(group, target.c_str(), &made_)
                                      : SaveIconFile(group, target.c_str(), &made_))) {
    NotWritten(file, text, target);
    return Outcome::kFailed;
  }
  Written(target, args_.png ? std::nullopt : std::optional<std::uint64_t>(bytes));
  return done ? Outcome::kWritten : Outcome::kFailed;
}

bool Extraction::EveryImage(const std::string& file, const char* kind, const std::string& entry,
                            const std::string& prefix, const std::string& suffix, const IconGroup& group) {
  bool done = true;
  for (std::uint32_t i = 0; i < group.imageCount; ++i) {
    if (!Affords(file, 0)) return false;
    const std::string name = prefix + std::to_string(i) + suffix;
    const std::string target = TargetFor(file, kind, &name, ".png");
    if (!SaveImageAsPng(target.c_str(), &group.images[i], &made_)) {
      NotWritten(file, entry, target);
      done = false;
      continue;
    }
    Written(target);
  }
  return done;
}

bool Extraction::CursorFile(const std::string& file) {
  const IconGroupPtr cursor = LoadCursor(file);
  if (!cursor) return false;
  // No image: a file without cursors, no failure (one note, or none with -q).
  if (cursor->imageCount == 0) {
    if (!args_.quiet) ShowMessage(Message::kNoCursors, file.c_str());
    return true;
  }
  Allow(file);
  if (cursor->animated) return Frames(file, *cursor);
  if (args_.allImages) return EveryImage(file, "Cursor", file, "", "", *cursor);
  return WriteCursor(file, *cursor, TargetFor(file, "Cursor", nullptr, args_.png ? ".png" : ".cur"));
}

bool Extraction::WriteCursor(const std::string& file, const IconGroup& group, const std::string& target) {
  const bool written = args_.png ? SaveLargestImageAsPng(&group, target.c_str(), &made_)
                                 : SaveCursorFile(&group, target.c_str(), &made_);
  if (!written) {
    NotWritten(file, file, target);
    return false;
  }
  Written(target);
  return true;
}

bool Extraction::Frames(const std::string& file, const IconGroup& frames) {
  bool done = true;
  const std::uint32_t count = FrameCount(frames);
  for (std::uint32_t i = 0; i < count; ++i) {
    const IconGroupPtr frame = FrameGroup(frames, i);
    if (!frame) {
      ShowMessage(Message::kModuleOutOfMemory, file.c_str());
      return false;
    }
    const std::string name = std::to_string(i);
    // A frame of one image is named by the frame alone, as a frame is.
    const bool written = args_.allImages && frame->imageCount > 1
                             ? EveryImage(file, "Cursor", file, name + ".", "", *frame)
                             : WriteCursor(file, *frame, TargetFor(file, "Cursor", &name, args_.png ? ".png" : ".cur"));
    if (stopped_) return false;
    if (!written) done = false;
  }
  return done;
}

Extraction::Outcome Extraction::CursorEntry(const std::string& file, const std::string& entry,
                                            const std::string& name, const IconGroup* group) {
  if (args_.allImages && group != nullptr && group->imageCount != 0) {
    const bool written = EveryImage(file, "Cursor", entry, name + "_", "", *group);
    return stopped_ ? Outcome::kStopped : written ? Outcome::kWritten : Outcome::kFailed;
  }
  // A .cur's size is known before it is written; a PNG's once it is.
  const std::uint64_t bytes = group != nullptr && !args_.png ? IconFileBytes(group) : 0;
  if (!Affords(file, bytes)) return Outcome::kStopped;
  const std::string target = TargetFor(file, "Cursor", &name, args_.png ? ".png" : ".cur");
  if (group == nullptr || !(args_.png ? SaveLargestImageAsPng(group, target.c_str(), &made_)
                                      : SaveCursorFile(group, target.c_str(), &made_))) {
    NotWritten(file, entry, target);
    return Outcome::kFailed;
  }
  Written(target, args_.png ? std::nullopt : std::optional<std::uint64_t>(bytes));
  return Outcome::kWritten;
}

bool Extraction::Cursors(const std::string& file) {
  ModuleCursors cursors;
  const Opened opened = OpenCursors(cursors, file);
  if (opened == Opened::kCursorFile) return CursorFile(file);
  if (opened == Opened::kEmpty && !args_.quiet) ShowMessage(Message::kNoCursors, file.c_str());
  if (opened != Opened::kListed) return opened == Opened::kEmpty;

  bool done = true;
  const SortedEntries& entries = cursors.Entries();
  Allow(file);
  for (std::size_t i = 0; i < entries.Count(); ++i) {
    const IconGroupPtr group = cursors.Read(i);
    const Outcome outcome = CursorEntry(file, entries.Text(i), ResourceNameText(entries.Name(i)), group.get());
    if (outcome == Outcome::kStopped) return false;
    if (outcome == Outcome::kFailed) done = false;
  }
  return done;
}

}  // namespace

int Extract(const Arguments& args) {
  if (!args.hasOutputFolder || args.files.empty()) return UsageError(CommandText(Text::kExtractArguments));
  if (args.allImages && !args.png) return UsageError(CommandText(Text::kAllImagesWithoutPng));
  if (args.hasLanguage && args.cursors) return UsageError(CommandText(Text::kLanguageWithCursors));
  if (!MakeFolders(args.outputFolder)) return kFailed;
  Extraction extraction(args);
  bool failed = false;
  for (const std::string& file : args.files) {
    if (!(args.cursors ? extraction.Cursors(file) : extraction.Icons(file))) failed = true;
  }
  return failed ? kFailed : kDone;
}
