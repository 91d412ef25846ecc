// Whole transfers over the platform's files: a read or write counts as done
// only when the call succeeds and moves exactly the bytes asked for.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/byte_cursor.h"
#include "platform/handles.h"
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

// The first bytes of a file, as many as a reader was allowed to take, and
// the file's whole length: a reader over them tells a file cut short from one
// too large to be read whole.
struct FileContents {
  HeapPtr<std::uint8_t> bytes;
  std::size_t read = 0;
  std::uint64_t length = 0;

  ByteView View() const { return ByteView(bytes.get(), read); }
};

enum class FileContentsRead { kDone, kReadFailed, kOutOfMemory };

// Reads at most `bound` bytes from the start of an open file. On a failed
// file call, *error is the platform's last error of that call; on any other
// outcome ERROR_SUCCESS. A file shortened while it is read counts as the
// length that was read.
FileContentsRead ReadFileStart(HANDLE file, std::uint64_t bound, FileContents* contents, DWORD* error);

// Opens the file at `path` and reads at most `bound` bytes from its start;
// kReadFailed also when it can't be opened, the platform's last error then
// saying why.
FileContentsRead ReadFileAt(const char* path, std::uint64_t bound, FileContents* contents);
