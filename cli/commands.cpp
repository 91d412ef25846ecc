#include "commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "command_files.h"
#include "command_texts.h"
#include "core/cursor_file.h"
#include "core/file_names.h"
#include "core/icon_group.h"
#include "core/module_cursors.h"
#include "core/module_icons.h"
#include "core/png_file.h"
#include "core/thumbnail.h"
#include "formats/input_limits.h"
#include "cursor_commands.h"
#include "json.h"
#include "opened.h"
#include "platform/posix/terminal_text.h"
#include "source.h"

namespace {

// An entry as list and info show it: its text, its index as Windows counts
// a module's icons, and for a module its group's name.
struct ListedEntry {
  std::string text;
  std::uint64_t index;
  // A module's group: its name, as the entries keep it (0 for an entry of
  // another file).
  ResourceName name;
  std::vector<WORD> languages;  // of a group icon, when its module has languages
};

ListedEntry ListEntry(const SortedEntries& entries, std::size_t i, bool isModule,
                      const IconDocument* document = nullptr) {
  ListedEntry entry{entries.Text(i), entries.AddedAs(i), isModule ? entries.Name(i) : 0, {}};
  if (document != nullptr) entry.languages = document->EntryLanguages(static_cast<int>(i));
  return entry;
}

std::vector<ListedEntry> ListEntries(const SortedEntries& entries, bool isModule,
                                     const IconDocument* document = nullptr) {
  std::vector<ListedEntry> listed;
  // Groups that share a name are looked up once: the entries keep each
  // name once, so that a shared one is one value.
  std::map<ResourceName, std::vector<WORD>> languagesOf;
  for (std::size_t i = 0; i < entries.Count(); ++i) {
    listed.push_back(ListEntry(entries, i, isModule));
    if (document == nullptr) continue;
    auto known = languagesOf.find(listed.back().name);
    if (known == languagesOf.end()) {
      known = languagesOf.emplace(listed.back().name, document->EntryLanguages(static_cast<int>(i))).first;
    }
    listed.back().languages = known->second;
  }
  return listed;
}

std::string JsonEntryStart(const ListedEntry& entry) {
  std::string json = "{\"entry\":" + JsonString(entry.text) + ",\"index\":" + std::to_string(entry.index);
  if (entry.name != 0) json += ",\"name\":" + JsonString(ResourceNameText(entry.name));
  for (std::size_t i = 0; i < entry.languages.size(); ++i) {
    json += (i ? "," : ",\"languages\":[") + std::to_string(entry.languages[i]);
  }
  if (!entry.languages.empty()) json += "]";
  return json;
}

// Entry by entry: many entries may share one long name.
void PrintEntriesJson(const std::string& file, const std::vector<ListedEntry>& entries) {
  std::printf("%s,\"entries\":[", JsonDocumentStart(file).c_str());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::printf("%s%s}", i ? "," : "", JsonEntryStart(entries[i]).c_str());
  }
  std::printf("]}\n");
}

// The image whose longer side is `side`, the deepest of those (the first of
// equals); -1 when there is none.
int ImageOfSide(const IconGroup* group, std::int32_t side) {
  int chosen = -1;
  for (std::uint32_t i = 0; group != nullptr && i < group->imageCount; ++i) {
    const IconImage& image = group->images[i];
    if ((image.width > image.height ? image.width : image.height) != side) continue;
    if (chosen < 0 || PictureDepth(&image) > PictureDepth(&group->images[chosen])) chosen = static_cast<int>(i);
  }
  return chosen;
}

// Opens the source and selects the entry to work on: the one --entry or
// --index names, or the program's icon as Windows shows it: the first group
// in the module's directory, which need not be the first the list shows.
// kListed with the entry's text; kEmpty (noted) for a file
// without icons; kFailed after a message.
Opened OpenAndSelect(Source& source, const Arguments& args, std::string* entryText) {
  const std::string& file = args.files[0];
  const Opened opened = OpenIcons(source, file);
  if (opened == Opened::kEmpty) ShowMessage(Message::kNoIcons, file.c_str());
  if (opened != Opened::kListed) return opened;
  IconDocument& document = source.Document();
  int entry = source.Entries().EntryAddedAs(0);
  if (args.hasEntry) {
    entry = document.FindEntry(args.entry);
    if (entry < 0) {
      Say(Text::kNoEntry, file.c_str(), args.entry.c_str());
      return Opened::kFailed;
    }
  } else if (args.hasIndex) {
    entry = source.Entries().EntryOfIconIndex(args.index);
    if (entry < 0) {
      Say(Text::kNoIndex, file.c_str(), static_cast<int>(args.index));
      return Opened::kFailed;
    }
  }
  document.SelectEntry(entry);
  *entryText = document.Entries()[static_cast<std::size_t>(entry)];
  if (args.hasLanguage && !ReadEntryInLanguage(source, file, entry, *entryText, args.language)) {
    return Opened::kFailed;
  }
  return Opened::kListed;
}

