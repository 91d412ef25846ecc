// The font face of dialog templates, read and replaced: on Pictrove.exe's own
// templates (PICTROVE_EXE), made into real dialogs by the platform, and on
// templates that name no font or are cut short.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/dialog_template.h"

namespace {

INT_PTR CALLBACK NoHandling(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct MadeControl {
  int id;
  std::wstring className;
  std::wstring text;
  LONG style;
  bool operator==(const MadeControl& o) const {
    return id == o.id && className == o.className && text == o.text && style == o.style;
  }
};

// What the platform makes of a template: its controls in order, and the
// face of the font it gave them.
struct MadeDialog {
  std::vector<MadeControl> controls;
  std::wstring face;
};

MadeDialog Make(const void* dialogTemplate) {
  MadeDialog made;
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(dialogTemplate),
                                           nullptr, &NoHandling, 0);
  if (dialog == nullptr) return made;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[64] = {}, text[128] = {};
    GetClassNameW(child, className, 64);
    GetWindowTextW(child, text, 128);
    made.controls.push_back({GetDlgCtrlID(child), className, text, GetWindowLongW(child, GWL_STYLE)});
  }
  LOGFONTW font{};
  auto handle = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
  if (handle && GetObjectW(handle, sizeof font, &font)) made.face = font.lfFaceName;
  DestroyWindow(dialog);
  return made;
}

std::vector<unsigned char> ProgramTemplate(int id) {
  const char* exe = std::getenv("PICTROVE_EXE");
  HMODULE module = exe ? LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE) : nullptr;
  std::vector<unsigned char> bytes;
  if (module == nullptr) return bytes;
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
  if (found) {
    auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    bytes.assign(data, data + SizeofResource(module, found));
  }
  FreeLibrary(module);
  return bytes;
}

TEST(DialogTemplate, TheProgramsDialogsTakeAnotherFaceWithTheirControlsAsTheyWere) {
  if (std::getenv("PICTROVE_EXE") == nullptr) GTEST_SKIP() << "PICTROVE_EXE not set";
  // Faces of every length modulo 4 bytes, so that the controls behind the
  // face move by 0, 2, 4 and 6 bytes.
  const wchar_t* faces[] = {L"A", L"AB", L"ABC", L"WenQuanYi Micro Hei"};
  for (int id : {100, 102}) {
    std::vector<unsigned char> original = ProgramTemplate(id);
    ASSERT_FALSE(original.empty()) << "template " << id;
    // Held DWORD-aligned, as the dialog functions want it.
    std::vector<DWORD> aligned((original.size() + 3) / 4);
    std::memcpy(aligned.data(), original.data(), original.size());
    EXPECT_EQ(L"宋体", TemplateFace(aligned.data(), original.size())) << "template " << id;
    MadeDialog before = Make(aligned.data());
    ASSERT_FALSE(before.controls.empty()) << "template " << id;
    for (const wchar_t* face : faces) {
      SCOPED_TRACE(testing::Message() << "template " << id << ", face of " << wcslen(face) << " characters");
      std::vector<DWORD> changed = WithTemplateFace(aligned.data(), original.size(), face);
      ASSERT_FALSE(changed.empty());
      EXPECT_EQ(face, TemplateFace(changed.data(), changed.size() * sizeof(DWORD)));
      MadeDialog after = Make(changed.data());
      EXPECT_EQ(face, after.face);
      EXPECT_TRUE(before.controls == after.controls) << before.controls.size() << " controls before, "
                                                     << after.controls.size() << " after";
    }
  }
}

// A DLGTEMPLATE of no controls: its header, no menu, the standard class, a
// title and, with DS_SETFONT, the point size and the face.
std::vector<DWORD> PlainTemplate(DWORD style, const wchar_t* face) {
  std::vector<WORD> words = {LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0, 100, 50, 0, 0, L'T', 0};
  if (face) {
    words.push_back(9);
    for (const wchar_t* c = face; *c; ++c) words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
  }
  std::vector<DWORD> dwords((words.size() * 2 + 3) / 4);
  std::memcpy(dwords.data(), words.data(), words.size() * 2);
  return dwords;
}

TEST(DialogTemplate, NoFaceWithoutTheFontStyleOrWhenCutShort) {
  std::vector<DWORD> withFont = PlainTemplate(WS_POPUP | DS_SETFONT, L"Face");
  const std::size_t size = (13 + 1 + 5) * 2;
  EXPECT_EQ(L"Face", TemplateFace(withFont.data(), size));
  std::vector<DWORD> other = WithTemplateFace(withFont.data(), size, L"Other");
  EXPECT_EQ(L"Other", TemplateFace(other.data(), other.size() * sizeof(DWORD)));
  // Cut inside the face, inside the title, inside the header.
  for (std::size_t cut : {size - 2, std::size_t{24}, std::size_t{10}}) {
    EXPECT_EQ(L"", TemplateFace(withFont.data(), cut)) << cut << " bytes";
    EXPECT_TRUE(WithTemplateFace(withFont.data(), cut, L"Other").empty()) << cut << " bytes";
  }
  std::vector<DWORD> noFont = PlainTemplate(WS_POPUP, nullptr);
  EXPECT_EQ(L"", TemplateFace(noFont.data(), 26));
  EXPECT_TRUE(WithTemplateFace(noFont.data(), 26, L"Other").empty());
  EXPECT_EQ(L"", TemplateFace(nullptr, 0));
}

}  // namespace
