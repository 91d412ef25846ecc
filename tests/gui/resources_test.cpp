// The resources of the built Pictrove.exe (PICTROVE_EXE), read back through
// the platform: the dialog templates control by control, the string, the
// icon and the button strip.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

BOOL CALLBACK FirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR out) {
  *reinterpret_cast<WORD*>(out) = language;
  return FALSE;
}

class Resources : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* exe = std::getenv("PICTROVE_EXE");
    if (exe == nullptr) GTEST_SKIP() << "PICTROVE_EXE not set";
    module_ = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << exe;
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  std::vector<unsigned char> Bytes(LPCWSTR type, int id, WORD* language = nullptr) {
    HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
    if (info == nullptr) return {};
    if (language) {
      *language = 0;
      EnumResourceLanguagesW(module_, type, MAKEINTRESOURCEW(id), &FirstLanguage,
                             reinterpret_cast<LONG_PTR>(language));
    }
    auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module_, info)));
    return std::vector<unsigned char>(data, data + SizeofResource(module_, info));
  }

  HMODULE module_ = nullptr;
};

// A little reader of dialog templates: 16-bit words, aligned fields.
struct TemplateReader {
  const std::vector<unsigned char>& bytes;
  size_t at = 0;
  bool failed = false;

  unsigned Word() {
    if (at + 2 > bytes.size()) {
      failed = true;
      return 0;
    }
    unsigned v = bytes[at] | bytes[at + 1] << 8;
    at += 2;
    return v;
  }
  unsigned Dword() {
    unsigned low = Word();
    return low | Word() << 16;
  }
  void Align() { at = (at + 3) & ~size_t{3}; }
  // A string, or "#n" for an ordinal.
  std::wstring SzOrOrd() {
    unsigned first = Word();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    std::wstring text;
    for (unsigned c = first; c != 0 && !failed; c = Word()) text.push_back(static_cast<wchar_t>(c));
    return text;
  }
};

struct Control {
  unsigned id;
  std::wstring className;
  std::wstring text;
  int x, y, cx, cy;
  unsigned style;
};

std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(towlower(c));
  return s;
}

// Class names may be stored as ordinals (0x80 button, 0x82 static, 0x83 list
// box) or as text.
std::wstring ClassName(const std::wstring& raw) {
  if (raw == L"#128") return L"button";
  if (raw == L"#130") return L"static";
  if (raw == L"#131") return L"listbox";
  return Lower(raw);
}

