// Module files of the Windows build, over kernel32's files.
#include "platform/random_access_file.h"

namespace {

HANDLE HandleOf(std::intptr_t file) { return reinterpret_cast<HANDLE>(file); }

}  // namespace

bool RandomAccessFile::Open(const char* path) {
  Close();
  if (path == nullptr) return false;
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  // A disk file: not a pipe, a console or a device. Of any size: what is
  // read of it is bounded where it is read (the NE reader's headers and
  // table; a PE module is the system's to load).
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size) || size.QuadPart < 0) {
    CloseHandle(file);
    return false;
  }
  file_ = reinterpret_cast<std::intptr_t>(file);
  length_ = static_cast<std::uint64_t>(size.QuadPart);
  return true;
}

void RandomAccessFile::Close() {
  if (file_ != -1) CloseHandle(HandleOf(file_));
  file_ = -1;
  length_ = 0;
  memory_ = ByteView();
}

bool RandomAccessFile::ReadFromFile(std::uint64_t offset, void* buffer, std::size_t count) {
  if (file_ == -1) return false;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(HandleOf(file_), at, nullptr, FILE_BEGIN)) return false;
  std::size_t done = 0;
  while (done < count) {
    const std::size_t part = count - done < 0x10000000 ? count - done : 0x10000000;
    DWORD read = 0;
    // A file cut short since it was opened reads as a failure.
    if (!ReadFile(HandleOf(file_), static_cast<char*>(buffer) + done, static_cast<DWORD>(part), &read, nullptr) ||
        read == 0) {
      return false;
    }
    done += read;
  }
  return true;
}

HMODULE LoadDataModule(RandomAccessFile file, const char* path) {
  file.Close();
  return LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

bool ModuleFileOffset(HMODULE module, const void* bytes, std::uint64_t* offset) {
  // A data file is mapped as it lies in the file, its handle the mapping's
  // address with its low bits marking it as data.
  const auto base = reinterpret_cast<std::uintptr_t>(module) & ~std::uintptr_t{3};
  const auto at = reinterpret_cast<std::uintptr_t>(bytes);
  if (module == nullptr || at < base) return false;
  *offset = at - base;
  return true;
}
