// JSON text for the command's --json output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/resource_name.h"

struct IconGroup;

// The bytes as a JSON string, quotes included. Valid UTF-8 passes as it is;
// a byte that is not (a name in another code page) becomes U+FFFD.
std::string JsonString(const std::string& bytes);

// A resource's name: an identifier as a number, a text as a string.
std::string JsonName(ResourceName name);

// What every document starts with: the version of its layout (documented in
// the manual page; it grows when a field changes meaning or goes) and the
// file it is about, with the file that held its icons when that is another
// (`heldIn`: a .mun or .mui Windows keeps them in). The caller goes on with
// its fields and closes it.
std::string JsonDocumentStart(const std::string& file, const std::string& heldIn = "");

// The SHA-256 of the bytes, in lower-case hexadecimal.
std::string Sha256Hex(const std::uint8_t* bytes, std::size_t length);

// Where stored bytes lie and what they are, as fields to follow others:
// ,"offset":N (when it is known, `offset` not 0),"bytes":N,"sha256":"...".
std::string JsonStoredBytes(std::uint64_t offset, const std::uint8_t* bytes, std::size_t length);

// The group's images, each with its index, size, depth, whether it is
// PNG-compressed and its stored bytes, as a JSON array.
std::string JsonImages(const IconGroup& group);
