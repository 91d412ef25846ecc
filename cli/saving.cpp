// save and thumbnail: one entry written as a file, or sent to a stream
// (standard output, a named pipe, a device) once it is whole.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "command_files.h"
#include "command_texts.h"
#include "commands.h"
#include "core/file_names.h"
#include "core/png_file.h"
#include "core/thumbnail.h"
#include "cursor_commands.h"
#include "opened.h"
#include "source.h"

namespace {

// The image whose longer side is `side`, the deepest of those (the first of
// equals); -1 when there is none.
int ImageOfSide(const IconGroup* group, std::int32_t side) {
  int chosen = -1;
  for (std::uint32_t i = 0; group != nullptr && i < group->imageCount; ++i) {
    const IconImage& image = group->images[i];
    if (LongerSide(image) != side) continue;
    if (chosen < 0 || PictureDepth(&image) > PictureDepth(&group->images[chosen])) chosen = static_cast<int>(i);
  }
  return chosen;
}

// The group's sizes, each once, as "16, 32, 48".
std::string SidesOf(const IconGroup& group) {
  std::set<std::int32_t> sides;
  for (std::uint32_t i = 0; i < group.imageCount; ++i) sides.insert(LongerSide(group.images[i]));
  std::string list;
  for (std::int32_t side : sides) list += (list.empty() ? "" : ", ") + std::to_string(side);
  return list;
}

// A PNG of `side` pixels scaled down, as a thumbnail is, from the nearest
// larger image that decodes; false after saying why when there is none.
bool SaveScaledDown(const IconGroup* group, const Arguments& args, const std::string& entryText) {
  const std::string& file = args.files[0];
  std::vector<std::uint32_t> larger = ImagesForThumbnail(group, args.size);
  larger.erase(std::find_if(larger.begin(), larger.end(),
                            [group, &args](std::uint32_t i) { return LongerSide(group->images[i]) < args.size; }),
               larger.end());
  if (larger.empty()) {
    Say(Text::kNoImageOfSide, file.c_str(), entryText.c_str(), static_cast<int>(args.size),
        SidesOf(*group).c_str());
    return false;
  }
  const ChosenPng made = FirstPngMade(group, larger, [&args](const IconImage& image, std::vector<std::uint8_t>* png) {
    return ThumbnailPng(&image, args.size, png);
  });
  if (made.image < 0) {
    ShowMessage(PngFailureMessage(made.passedOver.front().outcome), file.c_str());
    return false;
  }
  TellPassedOver(made.passedOver, file, entryText);
  return WritePngFile(args.files[1].c_str(), made.png, false) != 0;
}

}  // namespace

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

// The same for a command whose TARGET, the second file, is the stream. A
// terminal would take a picture's bytes as its own commands: standard
// output that is one takes them only with --force.
int ThroughStream(const Arguments& args, const std::string& kind, int (*write)(const Arguments&)) {
  if (args.files[1] == "-" && !args.force && isatty(STDOUT_FILENO)) {
    std::string shown = kind;
    for (char& c : shown) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    Say(Text::kBinaryToTerminal, shown.c_str());
    return kFailed;
  }
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

// The usage error of a save to a TARGET of `kind`, if it is one.
const char* SaveUsageProblem(const Arguments& args, const std::string& kind, bool cursor) {
  if ((cursor || kind == "cur") && args.hasLanguage) return CommandText(Text::kLanguageWithCursors);
  if (args.hasIndex && args.hasEntry) return CommandText(Text::kIndexWithEntry);
  if (kind == "cur") return nullptr;
  if (kind != "ico" && kind != "bmp" && kind != "png") return CommandText(Text::kTargetKind);
  if (args.hasImage && !IconDocument::TakesOneImage(kind)) return CommandText(Text::kImageTargetKind);
  if (args.hasSize && (args.hasImage || !IconDocument::TakesOneImage(kind))) return CommandText(Text::kSizeTargetKind);
  return nullptr;
}

int SaveToFile(const Arguments& args) {
  const std::string& file = args.files[0];
  const std::string& target = args.files[1];
  const std::string kind = LowerExtension(target);
  // A .cur target is a cursor's (--cursors, an entry "Cursor [NAME]", a .cur
  // or .ani file, else the module's first group cursor), with its hot spots.
  const bool cursor = args.cursors || (args.hasEntry && args.entry.compare(0, 8, "Cursor [") == 0);
  if (const char* problem = SaveUsageProblem(args, kind, cursor)) return UsageError(problem);
  if (kind == "cur") return SaveCursor(args);

  Source source;
  IconDocument& document = source.Document();
  std::string entryText;
  Opened opened = cursor ? Opened::kCursorFile : OpenAndSelect(source, args, &entryText);
  // A cursor is saved as an icon of its images, as an icon file's are.
  std::optional<std::uint32_t> asked;  // the image --image names in the document
  if (opened == Opened::kCursorFile) {
    opened = OpenCursorAsIcon(source, args, &entryText, &asked);
  } else if (opened == Opened::kListed && !ImageOfOneFrame(args, entryText, &asked)) {
    return kFailed;
  }
  if (opened != Opened::kListed) return kFailed;
  const IconGroup* group = document.ReadSelectedGroup();
  if (group == nullptr && TellUnreadable(source, file)) return kFailed;
  if (asked && group != nullptr && !document.HasImage(*asked)) {
    Say(Text::kNoImage, file.c_str(), entryText.c_str(), *asked);
    return kFailed;
  }
  int image = asked ? static_cast<int>(*asked) : IconDocument::kDefaultImage;
  if (args.hasSize && group != nullptr) {
    image = ImageOfSide(group, args.size);
    // No image of that size: a picture is made of a larger one.
    if (image < 0 && kind == "png") return SaveScaledDown(group, args, entryText) ? kDone : kFailed;
    if (image < 0) {
      Say(Text::kNoImageOfSide, file.c_str(), entryText.c_str(), static_cast<int>(args.size),
          SidesOf(*group).c_str());
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
  const IconGroup* group = source.Document().ReadSelectedGroup();
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
