// Our NE reader on its own: the headers, the resource table read whole or not
// at all, offsets and lengths by the alignment shift, names, on tiny modules
// built here; then the modules make-ne-modules.py writes, Wine's bitmap fonts
// and the NE modules inside Wine's 16-bit modules. Run natively and, in the
// Windows build, under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "formats/ne_module.h"
#include "tests/module_resources/ne_bytes.h"
#include "tests/module_resources/test_modules.h"

namespace {

using ne_bytes::Bytes;
using ne_bytes::Description;
using ne_bytes::Field;
using ne_bytes::NameRecord;
using ne_bytes::TypeRecord;
using ne_module::NeModule;
using ne_module::Resource;

void Put16(Bytes* b, std::size_t at, std::uint32_t v) {
  (*b)[at] = static_cast<std::uint8_t>(v);
  (*b)[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes* b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// Group icon 1 and icon 1 (at units 16 and 17, one unit each), and a text
// type CUSTOM with a text name.
Description Sound() {
  Description d;
  d.types = {{Field::Id(14), {{Field::Id(1), 16, 1}, {Field::Text("MAINICON"), 16, 1}}},
             {Field::Id(3), {{Field::Id(1), 17, 1}}},
             {Field::Text("CUSTOM"), {{Field::Text("DATA"), 18, 1}}}};
  d.fileBytes = 19 * 16;
  return d;
}

std::string Text(const ne_module::ResourceId& id) {
  return std::string(reinterpret_cast<const char*>(id.text.Data()), id.text.Length());
}

// "#n" for an identifier, else the text.
std::string Label(const ne_module::ResourceId& id) {
  return id.isInteger ? "#" + std::to_string(id.id) : Text(id);
}

std::vector<Resource> AllResources(const NeModule& module) {
  std::vector<Resource> all;
  module.ForEachResource([&](const Resource& r) {
    all.push_back(r);
    return true;
  });
  return all;
}

TEST(NeModule, ReadsTheHeadersOrRefusesTheFile) {
  const Bytes sound = ne_bytes::Build(Sound()).file;
  struct Case {
    const char* what;
    std::function<void(Bytes*)> change;
    bool parses;
    bool hasResources;
  } cases[] = {
      {"sound", [](Bytes*) {}, true, true},
      {"no MZ", [](Bytes* b) { (*b)[1] = 'M'; }, false, false},
      {"DOS header cut", [](Bytes* b) { b->resize(63); }, false, false},
      {"e_lfanew at the file's end", [](Bytes* b) { Put32(b, 0x3C, static_cast<std::uint32_t>(b->size())); },
       false, false},
      {"e_lfanew wraps", [](Bytes* b) { Put32(b, 0x3C, 0xFFFFFFFF); }, false, false},
      {"no NE", [](Bytes* b) { (*b)[65] = 'F'; }, false, false},
      {"a PE signature", [](Bytes* b) { std::memcpy(&(*b)[64], "PE\0\0", 4); }, false, false},
      {"NE header cut", [](Bytes* b) { b->resize(64 + 63); }, false, false},
      {"NE header whole, table cut", [](Bytes* b) { b->resize(64 + 64); }, true, false},
      {"e_lfanew 0: MZ is no NE", [](Bytes* b) { Put32(b, 0x3C, 0); }, false, false},
  };
  for (const Case& c : cases) {
    Bytes file = sound;
    c.change(&file);
    NeModule module;
    EXPECT_EQ(c.parses, module.Parse(ByteView(file.data(), file.size()))) << c.what;
    EXPECT_EQ(c.hasResources, module.HasResources()) << c.what;
  }
}

TEST(NeModule, ReadsTheResourceTableWholeOrNotAtAll) {
  struct Case {
    const char* what;
    std::function<void(Description*)> change;
    bool hasResources;
  } cases[] = {
      {"sound", [](Description*) {}, true},
      {"no resources: the table ends where it starts", [](Description* d) { d->tableEnd = 64; }, false},
      {"the table ends before it starts", [](Description* d) { d->tableEnd = 60; }, false},
      {"the table runs past the file", [](Description* d) { d->tableEnd = 0xFFFF; }, false},
      {"the table starts past the file", [](Description* d) { d->tableStart = 0xFFF0; }, false},
      {"no type record", [](Description* d) { d->types.clear(); }, true},
      {"a type of no names", [](Description* d) { d->types.push_back({Field::Id(5), {}}); }, true},
      {"the type list does not end inside the table", [](Description* d) { d->endOfTypes = false; }, false},
      {"a count running past the table", [](Description* d) { d->types[2].count = 4; }, false},
      {"a count far past the table", [](Description* d) { d->types[0].count = 0xFFFF; }, false},
      {"a type's name past the table", [](Description* d) { d->types[2].type = Field::Raw(0x7FFF); }, false},
      {"a name past the table", [](Description* d) { d->types[0].names[0].name = Field::Raw(0x7000); }, false},
      {"a name at the table's last byte, its text past it",
       [](Description* d) {
         // The texts are MAINICON, CUSTOM, DATA: 9 + 7 + 5 bytes at the end.
         d->types[0].names[0].name = Field::Raw(static_cast<std::uint16_t>(ne_bytes::Build(*d).tableEnd - 1 - 128));
       },
       false},
      {"a name of no text at the table's last byte",
       [](Description* d) {
         d->types[0].names.push_back({Field::Text(""), 16, 1});
       },
       true},
      {"a name that is the shift word", [](Description* d) { d->types[0].names[0].name = Field::Raw(0); }, true},
      {"shift 0", [](Description* d) { d->shift = 0; }, true},
      {"shift 15", [](Description* d) { d->shift = 15; }, true},
      {"shift 16", [](Description* d) { d->shift = 16; }, false},
      {"shift 31", [](Description* d) { d->shift = 31; }, false},
      {"shift 65535", [](Description* d) { d->shift = 0xFFFF; }, false},
  };
  for (const Case& c : cases) {
    Description d = Sound();
    c.change(&d);
    Bytes file = ne_bytes::Build(d).file;
    NeModule module;
    ASSERT_TRUE(module.Parse(ByteView(file.data(), file.size()))) << c.what;
    EXPECT_EQ(c.hasResources, module.HasResources()) << c.what;
    // A table that is refused has nothing to visit.
    if (!c.hasResources) {
      EXPECT_TRUE(AllResources(module).empty()) << c.what;
    }
  }
  // The table cut by the file's end, at every length.
  Bytes file = ne_bytes::Build(Sound()).file;
  const std::size_t tableEnd = ne_bytes::Build(Sound()).tableEnd;
  for (std::size_t cut = 128; cut < tableEnd; ++cut) {
    NeModule module;
    ASSERT_TRUE(module.Parse(ByteView(file.data(), cut)));
    EXPECT_FALSE(module.HasResources()) << "cut at " << cut;
  }
  NeModule whole;
  ASSERT_TRUE(whole.Parse(ByteView(file.data(), tableEnd)));
  EXPECT_TRUE(whole.HasResources());
}

TEST(NeModule, VisitsResourcesInTheTablesOrderWithTheirIdentifiersAndNames) {
  Description d = Sound();
  d.types.push_back({Field::Raw(0xFFFF), {{Field::Raw(0x8000), 1, 1}, {Field::Text(std::string("NUL\0CUT", 7)), 1, 1},
                                           {Field::Text(std::string(255, 'X')), 1, 1}, {Field::Text(""), 1, 1}}});
  Bytes file = ne_bytes::Build(d).file;
  NeModule module;
  ASSERT_TRUE(module.Parse(ByteView(file.data(), file.size())));
  std::vector<std::string> seen;
  for (const Resource& r : AllResources(module)) seen.push_back(Label(r.type) + " " + Label(r.name));
  const std::vector<std::string> expected = {"#14 #1", "#14 MAINICON", "#3 #1", "CUSTOM DATA", "#32767 #0",
                                             "#32767 NUL", "#32767 " + std::string(255, 'X'), "#32767 "};
  EXPECT_EQ(expected, seen);

  int visits = 0;
  EXPECT_FALSE(module.ForEachResource([&](const Resource&) { return ++visits < 2; }));
  EXPECT_EQ(2, visits);
}

TEST(NeModule, OffsetsAndLengthsCountUnitsOfTheAlignment) {
  for (std::uint16_t shift = 0; shift <= 15; ++shift) {
    Description d;
    d.shift = shift;
    d.types = {{Field::Id(3), {{Field::Id(1), 3, 2}, {Field::Id(2), 0xFFFF, 0xFFFF}}}};
    d.fileBytes = std::max<std::size_t>(std::size_t{5} << shift, 256);
    Bytes file = ne_bytes::Build(d).file;
    NeModule module;
    ASSERT_TRUE(module.Parse(ByteView(file.data(), file.size())));
    ASSERT_TRUE(module.HasResources());
    EXPECT_EQ(shift, module.AlignShift());
    std::vector<Resource> all = AllResources(module);
    ASSERT_EQ(2u, all.size());
    EXPECT_EQ(std::uint64_t{3} << shift, all[0].offset) << shift;
    EXPECT_EQ(std::uint64_t{2} << shift, all[0].length) << shift;
    EXPECT_EQ(std::uint64_t{0xFFFF} << shift, all[1].offset) << shift;
    ByteView bytes;
    if (std::size_t{5} << shift <= file.size()) {
      ASSERT_TRUE(module.Bytes(all[0], &bytes)) << shift;
      EXPECT_EQ(file.data() + (std::size_t{3} << shift), bytes.Data());
      EXPECT_EQ(std::size_t{2} << shift, bytes.Length());
    }
    EXPECT_FALSE(module.Bytes(all[1], &bytes)) << shift;
  }
}

TEST(NeModule, ResourceBytesStayInsideTheFile) {
  struct Case {
    const char* what;
    std::uint16_t offset, length;  // in units of 16 bytes
    std::size_t fileBytes;
    bool found;
    std::size_t bytes;
  } cases[] = {
      {"to the file's last byte", 16, 2, 18 * 16, true, 32},
      {"the file ends inside the last unit", 16, 2, 18 * 16 - 15, true, 17},
      {"the file ends a whole unit short", 16, 2, 17 * 16, false, 0},
      {"the file ends at its start", 16, 2, 16 * 16, false, 0},
      {"no bytes, at the file's end", 16, 0, 16 * 16, true, 0},
      {"starting past the file", 17, 0, 16 * 16, false, 0},
      {"the largest place and length", 0xFFFF, 0xFFFF, 16 * 16, false, 0},
  };
  for (const Case& c : cases) {
    Description d;
    d.types = {{Field::Id(3), {{Field::Id(1), c.offset, c.length}}}};
    Bytes file = ne_bytes::Build(d).file;
    file.resize(c.fileBytes);
    NeModule module;
    ASSERT_TRUE(module.Parse(ByteView(file.data(), file.size())) && module.HasResources()) << c.what;
    std::vector<Resource> all = AllResources(module);
    ASSERT_EQ(1u, all.size());
    ByteView bytes;
    ASSERT_EQ(c.found, module.Bytes(all[0], &bytes)) << c.what;
    if (c.found) {
      EXPECT_EQ(c.bytes, bytes.Length()) << c.what;
    }
  }
}

TEST(NeModule, QueriesMatchIdentifiersAndNamesWithoutRegardToCase) {
  Bytes file = ne_bytes::Build(Sound()).file;
  NeModule module;
  ASSERT_TRUE(module.Parse(ByteView(file.data(), file.size())));
  std::vector<ne_module::ResourceId> stored;  // every type and name, in order
  module.ForEachResource([&](const Resource& r) {
    stored.push_back(r.type);
    stored.push_back(r.name);
    return true;
  });
  struct Case {
    ne_module::Query query;
    std::vector<std::string> matches;  // labels of the types and names matched, in order
  } cases[] = {
      {{true, 14, nullptr, 0}, {"#14", "#14"}},
      {{true, 1, nullptr, 0}, {"#1", "#1"}},
      {{true, 0x800E, nullptr, 0}, {}},
      {{false, 0, "MainIcon", 8}, {"MAINICON"}},
      {{false, 0, "mainicon", 8}, {"MAINICON"}},
      {{false, 0, "MAINICO", 7}, {}},
      {{false, 0, "MAINICONS", 9}, {}},
      {{false, 0, "custom", 6}, {"CUSTOM"}},
      {{false, 0, "#14", 3}, {}},
      {{false, 0, "", 0}, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> matched;
    for (const ne_module::ResourceId& id : stored) {
      if (ne_module::Matches(id, c.query)) matched.push_back(Label(id));
    }
    EXPECT_EQ(c.matches, matched) << (c.query.isInteger ? std::to_string(c.query.id) : c.query.text);
  }
  // Only ASCII letters are folded: other bytes of the code page compare as
  // they are.
  ne_module::ResourceId eclair;
  const std::uint8_t text[] = {0xC9, 'C', 'L', 'A', 'I', 'R'};
  eclair.text = ByteView(text, sizeof text);
  EXPECT_TRUE(ne_module::Matches(eclair, {false, 0, "\xC9" "clair", 6}));
  EXPECT_FALSE(ne_module::Matches(eclair, {false, 0, "\xE9" "CLAIR", 6}));
}

// The modules the script writes: every resource its manifest lists is found
// with its bytes, padding included.
TEST(NeModule, MadeModulesHoldWhatTheirManifestLists) {
  std::string dir = TestModulesDir();
  if (dir.empty()) GTEST_SKIP() << "PICTROVE_TEST_MODULES is not set";
  std::vector<ManifestResource> manifest = ReadManifest(dir, "manifest-ne.txt");
  ASSERT_GT(manifest.size(), 100u);
  std::map<std::string, std::size_t> listed;
  for (const ManifestResource& m : manifest) ++listed[m.module];
  for (const auto& entry : listed) {
    SCOPED_TRACE(entry.first);
    Bytes file = ReadFileContents(JoinPath(dir, entry.first));
    NeModule module;
    ASSERT_TRUE(module.Parse(ByteView(file.data(), file.size())));
    ASSERT_TRUE(module.HasResources());
    std::vector<Resource> all = AllResources(module);
    EXPECT_GE(all.size(), entry.second);
    for (const ManifestResource& m : manifest) {
      if (m.module != entry.first) continue;
      bool found = false;
      for (const Resource& r : all) {
        // The manifest's "#n" is an identifier, never a text of that form.
        if (Label(r.type) != m.type || Label(r.name) != m.name || (!r.name.isInteger && m.name[0] == '#')) {
          continue;
        }
        ByteView bytes;
        ASSERT_TRUE(module.Bytes(r, &bytes)) << m.type << " " << m.name;
        EXPECT_EQ(m.size, bytes.Length()) << m.type << " " << m.name;
        EXPECT_EQ(m.crc, Crc32(bytes.Data(), bytes.Length())) << m.type << " " << m.name;
        found = true;
        break;
      }
      EXPECT_TRUE(found) << m.type << " " << m.name;
    }
  }
}

// Wine's bitmap fonts, NE modules its build writes: each font resource
// starts with a font header whose version is 2.0 or 3.0 and whose size
// fills the resource up to its last unit of alignment.
TEST(NeModule, WineFontsHoldFontsWhereTheirTablesSay) {
  std::string dir = WineFontsDir();
  std::vector<std::string> names = FilesEndingIn(dir, {".fon"});
  if (names.empty()) GTEST_SKIP() << "no fonts in " << dir;
  std::size_t fonts = 0;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Bytes file = ReadFileContents(JoinPath(dir, name));
    NeModule module;
    ASSERT_TRUE(module.Parse(ByteView(file.data(), file.size())));
    ASSERT_TRUE(module.HasResources());
    bool directory = false;
    for (const Resource& r : AllResources(module)) {
      ByteView bytes;
      ASSERT_TRUE(module.Bytes(r, &bytes)) << Label(r.type) << " " << Label(r.name);
      if (Label(r.type) == "#7") directory = Label(r.name) == "FONTDIR";
      if (Label(r.type) != "#8") continue;
      std::uint16_t version;
      std::uint32_t size;
      ASSERT_TRUE(bytes.U16(0, &version) && bytes.U32(2, &size));
      EXPECT_TRUE(version == 0x200 || version == 0x300) << std::hex << version;
      EXPECT_LE(size, bytes.Length());
      EXPECT_GT(size + (std::uint64_t{1} << module.AlignShift()), bytes.Length());
      ++fonts;
    }
    EXPECT_TRUE(directory);
  }
  EXPECT_GT(fonts, names.size());
  std::printf("%zu fonts in %zu font files\n", fonts, names.size());
}

// Wine's 16-bit modules are PE files that carry the NE module further in:
// an "MZ" header whose e_lfanew leads to "NE". Each one reads; the group
// icon of display.drv names icons that are all there, each as long as its
// entry says (this module is aligned to single bytes).
TEST(NeModule, WineSixteenBitModulesCarryNeModulesThatRead) {
  std::string dir = WineModulesDir();
  std::vector<std::string> names = FilesEndingIn(dir, {"16"});
  if (names.empty()) GTEST_SKIP() << "no 16-bit modules in " << dir;
  std::size_t groups = 0;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    Bytes file = ReadFileContents(JoinPath(dir, name));
    Bytes inner = EmbeddedNeModule(file);
    ASSERT_FALSE(inner.empty());
    NeModule module;
    ASSERT_TRUE(module.Parse(ByteView(inner.data(), inner.size())));
    ASSERT_TRUE(module.HasResources());
    for (const Resource& group : AllResources(module)) {
      if (Label(group.type) != "#14") continue;
      ++groups;
      EXPECT_EQ("display.drv16", name);
      ByteView groupBytes;
      ASSERT_TRUE(module.Bytes(group, &groupBytes));
      std::uint16_t count = 0;
      ASSERT_TRUE(groupBytes.U16(4, &count));
      EXPECT_EQ(10, count);
      for (std::uint16_t i = 0; i < count; ++i) {
        std::uint32_t size = 0;
        std::uint16_t id = 0;
        ASSERT_TRUE(groupBytes.U32(6 + 14u * i + 8, &size) && groupBytes.U16(6 + 14u * i + 12, &id));
        bool found = false;
        for (const Resource& icon : AllResources(module)) {
          if (Label(icon.type) != "#3" || !icon.name.isInteger || icon.name.id != id) continue;
          ByteView bytes;
          found = module.Bytes(icon, &bytes) && bytes.Length() == size;
        }
        EXPECT_TRUE(found) << "icon " << id;
      }
    }
  }
  EXPECT_EQ(1u, groups);
}

}  // namespace
