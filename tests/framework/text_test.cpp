// Names and texts as the framework reads them: the application name from the
// executable's path, extensions, and GBK texts shown as Unicode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/chinese_face.h"
#include "framework/cstring.h"
#include "framework/narrow_path.h"
#include "framework/wide_text.h"
#include "framework/win_app.h"

namespace {

std::string AppName(const char* path, UINT codePage) {
  char name[MAX_PATH];
  AppNameFromModulePath(path, codePage, name, sizeof name);
  return name;
}

TEST(AppName, BaseNameWithoutDirectoryAndExtension) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {
      {"D:\\Tools\\Pictrove.exe", "Pictrove"},
      {"Pictrove.exe", "Pictrove"},
      {"Z:/home/user/Pictrove.EXE", "Pictrove"},
      {"C:Pictrove.exe", "Pictrove"},
      {"C:\\dir\\name.v2.exe", "name.v2"},
      {"C:\\dir\\noextension", "noextension"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(AppName(c.path, 1252), c.name) << c.path;
}

TEST(AppName, TrailByteIsNeverASeparator) {
  // "誠" is D5 5C in GBK: its second byte is the code of "\".
  EXPECT_EQ(AppName("C:\\Tools\\\xD5\x5C.exe", 936), "\xD5\x5C");
  EXPECT_EQ(AppName("C:\\\xD5\x5C\\app.exe", 936), "app");
  // In a single-byte code page the same byte is a separator.
  EXPECT_EQ(AppName("C:\\Tools\\\xD5\x5C.exe", 1252), "");
}

TEST(CString, ExtensionOfTheFileNameOnly) {
  const struct {
    const char* path;
    const char* ext;
  } cases[] = {
      {"C:\\a\\A.ICO", "ICO"}, {"C:\\a.b\\name", ""}, {"C:\\a\\b.Bmp", "Bmp"},
      {"x.tar.gz", "gz"},      {"C:\\a\\name.", ""},  {"C:\\dir.d/file", ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(CString::ExtensionOf(c.path), c.ext) << c.path;
}

TEST(CString, MakeLowerChangesAsciiLettersOnly) {
  CString text("ICO.Bmp-DLL");
  text.MakeLower();
  EXPECT_STREQ(text, "ico.bmp-dll");
  EXPECT_TRUE(CString("exe") == "exe");
}

TEST(WideText, ProgramTextsAreGbkWhateverTheCodePage) {
  EXPECT_EQ(WideFromProgramText("错误"), L"错误");
  EXPECT_EQ(WideFromProgramText("关于 Pictrove(&A)..."), L"关于 Pictrove(&A)...");
  EXPECT_EQ(WideFromProgramText(""), L"");
  EXPECT_EQ(WideFromProgramText(nullptr), L"");
  EXPECT_EQ(WideFromPath("C:\\x.ico"), L"C:\\x.ico");
}

std::string Utf8(const std::wstring& text) {
  char bytes[256] = {};
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof bytes - 1, nullptr, nullptr);
  return bytes;
}

TEST(ChineseFace, AFaceThatDrawsChineseStandsInForOneThatDoesNot) {
  // The test prefix maps "宋体" to a Chinese font: it stays.
  ASSERT_TRUE(FaceHasChineseGlyphs(L"宋体"));
  EXPECT_EQ(L"宋体", FaceForChineseText(L"宋体"));
  // A face no system has falls back to a font of the system's choosing,
  // which in an English locale has no Chinese glyph; then an installed face
  // that has them stands in.
  const std::wstring missing = L"No Such Face 1234";
  std::wstring chosen = FaceForChineseText(missing);
  EXPECT_TRUE(FaceHasChineseGlyphs(chosen)) << Utf8(chosen);
  EXPECT_EQ(FaceHasChineseGlyphs(missing), chosen == missing) << Utf8(chosen);
  EXPECT_EQ(chosen, FaceForChineseText(missing)) << "decided once";
  // A box's own text: every Chinese character of it.
  EXPECT_TRUE(FaceHasChineseGlyphs(FaceForChineseText(missing, L"C:\\cut.ico 读图标内容出错!")));
}

// A folder of the test's own under the system's temporary folder.
class WideTempDir {
 public:
  WideTempDir() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_root = std::wstring(temp) + L"pictrove-names-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(m_root.c_str(), nullptr);
  }
  ~WideTempDir() { Remove(m_root); }
  std::wstring Path(const std::wstring& name) const { return m_root + L"\\" + name; }

 private:
  static void Remove(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          Remove(path);
        } else {
          DeleteFileW(path.c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
  }
  std::wstring m_root;
};

bool WriteWide(const std::wstring& path, const std::string& content) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  return written == content.size();
}

std::string ReadNarrow(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(not opened)";
  char buffer[64] = {};
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
  CloseHandle(file);
  return std::string(buffer, read);
}

TEST(NarrowPath, NeverALookAlikeOfTheName) {
  // "Ā" (U+0100) is in neither code page 1252 nor 936; both would best-fit
  // it to "A".
  std::string narrow;
  EXPECT_FALSE(ExactNarrowPath(L"C:\\\x0100.ico", &narrow)) << narrow;
  EXPECT_TRUE(ExactNarrowPath(L"C:\\x.ico", &narrow));
  EXPECT_EQ("C:\\x.ico", narrow);
  EXPECT_FALSE(ExactNarrowPath(std::wstring(MAX_PATH, L'x'), &narrow)) << "longer than MAX_PATH";
}

TEST(NarrowPath, ReachesTheFileNamedWhateverTheCodePage) {
  WideTempDir dir;
  if (!CreateDirectoryW(dir.Path(L"\x0100 folder").c_str(), nullptr)) {
    // Wine names files through the Unix locale's character set; in a locale
    // that glibc lacks that is ASCII.
    GTEST_SKIP() << "no file name outside ASCII can be made here";
  }
  // Where a look-alike would lead.
  ASSERT_TRUE(WriteWide(dir.Path(L"A.ico"), "the look-alike"));
  ASSERT_TRUE(WriteWide(dir.Path(L"Abc.ico"), "the look-alike"));
  const struct {
    const wchar_t* name;
    bool exists;
    bool reached;
  } cases[] = {
      {L"plain.ico", true, true},
      {L"new plain.ico", false, true},
      // The code page's own characters stand as they are; others by the
      // short name of the file, or of its folder for a new file.
      {L"\x00E9t\x00E9.ico", true, true},
      {L"\x56FE\x6807.ico", true, true},
      {L"\x0100.ico", true, true},
      {L"\x0100 folder\\inside.ico", true, true},
      {L"\x0100 folder\\new inside.ico", false, true},
      // A new file whose own name the code page cannot hold has no short
      // name yet.
      {L"\x0100" L"bc.ico", false, false},
  };
  for (const auto& c : cases) {
    std::wstring path = dir.Path(c.name);
    SCOPED_TRACE(testing::Message() << "name U+" << std::hex << static_cast<unsigned>(c.name[0]));
    std::string content = "content of case " + std::to_string(&c - cases);
    if (c.exists) {
      ASSERT_TRUE(WriteWide(path, content));
    }
    std::string narrow;
    ASSERT_EQ(c.reached, NarrowPathFor(path, &narrow));
    if (!c.reached) continue;
    if (c.exists) {
      EXPECT_EQ(content, ReadNarrow(narrow));
    } else {
      HANDLE made = CreateFileA(narrow.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
      ASSERT_NE(INVALID_HANDLE_VALUE, made);
      CloseHandle(made);
      EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str())) << "made where the user named it";
    }
  }
}

}  // namespace
