#include "module_checks.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "command_clipboard.h"
#include "expected_module.h"
#include "gui_checks.h"
#include "transparency_checks.h"

void CheckModule(Program& program, const Paths& p) {
  std::wstring module = p.In(L"good-ids.dll");
  ExpectedModule expected(module);
  WindowState before = program.State();
  Check(program.CancelDialogOf(program.Grab()), "the open dialog cancelled with a source loaded");
  CheckBoxes(program, "cancelled open", {});
  CheckUnchanged(program, "cancelled open with a bitmap loaded", before);

  Check(program.Open(module), "open dialog takes good-ids.dll");
  CheckBoxes(program, "module", {});
  CheckState(program, "module", {L"Icon [1]", L"Icon [10]", L"Icon [2]"}, 0, true, true);
  HICON icon1 = expected.PreviewIcon(1), icon10 = expected.PreviewIcon(10), icon2 = expected.PreviewIcon(2);
  CheckPreviewShows(program, icon1, "entry 0, group 1");
  Screenshot(L"module");

  PressKey(program.List(), VK_DOWN);
  Check(program.State().selected == 1, "Down selects entry 1, Icon [10]");
  CheckPreviewShows(program, icon10, "the newly selected group 10");
  CoverAndUncover(program.Preview());
  CheckPreviewShows(program, icon10, "group 10 again after covering and uncovering");
  // Wine keeps the pixels of an uncovered window; restoring a minimised one
  // repaints it, and the paint makes the preview anew.
  HICON shown = program.State().preview;
  PostMessageW(program.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Check(WaitUntil(kWaitTimeoutMs, [](void* main) { return IsIconic(static_cast<HWND>(main)) != FALSE; },
                  program.Main()),
        "the window minimised");
  PostMessageW(program.Main(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Check(WaitUntil(kWaitTimeoutMs, [](void* main) { return IsIconic(static_cast<HWND>(main)) == FALSE; },
                  program.Main()),
        "the window restored");
  CheckPreviewShows(program, icon10, "group 10 again after the window is restored");
  Check(program.State().preview != shown, "the preview was made anew by the repaint");

  // Save of the selected entry, compared with what `pictrove save` wrote.
  std::wstring saved10 = p.Out(L"ids-10.ico");
  Check(program.SaveAs(saved10), "save dialog takes ids-10.ico");
  CheckBoxes(program, "save of Icon [10]", {});
  Check(FileEquals(saved10, ReadBytes(p.In(L"expected-ids-10.ico"))),
        "Icon [10] saved as .ICO is what pictrove save writes", SizeOf(saved10));

  WindowState beforeCancel = program.State();
  HWND saveDialog = program.OpenDialogWith(GetDlgItem(program.Main(), 1001), false);
  Check(saveDialog != nullptr, "the save button opens the save dialog");
  if (saveDialog) {
    Screenshot(L"save-dialog");
    std::vector<std::wstring> types = FileTypes(saveDialog);
    std::wstring shown;
    for (const std::wstring& type : types) shown += type + L" ";
    Check(types == std::vector<std::wstring>{L"图标文件(*.ICO)", L"位图文件(*.BMP)", L"PNG图像(*.PNG)"},
          "the save dialog's three file types", Narrow(shown));
    CancelFileDialog(saveDialog);
    Check(WaitForWindowGone(saveDialog, kWaitTimeoutMs), "the save dialog cancelled");
  }
  CheckBoxes(program, "cancelled save", {});
  CheckUnchanged(program, "cancelled save", beforeCancel);
  Check(FilesIn(p.out).size() == 3, "a cancelled save writes nothing", std::to_string(FilesIn(p.out).size()) + " files");

  PressKey(program.List(), VK_DOWN);
  Check(program.State().selected == 2, "Down selects entry 2, Icon [2]");
  CheckPreviewShows(program, icon2, "the newly selected group 2");
  std::wstring saved2 = p.Out(L"ids-2.ico");
  Check(program.SaveAs(saved2), "save dialog takes ids-2.ico");
  CheckBoxes(program, "save of Icon [2]", {});
  Bytes expected2 = ReadBytes(p.In(L"expected-ids-2.ico"));
  Check(FileEquals(saved2, expected2), "Icon [2] saved after Icon [10] is Icon [2]'s own", SizeOf(saved2));
  Check(program.SaveAs(saved10), "save dialog takes ids-10.ico again");
  CheckBoxes(program, "save over an existing file", {});
  Check(FileEquals(saved10, expected2), "an existing file is replaced without a question", SizeOf(saved10));

  std::wstring bitmap = p.Out(L"ids-2.BMP");
  Check(program.SaveAs(bitmap), "save dialog takes ids-2.BMP");
  CheckBoxes(program, "save as .BMP", {});
  Check(FileEquals(bitmap, ReadBytes(p.In(L"expected-ids-2.bmp"))),
        "Icon [2] saved as .BMP is what pictrove save writes", SizeOf(bitmap));

  // A .png name gets the group's largest image: Icon [2] has one.
  std::wstring png = p.Out(L"ids-2.png");
  Check(program.SaveAs(png), "save dialog takes ids-2.png");
  CheckBoxes(program, "save as .png", {});
  CheckSavedPng(png, expected.FirstImage(2), "Icon [2]");
  // Any other extension, or none, writes nothing and says so. A name typed
  // without any dot gets the dialog's default extension; one ending in a dot
  // comes back with none.
  size_t files = FilesIn(p.out).size();
  for (const wchar_t* name : {L"ids-2.txt", L"no-extension."}) {
    Check(program.SaveAs(p.Out(name)), "save dialog takes " + Narrow(name));
    CheckBoxes(program, "save as " + Narrow(name), {{kError, kUnsupported}});
  }
  std::wstring names;
  for (const std::wstring& name : FilesIn(p.out)) names += name + L" ";
  Check(FilesIn(p.out).size() == files, "another extension and none write nothing", Narrow(names));

  // A save that fails leaves the file it was to replace as it was: here
  // another program holds the file open and lets nobody replace it.
  std::wstring locked = p.Out(L"locked.ico");
  Bytes kept = {'k', 'e', 'p', 't'};
  WriteBytes(locked, kept);
  HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  files = FilesIn(p.out).size();
  Check(program.SaveAs(locked), "save dialog takes locked.ico, held open by another program");
  CheckBoxes(program, "save over a file held open", {{locked, kAnyText}});
  if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
  Check(ReadBytes(locked) == kept && FilesIn(p.out).size() == files,
        "the failed save leaves the file as it was, and no other file", SizeOf(locked));

  // Copy takes the selected entry every time.
  ClearClipboard();
  program.ClickCopy();
  CheckBoxes(program, "copy of Icon [2]", {});
  Bytes dib = ClipboardDib();
  Bytes wanted2 = expected.ClipboardBlock(2);
  Check(!wanted2.empty() && dib.size() >= wanted2.size() && std::equal(wanted2.begin(), wanted2.end(), dib.begin()),
        "clipboard holds Icon [2]'s first image as a CF_DIB (height halved)", std::to_string(dib.size()) + " bytes");
  CheckCopiedWithTransparency(p, expected.FirstImage(2), "Icon [2] (4 bits, its mask)", true);
  PressKey(program.List(), VK_UP);
  Check(program.State().selected == 1, "Up selects Icon [10]");
  ClearClipboard();
  program.ClickCopy();
  CheckBoxes(program, "copy of Icon [10]", {});
  dib = ClipboardDib();
  Bytes wanted10 = expected.ClipboardBlock(10);
  Check(!wanted10.empty() && dib.size() >= wanted10.size() &&
            std::equal(wanted10.begin(), wanted10.end(), dib.begin()),
        "Copy after selecting Icon [10] places Icon [10]'s first image", std::to_string(dib.size()) + " bytes");
  CheckCopiedWithTransparency(p, expected.FirstImage(10), "Icon [10] (24 bits, its mask)", false);
  PressKey(program.List(), VK_UP);
  Check(program.State().selected == 0, "Up selects Icon [1]");
  ClearClipboard();
  program.ClickCopy();
  CheckBoxes(program, "copy of Icon [1]", {});
  CheckCopiedWithTransparency(p, expected.FirstImage(1), "Icon [1] (32 bits, its alpha channel)", true);
  for (HICON icon : {icon1, icon10, icon2}) {
    if (icon) DestroyIcon(icon);
  }
}

void CheckUnlistableModules(Program& program, const Paths& p) {
  WindowState before = program.State();
  std::wstring text = p.In(L"bad-text.dll");
  Check(program.Open(text), "open dialog takes bad-text.dll");
  CheckBoxes(program, "a text file named .dll", {{kError, text + kNotLoadable}}, "message box");
  WindowState emptied = before;
  emptied.entries.clear();
  emptied.selected = -1;
  CheckUnchanged(program, "a text file named .dll (list emptied)", emptied);

  Check(program.SaveAs(p.Out(L"nothing.ico")), "save dialog takes nothing.ico");
  CheckBoxes(program, "save with an empty list", {{kError, kNothingToSave}});
  program.ClickCopy();
  CheckBoxes(program, "copy with an empty list", {{kError, kNothingToCopy}});
  Check(!Exists(p.Out(L"nothing.ico")), "nothing saved from an empty list");

  // A 16-bit module is read by our own reader: without resources, it has no
  // group icons to list, as a 32-bit one without them.
  Check(program.Open(p.In(L"bad-16-bit.exe")), "open dialog takes bad-16-bit.exe");
  CheckBoxes(program, "a 16-bit executable without resources", {{kError, kEnumerationFailed}});
  CheckUnchanged(program, "a 16-bit executable without resources", emptied);

  Check(program.Open(p.In(L"good-no-group-icons.dll")), "open dialog takes good-no-group-icons.dll");
  CheckBoxes(program, "a module without group icons", {{kError, kEnumerationFailed}});
  CheckUnchanged(program, "a module without group icons", emptied);
}

void CheckNeLibrary(Program& program, const Paths& p) {
  std::wstring library = p.In(L"library.icl");
  Check(program.Open(library), "open dialog takes library.icl");
  CheckBoxes(program, "a 16-bit icon library", {});
  CheckState(program, "a 16-bit icon library",
             {L"Icon [10]", L"Icon [12]", L"Icon [2]", L"Icon [FOLDER]", L"Icon [MAINICON]"}, 0, true, true);
  Screenshot(L"ne-library");
  for (int i = 0; i < 3; ++i) PressKey(program.List(), VK_DOWN);
  Check(program.State().selected == 3 && program.State().preview != nullptr,
        "Down three times selects Icon [FOLDER], previewed");
  std::wstring saved = p.Out(L"library-folder.ico");
  Check(program.SaveAs(saved), "save dialog takes library-folder.ico");
  CheckBoxes(program, "save of the library's Icon [FOLDER]", {});
  Check(FileEquals(saved, ReadBytes(p.In(L"expected-library-FOLDER.ico"))),
        "the library's Icon [FOLDER] saved as .ICO is what pictrove save writes", SizeOf(saved));
}

void CheckOtherExtensions(Program& program, const Paths& p) {
  const struct {
    const wchar_t* source;
    const wchar_t* saved;
  } modules[] = {{L"ids.ocx", L"ocx-10.ico"}, {L"ids", L"no-extension-10.ico"}};
  for (const auto& m : modules) {
    std::wstring module = p.In(m.source);
    std::string name = Narrow(m.source);
    ExpectedModule expected(module);
    Check(program.Open(module), "open dialog takes " + name);
    CheckBoxes(program, name, {});
    CheckState(program, name, {L"Icon [1]", L"Icon [10]", L"Icon [2]"}, 0, true, true);
    HICON icon1 = expected.PreviewIcon(1);
    CheckPreviewShows(program, icon1, "group 1 of " + name);
    if (icon1) DestroyIcon(icon1);
    PressKey(program.List(), VK_DOWN);
    std::wstring saved = p.Out(m.saved);
    Check(program.SaveAs(saved), "save dialog takes " + Narrow(m.saved));
    CheckBoxes(program, "save of Icon [10] of " + name, {});
    Check(FileEquals(saved, ReadBytes(p.In(L"expected-ids-10.ico"))), "Icon [10] of " + name + " saves as its own icon",
          SizeOf(saved));
    ClearClipboard();
    program.ClickCopy();
    CheckBoxes(program, "copy of Icon [10] of " + name, {});
    Bytes dib = ClipboardDib(), wanted = expected.ClipboardBlock(10);
    Check(!wanted.empty() && dib.size() >= wanted.size() && std::equal(wanted.begin(), wanted.end(), dib.begin()),
          "Icon [10] of " + name + " is copied", std::to_string(dib.size()) + " bytes");
  }
}
