#include "command_files.h"

#include <windows.h>

Bytes ReadBytes(const std::wstring& path) {
  Bytes bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  DWORD size = GetFileSize(file, nullptr);
  if (size != INVALID_FILE_SIZE) {
    bytes.resize(size);
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size) bytes.clear();
  }
  CloseHandle(file);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const Bytes& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() ||
            (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size());
  CloseHandle(file);
  return ok;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

void EmptyFolder(const std::wstring& folder) {
  CreateDirectoryW(folder.c_str(), nullptr);
  for (const std::wstring& name : FilesIn(folder)) DeleteFileW((folder + L"\\" + name).c_str());
}

Bytes SolidBitmap(int width, int height) {
  HeaderFields fields;
  fields.width = width;
  fields.height = height;
  fields.bitCount = 24;
  Bytes rows;
  const int stride = (width * 3 + 3) / 4 * 4;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) rows.insert(rows.end(), {90, 200, 30});
    rows.resize(rows.size() + static_cast<std::size_t>(stride - width * 3));
  }
  return BitmapFile(fields, rows, 54);
}

bool FileEquals(const std::wstring& path, const Bytes& expected) {
  Bytes written = ReadBytes(path);
  return !expected.empty() && written == expected;
}

std::string SizeOf(const std::wstring& path) {
  if (!Exists(path)) return "not written";
  return std::to_string(ReadBytes(path).size()) + " bytes";
}