TEST_F(Resources, MainWindowTemplate102) {
  WORD language = 0;
  std::vector<unsigned char> bytes = Bytes(MAKEINTRESOURCEW(5), 102, &language);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(language, 2052);
  TemplateReader r{bytes};
  EXPECT_EQ(r.Word(), 1u);
  EXPECT_EQ(r.Word(), 0xFFFFu) << "an extended template";
  r.Dword();  // help id
  EXPECT_EQ(r.Dword(), 0x00040000u) << "extended style";
  EXPECT_EQ(r.Dword(), 0x90C800C0u) << "style";
  unsigned count = r.Word();
  EXPECT_EQ(count, 7u);
  EXPECT_EQ(r.Word(), 0u);
  EXPECT_EQ(r.Word(), 0u);
  EXPECT_EQ(r.Word(), 236u);
  EXPECT_EQ(r.Word(), 201u);
  EXPECT_EQ(r.SzOrOrd(), L"") << "no menu";
  EXPECT_EQ(r.SzOrOrd(), L"") << "the standard dialog class";
  EXPECT_EQ(r.SzOrOrd(), L"Pictrove 1.0版");
  EXPECT_EQ(r.Word(), 9u) << "points";
  EXPECT_EQ(r.Word(), 0u) << "weight";
  unsigned italicCharset = r.Word();
  EXPECT_EQ(italicCharset & 0xFF, 0u);
  EXPECT_EQ(italicCharset >> 8, 1u);
  EXPECT_EQ(r.SzOrOrd(), L"宋体");

  const Control expected[] = {
      {1, L"button", L"抓取图标", 169, 29, 45, 15, 0x50010001},
      {2, L"button", L"退出", 169, 101, 45, 15, 0x50010000},
      {1000, L"listbox", L"", 4, 5, 136, 189, 0x50A10103},
      {1003, L"static", L"", 174, 133, 20, 20, 0x50000803},
      {1001, L"button", L"保存图标", 169, 47, 45, 15, 0x50010000},
      {1002, L"button", L"复制图标", 169, 65, 45, 15, 0x50010000},
      {3, L"button", L"关于...", 169, 83, 45, 15, 0x50010000},
  };
  for (unsigned i = 0; i < count && i < 7; ++i) {
    r.Align();
    r.Dword();  // help id
    EXPECT_EQ(r.Dword(), 0u) << "control " << i << " extended style";
    unsigned style = r.Dword();
    int x = static_cast<short>(r.Word()), y = static_cast<short>(r.Word());
    int cx = static_cast<short>(r.Word()), cy = static_cast<short>(r.Word());
    unsigned id = r.Dword();
    std::wstring className = ClassName(r.SzOrOrd());
    std::wstring text = r.SzOrOrd();
    r.at += r.Word();  // creation data
    const Control& e = expected[i];
    EXPECT_EQ(id, e.id) << "control " << i;
    EXPECT_EQ(className, e.className) << "control " << i;
    EXPECT_EQ(text, e.text) << "control " << i;
    EXPECT_EQ(style, e.style) << "control " << e.id << std::hex;
    EXPECT_EQ((std::vector<int>{x, y, cx, cy}), (std::vector<int>{e.x, e.y, e.cx, e.cy})) << "control " << e.id;
  }
  EXPECT_FALSE(r.failed);
}

TEST_F(Resources, AboutBoxTemplate100) {
  WORD language = 0;
  std::vector<unsigned char> bytes = Bytes(MAKEINTRESOURCEW(5), 100, &language);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(language, 2052);
  TemplateReader r{bytes};
  EXPECT_EQ(r.Dword(), 0x80C800C0u) << "style";
  EXPECT_EQ(r.Dword(), 0u) << "extended style";
  unsigned count = r.Word();
  EXPECT_EQ(count, 5u);
  EXPECT_EQ(r.Word(), 0u);
  EXPECT_EQ(r.Word(), 0u);
  EXPECT_EQ(r.Word(), 191u);
  EXPECT_EQ(r.Word(), 71u);
  EXPECT_EQ(r.SzOrOrd(), L"");
  EXPECT_EQ(r.SzOrOrd(), L"");
  EXPECT_EQ(r.SzOrOrd(), L"关于 Pictrove");
  EXPECT_EQ(r.Word(), 9u);
  EXPECT_EQ(r.SzOrOrd(), L"宋体");

  const struct {
    unsigned id;
    const wchar_t* className;
    const wchar_t* text;  // null: any text
    int x, y, cx, cy;
    unsigned style;
  } expected[] = {
      {0xFFFF, L"static", L"#128", 8, 11, 20, 20, 0x50000003},
      {0xFFFF, L"static", L"Pictrove 1.0 版", 47, 9, 93, 8, 0x50020081},
      {0xFFFF, L"static", nullptr, 36, 33, 114, 8, 0x50020001},
      {1004, L"button", L"确定", 71, 52, 50, 14, 0x50030001},
      {0xFFFF, L"static", nullptr, 62, 21, 59, 8, 0x50020001},
  };
  for (unsigned i = 0; i < count && i < 5; ++i) {
    r.Align();
    unsigned style = r.Dword();
    EXPECT_EQ(r.Dword(), 0u);
    int x = static_cast<short>(r.Word()), y = static_cast<short>(r.Word());
    int cx = static_cast<short>(r.Word()), cy = static_cast<short>(r.Word());
    unsigned id = r.Word();
    std::wstring className = ClassName(r.SzOrOrd());
    std::wstring text = r.SzOrOrd();
    r.at += r.Word();
    const auto& e = expected[i];
    EXPECT_EQ(id, e.id) << "control " << i;
    EXPECT_EQ(className, e.className) << "control " << i;
    if (e.text) {
      EXPECT_EQ(text, e.text) << "control " << i;
    }
    EXPECT_EQ(style, e.style) << "control " << i << std::hex;
    EXPECT_EQ((std::vector<int>{x, y, cx, cy}), (std::vector<int>{e.x, e.y, e.cx, e.cy})) << "control " << i;
  }
  EXPECT_FALSE(r.failed);
}

