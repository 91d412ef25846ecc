// Thumbnails of an icon, as file managers show them: one picture of at most
// side x side pixels, made from the image that needs the least scaling down
// (ImagesForThumbnail, image_choice.h).
#pragma once

#include <cstdint>
#include <vector>

#include "codecs/decode_outcome.h"
#include "icon_group.h"
#include "image_choice.h"

// The image as a PNG stream of straight RGBA no larger than side x side: its
// own size when it fits, else scaled down to fit, keeping its aspect ratio.
// The decoder's outcome; a scaler or encoder that fails has run out of
// memory.
DecodeOutcome ThumbnailPng(const IconImage* image, std::int32_t side, std::vector<std::uint8_t>* png);

// The group's thumbnail, of the first image by ImagesForThumbnail whose
// picture can be made.
ChosenPng MakeThumbnail(const IconGroup* group, std::int32_t side);