void PrintImages(const IconGroup& group, const char* indent) {
  for (std::uint32_t i = 0; i < group.imageCount; ++i) {
    const IconImage& image = group.images[i];
    std::printf("%s%u %dx%d %d-bit %u bytes%s\n", indent, i, image.width, image.height, PictureDepth(&image),
                image.byteCount, IsPngImage(&image) ? " png" : "");
  }
}

}  // namespace

int List(const Arguments& args) {
  if (args.files.size() != 1) return UsageError(CommandText(Text::kListArguments));
  const std::string& file = args.files[0];

  // A file without icons (or cursors) lists none, with a note.
  // Held while the entries are printed: they name groups by its names.
  ModuleCursors cursors;
  Source source;
  std::vector<ListedEntry> entries;
  Opened opened;
  if (args.cursors) {
    opened = OpenCursors(cursors, file);
    entries = ListEntries(cursors.Entries(), true);
    if (opened == Opened::kEmpty) ShowMessage(Message::kNoCursors, file.c_str());
  } else {
    opened = OpenIcons(source, file);
    entries = ListEntries(source.Entries(), source.Document().IsModuleSource(), &source.Document());
    if (opened == Opened::kEmpty) ShowMessage(Message::kNoIcons, file.c_str());
  }
  if (opened == Opened::kFailed) return kFailed;
  // A cursor file is its one entry, as an icon file is, once it reads.
  if (opened == Opened::kCursorFile) {
    if (!LoadCursorFile(file.c_str())) return kFailed;
    entries = {ListedEntry{file, 0, 0, {}}};
  }
  if (args.json) {
    PrintEntriesJson(file, entries);
  } else {
    for (const ListedEntry& entry : entries) std::printf("%s\n", TerminalText(entry.text).c_str());
  }
  return kDone;
}

int Info(const Arguments& args) {
  if (args.files.size() != 1) return UsageError(CommandText(Text::kInfoArguments));
  if (args.all && args.hasEntry) return UsageError(CommandText(Text::kAllWithEntry));
  if (args.all && args.cursors) return UsageError(CommandText(Text::kAllWithCursors));
  if (args.hasLanguage && args.cursors) return UsageError(CommandText(Text::kLanguageWithCursors));
  if (args.hasIndex && (args.all || args.hasEntry)) return UsageError(CommandText(Text::kIndexWithEntry));
  if (args.cursors) return InfoCursors(args);
  const std::string& file = args.files[0];

  Source source;
  IconDocument& document = source.Document();
  std::string json = JsonDocumentStart(file) + ",\"entries\":[";
  int status = kDone;
  if (!args.all) {
    // A file without icons has no entry to show: none, after a note.
    std::string entryText;
    const Opened opened = OpenAndSelect(source, args, &entryText);
    if (opened == Opened::kFailed) return kFailed;
    if (opened == Opened::kCursorFile) return InfoCursors(args);
    if (opened == Opened::kEmpty) {
      if (args.json) std::printf("%s]}\n", json.c_str());
      return kDone;
    }
    const IconGroup* group = document.ReadSelectedGroup();
    if (group == nullptr) {
      if (!TellUnreadable(source, file)) ShowMessage(Message::kNothingToSave, file.c_str());
      return kFailed;
    }
    if (!TellMissingImages(source, file, entryText)) status = kFailed;
    if (!args.json) {
      PrintImages(*group, "");
      return status;
    }
    const ListedEntry entry = ListEntry(source.Entries(), static_cast<std::size_t>(source.Entries().Selected()),
                                        document.IsModuleSource(), &document);
    json += JsonEntryStart(entry) + ",\"images\":" + JsonImages(*group) + "}";
  } else {
    // Every entry of a file without any is none, with a note.
    const Opened opened = OpenIcons(source, file);
    if (opened == Opened::kFailed) return kFailed;
    if (opened == Opened::kCursorFile) return InfoCursors(args);
    if (opened == Opened::kEmpty) ShowMessage(Message::kNoIcons, file.c_str());
    const std::vector<ListedEntry> entries = ListEntries(source.Entries(), document.IsModuleSource(), &document);
    // Printed entry by entry, and only as many lines as the file's size
    // allows: groups that share one directory would print it again and again.
    if (args.json) std::fputs(json.c_str(), stdout);
    json.clear();
    const std::uint64_t allowed = limits::OutputLineBudget(InputBytes(file));
    std::uint64_t lines = 0;
    bool first = true;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      // With --language, the entries held in that language.
      const std::vector<WORD>& languages = entries[i].languages;
      if (args.hasLanguage && std::find(languages.begin(), languages.end(), args.language) == languages.end()) {
        continue;
      }
      if (args.hasLanguage) document.ReadInLanguage(args.language);
      const IconGroup* group = document.ReadEntryFromHeldModule(static_cast<int>(i));
      if (!TellMissingImages(source, file, entries[i].text)) status = kFailed;
      // Resources gone from the file: the others are gone too (the entries
      // printed so far end the document).
      if (group == nullptr && TellUnreadable(source, file)) {
        if (args.json) std::printf("]}\n");
        return kFailed;
      }
      if (group == nullptr) {
        Say(Text::kEntryNotRead, file.c_str(), entries[i].text.c_str());
        status = kFailed;
        continue;
      }
      lines += 1 + std::uint64_t{group->imageCount};
      if (lines > allowed) {
        ShowMessage(Message::kOverOutputBudget, file.c_str());
        status = kFailed;
        break;
      }
      if (args.json) {
        const std::string entry = JsonEntryStart(entries[i]) + ",\"images\":" + JsonImages(*group) + "}";
        std::printf("%s%s", first ? "" : ",", entry.c_str());
        first = false;
      } else {
        std::printf("%s (index %llu)\n", TerminalText(entries[i].text).c_str(),
                    static_cast<unsigned long long>(entries[i].index));
        PrintImages(*group, "  ");
      }
    }
  }
  if (args.json) std::printf("%s]}\n", json.c_str());
  return status;
}

