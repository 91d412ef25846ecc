// The command line: a command, its options (anywhere after the program's
// name, "--" ending them) and its files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
  bool hasOutputFolder = false;
  std::string outputFolder;
  bool all = false;
  bool json = false;
  bool cursors = false;
  bool png = false;
  bool allImages = false;
  bool quiet = false;
  bool hasFormat = false;
  std::string format;  // save's kind of target for "-": ico, bmp, png or cur
  bool hasLanguage = false;
  std::uint16_t language = 0;  // a resource directory's language id
  bool hasSize = false;
  std::int32_t size = 128;  // a thumbnail's side, or the image save takes; 1 to 1024
  bool hasAdd = false;
  std::string add;  // set-icon's new group
  bool stripSignature = false;
};

// False after a usage error has been told (the caller exits with status 2).
// An option that does not go with the command is one.
bool ParseArguments(int argc, char** argv, Arguments* args);

// Tells a usage error: the problem (a text of the command's, with its value)
// and the usage. Returns the exit status of a usage error.
int UsageError(const char* problem);
