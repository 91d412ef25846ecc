// Whole transfers over the platform's files: a read or write counts as done
// only when the call succeeds and moves exactly the bytes asked for.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

bool ReadExactly(HANDLE file, void* buffer, DWORD count);
bool WriteExactly(HANDLE file, const void* buffer, DWORD count);

// Length of an open file; false when the platform can't tell.
bool FileLength(HANDLE file, std::uint64_t* length);

// Sets the position of an open file from its start.
bool SetFilePosition(HANDLE file, std::uint64_t position);

// True when the path fits the 259 bytes (plus terminating zero) that every
// path field and platform call of the program allows.
bool PathFits(const char* path);

// Opens an existing file for reading, shared with other readers only.
HANDLE OpenForReading(const char* path);