TEST_F(Resources, AboutItemString101) {
  wchar_t text[64] = {};
  ASSERT_GT(LoadStringW(module_, 101, text, 64), 0);
  EXPECT_STREQ(text, L"关于 Pictrove(&A)...");
}

TEST_F(Resources, IconGroup128HoldsA32And16ImageOf16Colours) {
  std::vector<unsigned char> group = Bytes(MAKEINTRESOURCEW(14), 128);
  ASSERT_EQ(group.size(), 6u + 2 * 14);
  EXPECT_EQ(group[4] | group[5] << 8, 2);
  const int sizes[] = {32, 16};
  for (int i = 0; i < 2; ++i) {
    const unsigned char* entry = group.data() + 6 + 14 * i;
    EXPECT_EQ(entry[0], sizes[i]);
    EXPECT_EQ(entry[1], sizes[i]);
    EXPECT_EQ(entry[2], 16) << "colours";
    EXPECT_EQ(entry[6] | entry[7] << 8, 4) << "bits per pixel";
    std::vector<unsigned char> image = Bytes(MAKEINTRESOURCEW(3), entry[12] | entry[13] << 8);
    ASSERT_GE(image.size(), 40u);
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data(), sizeof header);
    EXPECT_EQ(header.biWidth, sizes[i]);
    EXPECT_EQ(header.biHeight, 2 * sizes[i]);
    EXPECT_EQ(header.biBitCount, 4);
  }
}

TEST_F(Resources, ButtonStrip129IsFiveGreyFacesOf55x22) {
  std::vector<unsigned char> strip = Bytes(MAKEINTRESOURCEW(2), 129);
  ASSERT_EQ(strip.size(), 40u + 18216u);
  BITMAPINFOHEADER header;
  std::memcpy(&header, strip.data(), sizeof header);
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 275);
  EXPECT_EQ(header.biHeight, 22);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  const unsigned char* pixels = strip.data() + 40;
  auto grey = [&](int x, int y) {  // bottom-up rows of 828 bytes
    const unsigned char* p = pixels + (21 - y) * 828 + 3 * x;
    EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y << " is not grey";
    EXPECT_FALSE(p[0] == 0 && p[2] == 255) << "transparent colour";
    return static_cast<int>(p[0]);
  };
  for (int y = 0; y < 22; ++y) {
    for (int x = 0; x < 275; ++x) grey(x, y);
  }
  for (int slice = 0; slice < 5; ++slice) {
    const int x0 = 55 * slice;
    EXPECT_EQ(grey(x0, 0), 192) << "silver outside the rounding, slice " << slice;
    int ring = grey(x0 + 27, 0);
    EXPECT_TRUE(ring >= 157 && ring <= 163) << "ring " << ring << ", slice " << slice;
    int outline = grey(x0 + 27, 1);
    EXPECT_TRUE(outline >= 30 && outline <= 90) << "outline " << outline << ", slice " << slice;
  }
  EXPECT_EQ(grey(27, 11), 202);                         // slice 0: middle
  EXPECT_GT(grey(27, 2), grey(27, 19));                 // slice 0: light top, dark bottom
  EXPECT_LT(grey(55 + 27, 2), grey(55 + 27, 19));       // slice 1: reversed
  EXPECT_EQ(grey(110 + 27, 11), 192);                   // slice 2: flat
  EXPECT_EQ(grey(165 + 27, 11), 226);                   // slice 3: brighter
  EXPECT_EQ(grey(165 + 27, 2), 255);
}

}  // namespace
