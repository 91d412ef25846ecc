// Icon objects of the native build.
#include "win32_api.h"

#include <cstdio>

struct HICON__ {
  int index;
};

namespace {

HICON NotAnIconSource() { return reinterpret_cast<HICON>(static_cast<std::intptr_t>(1)); }

}  // namespace

HICON ExtractIconA(HINSTANCE, LPCSTR path, UINT index) {
  std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
  if (file == nullptr) return nullptr;
  unsigned char header[6] = {};
  std::size_t got = std::fread(header, 1, sizeof header, file);
  std::fclose(file);
  if (got != sizeof header) return NotAnIconSource();
  unsigned reserved = header[0] | header[1] << 8;
  unsigned type = header[2] | header[3] << 8;
  unsigned count = header[4] | header[5] << 8;
  if (reserved != 0 || type != 1) return NotAnIconSource();
  if (index >= count) return nullptr;
  return new HICON__{static_cast<int>(index)};
}

BOOL DestroyIcon(HICON icon) {
  if (icon == nullptr || icon == NotAnIconSource()) return FALSE;
  delete icon;
  return TRUE;
}
