// info and save of a module's group cursors: each image with its hot spot,
// and a group written as a .cur file.
#include "cursor_commands.h"

#include <cstdio>
#include <string>
#include <vector>

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
int SelectedCursor(const SortedEntries& entries, const Arguments& args) {
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

// Opens the module and reads the images of the group asked for; false after
// a message (a file without cursors is noted, and is a failure here: there
// is no group to show or save).
bool ReadSelectedCursor(ModuleCursors& cursors, const Arguments& args, std::size_t* entry,
                        std::vector<CursorImage>* images) {
  const std::string& file = args.files[0];
  const Opened opened = OpenCursors(cursors, file);
  if (opened == Opened::kEmpty) ShowMessage(Message::kNoCursors, file.c_str());
  if (opened != Opened::kListed) return false;
  const int selected = SelectedCursor(cursors.Entries(), args);
  if (selected < 0) return false;
  *entry = static_cast<std::size_t>(selected);
  return cursors.Read(*entry, images);
}

}  // namespace

int InfoCursors(const Arguments& args) {
  ModuleCursors cursors;
  std::size_t entry = 0;
  std::vector<CursorImage> images;
  if (!ReadSelectedCursor(cursors, args, &entry, &images)) return kFailed;
  const SortedEntries& entries = cursors.Entries();
  std::string json = JsonDocumentStart(args.files[0]) + ",\"entries\":[{\"entry\":" + JsonString(entries.Text(entry)) +
                     ",\"index\":" + std::to_string(entries.AddedAs(entry)) +
                     ",\"name\":" + JsonString(ResourceNameText(entries.Name(entry))) + ",\"images\":[";
  for (std::size_t i = 0; i < images.size(); ++i) {
    const CursorImage& image = images[i];
    char line[200];
    if (args.json) {
      std::snprintf(line, sizeof line,
                    "%s{\"index\":%zu,\"width\":%d,\"height\":%d,\"bitsPerPixel\":%d,\"bytes\":%zu,"
                    "\"hotSpot\":{\"x\":%u,\"y\":%u}}",
                    i ? "," : "", i, image.width, image.height, image.bitsPerPixel, image.bits.Length(),
                    image.hotSpot.x, image.hotSpot.y);
      json += line;
    } else {
      std::printf("%zu %dx%d %d-bit %zu bytes hot spot %u,%u\n", i, image.width, image.height, image.bitsPerPixel,
                  image.bits.Length(), image.hotSpot.x, image.hotSpot.y);
    }
  }
  if (args.json) std::printf("%s]}]}\n", json.c_str());
  return kDone;
}

int SaveCursor(const Arguments& args) {
  ModuleCursors cursors;
  std::size_t entry = 0;
  std::vector<CursorImage> images;
  if (!ReadSelectedCursor(cursors, args, &entry, &images)) return kFailed;
  const std::string& target = args.files[1];
  if (SaveCursorFile(images, target.c_str())) return kDone;
  Say(Text::kTargetNotWritten, target.c_str());
  return kFailed;
}
