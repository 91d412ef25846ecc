// What the program reads off a file's name.
#pragma once

#include <string>

// The text behind the last "." of the file name (not of its folder),
// lower-cased; empty when the name has none.
std::string LowerExtension(const std::string& path);
