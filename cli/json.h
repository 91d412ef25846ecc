// JSON text for the command's --json output.
#pragma once

#include <string>

// The bytes as a JSON string, quotes included. Valid UTF-8 passes as it is;
// a byte that is not (a name in another code page) becomes U+FFFD.
std::string JsonString(const std::string& bytes);
