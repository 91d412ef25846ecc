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

// The path of `name` in `folder`, joined with the system's separator.
std::string InFolder(const std::string& folder, const std::string& name);
// Writes the file at `path` whole; returns the path.
std::string WriteFileBytes(const std::string& path, const Bytes& bytes);
// Names of the entries of a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);
Bytes ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
bool CreateDirectoryForTest(const std::string& path);
bool CreateHardLinkForTest(const std::string& existing, const std::string& link);
