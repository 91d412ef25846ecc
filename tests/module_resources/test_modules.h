// The modules made by make-test-modules.py and the modules Wine ships, for
// the tests of the module reader in both builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A resource that a lookup must find, as the manifest lists it. Types and
// names are "#n" for an integer identifier, else the text (UTF-8).
struct ManifestResource {
  std::string module;
  std::string type;
  std::string name;
  std::uint32_t size = 0;
  std::uint32_t crc = 0;
};

// The folder of the made modules (PICTROVE_TEST_MODULES), empty when unset.
std::string TestModulesDir();
// The folder of Wine's 32-bit modules (PICTROVE_WINE_MODULES, else Debian's).
std::string WineModulesDir();
std::string JoinPath(const std::string& folder, const std::string& name);
// Names of the files in `folder` whose names end in one of `suffixes`, sorted.
std::vector<std::string> FilesEndingIn(const std::string& folder, const std::vector<std::string>& suffixes);

std::vector<ManifestResource> ReadManifest(const std::string& folder);
std::vector<std::uint8_t> ReadFileContents(const std::string& path);
std::uint32_t Crc32(const void* data, std::size_t length);
