// The native build's module functions, under their Win32 names, on the made
// modules (well-formed and broken) and on every module Wine ships.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "tests/module_resources/test_modules.h"

namespace {

class Module {
 public:
  explicit Module(const std::string& path)
      : handle_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~Module() {
    if (handle_ != nullptr) FreeLibrary(handle_);
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  HMODULE Get() const { return handle_; }

 private:
  HMODULE handle_;
};

std::string MadePath(const std::string& name) { return JoinPath(TestModulesDir(), name); }

#define REQUIRE_TEST_MODULES()                                                     \
  do {                                                                             \
    if (TestModulesDir().empty()) GTEST_SKIP() << "PICTROVE_TEST_MODULES is not set"; \
  } while (0)

// A name or type as the tests write it: "#n" for the identifier n.
struct Argument {
  std::string text;
  LPCSTR Get() const {
    if (text.size() > 1 && text[0] == '#') return MAKEINTRESOURCEA(std::stoi(text.substr(1)));
    return text.c_str();
  }
};

struct Enumeration {
  BOOL result = FALSE;
  std::vector<std::string> names;
  int stopAfter = -1;
  LPCSTR type = nullptr;
  bool typePassedThrough = true;
};

BOOL CALLBACK CollectName(HMODULE, LPCSTR type, LPSTR name, LONG_PTR param) {
  auto* e = reinterpret_cast<Enumeration*>(param);
  if (type != e->type) e->typePassedThrough = false;
  e->names.push_back(IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name))
                                          : std::string(name));
  return static_cast<int>(e->names.size()) != e->stopAfter;
}

Enumeration Enumerate(HMODULE module, LPCSTR type, int stopAfter = -1) {
  Enumeration e;
  e.stopAfter = stopAfter;
  e.type = type;
  e.result = EnumResourceNamesA(module, type, CollectName, reinterpret_cast<LONG_PTR>(&e));
  return e;
}

struct Found {
  bool found = false;
  DWORD size = 0;
  const std::uint8_t* bytes = nullptr;
};

Found Lookup(HMODULE module, LPCSTR name, LPCSTR type) {
  Found f;
  HRSRC resource = FindResourceA(module, name, type);
  f.found = resource != nullptr;
  if (!f.found) return f;
  f.size = SizeofResource(module, resource);
  f.bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, resource)));
  return f;
}

const std::vector<std::string> kPe32Groups = {"MAINICON", "#2", "#10", "#11", "#128"};

TEST(LoadLibraryExA, RefusesWhatIsNoModule) {
  REQUIRE_TEST_MODULES();
  for (const char* name :
       {"bad-text.dll", "bad-empty.dll", "bad-cut-dos-header.dll", "bad-cut-pe-signature.dll",
        "bad-cut-file-header.dll", "bad-cut-optional-header.dll", "bad-cut-data-directories.dll",
        "bad-cut-section-table.dll", "bad-lfanew-past-end.dll", "bad-lfanew-wraps.dll", "bad-no-mz.dll",
        "bad-no-pe-signature.dll", "bad-optional-magic.dll", "no-such-file.dll"}) {
    Module module(MadePath(name));
    EXPECT_EQ(nullptr, module.Get()) << name;
  }
  // A folder, and loading that would run the module's code.
  Module folder(TestModulesDir());
  EXPECT_EQ(nullptr, folder.Get());
  EXPECT_EQ(nullptr, LoadLibraryExA(MadePath("good-pe32.dll").c_str(), nullptr, 0));
  EXPECT_EQ(nullptr, LoadLibraryExA(MadePath("good-pe32.dll").c_str(), INVALID_HANDLE_VALUE,
                                    LOAD_LIBRARY_AS_DATAFILE));
  EXPECT_EQ(nullptr, LoadLibraryExA(nullptr, nullptr, LOAD_LIBRARY_AS_DATAFILE));
  EXPECT_EQ(FALSE, FreeLibrary(nullptr));
}

