#include "file_names.h"

std::string LowerExtension(const std::string& path) {
  std::size_t nameStart = path.find_last_of("/\\");
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return "";
  std::string extension = path.substr(dot + 1);
  // ASCII letters only, whatever the locale: the window's rule too.
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension;
}
