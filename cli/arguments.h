// The command line: a command, its options (anywhere after the program's
// name, "--" ending them) and its files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "command_texts.h"

struct Arguments {
  std::string command;
  std::vector<std::string> files;  // the words after the command
  bool help = false;
  bool version = false;
  bool hasEntry = false;
  std::string entry;
  bool hasIndex = false;
  std::int32_t index = 0;  // from -65535 to 65535
  bool hasImage = false;
  std::uint32_t image = 0;
  // --image F.I: image I of an animated cursor's frame F (image holds F).
  bool hasImageInFrame = false;
  std::uint32_t imageInFrame = 0;
  bool hasOutputFolder = false;
  std::string outputFolder;
  bool all = false;
  bool json = false;
  bool cursors = false;
  bool png = false;
  bool allImages = false;
  bool quiet = false;
  bool overwrite = false;     // extract: earlier outputs are replaced
  bool skipExisting = false;  // extract: earlier outputs are left as they are
  bool hasFormat = false;
  std::string format;  // save's kind of target for "-": ico, bmp, png or cur
  bool hasLanguage = false;
  std::uint16_t language = 0;  // a resource directory's language id
  // save and thumbnail: a picture's bytes to standard output even where it
  // is a terminal.
  bool force = false;
  bool hasSize = false;
  std::int32_t size = 128;  // a thumbnail's side, or the image save takes; 1 to 1024
  // create: the sides to make, from 1 to 256; a cursor's hot spot; sizes
  // above every picture scaled up; every image as a bitmap.
  bool hasSizes = false;
  std::vector<std::int32_t> sizes;
  bool hasHotSpot = false;
  std::uint16_t hotSpotX = 0;
  std::uint16_t hotSpotY = 0;
  bool enlarge = false;
  bool bmp = false;
  bool hasAdd = false;
  std::string add;  // set-icon's new group
  bool stripSignature = false;
};

// False after a usage error has been told (the caller exits with status 2).
// An option that does not go with the command is one.
bool ParseArguments(int argc, char** argv, Arguments* args);

// Tells a usage error: the problem (a text of the command's, with its value)
// and the help to look at, or without a problem the overview. Returns the
// exit status of a usage error.
int UsageError(const char* problem);
// The same for a problem whose text takes one or two values.
int UsageErrorWith(Text problem, const char* first, const char* second = nullptr);