namespace {

int SaveToFile(const Arguments& args);
int ThumbnailToFile(const Arguments& args);

// The content `write` makes at a path of ours, sent on to the stream
// `target` once it is whole (every writer writes a file, and only once it is
// whole), in the kind `kind`.
int WriteThroughStream(const std::string& target, const std::string& kind,
                       const std::function<int(const std::string& path)>& write) {
  command_files::ScratchFolder folder;
  if (const int error = folder.Make()) {
    Say(Text::kCannotCreateFolder, folder.Path().c_str(), std::strerror(error));
    return kFailed;
  }
  const std::string name = (target == "-" ? "standard-output" : "stream") + std::string(".") + kind;
  int status = write(folder.Path() + "/" + name);
  // A group with missing images is written without them, and fails: what
  // was written goes out all the same.
  if (const int error = folder.Send(name, target)) {
    Say(Text::kTargetNotWrittenBecause, target.c_str(), std::strerror(error));
    status = kFailed;
  }
  return status;
}

// The same for a command whose TARGET, the second file, is the stream.
int ThroughStream(const Arguments& args, const std::string& kind, int (*write)(const Arguments&)) {
  return WriteThroughStream(args.files[1], kind, [&args, write](const std::string& path) {
    Arguments toFile = args;
    toFile.files[1] = path;
    return write(toFile);
  });
}

// A stream's kind: --format's, else its name's where that is one, else PNG.
std::string StreamKind(const Arguments& args) {
  if (args.hasFormat) return args.format;
  const std::string kind = LowerExtension(args.files[1]);
  return kind == "ico" || kind == "bmp" || kind == "png" || kind == "cur" ? kind : "png";
}

}  // namespace

int Save(const Arguments& args) {
  if (args.files.size() != 2) return UsageError(CommandText(Text::kSaveArguments));
  if (command_files::IsStream(args.files[1])) return ThroughStream(args, StreamKind(args), SaveToFile);
  if (args.hasFormat) return UsageError(CommandText(Text::kFormatWithFile));
  return SaveToFile(args);
}

