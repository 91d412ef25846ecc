#include "outside_checks.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "command_clipboard.h"
#include "expected_module.h"
#include "gui_checks.h"
#include "transparency_checks.h"

namespace {

// Waits (bounded) until the list holds `count` entries: the file named at
// start opens once the window shows.
void WaitForEntries(Program& program, size_t count) {
  struct Context {
    HWND list;
    LRESULT count;
  } context{program.List(), static_cast<LRESULT>(count)};
  WaitUntil(kWaitTimeoutMs, [](void* c) {
    auto* w = static_cast<Context*>(c);
    return Ask(w->list, LB_GETCOUNT, 0, 0) == w->count;
  }, &context);
}

// What the group 10 of good-pe32.dll, whose first image is a PNG image, gives
// the Save and Copy commands: that image as it is stored.
void CheckPngImageKeptAsStored(Program& program, const Paths& p, const ExpectedModule& module) {
  Bytes stored = module.FirstImage(10);
  std::wstring saved = p.Out(L"pe32-10.png");
  Check(program.SaveAs(saved), "save dialog takes pe32-10.png");
  CheckBoxes(program, "save of a group whose largest image is a PNG image", {});
  Check(FileEquals(saved, stored), "the PNG image is saved as it is stored", SizeOf(saved));
  ClearClipboard();
  program.ClickCopy();
  CheckBoxes(program, "copy of a group whose first image is a PNG image", {});
  Bytes png = ClipboardBytes(RegisterClipboardFormatW(L"PNG"));
  Check(!stored.empty() && png.size() >= stored.size() && std::equal(stored.begin(), stored.end(), png.begin()),
        "the PNG image is copied as \"PNG\" as it is stored", std::to_string(png.size()) + " bytes");
  CheckCopiedWithTransparency(p, stored, "the PNG image", false);
}

// Drops the files on the window as the shell does on a window that accepts
// files: a DROPFILES block in the program's own memory (the handle a drop
// passes is the receiver's), posted as WM_DROPFILES.
bool DropFiles(Program& program, const std::vector<std::wstring>& paths) {
  std::vector<std::uint8_t> block(sizeof(DROPFILES));
  for (const std::wstring& path : paths) {
    const auto* text = reinterpret_cast<const std::uint8_t*>(path.c_str());
    block.insert(block.end(), text, text + (path.size() + 1) * sizeof(wchar_t));
  }
  block.insert(block.end(), sizeof(wchar_t), 0);
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.pt = POINT{40, 40};
  header.fWide = TRUE;
  std::memcpy(block.data(), &header, sizeof header);

  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, program.ProcessId());
  if (process == nullptr) return false;
  void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  bool written = remote != nullptr && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
  CloseHandle(process);
  return written && PostMessageW(program.Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

}  // namespace

void CheckStartFiles(const std::wstring& exe, const Paths& p) {
  Check(CopyFileW(p.In(L"solid.Bmp").c_str(), p.In(L"with space.bmp").c_str(), FALSE), "a bitmap named with a space");
  const std::wstring module = p.In(L"good-pe32.dll"), text = p.In(L"bad-text.dll");
  const std::wstring chinese = p.In(kChineseModule);
  ExpectedModule pe32(module);
  const struct {
    const char* what;
    std::wstring argument;
    std::wstring folder;  // the current folder to start in, when not empty
    std::vector<ShownBox> boxes;
    std::vector<std::wstring> entries;
    bool listed;
    HICON preview;   // the icon the preview must show, for a module
    bool solid;      // the preview shows the bitmap's colour
  } starts[] = {
      {"a module holding a PNG image", module, L"", {},
       {L"Icon [10]", L"Icon [11]", L"Icon [128]", L"Icon [2]", L"Icon [MAINICON]"}, true, pe32.PreviewIcon(10),
       false},
      {"a bitmap named relative to the current folder", L"solid.Bmp", p.folder, {}, {p.In(L"solid.Bmp")}, true,
       nullptr, true},
      {"a bitmap whose path holds a space", p.In(L"with space.bmp"), L"", {}, {p.In(L"with space.bmp")}, true,
       nullptr, true},
      {"a text file named .dll", text, L"", {{kError, text + kNotLoadable}}, {}, false, nullptr, false},
      {"a 16-bit icon library", p.In(L"library.icl"), L"", {},
       {L"Icon [10]", L"Icon [12]", L"Icon [2]", L"Icon [FOLDER]", L"Icon [MAINICON]"}, true, nullptr, false},
      {"a module named in Chinese", chinese, L"", {}, {L"Icon [1]", L"Icon [10]", L"Icon [2]"}, true, nullptr, false},
  };
  for (const auto& s : starts) {
    if (s.argument == chinese && !Exists(chinese)) continue;
    Program program;
    Check(program.Start(exe, s.argument, s.folder), std::string("Pictrove.exe starts with ") + s.what);
    if (!program.Main()) continue;
    WaitForEntries(program, s.entries.size());
    CheckBoxes(program, std::string("started with ") + s.what, s.boxes);
    // What a file that can't be listed leaves is the window as it starts.
    CheckState(program, std::string("started with ") + s.what, s.entries, s.listed ? 0 : -1, s.listed,
               s.listed);
    if (s.preview) CheckPreviewShows(program, s.preview, std::string("the first entry of ") + s.what);
    if (s.solid) CheckPreviewSolid(program, std::string("the icon of ") + s.what);
    if (s.argument == chinese) Screenshot(L"start-chinese");
    if (s.preview && s.argument == module) {
      Screenshot(L"start-file");
      CheckPngImageKeptAsStored(program, p, pe32);
    }
    Check(program.EndsOnEscape(), std::string("Esc ends the program started with ") + s.what);
    if (s.preview) DestroyIcon(s.preview);
  }
}

void CheckDroppedFiles(Program& program, const Paths& p) {
  Check((GetWindowLongW(program.Main(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0, "the window accepts dropped files");
  const std::wstring module = p.In(L"good-ids.dll"), bitmap = p.In(L"solid.Bmp");
  ExpectedModule ids(module);
  HICON icon1 = ids.PreviewIcon(1);
  Check(DropFiles(program, {module}), "good-ids.dll dropped on the window");
  WaitForEntries(program, 3);
  CheckBoxes(program, "a module dropped", {});
  CheckState(program, "a module dropped", {L"Icon [1]", L"Icon [10]", L"Icon [2]"}, 0, true, true);
  CheckPreviewShows(program, icon1, "group 1 of the module dropped");
  if (icon1) DestroyIcon(icon1);
  const std::wstring chinese = p.In(kChineseModule);
  if (Exists(chinese)) {
    Check(program.Open(p.In(L"multi.ICO")), "open dialog takes multi.ICO before a drop");
    Check(DropFiles(program, {chinese}), "a module named in Chinese dropped on the window");
    WaitForEntries(program, 3);
    CheckBoxes(program, "a module named in Chinese dropped", {});
    CheckState(program, "a module named in Chinese dropped", {L"Icon [1]", L"Icon [10]", L"Icon [2]"}, 0, true, true);
    Screenshot(L"drop-chinese");
  }

  // Of several files dropped together, the first opens.
  const std::wstring icon = p.In(L"multi.ICO");
  Check(DropFiles(program, {icon, module}), "multi.ICO and good-ids.dll dropped together");
  WaitForEntries(program, 1);
  CheckBoxes(program, "two files dropped", {});
  CheckState(program, "two files dropped", {icon}, 0, true, true);
  HICON extracted = ExtractIconW(GetModuleHandleW(nullptr), icon.c_str(), 0);
  CheckPreviewShows(program, extracted, "the icon file dropped first");
  if (extracted) DestroyIcon(extracted);

  Check(DropFiles(program, {bitmap}), "solid.Bmp dropped on the window");
  struct Context {
    Program* program;
    std::wstring bitmap;
  } context{&program, bitmap};
  WaitUntil(kWaitTimeoutMs, [](void* c) {
    auto* w = static_cast<Context*>(c);
    return w->program->State().entries == std::vector<std::wstring>{w->bitmap};
  }, &context);
  CheckBoxes(program, "a bitmap dropped", {});
  CheckState(program, "a bitmap dropped", {bitmap}, 0, true, true);
  CheckPreviewSolid(program, "the bitmap dropped, read into the icon file's first image");

  const std::wstring text = p.In(L"bad-text.dll");
  WindowState before = program.State();
  Check(DropFiles(program, {text}), "bad-text.dll dropped on the window");
  CheckBoxes(program, "a text file named .dll dropped", {{kError, text + kNotLoadable}});
  WindowState emptied = before;
  emptied.entries.clear();
  emptied.selected = -1;
  CheckUnchanged(program, "a text file named .dll dropped (list emptied)", emptied);
}

void CheckHandOverDuringSave(const std::wstring& exe, Program& program, const Paths& p) {
  const std::wstring module = p.In(L"good-ids.dll"), icon = p.In(L"multi.ICO");
  const std::vector<std::wstring> entries{L"Icon [1]", L"Icon [10]", L"Icon [2]"};
  Check(program.Open(module), "open dialog takes good-ids.dll before a hand-over");
  WaitForEntries(program, entries.size());
  PressKey(program.List(), VK_END);
  CheckBoxes(program, "good-ids.dll before a hand-over", {});
  CheckState(program, "Icon [2] chosen before a hand-over", entries, 2, true, true);
  HWND dialog = program.OpenDialogWith(GetDlgItem(program.Main(), 1001), false);
  Check(dialog != nullptr, "the save dialog opens before a hand-over");
  if (!dialog) return;
  ChildProcess second;
  Check(second.Start(exe, icon) && second.WaitForExit(kStartTimeoutMs), "a second start hands multi.ICO over");
  Settle(program.Main());
  Check(program.State().entries == entries, "the list stays while the save dialog is open");
  const std::wstring saved = p.Out(L"handed-over-ids-2.ico");
  Check(TypeFileNameAndEnter(dialog, saved) && WaitForWindowGone(dialog, kWaitTimeoutMs),
        "the save dialog takes handed-over-ids-2.ico");
  // The save writes once its dialog is gone, in a handler of its own.
  struct Wanted {
    const std::wstring* path;
    Bytes bytes;
  } wanted{&saved, ReadBytes(p.In(L"expected-ids-2.ico"))};
  const auto written = [](void* c) {
    auto* w = static_cast<Wanted*>(c);
    return FileEquals(*w->path, w->bytes);
  };
  Check(WaitUntil(kWaitTimeoutMs, written, &wanted), "the save writes the entry chosen before", SizeOf(saved));
  WaitForEntries(program, 1);
  CheckBoxes(program, "a hand-over during a save", {});
  CheckState(program, "the file handed over opens once the save is done", {icon}, 0, true, true);
}
