#include "commands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "command_texts.h"
#include "core/file_names.h"
#include "core/icon_group.h"
#include "core/module_cursors.h"
#include "core/module_icons.h"
#include "json.h"
#include "opened.h"
#include "source.h"

namespace {

// An entry as list and info show it: its text, and for a module its group's
// name.
struct ListedEntry {
  std::string text;
  bool hasName;
  std::string name;
};

std::vector<ListedEntry> DocumentEntries(const IconDocument& document) {
  std::vector<ListedEntry> listed;
  for (const std::string& text : document.Entries()) {
    ListedEntry entry{text, false, ""};
    entry.hasName = document.IsModuleSource() && GroupNameOfEntry(text, &entry.name);
    listed.push_back(entry);
  }
  return listed;
}

std::string JsonEntryStart(const ListedEntry& entry) {
  std::string json = "{\"entry\":" + JsonString(entry.text);
  if (entry.hasName) json += ",\"name\":" + JsonString(entry.name);
  return json;
}

void PrintEntriesJson(const std::string& file, const std::vector<ListedEntry>& entries) {
  std::string json = "{\"file\":" + JsonString(file) + ",\"entries\":[";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    json += (i ? "," : "") + JsonEntryStart(entries[i]) + "}";
  }
  std::printf("%s]}\n", json.c_str());
}

// Opens the source and selects the entry to work on: the one --entry names,
// or the first. kListed with the entry's text; kEmpty (noted) for a file
// without icons; kFailed after a message.
Opened OpenAndSelect(Source& source, const Arguments& args, std::string* entryText) {
  const std::string& file = args.files[0];
  const Opened opened = OpenIcons(source, file);
  if (opened == Opened::kEmpty) ShowMessage(Message::kNoIcons, file.c_str());
  if (opened != Opened::kListed) return opened;
  IconDocument& document = source.Document();
  int entry = 0;
  if (args.hasEntry) {
    entry = document.FindEntry(args.entry);
    if (entry < 0) {
      Say(Text::kNoEntry, file.c_str(), args.entry.c_str());
      return Opened::kFailed;
    }
    document.SelectEntry(entry);
  }
  *entryText = document.Entries()[static_cast<std::size_t>(entry)];
  return Opened::kListed;
}

void PrintImages(const IconGroup& group, const char* indent) {
  for (std::uint32_t i = 0; i < group.imageCount; ++i) {
    const IconImage& image = group.images[i];
    std::printf("%s%u %dx%d %d-bit %u bytes%s\n", indent, i, image.width, image.height, image.bitsPerPixel,
                image.byteCount, IsPngImage(&image) ? " png" : "");
  }
}

std::string JsonImages(const IconGroup& group) {
  std::string json = "[";
  for (std::uint32_t i = 0; i < group.imageCount; ++i) {
    const IconImage& image = group.images[i];
    char line[200];
    std::snprintf(line, sizeof line,
                  "%s{\"index\":%u,\"width\":%d,\"height\":%d,\"bitsPerPixel\":%d,\"bytes\":%u,\"png\":%s}",
                  i ? "," : "", i, image.width, image.height, image.bitsPerPixel, image.byteCount,
                  IsPngImage(&image) ? "true" : "false");
    json += line;
  }
  return json + "]";
}

}  // namespace

int List(const Arguments& args) {
  if (args.files.size() != 1) return UsageError(CommandText(Text::kListArguments));
  const std::string& file = args.files[0];

  // A file without icons (or cursors) lists none, with a note.
  std::vector<ListedEntry> entries;
  Opened opened;
  if (args.cursors) {
    ModuleCursors cursors;
    opened = OpenCursors(cursors, file);
    const SortedEntries& listed = cursors.Entries();
    for (std::size_t i = 0; i < listed.Count(); ++i) {
      entries.push_back({listed.Text(i), true, ResourceNameText(listed.Name(i))});
    }
    if (opened == Opened::kEmpty) ShowMessage(Message::kNoCursors, file.c_str());
  } else {
    Source source;
    opened = OpenIcons(source, file);
    entries = DocumentEntries(source.Document());
    if (opened == Opened::kEmpty) ShowMessage(Message::kNoIcons, file.c_str());
  }
  if (opened == Opened::kFailed) return kFailed;
  if (args.json) {
    PrintEntriesJson(file, entries);
  } else {
    for (const ListedEntry& entry : entries) std::printf("%s\n", entry.text.c_str());
  }
  return kDone;
}

