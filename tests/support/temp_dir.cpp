#include "temp_dir.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<unsigned> sequence{0};
  std::random_device seed;
  fs::path base = fs::temp_directory_path();
  for (;;) {
    fs::path candidate = base / ("pictrove-test-" + std::to_string(seed()) + "-" +
                                 std::to_string(sequence++));
    if (fs::create_directory(candidate)) {
      root_ = candidate.string();
      break;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(root_, ignored);
}

std::string TempDir::Path(const std::string& name) const { return (fs::path(root_) / name).string(); }

std::string TempDir::Write(const std::string& name, const Bytes& bytes) const {
  return WriteFileBytes(Path(name), bytes);
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return (fs::path(folder) / name).string();
}

std::string WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::vector<std::string> TempDir::Files() const { return FilesIn(root_); }

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

Bytes ReadFileBytes(const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return {};
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
  std::error_code error;
  return fs::exists(path, error);
}

bool CreateDirectoryForTest(const std::string& path) { return fs::create_directory(path); }

bool CreateHardLinkForTest(const std::string& existing, const std::string& link) {
  std::error_code error;
  fs::create_hard_link(existing, link, error);
  return !error;
}
