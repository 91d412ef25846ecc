#include "test_modules.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The Windows build runs under Wine, which shows the Linux root as drive Z:.
std::string HostPath(std::string path) {
#ifdef _WIN32
  if (!path.empty() && path[0] == '/') {
    std::replace(path.begin(), path.end(), '/', '\\');
    path = "Z:" + path;
  }
#endif
  return path;
}

// The manifest's lines, each split at its tabs.
std::vector<std::vector<std::string>> ManifestLines(const std::string& folder, const std::string& name) {
  std::vector<std::vector<std::string>> lines;
  std::ifstream in(JoinPath(folder, name), std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::stringstream split(line);
    std::string field;
    while (std::getline(split, field, '\t')) fields.push_back(field);
    lines.push_back(fields);
  }
  return lines;
}

}  // namespace

std::string TestModulesDir() {
  const char* dir = std::getenv("PICTROVE_TEST_MODULES");
  return dir ? HostPath(dir) : std::string();
}

std::string WineModulesDir() {
  const char* dir = std::getenv("PICTROVE_WINE_MODULES");
  return HostPath(dir ? dir : "/usr/lib/i386-linux-gnu/wine/i386-windows");
}

std::string WineFontsDir() {
  const char* dir = std::getenv("PICTROVE_WINE_FONTS");
  return HostPath(dir ? dir : "/usr/share/wine/fonts");
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return (fs::path(folder) / name).string();
}

std::vector<std::string> FilesEndingIn(const std::string& folder, const std::vector<std::string>& suffixes) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    for (const std::string& suffix : suffixes) {
      if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        names.push_back(name);
        break;
      }
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<ManifestResource> ReadManifest(const std::string& folder, const std::string& name) {
  std::vector<ManifestResource> resources;
  for (const std::vector<std::string>& fields : ManifestLines(folder, name)) {
    if (fields.size() != 6 || fields[0] != "resource") continue;
    ManifestResource resource;
    resource.module = fields[1];
    resource.type = fields[2];
    resource.name = fields[3];
    resource.size = static_cast<std::uint32_t>(std::stoul(fields[4]));
    resource.crc = static_cast<std::uint32_t>(std::stoul(fields[5], nullptr, 16));
    resources.push_back(resource);
  }
  return resources;
}

std::vector<ManifestGroup> ReadManifestGroups(const std::string& folder, const std::string& name) {
  std::vector<ManifestGroup> groups;
  for (const std::vector<std::string>& fields : ManifestLines(folder, name)) {
    if (fields.size() < 3 || fields[0] != "group") continue;
    ManifestGroup group;
    group.module = fields[1];
    group.entry = fields[2];
    std::stringstream images(fields.size() > 3 ? fields[3] : "");
    std::string image;
    while (std::getline(images, image, ',')) {
      std::size_t colon = image.find(':');
      group.images.emplace_back(static_cast<std::uint32_t>(std::stoul(image.substr(0, colon))),
                                static_cast<std::uint32_t>(std::stoul(image.substr(colon + 1), nullptr, 16)));
    }
    groups.push_back(group);
  }
  return groups;
}

std::vector<std::uint8_t> ReadFileContents(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::vector<std::uint8_t> bytes;
  std::streamoff length = in ? static_cast<std::streamoff>(in.tellg()) : 0;
  if (length <= 0) return bytes;
  bytes.resize(static_cast<std::size_t>(length));
  in.seekg(0);
  in.read(reinterpret_cast<char*>(bytes.data()), length);
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

std::uint32_t Crc32(const void* data, std::size_t length) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < length; ++i) {
    crc ^= p[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

std::vector<std::uint8_t> EmbeddedNeModule(const std::vector<std::uint8_t>& file) {
  for (std::size_t at = 1; at + 64 <= file.size(); ++at) {
    if (file[at] != 'M' || file[at + 1] != 'Z') continue;
    std::uint32_t lfanew = static_cast<std::uint32_t>(file[at + 0x3C] | file[at + 0x3D] << 8 | file[at + 0x3E] << 16 |
                                                      static_cast<std::uint32_t>(file[at + 0x3F]) << 24);
    if (lfanew > file.size() - at - 2) continue;
    if (file[at + lfanew] == 'N' && file[at + lfanew + 1] == 'E') {
      return std::vector<std::uint8_t>(file.begin() + static_cast<std::ptrdiff_t>(at), file.end());
    }
  }
  return {};
}
