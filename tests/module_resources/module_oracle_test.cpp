// Our PE reader against kernel32 (LoadLibraryExA as a data file,
// EnumResourceNamesA, FindResourceA, SizeofResource, LoadResource), run under
// Wine: over every .dll and .exe Wine ships and over the made modules, both
// must list the same group-icon and icon names in the same order and find the
// same bytes for each.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "formats/pe/pe_image.h"
#include "formats/pe/pe_resources.h"
#include "formats/pe/resource_names.h"
#include "tests/module_resources/test_modules.h"

namespace {

class Kernel32Module {
 public:
  explicit Kernel32Module(const std::string& path)
      : handle_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~Kernel32Module() {
    if (handle_ != nullptr) FreeLibrary(handle_);
  }
  Kernel32Module(const Kernel32Module&) = delete;
  Kernel32Module& operator=(const Kernel32Module&) = delete;
  HMODULE Get() const { return handle_; }

 private:
  HMODULE handle_;
};

struct OurModule {
  std::vector<std::uint8_t> bytes;
  PeImage image;
  PeResourceTree tree;
  bool loads = false;
  bool hasResources = false;

  explicit OurModule(const std::string& path) : bytes(ReadFileContents(path)) {
    loads = image.Parse(bytes.data(), bytes.size());
    hasResources = loads && tree.Open(image);
  }
};

// The languages Wine's loader tries for a neutral request, from its locale.
PeLanguageOrder WineLanguageOrder(WORD requested = 0) {
  return LoaderLanguageOrder(requested, LANGIDFROMLCID(GetThreadLocale()), LANGIDFROMLCID(GetUserDefaultLCID()),
                             LANGIDFROMLCID(GetSystemDefaultLCID()));
}

std::string IdLabel(unsigned id) { return "#" + std::to_string(id); }

struct Listing {
  BOOL result = FALSE;
  std::vector<std::string> names;  // "#n" for identifiers
  std::vector<std::string> texts;  // the narrow text a name was given as, "" for identifiers
  int stopAfter = -1;
};

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  auto* listing = reinterpret_cast<Listing*>(param);
  bool isId = IS_INTRESOURCE(name);
  listing->names.push_back(isId ? IdLabel(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name))) : name);
  listing->texts.push_back(isId ? "" : name);
  return static_cast<int>(listing->names.size()) != listing->stopAfter;
}

Listing Kernel32Names(HMODULE module, LPCSTR type, int stopAfter = -1) {
  Listing listing;
  listing.stopAfter = stopAfter;
  listing.result = EnumResourceNamesA(module, type, CollectName, reinterpret_cast<LONG_PTR>(&listing));
  return listing;
}

std::string NarrowFromWide(const std::u16string& text) {
  if (text.empty()) return std::string();
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  int length = static_cast<int>(text.size());
  int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, &out[0], bytes, nullptr, nullptr);
  return out.c_str();  // as the callback sees it: up to the first zero
}

std::u16string WideFromNarrow(const std::string& text) {
  if (text.empty()) return std::u16string();
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string out(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<wchar_t*>(&out[0]),
                      length);
  return out;
}

// What our enumeration gives, with names in the ANSI code page as kernel32
// converts them.
Listing OurNames(const OurModule& module, std::uint16_t type) {
  Listing listing;
  PeResourceTable names;
  if (!module.hasResources || !FindTypeTable(module.tree, PeResourceQuery::Id(type), &names)) return listing;
  for (std::uint32_t i = 0; i < names.count; ++i) {
    PeResourceEntry entry;
    if (!module.tree.Entry(names, i, &entry)) return Listing();
    listing.names.push_back(entry.named ? NarrowFromWide(module.tree.Name(entry)) : IdLabel(entry.id));
    listing.texts.push_back(entry.named ? listing.names.back() : "");
  }
  listing.result = names.count > 0 ? TRUE : FALSE;
  return listing;
}

// Our reading of a narrow name argument under Wine's code page: "#n" as the
// A functions read it, other texts through the ANSI code page.
PeResourceQuery QueryFromNarrow(const std::string& text, bool* valid) {
  PeResourceQuery query;
  *valid = true;
  if (!text.empty() && text[0] == '#') {
    *valid = ParseNarrowResourceName(text.c_str(), &query);
    return query;
  }
  return PeResourceQuery::Text(WideFromNarrow(text));
}

