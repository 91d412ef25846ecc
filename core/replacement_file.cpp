#include "replacement_file.h"

#include <cstdint>
#include <cstring>
#include <random>

#include "file_io.h"

namespace {

constexpr int kNameAttempts = 16;

// The target's folder, "." for a bare file name.
void FolderOf(const char* path, char (&folder)[MAX_PATH]) {
  const char* cut = nullptr;
  for (const char* p = path; *p; ++p) {
    if (*p == '/' || *p == '\\') cut = p;
  }
  if (cut == nullptr) {
    std::strcpy(folder, ".");
    return;
  }
  std::size_t length = static_cast<std::size_t>(cut - path);
  if (length == 0 || (length == 2 && path[1] == ':')) ++length;  // "/" or "C:\"
  std::memcpy(folder, path, length);
  folder[length] = '\0';
}

}  // namespace

ReplacementFile::~ReplacementFile() {
  if (!pending_) return;
  file_.Close();
  DeleteFileA(temp_);
}

bool ReplacementFile::Create(const char* targetPath) {
  if (!PathFits(targetPath)) return false;
  std::strcpy(target_, targetPath);
  char folder[MAX_PATH];
  FolderOf(targetPath, folder);
  // A name of our own, created exclusively: one open per file, where letting
  // the platform make the name unique would create the file twice. A name
  // that is taken (a left-over of a run that died) moves on to the next.
  static std::uint32_t next = std::random_device{}();
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    UINT unique = 1 + next++ % 0xFFFF;
    if (GetTempFileNameA(folder, "pv", unique, temp_) == 0) return false;
    file_ = FileHandle(CreateFileA(temp_, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file_.IsValid()) {
      pending_ = true;
      return true;
    }
  }
  return false;
}

bool ReplacementFile::Commit() {
  if (!pending_ || !file_.Close()) return false;
  if (!MoveFileExA(temp_, target_, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return false;
  }
  pending_ = false;
  return true;
}
