// The values options take, read from their text: each parser answers
// false for a text that is no such value.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "arguments.h"

// A number from 0 to 4294967295, in decimal: an image of a group, or a frame
// of an animated cursor, which may have more than a directory's 65535; one
// past the last is told as an image the file lacks.
bool ParseImageNumber(const std::string& text, std::uint32_t* number);
// --image's N, or F.I: an animated cursor's frame F and its image I.
bool ParseImageChoice(const std::string& text, Arguments* args);
// An icon index as Windows takes one: from 0 a place in the resource
// directory, below 0 a resource identifier.
bool ParseIconIndex(const std::string& text, std::int32_t* index);
// A side in pixels, from 1 to `largest`.
bool ParseSide(const std::string& text, std::int32_t largest, std::int32_t* side);
// A language id as wrestool prints it (decimal), or in hex with "0x" as
// Windows' headers write it.
bool ParseLanguage(const std::string& text, std::uint16_t* language);
// Sides from 1 to 256 (the largest a directory entry tells), separated by
// commas.
bool ParseSides(const std::string& text, std::vector<std::int32_t>* sides);
// X,Y: a cursor's hot spot in its picture's pixels, each from 0 to 65535.
bool ParseHotSpot(const std::string& text, Arguments* args);
