// extract: every group icon (or group cursor) of every file into one folder,
// a file each, in one run that never writes two of them under one name.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
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
#include "json.h"
#include "opened.h"
#include "output_names.h"
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
  explicit Extraction(const Arguments& args)
      : args_(args),
        names_(args.outputFolder, args.overwrite       ? OutputNames::Existing::kReplaced
                                  : args.skipExisting ? OutputNames::Existing::kSkipped
                                                      : OutputNames::Existing::kKept) {}
  // A file written that couldn't take its name.
  bool Failed() const { return failed_; }

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
  // The cursor to `target` as a .cur, or with --png its largest image;
  // nothing for no target (an earlier file kept).
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
  // fit (OutputNames then says where it goes); empty for a name whose
  // earlier file is kept without a new one.
  std::string TargetFor(const std::string& file, const char* kind, const std::string* group, const char* extension);
  void NotWritten(const std::string& file, const std::string& entry, const std::string& target);
  // `bytes`: the file's size, when its writer told it before; else it is
  // read from the file.
  void Written(const std::string& target, std::optional<std::uint64_t> bytes = std::nullopt);
  // What the current input file may still make written (limits::OutputBudget):
  // set when a file is begun, charged with each file written of it.
  void Allow(const std::string& file) {
    left_ = limits::OutputBudget(InputBytes(file));
    stopped_ = false;
    origin_ = Origin{file, file};
  }
  void Charge(const std::string& target, std::optional<std::uint64_t> bytes);
  // False, after saying so, when a file of `bytes` would pass the allowance:
  // nothing more of the input is written.
  bool Affords(const std::string& file, std::uint64_t bytes);

  // What the next file written comes from, as --json tells it.
  struct Origin {
    std::string file;
    std::string entry;
    std::uint64_t index = 0;  // the entry's, as Windows counts a module's icons
    int language = -1;        // -1: none asked for
    std::int64_t image = -1;  // -1: the group whole, or its picture
  };

  const Arguments& args_;
  OutputNames names_;
  Origin origin_;
  bool firstWritten_ = true;
  std::uint64_t left_ = 0;
  bool stopped_ = false;
  bool failed_ = false;
};

void Extraction::Charge(const std::string& target, std::optional<std::uint64_t> bytes) {
  command_files::Facts facts;
  if (!bytes) bytes = command_files::Inspect(target, &facts, false) == 0 ? facts.length : 0;
  const std::uint64_t charged = std::max(*bytes, limits::kMinOutputFileBytes);
  left_ = charged < left_ ? left_ - charged : 0;
}

void Extraction::Written(const std::string& target, std::optional<std::uint64_t> bytes) {
  Charge(target, bytes);
  const std::string named = names_.Finish(target);
  if (named.empty()) {
    failed_ = true;
  } else if (args_.json) {
    std::printf("%s{\"written\":%s,\"from\":%s,\"entry\":%s,\"index\":%llu", firstWritten_ ? "" : ",",
                JsonString(named).c_str(), JsonString(origin_.file).c_str(), JsonString(origin_.entry).c_str(),
                static_cast<unsigned long long>(origin_.index));
    if (origin_.language >= 0) std::printf(",\"language\":%d", origin_.language);
    if (origin_.image >= 0) std::printf(",\"image\":%lld", static_cast<long long>(origin_.image));
    std::printf("}");
    firstWritten_ = false;
  } else if (!args_.quiet) {
    std::printf("%s\n", TerminalText(named).c_str());
  }
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
  // a suffix behind it: a long file name is cut for the group's name, which
  // tells the files apart; a group's name longer than the room is cut too.
  // The path is as long as the folder makes it.
  const std::size_t keep = kMaxNameBytes - (std::strlen(extension) + OutputNames::kSuffixBytes);
  if (tail.size() < keep) CutName(&name, keep - tail.size());
  name += tail;
  CutName(&name, keep);
  return names_.Claim(name, extension);
}

void Extraction::NotWritten(const std::string& file, const std::string& entry, const std::string& target) {
  names_.Abandon(target);
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
      origin_.language = document.IsModuleSource() && !document.EntryLanguages(entry).empty() ? languages[k] : -1;
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
  origin_.entry = text;
  origin_.index = static_cast<std::uint64_t>(entry);
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
  if (target.empty()) return done ? Outcome::kWritten : Outcome::kFailed;
  if (group == nullptr || !(args_.png ? SaveLargestImageAsPng(group, target.c_str(), names_.Made())
                                      : SaveIconFile(group, target.c_str(), names_.Made()))) {
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
    if (target.empty()) continue;
    origin_.image = i;
    if (!SaveImageAsPng(target.c_str(), &group.images[i], names_.Made())) {
      NotWritten(file, entry, target);
      done = false;
      continue;
    }
    Written(target);
  }
  origin_.image = -1;
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
  if (target.empty()) return true;
  const bool written = args_.png ? SaveLargestImageAsPng(&group, target.c_str(), names_.Made())
                                 : SaveCursorFile(&group, target.c_str(), names_.Made());
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
  if (target.empty()) return Outcome::kWritten;
  if (group == nullptr || !(args_.png ? SaveLargestImageAsPng(group, target.c_str(), names_.Made())
                                      : SaveCursorFile(group, target.c_str(), names_.Made()))) {
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
  const HeldEntries& entries = cursors.Entries();
  Allow(file);
  for (std::size_t i = 0; i < entries.Count(); ++i) {
    const IconGroupPtr group = cursors.Read(i);
    origin_.entry = entries.Text(i);
    origin_.index = i;
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
  if (args.overwrite && args.skipExisting) return UsageError(CommandText(Text::kOverwriteWithSkip));
  if (!MakeFolders(args.outputFolder)) return kFailed;
  Extraction extraction(args);
  bool failed = false;
  if (args.json) std::printf("{\"version\":2,\"files\":[");
  for (const std::string& file : args.files) {
    if (!(args.cursors ? extraction.Cursors(file) : extraction.Icons(file))) failed = true;
  }
  if (args.json) std::printf("]}\n");
  return failed || extraction.Failed() ? kFailed : kDone;
}
