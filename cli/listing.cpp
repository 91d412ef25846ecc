// list and info: the entries of a file, and the images of one entry or of
// every one, as lines for people or one JSON document.
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "command_texts.h"
#include "commands.h"
#include "core/cursor_file.h"
#include "core/module_cursors.h"
#include "formats/input_limits.h"
#include "cursor_commands.h"
#include "json.h"
#include "opened.h"
#include "platform/posix/terminal_text.h"
#include "source.h"

namespace {

// An entry as list and info show it: its text, its index as Windows counts
// a module's icons, and for a module its group's name, languages and
// resource.
struct ListedEntry {
  std::string text;
  std::uint64_t index;
  // A module's group: its name, as the entries keep it (0 for an entry of
  // another file).
  ResourceName name;
  std::vector<WORD> languages;  // of a group icon, when its module has languages
  std::string stored;           // the JSON fields of its group resource's bytes
};

// What the document tells of a module entry's group.
void DescribeGroup(const IconDocument& document, int i, ListedEntry* entry) {
  entry->languages = document.EntryLanguages(i);
  ByteView bytes;
  std::uint64_t offset = 0;
  if (document.EntryGroupResource(i, &bytes, &offset)) {
    entry->stored = JsonStoredBytes(offset, bytes.Data(), bytes.Length());
  }
}

ListedEntry ListEntry(const HeldEntries& entries, std::size_t i, bool isModule,
                      const IconDocument* document = nullptr) {
  ListedEntry entry{entries.Text(i), entries.AddedAs(i), isModule ? entries.Name(i) : 0, {}, {}};
  if (document != nullptr) DescribeGroup(*document, static_cast<int>(i), &entry);
  return entry;
}

std::vector<ListedEntry> ListEntries(const HeldEntries& entries, bool isModule,
                                     const IconDocument* document = nullptr) {
  std::vector<ListedEntry> listed;
  // Groups that share a name are looked up once: the entries keep each
  // name once, so that a shared one is one value.
  std::map<ResourceName, std::size_t> firstOf;
  for (std::size_t i = 0; i < entries.Count(); ++i) {
    listed.push_back(ListEntry(entries, i, isModule));
    if (document == nullptr) continue;
    const auto known = firstOf.emplace(listed.back().name, i);
    if (known.second) {
      DescribeGroup(*document, static_cast<int>(i), &listed.back());
    } else {
      listed.back().languages = listed[known.first->second].languages;
      listed.back().stored = listed[known.first->second].stored;
    }
  }
  return listed;
}

std::string JsonEntryStart(const ListedEntry& entry) {
  std::string json = "{\"entry\":" + JsonString(entry.text) + ",\"index\":" + std::to_string(entry.index);
  if (entry.name != 0) json += ",\"name\":" + JsonName(entry.name);
  for (std::size_t i = 0; i < entry.languages.size(); ++i) {
    json += (i ? "," : ",\"languages\":[") + std::to_string(entry.languages[i]);
  }
  if (!entry.languages.empty()) json += "]";
  return json + entry.stored;
}

// Entry by entry: many entries may share one long name.
void PrintEntriesJson(const std::string& file, const std::string& heldIn, const std::vector<ListedEntry>& entries) {
  std::printf("%s,\"entries\":[", JsonDocumentStart(file, heldIn).c_str());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::printf("%s%s}", i ? "," : "", JsonEntryStart(entries[i]).c_str());
  }
  std::printf("]}\n");
}