namespace {

int SaveToFile(const Arguments& args) {
  const std::string& file = args.files[0];
  const std::string& target = args.files[1];
  const std::string kind = LowerExtension(target);
  // A .cur target is a cursor's (--cursors, an entry "Cursor [NAME]", a .cur
  // or .ani file, else the module's first group cursor), with its hot spots.
  const bool cursor = args.cursors || (args.hasEntry && args.entry.compare(0, 8, "Cursor [") == 0);
  if ((cursor || kind == "cur") && args.hasLanguage) return UsageError(CommandText(Text::kLanguageWithCursors));
  if (kind == "cur") {
    if (args.hasIndex && args.hasEntry) return UsageError(CommandText(Text::kIndexWithEntry));
    return SaveCursor(args);
  }
  if (kind != "ico" && kind != "bmp" && kind != "png") return UsageError(CommandText(Text::kTargetKind));
  if (args.hasIndex && args.hasEntry) return UsageError(CommandText(Text::kIndexWithEntry));
  if (args.hasImage && !IconDocument::TakesOneImage(kind)) return UsageError(CommandText(Text::kImageTargetKind));
  if (args.hasSize && (args.hasImage || !IconDocument::TakesOneImage(kind))) {
    return UsageError(CommandText(Text::kSizeTargetKind));
  }

  Source source;
  IconDocument& document = source.Document();
  std::string entryText;
  Opened opened = cursor ? Opened::kCursorFile : OpenAndSelect(source, args, &entryText);
  // A cursor is saved as an icon of its images, as an icon file's are.
  if (opened == Opened::kCursorFile) opened = OpenCursorAsIcon(source, args, &entryText);
  if (opened != Opened::kListed) return kFailed;
  const IconGroup* group = document.ReadSelectedGroup();
  if (group == nullptr && TellUnreadable(source, file)) return kFailed;
  if (args.hasImage && group != nullptr && !document.HasImage(args.image)) {
    Say(Text::kNoImage, file.c_str(), entryText.c_str(), args.image);
    return kFailed;
  }
  int image = args.hasImage ? static_cast<int>(args.image) : IconDocument::kDefaultImage;
  if (args.hasSize) {
    image = ImageOfSide(group, args.size);
    if (image < 0) {
      Say(Text::kNoImageOfSide, file.c_str(), entryText.c_str(), static_cast<int>(args.size));
      return kFailed;
    }
  }
  // The images a group holds are written; those it names but lacks are named.
  source.MissingImages().clear();
  const IconDocument::Saved saved = document.Save(target.c_str(), kind, nullptr, image);
  const bool whole = TellMissingImages(source, file, entryText);
  if (saved == IconDocument::Saved::kWritten) TellPassedOver(document.PassedOverImages(), file, entryText);
  switch (saved) {
    case IconDocument::Saved::kWritten:
      return whole ? kDone : kFailed;
    case IconDocument::Saved::kNotWritten:
      Say(Text::kTargetNotWritten, target.c_str());
      return kFailed;
    default:
      return kFailed;
  }
}

}  // namespace

int Thumbnail(const Arguments& args) {
  if (args.files.size() != 2) return UsageError(CommandText(Text::kThumbnailArguments));
  if (args.hasIndex && args.hasEntry) return UsageError(CommandText(Text::kIndexWithEntry));
  // A named pipe or a device (/dev/null) takes the picture as a stream too.
  return command_files::IsStream(args.files[1]) ? ThroughStream(args, "png", ThumbnailToFile) : ThumbnailToFile(args);
}

namespace {

int ThumbnailToFile(const Arguments& args) {
  const std::string& file = args.files[0];

  // A file without icons has no thumbnail: a failure, so that a thumbnail
  // service shows its own picture instead.
  Source source;
  std::string entryText;
  Opened opened = OpenAndSelect(source, args, &entryText);
  // A cursor file shows as an icon of its images (an animated one's frames).
  if (opened == Opened::kCursorFile) opened = OpenCursorAsIcon(source, args, &entryText);
  if (opened != Opened::kListed) return kFailed;
  // From the module already open: a thumbnail service waits on each file.
  const IconGroup* group = source.Document().ReadSelectedFromHeldModule();
  if (group == nullptr && TellUnreadable(source, file)) return kFailed;
  // The image nearest the size, or the next best that decodes; an image
  // that none does is told as the source's.
  const ChosenPng made = MakeThumbnail(group, args.size);
  if (made.image < 0) {
    ShowMessage(made.passedOver.empty() ? Message::kNothingToSave : PngFailureMessage(made.passedOver.front().outcome),
                file.c_str());
    return kFailed;
  }
  TellPassedOver(made.passedOver, file, entryText);
  return WritePngFile(args.files[1].c_str(), made.png, true) ? kDone : kFailed;
}

}  // namespace
