// info and save of a module's group cursors: each image with its hot spot,
// and a group written as a .cur file.
#include "cursor_commands.h"

#include <cstdio>
#include <string>
#include <utility>

#include "command_texts.h"
#include "commands.h"
#include "core/cursor_file.h"
#include "core/messages.h"
#include "core/module_cursors.h"
#include "json.h"
#include "opened.h"
#include "platform/posix/terminal_text.h"

namespace {

// The group --entry (its text or bare name) or --index names, or the first
// of the module's directory; -1, after saying so, when there is none.
int SelectedCursor(const HeldEntries& entries, const Arguments& args) {
  const std::string& file = args.files[0];
  for (std::size_t i = 0; args.hasEntry && i < entries.Count(); ++i) {
    if (entries.Text(i) == args.entry || ResourceNameText(entries.Name(i)) == args.entry) return static_cast<int>(i);
  }
  if (args.hasEntry) {
    Say(Text::kNoEntry, file.c_str(), args.entry.c_str());
    return -1;
  }
  const int entry = args.hasIndex ? entries.EntryOfIconIndex(args.index) : entries.EntryAddedAs(0);
  if (entry < 0) Say(Text::kNoIndex, file.c_str(), static_cast<int>(args.index));
  return entry;
}

// The cursor asked for: a group of a module, or a .CUR file's one cursor.
struct ChosenCursor {
  std::string text;
  std::uint64_t index = 0;
  bool hasName = false;
  std::string name;  // as the JSON gives it
  ModuleCursors module;
  IconGroupPtr group;
};

// Opens the file and reads the images of the cursor asked for; false after
// a message (a file without cursors is noted, and is a failure here: there
// is no cursor to show or save).
bool ChooseCursor(const Arguments& args, ChosenCursor* chosen) {
  const std::string& file = args.files[0];
  const Opened opened = OpenCursors(chosen->module, file);
  if (opened == Opened::kCursorFile) {
    // Its one entry is the file itself, as an icon file's is.
    if (args.hasEntry && args.entry != file) {
      Say(Text::kNoEntry, file.c_str(), args.entry.c_str());
      return false;
    }
    if (args.hasIndex && args.index != 0) {
      Say(Text::kNoIndex, file.c_str(), static_cast<int>(args.index));
      return false;
    }
    chosen->group = LoadCursorFile(file.c_str());
    chosen->text = file;
    // A cursor file of no image is a file without cursors, as a module's.
    if (chosen->group && chosen->group->imageCount == 0) {
      ShowMessage(Message::kNoCursors, file.c_str());
      return false;
    }
    return static_cast<bool>(chosen->group);
  }
  if (opened == Opened::kEmpty) ShowMessage(Message::kNoCursors, file.c_str());
  if (opened != Opened::kListed) return false;
  const HeldEntries& entries = chosen->module.Entries();
  const int selected = SelectedCursor(entries, args);
  if (selected < 0) return false;
  const auto entry = static_cast<std::size_t>(selected);
  chosen->text = entries.Text(entry);
  chosen->index = entries.AddedAs(entry);
  chosen->hasName = true;
  chosen->name = JsonName(entries.Name(entry));
  chosen->group = chosen->module.Read(entry);
  return static_cast<bool>(chosen->group);
}

}  // namespace

int InfoCursors(const Arguments& args) {
  ChosenCursor chosen;
  if (!ChooseCursor(args, &chosen)) return kFailed;
  std::string json = JsonDocumentStart(args.files[0]) + ",\"entries\":[{\"entry\":" + JsonString(chosen.text) +
                     ",\"index\":" + std::to_string(chosen.index);
  if (chosen.hasName) json += ",\"name\":" + chosen.name;
  json += ",\"images\":[";
  for (std::uint32_t i = 0; i < chosen.group->imageCount; ++i) {
    const IconImage& image = chosen.group->images[i];
    char line[200];
    if (args.json) {
      std::snprintf(line, sizeof line,
                    "%s{\"index\":%u,\"width\":%d,\"height\":%d,\"bitsPerPixel\":%d,\"bytes\":%u,"
                    "\"hotSpot\":{\"x\":%u,\"y\":%u}}",
                    i ? "," : "", i, image.width, image.height, image.bitsPerPixel, image.byteCount,
                    image.hotSpot.x, image.hotSpot.y);
      json += line;
    } else {
      std::printf("%u %dx%d %d-bit %u bytes hot spot %u,%u\n", i, image.width, image.height, image.bitsPerPixel,
                  image.byteCount, image.hotSpot.x, image.hotSpot.y);
    }
  }
  if (args.json) std::printf("%s]}]}\n", json.c_str());
  return kDone;
}

int SaveCursor(const Arguments& args) {
  ChosenCursor chosen;
  if (!ChooseCursor(args, &chosen)) return kFailed;
  const std::string& target = args.files[1];
  const IconGroup& group = *chosen.group;
  std::uint32_t first = 0, count = group.imageCount;
  // Each frame of an animated cursor is a cursor of its own.
  if (args.hasImage || group.animated) {
    first = args.hasImage ? args.image : 0;
    count = 1;
    if (first >= group.imageCount) {
      Say(Text::kNoImage, args.files[0].c_str(), chosen.text.c_str(), first);
      return kFailed;
    }
  }
  if (SaveCursorFile(group.images + first, count, target.c_str())) return kDone;
  Say(Text::kTargetNotWritten, target.c_str());
  return kFailed;
}

Opened OpenCursorAsIcon(Source& source, const Arguments& args, std::string* entryText) {
  ChosenCursor chosen;
  if (!ChooseCursor(args, &chosen)) return Opened::kFailed;
  source.Document().OpenGroup(chosen.text.c_str(), std::move(chosen.group));
  source.Document().SelectFirstEntry();
  *entryText = chosen.text;
  return Opened::kListed;
}
