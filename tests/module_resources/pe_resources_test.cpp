// Our PE reader on its own: names, languages, headers and the bounds of the
// resource directory, on tiny modules built here and on the made modules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/pe/pe_image.h"
#include "formats/pe/pe_resources.h"
#include "formats/pe/resource_names.h"
#include "tests/module_resources/test_modules.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes* b, std::size_t at, std::uint32_t v) {
  (*b)[at] = static_cast<std::uint8_t>(v);
  (*b)[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(Bytes* b, std::size_t at, std::uint32_t v) {
  PutU16(b, at, v & 0xFFFF);
  PutU16(b, at + 2, v >> 16);
}

constexpr std::uint32_t kSectionRva = 0x1000;
constexpr std::size_t kSectionFileOffset = 0x200;

// A PE32 file with one section at RVA 0x1000, file offset 0x200, whose raw
// data is exactly `section` and which holds the resource directory.
Bytes TinyModule(const Bytes& section) {
  Bytes file(kSectionFileOffset + section.size());
  file[0] = 'M';
  file[1] = 'Z';
  PutU32(&file, 0x3C, 64);
  std::memcpy(&file[64], "PE\0\0", 4);
  PutU16(&file, 64 + 4 + 2, 1);      // one section
  PutU16(&file, 64 + 4 + 16, 224);   // SizeOfOptionalHeader
  std::size_t opt = 64 + 24;
  PutU16(&file, opt, 0x10B);
  PutU32(&file, opt + 60, 0x200);    // SizeOfHeaders
  PutU32(&file, opt + 92, 16);
  PutU32(&file, opt + 96 + 16, kSectionRva);
  PutU32(&file, opt + 96 + 20, static_cast<std::uint32_t>(section.size()));
  std::size_t header = opt + 224;
  PutU32(&file, header + 8, static_cast<std::uint32_t>(section.size()));
  PutU32(&file, header + 12, kSectionRva);
  PutU32(&file, header + 16, static_cast<std::uint32_t>(section.size()));
  PutU32(&file, header + 20, kSectionFileOffset);
  std::memcpy(&file[kSectionFileOffset], section.data(), section.size());
  return file;
}

// A directory table header with `named` text and `ids` identifier entries.
void PutTable(Bytes* b, std::size_t at, std::uint16_t named, std::uint16_t ids) {
  PutU16(b, at + 12, named);
  PutU16(b, at + 14, ids);
}

struct OpenedTree {
  Bytes file;
  PeImage image;
  PeResourceTree tree;
  bool open = false;
  explicit OpenedTree(Bytes bytes) : file(std::move(bytes)) {
    open = image.Parse(file.data(), file.size()) && tree.Open(image);
  }
};

TEST(ParseNarrowResourceName, ReadsNumbersAsRtlCharToIntegerDoes) {
  struct Case {
    const char* text;
    bool parses;
    bool isId;
    std::uint16_t id;
  } cases[] = {
      {"#12", true, true, 12},     {"#012", true, true, 12},      {"# 12", true, true, 12},
      {"#+12", true, true, 12},    {"#12abc", true, true, 12},    {"#", true, true, 0},
      {"#abc", true, true, 0},     {"#65535", true, true, 65535}, {"#65536", false, false, 0},
      {"#-1", false, false, 0},    {"#-0", true, true, 0},        {"#4294967296", true, true, 0},
      {"#4294967297", true, true, 1}, {"MAINICON", true, false, 0}, {" #12", true, false, 0},
      {"", true, false, 0},
  };
  for (const Case& c : cases) {
    PeResourceQuery query;
    ASSERT_EQ(c.parses, ParseNarrowResourceName(c.text, &query)) << c.text;
    if (!c.parses) continue;
    EXPECT_EQ(c.isId, query.isId) << c.text;
    if (c.isId) {
      EXPECT_EQ(c.id, query.id) << c.text;
    } else {
      EXPECT_EQ(Utf8ToUtf16(c.text), query.text) << c.text;
    }
  }
}

TEST(ResourceNames, CompareWithoutRegardToCase) {
  struct Case {
    std::u16string a, b;
    bool equal;
  } cases[] = {
      {u"MAINICON", u"mainicon", true}, {u"MainIcon", u"MAINICON", true}, {u"A B", u"a b", true},
      {u"\u00c9CLAIR", u"\u00e9clair", true}, {u"\u00ff", u"\u0178", true}, {u"\u00f7", u"\u00d7", false},
      {u"ICON", u"ICONS", false}, {u"", u"", true}, {u"@", u"`", false}, {u"[", u"{", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.equal, ResourceNamesEqual(c.a, c.b)) << Utf16ToUtf8(c.a);
}

TEST(ResourceNames, ConvertBetweenUtf16AndUtf8) {
  struct Case {
    std::u16string wide;
    std::string narrow;
  } cases[] = {
      {u"MAINICON", "MAINICON"},
      {u"\u00c9CLAIR", "\xc3\x89" "CLAIR"},
      {u"\u56fe\u6807", "\xe5\x9b\xbe\xe6\xa0\x87"},
      {u"\U0001F600", "\xf0\x9f\x98\x80"},
      {u"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.narrow, Utf16ToUtf8(c.wide));
    EXPECT_EQ(c.wide, Utf8ToUtf16(c.narrow));
  }
  // Halves of surrogate pairs alone are no characters.
  EXPECT_EQ("?A?", Utf16ToUtf8(std::u16string{char16_t(0xD800), u'A', char16_t(0xDC00)}));
  // Bytes that begin no valid sequence, overlong forms and surrogates.
  EXPECT_EQ(u"\uFFFDA", Utf8ToUtf16("\x80" "A"));
  EXPECT_EQ(u"\uFFFD\uFFFD", Utf8ToUtf16("\xc0\xaf"));
  EXPECT_EQ(u"\uFFFD\uFFFD\uFFFD", Utf8ToUtf16("\xed\xa0\x80"));
  EXPECT_EQ(u"\uFFFD\uFFFD", Utf8ToUtf16("\xe5\x9b"));
}

TEST(LoaderLanguageOrder, FollowsTheLoadersSteps) {
  struct Case {
    std::uint16_t requested, thread, user, system;
    std::vector<std::uint16_t> order;
    bool thenFirst;
  } cases[] = {
      {0, 0x0409, 0x0409, 0x0409, {0, 0x0409, 0x0009}, true},
      {0, 0x0804, 0x0804, 0x0409, {0, 0x0804, 0x0004, 0x0409, 0x0009}, true},
      {0, 0x0407, 0x0c07, 0x0411, {0, 0x0407, 0x0c07, 0x0007, 0x0411, 0x0011, 0x0409}, true},
      {0x0800, 0x0407, 0x0407, 0x0411, {0x0800, 0, 0x0411, 0x0011, 0x0409}, true},  // SUBLANG_SYS_DEFAULT
      {0x0407, 0x0409, 0x0409, 0x0409, {0x0407, 0x0007, 0}, false},
  };
  for (const Case& c : cases) {
    PeLanguageOrder order = LoaderLanguageOrder(c.requested, c.thread, c.user, c.system);
    std::vector<std::uint16_t> got(order.languages, order.languages + order.count);
    EXPECT_EQ(c.order, got) << std::hex << c.requested << " " << c.thread;
    EXPECT_EQ(c.thenFirst, order.thenFirstEntry);
  }
}

TEST(PeImage, RefusesAFileCutInsideAnyHeader) {
  std::string dir = TestModulesDir();
  if (dir.empty()) GTEST_SKIP() << "PICTROVE_TEST_MODULES is not set";
  for (const char* name : {"good-pe32.dll", "good-pe32plus.dll"}) {
    Bytes file = ReadFileContents(JoinPath(dir, name));
    ASSERT_FALSE(file.empty()) << name;
    PeImage image;
    ASSERT_TRUE(image.Parse(file.data(), file.size())) << name;
    std::size_t lfanew = file[0x3C] | file[0x3D] << 8;
    std::size_t optionalBytes = file[lfanew + 20] | file[lfanew + 21] << 8;
    std::size_t headersEnd = lfanew + 24 + optionalBytes + 40 * image.SectionCount();
    for (std::size_t cut = 0; cut < headersEnd; ++cut) {
      PeImage cutImage;
      EXPECT_FALSE(cutImage.Parse(file.data(), cut)) << name << " cut at " << cut;
    }
    PeImage whole;
    EXPECT_TRUE(whole.Parse(file.data(), headersEnd)) << name;
    EXPECT_EQ(std::string(name) == "good-pe32plus.dll", whole.IsPe32Plus());
  }
}

TEST(PeImage, MapsAddressesThroughTheFirstSectionThatHoldsThem) {
  Bytes section(0x40, 0xAB);
  Bytes file = TinyModule(section);
  PeImage image;
  ASSERT_TRUE(image.Parse(file.data(), file.size()));
  struct Case {
    std::uint32_t rva;
    bool maps;
    std::size_t offset;
  } cases[] = {
      {kSectionRva - 1, false, 0},
      {kSectionRva, true, kSectionFileOffset},
      {kSectionRva + 0x3F, true, kSectionFileOffset + 0x3F},
      {kSectionRva + 0x40, false, 0},
      {0xFFFFFFFF, false, 0},
  };
  for (const Case& c : cases) {
    std::size_t offset = 0, end = 0;
    ASSERT_EQ(c.maps, image.RvaToFileOffset(c.rva, &offset, &end)) << std::hex << c.rva;
    if (!c.maps) continue;
    EXPECT_EQ(c.offset, offset);
    EXPECT_EQ(file.size(), end);
  }
}

TEST(PeResourceTree, RefusesATableWhoseEntriesRunPastTheSection) {
  for (std::uint16_t ids : {0, 1, 7}) {
    Bytes section(16 + 8u * ids);
    PutTable(&section, 0, 0, ids);
    OpenedTree exact(TinyModule(section));
    ASSERT_TRUE(exact.open);
    PeResourceTable root;
    EXPECT_TRUE(exact.tree.Root(&root)) << ids;
    EXPECT_EQ(ids, root.count);

    PutTable(&section, 0, 0, static_cast<std::uint16_t>(ids + 1));
    OpenedTree over(TinyModule(section));
    ASSERT_TRUE(over.open);
    EXPECT_FALSE(over.tree.Root(&root)) << ids + 1;
  }
}

TEST(PeResourceTree, RefusesANameThatRunsPastTheSection) {
  // Root: one named entry; its name right after the table, with room for
  // exactly four units.
  Bytes section(16 + 8 + 2 + 8);
  PutTable(&section, 0, 1, 0);
  PutU32(&section, 16, 0x80000000u | 24);
  for (std::uint16_t length : {0, 3, 4, 5, 0xFFFF}) {
    PutU16(&section, 24, length);
    OpenedTree opened(TinyModule(section));
    ASSERT_TRUE(opened.open);
    PeResourceTable root;
    EXPECT_EQ(length <= 4, opened.tree.Root(&root)) << length;
  }
  // A name placed where even its length is past the end.
  PutU32(&section, 16, 0x80000000u | static_cast<std::uint32_t>(section.size() - 1));
  OpenedTree opened(TinyModule(section));
  PeResourceTable root;
  EXPECT_FALSE(opened.tree.Root(&root));
}

// type 3 -> id 1 -> language 0 -> data entry at `dataEntryAt`.
Bytes OneResourceDirectory(std::size_t sectionBytes, std::uint32_t dataEntryAt) {
  Bytes section(sectionBytes);
  PutTable(&section, 0, 0, 1);
  PutU32(&section, 16, 3);
  PutU32(&section, 20, 0x80000000u | 24);
  PutTable(&section, 24, 0, 1);
  PutU32(&section, 40, 1);
  PutU32(&section, 44, 0x80000000u | 48);
  PutTable(&section, 48, 0, 1);
  PutU32(&section, 64, 0);
  PutU32(&section, 68, dataEntryAt);
  return section;
}

TEST(PeResourceTree, RefusesADataEntryThatRunsPastTheSection) {
  const PeLanguageOrder order = LoaderLanguageOrder(0, 0x0409, 0x0409, 0x0409);
  for (std::uint32_t at : {72u, 80u, 81u, 96u, 0x7FFFFFFFu}) {
    OpenedTree opened(TinyModule(OneResourceDirectory(96, at)));
    ASSERT_TRUE(opened.open);
    std::uint32_t dataEntry = 0;
    EXPECT_EQ(at + 16 <= 96, FindResourceDataEntry(opened.tree, PeResourceQuery::Id(3), PeResourceQuery::Id(1),
                                                   order, &dataEntry))
        << at;
  }
}

// A reader given the first part of the resource section asks whether the
// directory lies all inside it. Type 3 -> id 1 -> language 0 -> a data entry
// at 72..88; three entries in all.
TEST(PeResourceTree, TellsWhetherAllThatLookupsReachIsInside) {
  struct Case {
    const char* what;
    std::uint32_t languageChild;
    std::size_t given;
    std::uint32_t maxEntries;
    bool inside;
  } cases[] = {
      {"to the data entry's end", 72, 88, 3, true},
      {"one byte short of it", 72, 87, 3, false},
      {"without the data entry", 72, 72, 3, false},
      {"without the language table", 72, 63, 3, false},
      {"one entry fewer allowed", 72, 88, 2, false},
      {"a fourth level, where lookups stop", 0x80000000u, 72, 3, true},
      {"a data entry past the section", 0x7FFFFFF0u, 96, 3, false},
  };
  for (const Case& c : cases) {
    Bytes section = OneResourceDirectory(96, 72);
    PutU32(&section, 68, c.languageChild);
    PeResourceTree tree;
    tree.Open(ByteView(section.data(), c.given));
    EXPECT_EQ(c.inside, tree.AllReachableInside(c.maxEntries)) << c.what;
  }
}

TEST(ResourceBytes, RefusesBytesPastTheFileOrWrapping32Bits) {
  Bytes section = OneResourceDirectory(0x100, 72);
  OpenedTree opened(TinyModule(section));
  ASSERT_TRUE(opened.open);
  const std::uint32_t fileBytes = static_cast<std::uint32_t>(opened.file.size());
  struct Case {
    std::uint32_t rva, size;
    bool reads;
  } cases[] = {
      {kSectionRva + 0x80, 0x80, true},           // to the file's last byte
      {kSectionRva + 0x80, 0x81, false},          // one past it
      {kSectionRva + 0xFF, 1, true},
      {kSectionRva + 0x100, 0, false},            // no section holds the address
      {kSectionRva, 0, true},
      {kSectionRva + 0x80, 0xFFFFFFFFu, false},   // wraps 32 bits
      {kSectionRva + 0x80, 0u - (kSectionRva + 0x80), false},  // ends at 2^32, past the file
      {0xFFFFFFF0u, 0x20, false},
  };
  for (const Case& c : cases) {
    PeResourceData data;
    data.rva = c.rva;
    data.size = c.size;
    const std::uint8_t* bytes = nullptr;
    EXPECT_EQ(c.reads, ResourceBytes(opened.image, data, &bytes)) << std::hex << c.rva << " " << c.size;
    if (c.reads) {
      EXPECT_EQ(opened.file.data() + kSectionFileOffset + (c.rva - kSectionRva), bytes);
      EXPECT_LE(kSectionFileOffset + (c.rva - kSectionRva) + c.size, fileBytes);
    }
  }
}

TEST(PeResourceTree, FindsAResourceOnlyThreeLevelsDown) {
  const PeLanguageOrder order = LoaderLanguageOrder(0, 0x0409, 0x0409, 0x0409);
  Bytes section = OneResourceDirectory(0x100, 72);
  std::uint32_t dataEntry = 0;
  {
    OpenedTree opened(TinyModule(section));
    ASSERT_TRUE(FindResourceDataEntry(opened.tree, PeResourceQuery::Id(3), PeResourceQuery::Id(1), order,
                                      &dataEntry));
    EXPECT_EQ(72u, dataEntry);
  }
  // The language entry leads to a table, here the root: a fourth level.
  PutU32(&section, 68, 0x80000000u);
  OpenedTree looped(TinyModule(section));
  EXPECT_FALSE(FindResourceDataEntry(looped.tree, PeResourceQuery::Id(3), PeResourceQuery::Id(1), order,
                                     &dataEntry));
  // The type's table is the root itself: names are then the types.
  PutU32(&section, 20, 0x80000000u);
  OpenedTree rooted(TinyModule(section));
  PeResourceTable names;
  ASSERT_TRUE(FindTypeTable(rooted.tree, PeResourceQuery::Id(3), &names));
  EXPECT_EQ(0u, names.offset);
  EXPECT_FALSE(FindResourceDataEntry(rooted.tree, PeResourceQuery::Id(3), PeResourceQuery::Id(3), order,
                                     &dataEntry));
}

}  // namespace
