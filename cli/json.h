// JSON text for the command's --json output.
#pragma once

#include <string>

struct IconGroup;

// The bytes as a JSON string, quotes included. Valid UTF-8 passes as it is;
// a byte that is not (a name in another code page) becomes U+FFFD.
std::string JsonString(const std::string& bytes);

// What every document starts with: the version of its layout (documented in
// the manual page; it grows when a field changes meaning or goes) and the
// file it is about. The caller goes on with its fields and closes it.
std::string JsonDocumentStart(const std::string& file);

// The group's images, each with its index, size, depth, bytes and whether it
// is PNG-compressed, as a JSON array.
std::string JsonImages(const IconGroup& group);