TEST(LoadLibraryExA, DoesNotWaitOnAPipe) {
  char folder[] = "/tmp/pictrove-modules-XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(folder));
  std::string fifo = std::string(folder) + "/pipe.dll";
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  EXPECT_EQ(nullptr, LoadLibraryExA(fifo.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  unlink(fifo.c_str());
  rmdir(folder);
}

// Another program shortening the file after the load: what was read then (the
// directory, and a small module's resource section whole) stays as it was
// read; a resource read only when it is loaded (its bytes lie in another
// section) is then missing, and loading it fails instead of giving bytes the
// file no longer holds.
TEST(LoadLibraryExA, ModuleShortenedByAnotherProgramKeepsWhatWasRead) {
  REQUIRE_TEST_MODULES();
  struct Case {
    const char* module;
    LPCSTR type;
    std::vector<std::string> names;
    bool stays;
  } cases[] = {
      {"good-pe32.dll", RT_GROUP_ICON, kPe32Groups, true},
      {"good-data-elsewhere.dll", RT_ICON, {"#1", "#2"}, true},
      {"good-data-elsewhere.dll", RT_ICON, {"#3"}, false},
  };
  char folder[] = "/tmp/pictrove-modules-XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(folder));
  std::string copy = std::string(folder) + "/shortened.dll";
  for (const Case& c : cases) {
    ASSERT_EQ(0, std::system(("cp " + MadePath(c.module) + " " + copy).c_str()));
    Module reference(MadePath(c.module));
    Module module(copy);
    ASSERT_NE(nullptr, module.Get()) << c.module;
    ASSERT_EQ(0, std::system(("truncate -s 0 " + copy).c_str()));
    EXPECT_EQ(kPe32Groups, Enumerate(module.Get(), RT_GROUP_ICON).names) << c.module;
    for (const std::string& name : c.names) {
      Found found = Lookup(module.Get(), Argument{name}.Get(), c.type);
      Found expected = Lookup(reference.Get(), Argument{name}.Get(), c.type);
      ASSERT_TRUE(found.found) << c.module << " " << name;
      ASSERT_EQ(expected.size, found.size) << c.module << " " << name;
      if (!c.stays) {
        EXPECT_EQ(nullptr, found.bytes) << c.module << " " << name;
        continue;
      }
      ASSERT_NE(nullptr, found.bytes) << c.module << " " << name;
      EXPECT_EQ(0, std::memcmp(expected.bytes, found.bytes, found.size)) << c.module << " " << name;
    }
  }
  unlink(copy.c_str());
  rmdir(folder);
}

TEST(EnumResourceNamesA, ListsGroupIconsInTheOrderTheDirectoryStores) {
  REQUIRE_TEST_MODULES();
  const std::vector<std::string> none;
  struct Case {
    const char* module;
    BOOL result;
    std::vector<std::string> names;
  } cases[] = {
      {"good-pe32.dll", TRUE, kPe32Groups},
      {"good-pe32plus.dll", TRUE, kPe32Groups},
      {"good-pe32.exe", TRUE, kPe32Groups},
      {"good-pe32plus.exe", TRUE, kPe32Groups},
      {"good-neutral.dll", TRUE, kPe32Groups},
      {"good-overlapping-sections.dll", TRUE, kPe32Groups},
      {"good-data-elsewhere.dll", TRUE, kPe32Groups},
      {"odd-resource-size-zero.dll", TRUE, kPe32Groups},
      {"good-empty-group.dll", TRUE, {"#1", "#2"}},
      {"good-missing-icon.dll", TRUE, {"#1", "#2"}},
      {"good-group-short.dll", TRUE, {"#1", "#2"}},
      {"good-languages.dll", TRUE, {"BOTH", "#1", "#2", "#3", "#4", "#5"}},
      {"good-names.dll", TRUE,
       {"", "#12", "A B", "MAINICON", std::string(300, 'X'), "Z", "\xc3\x89" "CLAIR",
        "\xe5\x9b\xbe\xe6\xa0\x87", "#1", "#12", "#65535"}},
      {"good-resources-in-headers.dll", TRUE, {"HEAD"}},
      {"good-no-group-icons.dll", FALSE, none},
      {"good-no-resources.dll", FALSE, none},
      {"odd-unsorted.dll", TRUE, {"ZULU", "ALPHA", "MIKE", "#30", "#20", "#10"}},
      {"odd-lowercase.dll", TRUE, {"MixedCase", "lower"}},
      // Broken elsewhere than in the group names.
      {"bad-cut-resource-data.dll", TRUE, kPe32Groups},
      {"bad-section-raw-past-file.dll", TRUE, kPe32Groups},
      {"bad-loop-language.dll", TRUE, kPe32Groups},
      {"bad-deeper-than-three.dll", TRUE, kPe32Groups},
      {"bad-data-entry-offset.dll", TRUE, kPe32Groups},
      {"bad-data-size.dll", TRUE, kPe32Groups},
      {"bad-data-wraps.dll", TRUE, kPe32Groups},
      {"bad-data-unmapped.dll", TRUE, kPe32Groups},
      // The group type's table is the root: its entries are the types.
      {"bad-loop-to-root.dll", TRUE, {"CUSTOM", "#3", "#14", "#16"}},
      // No directory to read, or a table that runs past its section: no
      // name at all, rather than some of them.
      {"bad-section-pointer-past-file.dll", FALSE, none},
      {"bad-resource-rva-unmapped.dll", FALSE, none},
      {"bad-root-count.dll", FALSE, none},
      {"bad-group-names-count.dll", FALSE, none},
      {"bad-name-offset.dll", FALSE, none},
      {"bad-name-length.dll", FALSE, none},
      {"bad-type-table-offset.dll", FALSE, none},
  };
  for (const Case& c : cases) {
    Module module(MadePath(c.module));
    ASSERT_NE(nullptr, module.Get()) << c.module;
    Enumeration e = Enumerate(module.Get(), RT_GROUP_ICON);
    EXPECT_EQ(c.result, e.result) << c.module;
    EXPECT_EQ(c.names, e.names) << c.module;
    EXPECT_TRUE(e.typePassedThrough) << c.module;
  }
}

TEST(EnumResourceNamesA, StopsWhenTheCallbackSaysSoAndReturnsWhatItSaid) {
  REQUIRE_TEST_MODULES();
  Module module(MadePath("good-pe32.dll"));
  ASSERT_NE(nullptr, module.Get());
  for (int stopAfter : {1, 2, 5}) {
    Enumeration e = Enumerate(module.Get(), RT_GROUP_ICON, stopAfter);
    EXPECT_EQ(FALSE, e.result) << stopAfter;
    EXPECT_EQ(static_cast<std::size_t>(stopAfter), e.names.size());
  }
  // Types as text: "#14" is the identifier, "CUSTOM" a name of a type.
  EXPECT_EQ(kPe32Groups, Enumerate(module.Get(), "#14").names);
  Enumeration custom = Enumerate(module.Get(), "custom");
  EXPECT_EQ(TRUE, custom.result);
  EXPECT_EQ(std::vector<std::string>{"DATA"}, custom.names);
  Enumeration missing = Enumerate(module.Get(), MAKEINTRESOURCEA(99));
  EXPECT_EQ(FALSE, missing.result);
  EXPECT_TRUE(missing.names.empty());
  EXPECT_EQ(FALSE, EnumResourceNamesA(nullptr, RT_GROUP_ICON, CollectName, 0));
  EXPECT_EQ(FALSE, EnumResourceNamesA(module.Get(), RT_GROUP_ICON, nullptr, 0));
}

TEST(FindResourceA, FindsEveryResourceWithTheBytesTheModuleHolds) {
  REQUIRE_TEST_MODULES();
  std::vector<ManifestResource> manifest = ReadManifest(TestModulesDir());
  ASSERT_GT(manifest.size(), 100u);
  std::map<std::string, std::unique_ptr<Module>> modules;
  for (const ManifestResource& r : manifest) {
    auto& module = modules[r.module];
    if (!module) module.reset(new Module(MadePath(r.module)));
    ASSERT_NE(nullptr, module->Get()) << r.module;
    Found f = Lookup(module->Get(), Argument{r.name}.Get(), Argument{r.type}.Get());
    ASSERT_TRUE(f.found) << r.module << " " << r.type << " " << r.name;
    EXPECT_EQ(r.size, f.size) << r.module << " " << r.type << " " << r.name;
    ASSERT_NE(nullptr, f.bytes) << r.module << " " << r.type << " " << r.name;
    EXPECT_EQ(r.crc, Crc32(f.bytes, f.size)) << r.module << " " << r.type << " " << r.name;
  }
}

TEST(FindResourceA, TakesTheLanguageTheLoaderTakes) {
  REQUIRE_TEST_MODULES();
  Module module(MadePath("good-languages.dll"));
  ASSERT_NE(nullptr, module.Get());
  // The images differ in width by language (see make-test-modules.py).
  struct Case {
    int id;
    std::int32_t width;
    const char* why;
  } cases[] = {
      {1, 32, "U.S. English, there being no neutral"},
      {2, 24, "neutral before U.S. English"},
      {3, 48, "Japanese and German: the first stored"},
      {4, 24, "British English and German: the first stored"},
      {5, 48, "English with its neutral sublanguage"},
  };
  for (const Case& c : cases) {
    Found f = Lookup(module.Get(), MAKEINTRESOURCEA(c.id), RT_ICON);
    ASSERT_TRUE(f.found && f.bytes != nullptr) << c.id;
    std::int32_t width;
    std::memcpy(&width, f.bytes + 4, 4);
    EXPECT_EQ(c.width, width) << c.why;
  }
}

TEST(FindResourceA, ReadsNameArgumentsAsWindowsDoes) {
  REQUIRE_TEST_MODULES();
  Module module(MadePath("good-names.dll"));
  ASSERT_NE(nullptr, module.Get());
  Found byId = Lookup(module.Get(), MAKEINTRESOURCEA(12), RT_GROUP_ICON);
  Found storedHash = Lookup(module.Get(), "#12", RT_GROUP_ICON);
  ASSERT_TRUE(byId.found && storedHash.found);
  EXPECT_EQ(byId.bytes, storedHash.bytes) << "\"#12\" is the identifier 12, not the text";
  struct Case {
    const char* argument;
    const char* stored;  // null: not found
  } cases[] = {
      {"mainicon", "MAINICON"},
      {"MainIcon", "MAINICON"},
      {"a b", "A B"},
      {"\xc3\xa9" "clair", "\xc3\x89" "CLAIR"},
      {"", ""},
      {"z", "Z"},
      {"MAINICONS", nullptr},
      {"MAINICO", nullptr},
      {"#65536", nullptr},
      {"#-1", nullptr},
      {"#65535", "#65535"},
      {"#1", "#1"},
      {"#0", nullptr},
  };
  for (const Case& c : cases) {
    Found f = Lookup(module.Get(), c.argument, RT_GROUP_ICON);
    EXPECT_EQ(c.stored != nullptr, f.found) << c.argument;
    if (c.stored == nullptr || !f.found) continue;
    Found expected = Lookup(module.Get(), Argument{c.stored}.Get(), RT_GROUP_ICON);
    EXPECT_EQ(expected.bytes, f.bytes) << c.argument;
  }
  std::string longName(300, 'x');
  EXPECT_TRUE(Lookup(module.Get(), longName.c_str(), RT_GROUP_ICON).found);
  EXPECT_TRUE(Lookup(module.Get(), "MAINICON", "#14").found);
}

TEST(FindResourceA, KeepsWorkingOnWhatIsNotBroken) {
  REQUIRE_TEST_MODULES();
  enum Outcome { kMissing, kUnreadable, kReads };
  struct Case {
    const char* module;
    const char* name;
    const char* type;
    Outcome outcome;
    DWORD size;  // when found; 0: not checked
  } cases[] = {
      {"bad-cut-resource-data.dll", "#1", "#3", kUnreadable, 744},
      {"bad-cut-resource-data.dll", "MAINICON", "#14", kUnreadable, 34},
      {"bad-data-size.dll", "#1", "#3", kUnreadable, 0xFFFFFF},
      {"bad-data-size.dll", "#2", "#3", kReads, 1384},
      {"bad-data-wraps.dll", "#1", "#3", kUnreadable, 0},
      {"bad-data-unmapped.dll", "#1", "#3", kUnreadable, 744},
      {"bad-data-entry-offset.dll", "#1", "#3", kMissing, 0},
      {"bad-data-entry-offset.dll", "#2", "#3", kReads, 1384},
      {"bad-loop-language.dll", "#128", "#14", kMissing, 0},
      {"bad-loop-language.dll", "MAINICON", "#14", kReads, 34},
      {"bad-deeper-than-three.dll", "#2", "#14", kMissing, 0},
      {"bad-loop-to-root.dll", "#3", "#14", kMissing, 0},
      {"bad-loop-to-root.dll", "#14", "#14", kMissing, 0},
      {"bad-loop-to-root.dll", "#1", "#3", kReads, 744},
      {"bad-group-names-count.dll", "MAINICON", "#14", kMissing, 0},
      {"bad-group-names-count.dll", "#1", "#3", kReads, 744},
      {"bad-name-offset.dll", "#1", "#3", kReads, 744},
      {"bad-section-raw-past-file.dll", "MAINICON", "#14", kReads, 34},
      {"bad-root-count.dll", "#1", "#3", kMissing, 0},
      {"bad-section-pointer-past-file.dll", "#1", "#3", kMissing, 0},
  };
  for (const Case& c : cases) {
    Module module(MadePath(c.module));
    ASSERT_NE(nullptr, module.Get()) << c.module;
    Found f = Lookup(module.Get(), Argument{c.name}.Get(), Argument{c.type}.Get());
    EXPECT_EQ(c.outcome != kMissing, f.found) << c.module << " " << c.name;
    EXPECT_EQ(c.outcome == kReads, f.bytes != nullptr) << c.module << " " << c.name;
    if (f.found && c.size != 0) {
      EXPECT_EQ(c.size, f.size) << c.module << " " << c.name;
    }
  }
}

TEST(LoadResource, RefusesAResourceOfAnotherModule) {
  REQUIRE_TEST_MODULES();
  Module a(MadePath("good-pe32.dll"));
  Module b(MadePath("good-pe32plus.dll"));
  ASSERT_TRUE(a.Get() && b.Get());
  HRSRC fromA = FindResourceA(a.Get(), "MAINICON", RT_GROUP_ICON);
  ASSERT_NE(nullptr, fromA);
  EXPECT_EQ(nullptr, LoadResource(b.Get(), fromA));
  EXPECT_EQ(0u, SizeofResource(b.Get(), fromA));
  EXPECT_EQ(nullptr, LoadResource(a.Get(), nullptr));
  EXPECT_EQ(0u, SizeofResource(a.Get(), nullptr));
  EXPECT_EQ(nullptr, FindResourceA(nullptr, "MAINICON", RT_GROUP_ICON));
  EXPECT_EQ(nullptr, LockResource(nullptr));
}

// Every module of Wine's: loads, and each group icon and every icon that it
// names is found and read.
TEST(WineModules, EveryGroupIconAndItsIconsRead) {
  std::string dir = WineModulesDir();
  std::vector<std::string> names = FilesEndingIn(dir, {".dll", ".exe"});
  if (names.empty()) GTEST_SKIP() << "no modules in " << dir;
  std::size_t modules = 0, groups = 0, icons = 0;
  std::map<std::string, std::size_t> groupsOf;
  for (const std::string& name : names) {
    Module module(JoinPath(dir, name));
    ASSERT_NE(nullptr, module.Get()) << name;
    ++modules;
    Enumeration e = Enumerate(module.Get(), RT_GROUP_ICON);
    groupsOf[name] = e.names.size();
    for (const std::string& group : e.names) {
      Found g = Lookup(module.Get(), Argument{group}.Get(), RT_GROUP_ICON);
      ASSERT_TRUE(g.found && g.bytes != nullptr && g.size >= 6) << name << " " << group;
      ++groups;
      std::uint16_t count = static_cast<std::uint16_t>(g.bytes[4] | g.bytes[5] << 8);
      ASSERT_LE(6u + 14u * count, g.size) << name << " " << group;
      for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = g.bytes + 6 + 14 * i;
        int id = entry[12] | entry[13] << 8;
        std::uint32_t bytesInRes;
        std::memcpy(&bytesInRes, entry + 8, 4);
        Found icon = Lookup(module.Get(), MAKEINTRESOURCEA(id), RT_ICON);
        ASSERT_TRUE(icon.found && icon.bytes != nullptr) << name << " " << group << " icon " << id;
        EXPECT_EQ(bytesInRes, icon.size) << name << " " << group << " icon " << id;
        ++icons;
      }
    }
  }
  EXPECT_EQ(184u, groupsOf["shell32.dll"]);
  std::printf("%zu modules, %zu group icons, %zu icons read\n", modules, groups, icons);
}

}  // namespace