struct Found {
  bool found = false;
  DWORD size = 0;
  const std::uint8_t* bytes = nullptr;
};

Found Kernel32Find(HMODULE module, LPCSTR name, LPCSTR type, WORD language = 0) {
  Found f;
  HRSRC resource = language == 0 ? FindResourceA(module, name, type) : FindResourceExA(module, type, name, language);
  if (resource == nullptr) return f;
  f.found = true;
  f.size = SizeofResource(module, resource);
  f.bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource)));
  return f;
}

Found OurFind(const OurModule& module, const PeResourceQuery& name, std::uint16_t type, WORD language = 0) {
  Found f;
  std::uint32_t dataEntry;
  PeResourceData data;
  if (!module.hasResources ||
      !FindResourceDataEntry(module.tree, PeResourceQuery::Id(type), name, WineLanguageOrder(language), &dataEntry) ||
      !module.tree.DataEntry(dataEntry, &data)) {
    return f;
  }
  f.found = true;
  f.size = data.size;
  const std::uint8_t* bytes;
  if (ResourceBytes(module.image, data, &bytes)) f.bytes = bytes;
  return f;
}

bool SameBytes(const Found& a, const Found& b) {
  if (a.found != b.found || a.size != b.size || (a.bytes == nullptr) != (b.bytes == nullptr)) return false;
  return a.bytes == nullptr || a.size == 0 || std::memcmp(a.bytes, b.bytes, a.size) == 0;
}

std::string Describe(const Found& f) {
  if (!f.found) return "not found";
  return "size " + std::to_string(f.size) + (f.bytes ? "" : ", no bytes");
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR languages) {
  reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
  return TRUE;
}

std::vector<WORD> OurLanguages(const OurModule& module, const PeResourceQuery& name, std::uint16_t type) {
  std::vector<WORD> languages;
  PeResourceTable table;
  PeResourceEntry entry;
  if (!FindLanguageTable(module.tree, PeResourceQuery::Id(type), name, &table)) return languages;
  for (std::uint32_t i = 0; i < table.count && module.tree.Entry(table, i, &entry); ++i) languages.push_back(entry.id);
  return languages;
}

struct Comparison {
  std::size_t resources = 0;
  std::vector<std::string> differences;
  std::vector<std::string> kernel32Misses;  // found by us only
};

// Lists types 3 and 14 both ways, then looks up every listed name both ways.
void CompareModule(const std::string& label, HMODULE kernel32, const OurModule& ours, Comparison* out) {
  for (std::uint16_t type : {std::uint16_t{3}, std::uint16_t{14}}) {
    Listing theirs = Kernel32Names(kernel32, MAKEINTRESOURCEA(type));
    Listing mine = OurNames(ours, type);
    if (theirs.result != mine.result || theirs.names != mine.names) {
      out->differences.push_back(label + " type " + std::to_string(type) + ": listings differ (" +
                                 std::to_string(theirs.names.size()) + " vs " + std::to_string(mine.names.size()) +
                                 ")");
      continue;
    }
    for (std::size_t i = 0; i < theirs.names.size(); ++i) {
      const std::string& text = theirs.texts[i];
      bool isId = text.empty() && theirs.names[i][0] == '#' && theirs.names[i].size() > 1;
      LPCSTR argument = isId ? MAKEINTRESOURCEA(std::stoi(theirs.names[i].substr(1))) : text.c_str();
      bool valid = true;
      PeResourceQuery query = isId ? PeResourceQuery::Id(static_cast<std::uint16_t>(std::stoi(theirs.names[i].substr(1))))
                                   : QueryFromNarrow(text, &valid);
      Found k = Kernel32Find(kernel32, argument, MAKEINTRESOURCEA(type));
      Found m = valid ? OurFind(ours, query, type) : Found();
      ++out->resources;
      // Each language it is held in, listed and found as kernel32 does.
      std::vector<WORD> languages;
      EnumResourceLanguagesA(kernel32, MAKEINTRESOURCEA(type), argument, CollectLanguage,
                             reinterpret_cast<LONG_PTR>(&languages));
      if (k.found && valid && languages != OurLanguages(ours, query, type)) {
        out->differences.push_back(label + " type " + std::to_string(type) + " " + theirs.names[i] +
                                   ": languages differ");
      }
      for (WORD language : k.found && valid ? languages : std::vector<WORD>()) {
        if (SameBytes(Kernel32Find(kernel32, argument, MAKEINTRESOURCEA(type), language),
                      OurFind(ours, query, type, language))) {
          continue;
        }
        out->differences.push_back(label + " type " + std::to_string(type) + " " + theirs.names[i] +
                                   ": language " + std::to_string(language) + " differs");
      }
      if (SameBytes(k, m)) continue;
      std::string what = label + " type " + std::to_string(type) + " " + theirs.names[i] + ": kernel32 " +
                         Describe(k) + ", ours " + Describe(m);
      if (!k.found && m.found && m.bytes) {
        out->kernel32Misses.push_back(what);
      } else {
        out->differences.push_back(what);
      }
    }
  }
}

