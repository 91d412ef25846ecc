// The forms of an icon image that Copy places beside its CF_DIB block for
// programs that paste with alpha: a PNG stream under the registered format
// "PNG" (png_file.h), and a CF_DIBV5 block.
#pragma once

#include <cstdint>
#include <vector>

#include "icon_group.h"

// The name under which image programs register the PNG clipboard format.
constexpr char kPngClipboardFormat[] = "PNG";

// The image's picture with its transparency (codecs/icon_rgba.h) as a packed DIB of
// version 5: the header, then bottom-up rows of blue, green, red and alpha.
// False when the block can't be decoded or memory runs out.
bool IconImageAsDibV5(const IconImage* image, std::vector<std::uint8_t>* block);
