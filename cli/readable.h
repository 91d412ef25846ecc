// Whether a file named on the command line can be read at all.
#pragma once

#include <string>

// True when the file can be opened for reading; otherwise says so, with the
// system's reason, before the program's own messages could speak of it as a
// file of the wrong kind.
bool CheckReadable(const std::string& path);
