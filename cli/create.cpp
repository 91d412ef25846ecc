// create: an icon or cursor file made from pictures.
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "command_texts.h"
#include "commands.h"
#include "icon_making.h"
#include "core/directory_file.h"
#include "core/file_names.h"
#include "core/maker_inputs.h"
#include "core/messages.h"
#include "readable.h"

namespace {

// Says why a file gave no pictures; true when it gave them.
bool TellPicturesRead(PicturesRead read, const std::string& path) {
  switch (read) {
    case PicturesRead::kRead:
      return true;
    case PicturesRead::kShown:
      break;
    case PicturesRead::kNotAPicture:
      Say(Text::kNotAPicture, path.c_str());
      break;
    case PicturesRead::kCannotRead:
      Say(Text::kCannotRead, path.c_str(), std::strerror(errno));
      break;
    case PicturesRead::kUndecodable:
      Say(Text::kPictureUndecodable, path.c_str());
      break;
    case PicturesRead::kTooLarge:
      ShowMessage(Message::kOverMemoryBudget, path.c_str());
      break;
    case PicturesRead::kOutOfMemory:
      ShowMessage(Message::kModuleOutOfMemory, path.c_str());
      break;
    case PicturesRead::kNoImages:
      Say(Text::kNoPictures, path.c_str());
      break;
  }
  return false;
}

// Every picture of every file, or false after naming the first that failed.
bool ReadInputs(const std::vector<std::string>& paths, const Arguments& args, std::vector<MakerInput>* inputs) {
  for (const std::string& path : paths) {
    FileStart start;
    if (!TellFileKind(path, &start)) return false;
    const std::size_t before = inputs->size();
    if (!TellPicturesRead(ReadMakerPictures(path.c_str(), start.kind, inputs), path)) return false;
    for (std::size_t j = before; args.hasHotSpot && j < inputs->size(); ++j) {
      (*inputs)[j].hotSpot = icon_directory::HotSpot{args.hotSpotX, args.hotSpotY};
    }
  }
  return true;
}

IconRecipe RecipeOf(const Arguments& args, const std::vector<MakerInput>& inputs, bool cursor) {
  IconRecipe recipe;
  recipe.enlarge = args.enlarge;
  recipe.cursor = cursor;
  recipe.storage = args.png ? ImageStorage::kAllPng : args.bmp ? ImageStorage::kAllBitmap : ImageStorage::kBySize;
  // Several pictures and no list: each is one image, as it is.
  if (args.hasSizes) {
    recipe.sizes = args.sizes;
  } else if (inputs.size() == 1) {
    recipe.sizes = DefaultSizes(inputs[0].picture, args.enlarge);
  }
  return recipe;
}

}  // namespace

IconGroupPtr MakeIconFromFiles(const std::vector<std::string>& paths, const Arguments& args,
                               const std::string& target, bool cursor) {
  std::vector<MakerInput> inputs;
  if (!ReadInputs(paths, args, &inputs)) return nullptr;
  MadeIcon made = MakeIcon(inputs, RecipeOf(args, inputs, cursor));
  if (made.failure == MakeFailure::kSizeAboveInputs) {
    Say(Text::kSizeAboveInputs, target.c_str(), static_cast<int>(made.size));
    return nullptr;
  }
  if (!made.group) ShowMessage(Message::kModuleOutOfMemory, target.c_str());
  return std::move(made.group);
}

int Create(const Arguments& args) {
  if (args.files.size() < 2) return UsageError(CommandText(Text::kCreateArguments));
  const std::string& target = args.files[0];
  const std::string kind = LowerExtension(target);
  if (kind != "ico" && kind != "cur") return UsageError(CommandText(Text::kCreateTargetKind));
  const bool cursor = kind == "cur";
  if (args.hasHotSpot && !cursor) return UsageError(CommandText(Text::kHotSpotWithoutCursor));
  if (args.png && args.bmp) return UsageError(CommandText(Text::kPngWithBmp));
  const IconGroupPtr made =
      MakeIconFromFiles(std::vector<std::string>(args.files.begin() + 1, args.files.end()), args, target, cursor);
  if (!made) return kFailed;
  const std::uint16_t type = cursor ? icon_directory::kCursorType : icon_directory::kIconType;
  if (WriteDirectoryFile(made->images, made->imageCount, type, target.c_str(), nullptr)) return kDone;
  Say(Text::kTargetNotWritten, target.c_str());
  return kFailed;
}
