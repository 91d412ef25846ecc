#include "save_names.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/platform.h"

namespace {

// The longest name of one file that Linux's file systems and NTFS take.
constexpr std::size_t kMaxNameBytes = 255;
constexpr char kBackupEnding[] = ".pictrove-backup";

// 64 bits of FNV-1a: a name's mark, the same in every run.
std::uint64_t NameHash(const std::string& name) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : name) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

}  // namespace

std::size_t NameStart(const std::string& path) {
  std::size_t cut = path.find_last_of("/\\");
  if (cut == std::string::npos && path.size() >= 2 && path[1] == ':') return 2;  // "C:name"
  return cut == std::string::npos ? 0 : cut + 1;
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
    if (x != y) return false;
  }
  return true;
}

bool RoomBeside(const std::string& path) { return NameStart(path) + 1 < kMaxPathBytes; }

std::string PathBeside(const std::string& path) {
  static std::uint32_t next = std::random_device{}();
  if (!RoomBeside(path)) return std::string();
  std::size_t folderLength = NameStart(path);
  std::size_t room = kMaxPathBytes - 1 - folderLength;
  std::uint32_t unique = next++;
  std::string name;
  if (room >= 10) {
    static const char kHex[] = "0123456789ABCDEF";
    name = "pv";
    for (int shift = 12; shift >= 0; shift -= 4) name += kHex[(unique >> shift) & 0xF];
    name += ".tmp";
  } else {
    static const char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::uint32_t mixed = unique * 2654435761u;
    name = room >= 2 ? "~" : "";
    while (name.size() < room) {
      name += kLetters[mixed % 36];
      mixed = mixed / 36 + unique;
    }
  }
  return path.substr(0, folderLength) + name;
}

BackupName BackupPathOf(const std::string& path) {
  const std::size_t start = NameStart(path);
  const std::string name = path.substr(start);
  BackupName backup{path.substr(0, start) + "." + name + kBackupEnding, false};
  if (backup.path.size() >= kMaxPathBytes || name.size() + sizeof kBackupEnding > kMaxNameBytes) {
    char number[24];
    std::snprintf(number, sizeof number, "-%016llx", static_cast<unsigned long long>(NameHash(name)));
    const std::size_t fixed = 1 + std::strlen(number) + (sizeof kBackupEnding - 1);
    std::size_t keep = kMaxNameBytes - fixed;
    // Within the path's room too, where paths are bounded (Windows').
    keep = kMaxPathBytes - 1 > start + fixed ? std::min(keep, kMaxPathBytes - 1 - start - fixed) : 0;
    // Not into a multibyte character's bytes.
    if (keep < name.size()) {
      while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    }
    backup = {path.substr(0, start) + "." + name.substr(0, keep) + number + kBackupEnding, true};
  }
  if (backup.path.size() >= kMaxPathBytes) backup.path.clear();
  return backup;
}