TEST(ModuleOracle, EveryModuleWineShipsReadsAsKernel32ReadsIt) {
  std::string dir = WineModulesDir();
  std::vector<std::string> names = FilesEndingIn(dir, {".dll", ".exe"});
  ASSERT_GT(names.size(), 500u) << "Wine's modules in " << dir;
  Comparison comparison;
  std::size_t compared = 0, loadDifferences = 0, shell32Groups = 0;
  for (const std::string& name : names) {
    std::string path = JoinPath(dir, name);
    Kernel32Module theirs(path);
    OurModule mine(path);
    if ((theirs.Get() != nullptr) != mine.loads) {
      ++loadDifferences;
      ADD_FAILURE() << name << ": kernel32 " << (theirs.Get() ? "loads" : "refuses") << " it, we "
                    << (mine.loads ? "load" : "refuse") << " it";
      continue;
    }
    if (!mine.loads) continue;
    CompareModule(name, theirs.Get(), mine, &comparison);
    if (name == "shell32.dll") shell32Groups = OurNames(mine, 14).names.size();
    ++compared;
  }
  for (const std::string& d : comparison.differences) ADD_FAILURE() << d;
  for (const std::string& d : comparison.kernel32Misses) ADD_FAILURE() << d;
  EXPECT_EQ(names.size(), compared);
  EXPECT_EQ(0u, loadDifferences);
  EXPECT_EQ(184u, shell32Groups);
  std::printf("compared %lu of %lu modules in %s: %lu icon and group-icon resources, %lu differences\n",
              static_cast<unsigned long>(compared), static_cast<unsigned long>(names.size()), dir.c_str(),
              static_cast<unsigned long>(comparison.resources),
              static_cast<unsigned long>(comparison.differences.size() + comparison.kernel32Misses.size()));
}

TEST(ModuleOracle, MadeModulesReadAsKernel32ReadsThem) {
  std::string dir = TestModulesDir();
  if (dir.empty()) GTEST_SKIP() << "PICTROVE_TEST_MODULES is not set";
  std::vector<std::string> names = FilesEndingIn(dir, {".dll", ".exe"});
  std::size_t compared = 0;
  Comparison good, odd;
  for (const std::string& name : names) {
    bool isGood = name.compare(0, 5, "good-") == 0;
    if (!isGood && name.compare(0, 4, "odd-") != 0) continue;
    std::string path = JoinPath(dir, name);
    Kernel32Module theirs(path);
    OurModule mine(path);
    ASSERT_NE(nullptr, theirs.Get()) << name;
    ASSERT_TRUE(mine.loads) << name;
    CompareModule(name, theirs.Get(), mine, isGood ? &good : &odd);
    ++compared;
  }
  EXPECT_GE(compared, 16u);
  for (const std::string& d : good.differences) ADD_FAILURE() << d;
  for (const std::string& d : good.kernel32Misses) ADD_FAILURE() << d;
  // Wine's kernel32 reads no directory whose size says 0; Windows' loader, and ours, walk it. It gives no bytes
  // that lie in the headers of a data file (it does loaded as an image resource, as we and wrestool do).
  const std::vector<std::string> expectedDifferences = {
      "odd-data-in-headers.dll type 3 #1: language 1033 differs",
      "odd-data-in-headers.dll type 3 #1: kernel32 size 176, no bytes, ours size 176",
      "odd-data-in-headers.dll type 14 HEAD: language 1033 differs",
      "odd-data-in-headers.dll type 14 HEAD: kernel32 size 20, no bytes, ours size 20",
      "odd-resource-size-zero.dll type 3: listings differ (0 vs 7)",
      "odd-resource-size-zero.dll type 14: listings differ (0 vs 5)"};
  EXPECT_EQ(expectedDifferences, odd.differences);
  // Where kernel32 can't find a name it lists, we can: names stored out of
  // the sorted order its binary search needs, and names stored in lower case
  // while it upper-cases the name it is asked for.
  std::vector<std::string> expectedMisses = {
      "odd-lowercase.dll type 14 MixedCase: kernel32 not found, ours size 20",
      "odd-lowercase.dll type 14 lower: kernel32 not found, ours size 20",
      "odd-unsorted.dll type 14 ZULU: kernel32 not found, ours size 20",
      "odd-unsorted.dll type 14 #30: kernel32 not found, ours size 20",
      "odd-unsorted.dll type 14 #10: kernel32 not found, ours size 20",
  };
  EXPECT_EQ(expectedMisses, odd.kernel32Misses);
  std::printf("compared %lu made modules: %lu resources\n", static_cast<unsigned long>(compared),
              static_cast<unsigned long>(good.resources + odd.resources));
}

