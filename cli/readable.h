// What a file named on the command line is, by its first bytes.
#pragma once

#include <cstdint>
#include <string>

#include "formats/file_kind.h"

struct FileStart {
  file_kind::Kind kind = file_kind::Kind::kUnknown;
  // Too few bytes to tell any kind: the file is empty or cut.
  bool tooShort = false;
  std::uint64_t length = 0;
};

// Reads the start of the file; false, after saying why with the system's
// reason, when it can't be read at all or is no regular file (a named pipe,
// a device), before the program's own messages could speak of it as a file
// of the wrong kind.
bool TellFileKind(const std::string& path, FileStart* start);
