// The modules made by make-test-modules.py and the modules Wine ships, for
// the tests of the module reader in both builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
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

// A group icon of a made NE module, as manifest-ne.txt lists it: the text of
// its list entry and its images' sizes and CRC-32s.
struct ManifestGroup {
  std::string module;
  std::string entry;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> images;
};

// The folder of the made modules (PICTROVE_TEST_MODULES), empty when unset.
std::string TestModulesDir();
// The folder of Wine's 32-bit modules (PICTROVE_WINE_MODULES, else Debian's).
std::string WineModulesDir();
// The folder of Wine's bitmap fonts, 16-bit modules (Debian's fonts-wine).
std::string WineFontsDir();
std::string JoinPath(const std::string& folder, const std::string& name);
// Names of the files in `folder` whose names end in one of `suffixes`, sorted.
std::vector<std::string> FilesEndingIn(const std::string& folder, const std::vector<std::string>& suffixes);

// The "resource" lines of a manifest (manifest.txt unless named).
std::vector<ManifestResource> ReadManifest(const std::string& folder, const std::string& name = "manifest.txt");
std::vector<ManifestGroup> ReadManifestGroups(const std::string& folder, const std::string& name);
std::vector<std::uint8_t> ReadFileContents(const std::string& path);
std::uint32_t Crc32(const void* data, std::size_t length);

// The NE module that one of Wine's 16-bit modules (a PE file) carries
// further in: from the first "MZ" after the start whose e_lfanew leads to
// "NE", to the file's end. Empty when there is none.
std::vector<std::uint8_t> EmbeddedNeModule(const std::vector<std::uint8_t>& file);
