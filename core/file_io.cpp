#include "file_io.h"

#include <cstdlib>
#include <cstring>
#include <utility>


bool ReadExactly(HANDLE file, void* buffer, DWORD count) {
  DWORD done = 0;
  return ReadFile(file, buffer, count, &done, nullptr) && done == count;
}

bool WriteExactly(HANDLE file, const void* buffer, DWORD count) {
  DWORD done = 0;
  return WriteFile(file, buffer, count, &done, nullptr) && done == count;
}

bool FileLength(HANDLE file, std::uint64_t* length) {
  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  // A file of exactly 4 GiB - 1 bytes reads as a failure; no icon or bitmap
  // Pictrove accepts comes near that.
  if (low == INVALID_FILE_SIZE && high == 0) return false;
  *length = (std::uint64_t{high} << 32) | low;
  return true;
}

bool SetFilePosition(HANDLE file, std::uint64_t position) {
  LONG high = static_cast<LONG>(position >> 32);
  DWORD low = SetFilePointer(file, static_cast<LONG>(position & 0xFFFFFFFFu), &high, FILE_BEGIN);
  return low != INVALID_SET_FILE_POINTER || GetLastError() == ERROR_SUCCESS;
}

bool PathFits(const char* path) {
  if (path == nullptr) return false;
  if (std::strlen(path) < kMaxPathBytes) return true;
  // Refused as the system refuses a name too long, with its words.
  SetLastError(ERROR_FILENAME_EXCED_RANGE);
  return false;
}

HANDLE OpenForReading(const char* path) {
  if (!PathFits(path)) return INVALID_HANDLE_VALUE;
  return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

FileContentsRead ReadFileStart(HANDLE file, std::uint64_t bound, FileContents* contents, DWORD* error) {
  *error = ERROR_SUCCESS;
  std::uint64_t length = 0;
  if (!FileLength(file, &length) || !SetFilePosition(file, 0)) {
    *error = GetLastError();
    return FileContentsRead::kReadFailed;
  }
  // The bound keeps a 32-bit count: readers take far less than 4 GiB.
  const auto wanted = static_cast<DWORD>(length < bound ? length : bound);
  HeapPtr<std::uint8_t> bytes(static_cast<std::uint8_t*>(std::malloc(wanted != 0 ? wanted : 1)));
  if (!bytes) return FileContentsRead::kOutOfMemory;
  DWORD done = 0;
  if (!ReadFile(file, bytes.get(), wanted, &done, nullptr)) {
    *error = GetLastError();
    return FileContentsRead::kReadFailed;
  }
  contents->bytes = std::move(bytes);
  contents->read = done;
  contents->length = done < wanted ? done : length;
  return FileContentsRead::kDone;
}

FileContentsRead ReadFileAt(const char* path, std::uint64_t bound, FileContents* contents) {
  FileHandle file(OpenForReading(path));
  if (!file.IsValid()) return FileContentsRead::kReadFailed;
  DWORD error = ERROR_SUCCESS;
  const FileContentsRead read = ReadFileStart(file.Get(), bound, contents, &error);
  file.Reset();
  SetLastError(error);
  return read;
}
