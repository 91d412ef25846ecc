// The pictures an icon is made from, read from the files people give: PNG
// files, bitmap files, and the images of icon and cursor files, each image
// one picture.
#pragma once

#include <vector>

#include "formats/file_kind.h"
#include "icon_maker.h"

enum class PicturesRead {
  kRead,
  kShown,        // the file's reader has said why (the path as caption)
  kNotAPicture,  // a kind no picture is read from
  kCannotRead,   // the platform's last error says why
  kUndecodable,
  kTooLarge,  // past the budget of decoded pixels
  kOutOfMemory,
  kNoImages,  // an icon or cursor file of no image
};

// Appends the file's pictures, read as its first bytes say it is (`kind`).
PicturesRead ReadMakerPictures(const char* path, file_kind::Kind kind, std::vector<MakerInput>* inputs);