TEST(ModuleOracle, NameArgumentsReadAsKernel32ReadsThem) {
  std::string dir = TestModulesDir();
  if (dir.empty()) GTEST_SKIP() << "PICTROVE_TEST_MODULES is not set";
  std::string path = JoinPath(dir, "good-names.dll");
  Kernel32Module theirs(path);
  OurModule mine(path);
  ASSERT_TRUE(theirs.Get() != nullptr && mine.loads);
  const std::string longName(300, 'x');
  for (const char* argument :
       {"mainicon", "MainIcon", "MAINICON", "a b", "", "z", "Z", "MAINICONS", "MAINICO", "#65536", "#-1", "#65535",
        "#1", "#0", "#12", "#012", "# 12", "#+12", "#12abc", "#", "#abc", " #12", "#4294967297", "#-4294967295",
        longName.c_str()}) {
    bool valid;
    PeResourceQuery query = QueryFromNarrow(argument, &valid);
    Found k = Kernel32Find(theirs.Get(), argument, RT_GROUP_ICON);
    Found m = valid ? OurFind(mine, query, 14) : Found();
    EXPECT_TRUE(SameBytes(k, m)) << "\"" << argument << "\": kernel32 " << Describe(k) << ", ours " << Describe(m);
  }
}

// The effects of kernel32's enumeration that the native build copies.
TEST(ModuleOracle, Kernel32EnumerationReturnsWhatTheLastCallbackReturned) {
  std::string dir = TestModulesDir();
  if (dir.empty()) GTEST_SKIP() << "PICTROVE_TEST_MODULES is not set";
  Kernel32Module module(JoinPath(dir, "good-pe32.dll"));
  ASSERT_NE(nullptr, module.Get());
  EXPECT_EQ(TRUE, Kernel32Names(module.Get(), RT_GROUP_ICON).result);
  for (int stopAfter : {1, 2, 5}) {
    Listing stopped = Kernel32Names(module.Get(), RT_GROUP_ICON, stopAfter);
    EXPECT_EQ(FALSE, stopped.result) << stopAfter;
    EXPECT_EQ(static_cast<std::size_t>(stopAfter), stopped.names.size());
  }
  EXPECT_EQ(5u, Kernel32Names(module.Get(), "#14").names.size());
  Listing custom = Kernel32Names(module.Get(), "custom");
  EXPECT_EQ(TRUE, custom.result);
  EXPECT_EQ(std::vector<std::string>{"DATA"}, custom.names);
  Listing missing = Kernel32Names(module.Get(), MAKEINTRESOURCEA(99));
  EXPECT_EQ(FALSE, missing.result);
  EXPECT_TRUE(missing.names.empty());

  Kernel32Module bare(JoinPath(dir, "good-no-resources.dll"));
  ASSERT_NE(nullptr, bare.Get());
  EXPECT_EQ(FALSE, Kernel32Names(bare.Get(), RT_GROUP_ICON).result);
  Kernel32Module emptyGroup(JoinPath(dir, "good-empty-group.dll"));
  Found group = Kernel32Find(emptyGroup.Get(), MAKEINTRESOURCEA(1), RT_GROUP_ICON);
  EXPECT_TRUE(group.found && group.bytes != nullptr);
  EXPECT_EQ(6u, group.size);
}

}  // namespace
