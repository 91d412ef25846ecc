// Names and texts as the framework reads them: the application name from the
// executable's path, extensions, and GBK texts shown as Unicode.
#include <gtest/gtest.h>

#include <string>

#include "framework/cstring.h"
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

}  // namespace
