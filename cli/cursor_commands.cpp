// info and save of a module's group cursors: each image with its hot spot,
// and a group written as a .cur file.
#include "cursor_commands.h"

#include <cstdio>
#include <string>
#include <utility>

#include "command_texts.h"
#include "commands.h"
#include "core/cursor_file.h"
#include "core/cursor_frames.h"
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
    chosen->group = LoadCursor(file);
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

// How an image is named: its index; of an animated cursor, its frame F, or
// F.I when the frame has several images (I counted in the frame).
std::string ImageLabel(const IconGroup& group, std::uint32_t image) {
  if (!group.animated) return std::to_string(image);
  const std::uint32_t frame = group.images[image].frame;
  const FrameSpan span = FrameImages(group, frame);
  if (span.count == 1) return std::to_string(frame);
  return std::to_string(frame) + "." + std::to_string(image - span.first);
}

// The images --image names of the cursor, or all of them (of an animated
// cursor, its first frame's); false after saying that there are none.
// --image N is a frame of an animated cursor, an image of another; F.I is
// image I of frame F (a .cur is one frame, 0).
bool ImagesAsked(const Arguments& args, const ChosenCursor& chosen, FrameSpan* span) {
  const IconGroup& group = *chosen.group;
  const bool framed = group.animated || args.hasImageInFrame;
  *span = FrameImages(group, framed && args.hasImage ? args.image : 0);
  const bool one = args.hasImageInFrame || (args.hasImage && !group.animated);
  const std::uint32_t image = args.hasImageInFrame ? args.imageInFrame : args.image;
  if (span->count != 0 && (!one || image < span->count)) {
    if (one) *span = FrameSpan{span->first + image, 1};
    return true;
  }
  if (args.hasImageInFrame) {
    Say(Text::kNoFrameImage, args.files[0].c_str(), chosen.text.c_str(), args.image, args.imageInFrame);
  } else {
    Say(Text::kNoImage, args.files[0].c_str(), chosen.text.c_str(), args.image);
  }
  return false;
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
    char line[240];
    if (args.json) {
      const std::string frame = chosen.group->animated ? ",\"frame\":" + std::to_string(image.frame) : "";
      std::snprintf(line, sizeof line,
                    "%s{\"index\":%u%s,\"width\":%d,\"height\":%d,\"bitsPerPixel\":%d,\"bytes\":%u,"
                    "\"hotSpot\":{\"x\":%u,\"y\":%u}}",
                    i ? "," : "", i, frame.c_str(), image.width, image.height, image.bitsPerPixel, image.byteCount,
                    image.hotSpot.x, image.hotSpot.y);
      json += line;
    } else {
      std::printf("%s %dx%d %d-bit %u bytes hot spot %u,%u\n", ImageLabel(*chosen.group, i).c_str(), image.width,
                  image.height, image.bitsPerPixel, image.byteCount, image.hotSpot.x, image.hotSpot.y);
    }
  }
  if (args.json) std::printf("%s]}]}\n", json.c_str());
  return kDone;
}

int SaveCursor(const Arguments& args) {
  ChosenCursor chosen;
  if (!ChooseCursor(args, &chosen)) return kFailed;
  const std::string& target = args.files[1];
  FrameSpan span;
  if (!ImagesAsked(args, chosen, &span)) return kFailed;
  if (SaveCursorFile(chosen.group->images + span.first, span.count, target.c_str())) return kDone;
  Say(Text::kTargetNotWritten, target.c_str());
  return kFailed;
}

bool ImageOfOneFrame(const Arguments& args, const std::string& entry, std::optional<std::uint32_t>* image) {
  if (!args.hasImage) return true;
  if (args.hasImageInFrame && args.image != 0) {
    Say(Text::kNoFrameImage, args.files[0].c_str(), entry.c_str(), args.image, args.imageInFrame);
    return false;
  }
  *image = args.hasImageInFrame ? args.imageInFrame : args.image;
  return true;
}

IconGroupPtr LoadCursor(const std::string& file) {
  animated_cursor::Fault fault;
  IconGroupPtr group = LoadCursorFile(file.c_str(), &fault);
  if (group) return group;
  // A damaged animated cursor is told here, where its chunk is known.
  if (fault.missing) {
    Say(Text::kAnimationChunkMissing, file.c_str(), fault.chunk);
  } else if (fault.chunk[0] != '\0') {
    Say(Text::kAnimationChunkDamaged, file.c_str(), fault.chunk, static_cast<unsigned long long>(fault.offset));
  }
  return nullptr;
}

Opened OpenCursorAsIcon(Source& source, const Arguments& args, std::string* entryText,
                        std::optional<std::uint32_t>* image) {
  ChosenCursor chosen;
  if (!ChooseCursor(args, &chosen)) return Opened::kFailed;
  IconGroupPtr group = std::move(chosen.group);
  std::optional<std::uint32_t> asked;
  if (image != nullptr && group->animated && args.hasImage) {
    // The frame --image names is the icon; --image F.I names its image I.
    FrameSpan span;
    chosen.group = std::move(group);
    if (!ImagesAsked(args, chosen, &span)) return Opened::kFailed;
    group = FrameGroup(*chosen.group, args.image);
    if (!group) {
      ShowMessage(Message::kModuleOutOfMemory, args.files[0].c_str());
      return Opened::kFailed;
    }
    if (args.hasImageInFrame) asked = args.imageInFrame;
  } else if (image != nullptr && !ImageOfOneFrame(args, chosen.text, &asked)) {
    return Opened::kFailed;
  }
  if (image != nullptr) *image = asked;
  source.Document().OpenGroup(chosen.text.c_str(), std::move(group));
  source.Document().SelectFirstEntry();
  *entryText = chosen.text;
  return Opened::kListed;
}