int Info(const Arguments& args) {
  if (args.files.size() != 1) return UsageError(CommandText(Text::kInfoArguments));
  if (args.all && args.hasEntry) return UsageError(CommandText(Text::kAllWithEntry));
  const std::string& file = args.files[0];

  Source source;
  IconDocument& document = source.Document();
  std::string json = "{\"file\":" + JsonString(file) + ",\"entries\":[";
  int status = kDone;
  if (!args.all) {
    // A file without icons has no entry to show: none, after a note.
    std::string entryText;
    const Opened opened = OpenAndSelect(source, args, &entryText);
    if (opened == Opened::kFailed) return kFailed;
    if (opened == Opened::kEmpty) {
      if (args.json) std::printf("%s]}\n", json.c_str());
      return kDone;
    }
    const IconGroup* group = document.ReadSelectedEntry();
    if (group == nullptr) {
      ShowMessage(Message::kNothingToSave, file.c_str());
      return kFailed;
    }
    if (!args.json) {
      PrintImages(*group, "");
      return kDone;
    }
    ListedEntry entry{entryText, false, ""};
    entry.hasName = document.IsModuleSource() && GroupNameOfEntry(entryText, &entry.name);
    json += JsonEntryStart(entry) + ",\"images\":" + JsonImages(*group) + "}";
  } else {
    // Every entry of a file without any is none, with a note.
    const Opened opened = OpenIcons(source, file);
    if (opened == Opened::kFailed) return kFailed;
    if (opened == Opened::kEmpty) ShowMessage(Message::kNoIcons, file.c_str());
    const std::vector<ListedEntry> entries = DocumentEntries(document);
    bool first = true;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const IconGroup* group = document.ReadEntryFromHeldModule(static_cast<int>(i));
      if (group == nullptr) {
        Say(Text::kEntryNotRead, file.c_str(), entries[i].text.c_str());
        status = kFailed;
        continue;
      }
      if (args.json) {
        json += (first ? "" : ",") + JsonEntryStart(entries[i]) + ",\"images\":" + JsonImages(*group) + "}";
        first = false;
      } else {
        std::printf("%s\n", entries[i].text.c_str());
        PrintImages(*group, "  ");
      }
    }
  }
  if (args.json) std::printf("%s]}\n", json.c_str());
  return status;
}

int Save(const Arguments& args) {
  if (args.files.size() != 2) return UsageError(CommandText(Text::kSaveArguments));
  const std::string& file = args.files[0];
  const std::string& target = args.files[1];
  const std::string kind = LowerExtension(target);
  if (kind != "ico" && kind != "bmp" && kind != "png") return UsageError(CommandText(Text::kTargetKind));
  if (args.hasImage && !IconDocument::TakesOneImage(kind)) return UsageError(CommandText(Text::kImageTargetKind));

  Source source;
  IconDocument& document = source.Document();
  std::string entryText;
  if (OpenAndSelect(source, args, &entryText) != Opened::kListed) return kFailed;
  if (args.hasImage && document.ReadSelectedEntry() != nullptr && !document.HasImage(args.image)) {
    Say(Text::kNoImage, file.c_str(), entryText.c_str(), args.image);
    return kFailed;
  }
  const int image = args.hasImage ? static_cast<int>(args.image) : IconDocument::kDefaultImage;
  switch (document.Save(target.c_str(), nullptr, image)) {
    case IconDocument::Saved::kWritten:
      return kDone;
    case IconDocument::Saved::kNotWritten:
      Say(Text::kTargetNotWritten, target.c_str());
      return kFailed;
    default:
      return kFailed;
  }
}