// The entry's line, then its images, a line each.
void PrintEntry(const ListedEntry& entry, const IconGroup& group) {
  std::printf("%s (index %llu)\n", TerminalText(entry.text).c_str(), static_cast<unsigned long long>(entry.index));
  for (std::uint32_t i = 0; i < group.imageCount; ++i) {
    const IconImage& image = group.images[i];
    std::printf("  %u %dx%d %d-bit %u bytes%s\n", i, image.width, image.height, PictureDepth(&image),
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
    if (opened == Opened::kFailed) return kFailed;
    entries = ListEntries(cursors.Entries(), true);
    if (opened == Opened::kEmpty) ShowMessage(Message::kNoCursors, file.c_str());
  } else {
    opened = OpenIcons(source, file);
    if (opened == Opened::kFailed) return kFailed;
    entries = ListEntries(source.Entries(), source.Document().IsModuleSource(), &source.Document());
    if (opened == Opened::kEmpty) ShowMessage(Message::kNoIcons, file.c_str());
  }
  // A cursor file is its one entry, as an icon file is, once it reads.
  if (opened == Opened::kCursorFile) {
    const IconGroupPtr cursor = LoadCursor(file);
    if (!cursor) return kFailed;
    entries.clear();
    if (cursor->imageCount != 0) entries.push_back(ListedEntry{file, 0, 0, {}, {}});
    if (cursor->imageCount == 0) ShowMessage(Message::kNoCursors, file.c_str());
  }
  if (args.json) {
    PrintEntriesJson(file, args.cursors ? file : source.Document().Path(), entries);
  } else {
    // The index first, as --index and FILE,N take it.
    for (const ListedEntry& entry : entries) {
      std::printf("%llu\t%s\n", static_cast<unsigned long long>(entry.index), TerminalText(entry.text).c_str());
    }
  }
  return kDone;
}

namespace {

// info of the entry --entry or --index names, or the program's icon.
int InfoOfEntry(const Arguments& args, Source& source) {
  const std::string& file = args.files[0];
  IconDocument& document = source.Document();
  std::string entryText;
  const Opened opened = OpenAndSelect(source, args, &entryText);
  if (opened == Opened::kFailed) return kFailed;
  if (opened == Opened::kCursorFile) return InfoCursors(args);
  // A file without icons has no entry to show: none, after a note.
  if (opened == Opened::kEmpty) {
    if (args.json) std::printf("%s,\"entries\":[]}\n", JsonDocumentStart(file).c_str());
    return kDone;
  }
  const IconGroup* group = document.ReadSelectedGroup();
  if (group == nullptr) {
    if (!TellUnreadable(source, file)) ShowMessage(Message::kNothingToSave, file.c_str());
    return kFailed;
  }
  const int status = TellMissingImages(source, file, entryText) ? kDone : kFailed;
  const ListedEntry entry = ListEntry(source.Entries(), static_cast<std::size_t>(source.Entries().Selected()),
                                      document.IsModuleSource(), &document);
  if (!args.json) {
    PrintEntry(entry, *group);
    return status;
  }
  std::printf("%s,\"entries\":[%s,\"images\":%s}]}\n", JsonDocumentStart(file, document.Path()).c_str(),
              JsonEntryStart(entry).c_str(), JsonImages(*group).c_str());
  return status;
}

// info --all: every entry, printed entry by entry, and only as many lines as
// the file's size allows: groups that share one directory would print it
// again and again.
int InfoOfAll(const Arguments& args, Source& source) {
  const std::string& file = args.files[0];
  IconDocument& document = source.Document();
  const Opened opened = OpenIcons(source, file);
  if (opened == Opened::kFailed) return kFailed;
  if (opened == Opened::kCursorFile) return InfoCursors(args);
  // Every entry of a file without any is none, with a note.
  if (opened == Opened::kEmpty) ShowMessage(Message::kNoIcons, file.c_str());
  // With --language, the entries held in that language, their groups in it.
  if (args.hasLanguage) document.ReadInLanguage(args.language);
  const std::vector<ListedEntry> entries = ListEntries(source.Entries(), document.IsModuleSource(), &document);
  if (args.json) std::printf("%s,\"entries\":[", JsonDocumentStart(file, document.Path()).c_str());
  const std::uint64_t allowed = limits::OutputLineBudget(InputBytes(file));
  std::uint64_t lines = 0;
  bool first = true;
  int status = kDone;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::vector<WORD>& languages = entries[i].languages;
    if (args.hasLanguage && std::find(languages.begin(), languages.end(), args.language) == languages.end()) {
      continue;
    }
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
      std::printf("%s%s,\"images\":%s}", first ? "" : ",", JsonEntryStart(entries[i]).c_str(),
                  JsonImages(*group).c_str());
      first = false;
    } else {
      PrintEntry(entries[i], *group);
    }
  }
  if (args.json) std::printf("]}\n");
  return status;
}

}  // namespace

int Info(const Arguments& args) {
  if (args.files.size() != 1) return UsageError(CommandText(Text::kInfoArguments));
  if (args.all && args.hasEntry) return UsageError(CommandText(Text::kAllWithEntry));
  if (args.all && args.cursors) return UsageError(CommandText(Text::kAllWithCursors));
  if (args.hasLanguage && args.cursors) return UsageError(CommandText(Text::kLanguageWithCursors));
  if (args.hasIndex && (args.all || args.hasEntry)) return UsageError(CommandText(Text::kIndexWithEntry));
  if (args.cursors) return InfoCursors(args);
  Source source;
  return args.all ? InfoOfAll(args, source) : InfoOfEntry(args, source);
}
