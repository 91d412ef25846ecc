// A folder of its own for each test, removed with everything in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string Path(const std::string& name) const;
  std::string Write(const std::string& name, const Bytes& bytes) const;
  // Names of the files the folder holds, sorted.
  std::vector<std::string> Files() const;

 private:
  std::string root_;
};

Bytes ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
bool CreateDirectoryForTest(const std::string& path);
