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
  std::string path = Path(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::vector<std::string> TempDir::Files() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(root_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return fs::exists(path); }

bool CreateDirectoryForTest(const std::string& path) { return fs::create_directory(path); }
