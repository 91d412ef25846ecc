#include "command_checks.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "gui_checks.h"
#include "gui_dialogs.h"
#include "gui_driver.h"
#include "support/image_bytes.h"

namespace {

const wchar_t kMainCaption[] = L"Pictrove 1.0版";
const wchar_t kError[] = L"错误";
const wchar_t kNotLoadable[] = L"文件载入错误，必须是WIN32的文件!";
const wchar_t kEnumerationFailed[] = L"列举图标资源名时出错!";
const wchar_t kNoIcons[] = L"此文件中没有图标资源!";
const wchar_t kNothingToSave[] = L"没有可保存的图标资源!";
const wchar_t kNothingToCopy[] = L"没有可复制的图标资源!";
// Stands for a reader's own message, whose text is the reader's affair.
const wchar_t kAnyText[] = L"*";

// The solid colour of the bitmap opened, and its pixel as a DIB stores it.
constexpr std::uint32_t kSolid = Rgb(30, 200, 90);

// ---------------------------------------------------------------- files

Bytes ReadBytes(const std::wstring& path) {
  Bytes bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  DWORD size = GetFileSize(file, nullptr);
  if (size != INVALID_FILE_SIZE) {
    bytes.resize(size);
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size) bytes.clear();
  }
  CloseHandle(file);
  return bytes;
}

bool WriteBytes(const std::wstring& path, const Bytes& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = bytes.empty() ||
            (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size());
  CloseHandle(file);
  return ok;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

void EmptyFolder(const std::wstring& folder) {
  CreateDirectoryW(folder.c_str(), nullptr);
  for (const std::wstring& name : FilesIn(folder)) DeleteFileW((folder + L"\\" + name).c_str());
}

// The image blocks of an icon file, in its order; false when it is none.
bool IconFileBlocks(const Bytes& file, std::vector<Bytes>* blocks) {
  blocks->clear();
  if (file.size() < 6 || GetU16(file, 0) != 0 || GetU16(file, 2) != 1) return false;
  std::size_t count = GetU16(file, 4);
  if (file.size() < 6 + 16 * count) return false;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t size = GetU32(file, 6 + 16 * i + 8), offset = GetU32(file, 6 + 16 * i + 12);
    if (offset > file.size() || size > file.size() - offset) return false;
    blocks->emplace_back(file.begin() + static_cast<std::ptrdiff_t>(offset),
                         file.begin() + static_cast<std::ptrdiff_t>(offset + size));
  }
  return true;
}

Bytes SolidBitmap(int width, int height) {
  HeaderFields fields;
  fields.width = width;
  fields.height = height;
  fields.bitCount = 24;
  Bytes rows;
  const int stride = (width * 3 + 3) / 4 * 4;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) rows.insert(rows.end(), {90, 200, 30});
    rows.resize(rows.size() + static_cast<std::size_t>(stride - width * 3));
  }
  return BitmapFile(fields, rows, 54);
}

// True when every pixel of a 32-bit colour picture (BGRA rows) is kSolid.
bool AllSolid32(const Bytes& block, std::size_t pixelsAt, std::size_t pixels) {
  if (block.size() < pixelsAt + pixels * 4) return false;
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint8_t* p = &block[pixelsAt + i * 4];
    if (Rgb(p[2], p[1], p[0]) != kSolid) return false;
  }
  return true;
}

Bytes WithHalvedHeight(Bytes block) {
  if (block.size() >= 40) PutU32(block, 8, static_cast<std::uint32_t>(static_cast<std::int32_t>(GetU32(block, 8)) / 2));
  return block;
}

// ---------------------------------------------------------------- what the window should show

// A module of the tests read by this process, the expectations of what the
// window shows and copies for its entries.
class ExpectedModule {
 public:
  explicit ExpectedModule(const std::wstring& path)
      : m_module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ExpectedModule() {
    if (m_module) FreeLibrary(m_module);
  }
  ExpectedModule(const ExpectedModule&) = delete;
  ExpectedModule& operator=(const ExpectedModule&) = delete;

  Bytes Resource(int id, LPCWSTR type) const {
    HRSRC found = m_module ? FindResourceW(m_module, MAKEINTRESOURCEW(id), type) : nullptr;
    HGLOBAL loaded = found ? LoadResource(m_module, found) : nullptr;
    const auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (data == nullptr) return Bytes();
    return Bytes(data, data + SizeofResource(m_module, found));
  }
  // The icon of the group that best fits the display, as a preview shows it.
  HICON PreviewIcon(int group) const {
    Bytes directory = Resource(group, MAKEINTRESOURCEW(14));
    if (directory.empty()) return nullptr;
    int id = LookupIconIdFromDirectory(directory.data(), TRUE);
    Bytes image = Resource(id, MAKEINTRESOURCEW(3));
    if (image.empty()) return nullptr;
    return CreateIconFromResource(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x30000);
  }
  // What Copy places on the clipboard for the group: its first image's
  // block, the height halved.
  Bytes ClipboardBlock(int group) const {
    Bytes directory = Resource(group, MAKEINTRESOURCEW(14));
    if (directory.size() < 6 + 14) return Bytes();
    return WithHalvedHeight(Resource(static_cast<int>(GetU16(directory, 6 + 12)), MAKEINTRESOURCEW(3)));
  }

 private:
  HMODULE m_module;
};

// The icon drawn as the preview control draws it: on the dialog's ground,
// at the control's size.
Capture DrawnIcon(HICON icon, int width, int height) {
  Capture drawn;
  if (width <= 0 || height <= 0) return drawn;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP image = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, image);
  RECT all{0, 0, width, height};
  HBRUSH ground = CreateSolidBrush(RGB(160, 180, 220));
  FillRect(memory, &all, ground);
  DeleteObject(ground);
  if (icon) DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  SelectObject(memory, old);
  BITMAPINFO bits{};
  bits.bmiHeader.biSize = sizeof bits.bmiHeader;
  bits.bmiHeader.biWidth = width;
  bits.bmiHeader.biHeight = -height;
  bits.bmiHeader.biPlanes = 1;
  bits.bmiHeader.biBitCount = 32;
  drawn.width = width;
  drawn.height = height;
  drawn.pixels.resize(static_cast<size_t>(width) * height);
  GetDIBits(memory, image, 0, height, drawn.pixels.data(), &bits, DIB_RGB_COLORS);
  for (std::uint32_t& p : drawn.pixels) p &= 0xFFFFFF;
  DeleteObject(image);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return drawn;
}

int Mismatches(const Capture& a, const Capture& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int count = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i];
  return count;
}

// ---------------------------------------------------------------- clipboard

bool OpenClipboardBounded() {
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs; Sleep(50)) {
    if (OpenClipboard(nullptr)) return true;
  }
  return false;
}

void ClearClipboard() {
  if (!OpenClipboardBounded()) return;
  EmptyClipboard();
  CloseClipboard();
}

Bytes ClipboardDib() {
  Bytes bytes;
  if (!OpenClipboardBounded()) return bytes;
  if (HANDLE data = GetClipboardData(CF_DIB)) {
    if (const auto* p = static_cast<const std::uint8_t*>(GlobalLock(data))) {
      bytes.assign(p, p + GlobalSize(data));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

// What the X11 clipboard of the display offers, asked with xclip (a Unix
// program, which Wine starts without giving back a process handle).
std::string X11ClipboardTargets(const std::string& filesUnix) {
  std::string answer = filesUnix + "/xclip-targets.txt";
  std::wstring answerPath = WindowsPath(answer.c_str());
  DeleteFileW(answerPath.c_str());
  std::string command = "/bin/sh -c \"timeout 10 xclip -selection clipboard -t TARGETS -o >'" + answer +
                        ".part' 2>&1; mv '" + answer + ".part' '" + answer + "'\"";
  std::wstring wide(command.begin(), command.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(L"Z:\\bin\\sh", &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return "(xclip not started, error " + std::to_string(GetLastError()) + ")";
  }
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs; Sleep(100)) {
    if (Exists(answerPath)) {
      Bytes text = ReadBytes(answerPath);
      return std::string(text.begin(), text.end());
    }
  }
  return "(no answer from xclip)";
}

// ---------------------------------------------------------------- the program

struct WindowState {
  std::vector<std::wstring> entries;
  int selected = -1;
  bool saveEnabled = false;
  bool copyEnabled = false;
  HICON preview = nullptr;

  bool operator==(const WindowState& o) const {
    return entries == o.entries && selected == o.selected && saveEnabled == o.saveEnabled &&
           copyEnabled == o.copyEnabled && preview == o.preview;
  }
};

std::string Describe(const WindowState& s) {
  std::wstring text = L"list [";
  for (size_t i = 0; i < s.entries.size(); ++i) text += (i ? L", " : L"") + s.entries[i];
  text += L"] selected " + std::to_wstring(s.selected) + L", save " + (s.saveEnabled ? L"on" : L"off") +
          L", copy " + (s.copyEnabled ? L"on" : L"off") + L", preview " + (s.preview ? L"an icon" : L"none");
  return Narrow(text);
}

std::string Describe(const std::vector<ShownBox>& boxes) {
  if (boxes.empty()) return "no message";
  std::wstring text;
  for (const ShownBox& box : boxes) text += L"[" + box.caption + L": " + box.text + L"] ";
  return Narrow(text);
}

class Program {
 public:
  bool Start(const std::wstring& exe) {
    if (!m_process.Start(exe)) return false;
    m_main = WaitForWindow(m_process.Id(), kMainCaption, kStartTimeoutMs);
    if (!m_main) return false;
    m_grab = GetDlgItem(m_main, 1);
    m_list = GetDlgItem(m_main, 1000);
    m_save = GetDlgItem(m_main, 1001);
    m_copy = GetDlgItem(m_main, 1002);
    m_preview = GetDlgItem(m_main, 1003);
    return true;
  }
  bool EndsOnEscape() {
    HWND focus = FocusOf(m_main);
    PressKey(focus ? focus : m_main, VK_ESCAPE);
    return m_process.WaitForExit(kWaitTimeoutMs);
  }

  HWND Main() const { return m_main; }
  HWND Grab() const { return m_grab; }
  HWND List() const { return m_list; }
  HWND Preview() const { return m_preview; }

  WindowState State() const {
    Settle(m_main);
    WindowState s;
    LRESULT count = Ask(m_list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      LRESULT length = Ask(m_list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
      if (length < 0) continue;
      std::wstring text(static_cast<size_t>(length) + 1, L'\0');
      Ask(m_list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
      text.resize(static_cast<size_t>(length));
      s.entries.push_back(text);
    }
    s.selected = static_cast<int>(Ask(m_list, LB_GETCURSEL, 0, 0));
    s.saveEnabled = IsWindowEnabled(m_save) != FALSE;
    s.copyEnabled = IsWindowEnabled(m_copy) != FALSE;
    s.preview = reinterpret_cast<HICON>(Ask(m_preview, STM_GETICON, 0, 0));
    return s;
  }

  // Opens the file dialog with `button` (a click, or Enter when `byEnter`)
  // and waits for it.
  HWND OpenDialogWith(HWND button, bool byEnter) {
    if (byEnter) {
      PressKey(button, VK_RETURN);
    } else {
      Click(button);
    }
    return WaitForDialogOver(m_process.Id(), m_main, kWaitTimeoutMs);
  }

  // Chooses `path` in the dialog that `button` opens; the messages that
  // follow are then taken with TakeBoxes.
  bool Choose(HWND button, const std::wstring& path, bool byEnter = false) {
    HWND dialog = OpenDialogWith(button, byEnter);
    if (!dialog) return false;
    if (!TypeFileNameAndEnter(dialog, path)) {
      CancelFileDialog(dialog);
      WaitForWindowGone(dialog, kWaitTimeoutMs);
      return false;
    }
    return WaitForWindowGone(dialog, kWaitTimeoutMs);
  }
  bool Open(const std::wstring& path, bool byEnter = false) { return Choose(m_grab, path, byEnter); }
  bool SaveAs(const std::wstring& path) { return Choose(m_save, path); }

  bool CancelDialogOf(HWND button, bool byEnter = false) {
    HWND dialog = OpenDialogWith(button, byEnter);
    if (!dialog) return false;
    CancelFileDialog(dialog);
    return WaitForWindowGone(dialog, kWaitTimeoutMs);
  }

  void ClickCopy() { Click(m_copy); }

  // The message boxes shown now, `count` of them waited for, each read and
  // closed; any further box is read and closed as well.
  std::vector<ShownBox> TakeBoxes(size_t count, const char* groundCheck = nullptr) {
    std::vector<ShownBox> boxes;
    for (size_t i = 0; i < count; ++i) {
      HWND box = WaitForDialogOver(m_process.Id(), m_main, kWaitTimeoutMs);
      if (!box) break;
      Sleep(200);  // let it paint
      if (groundCheck && i == 0) {
        CheckGround(box, groundCheck);
        Screenshot(L"message");
      }
      boxes.push_back(ReadBox(box));
      CloseBox(box);
    }
    Settle(m_main);
    for (HWND box : DialogsOver(m_process.Id(), m_main)) {
      boxes.push_back(ReadBox(box));
      CloseBox(box);
    }
    return boxes;
  }

 private:
  ChildProcess m_process;
  HWND m_main = nullptr, m_grab = nullptr, m_list = nullptr, m_save = nullptr, m_copy = nullptr,
       m_preview = nullptr;
};

bool SameBoxes(const std::vector<ShownBox>& seen, const std::vector<ShownBox>& wanted) {
  if (seen.size() != wanted.size()) return false;
  for (size_t i = 0; i < seen.size(); ++i) {
    if (seen[i].caption != wanted[i].caption) return false;
    if (wanted[i].text == kAnyText ? seen[i].text.empty() : seen[i].text != wanted[i].text) return false;
  }
  return true;
}

void CheckBoxes(Program& program, const std::string& step, const std::vector<ShownBox>& wanted,
                const char* groundCheck = nullptr) {
  std::vector<ShownBox> seen = program.TakeBoxes(wanted.size(), groundCheck);
  Check(SameBoxes(seen, wanted), step + ": " + Describe(wanted), "seen " + Describe(seen));
}

void CheckState(Program& program, const std::string& step, const std::vector<std::wstring>& entries, int selected,
                bool enabled, bool hasPreview) {
  WindowState s = program.State();
  WindowState wanted;
  wanted.entries = entries;
  wanted.selected = selected;
  wanted.saveEnabled = wanted.copyEnabled = enabled;
  wanted.preview = s.preview;
  bool ok = s == wanted && (s.preview != nullptr) == hasPreview;
  wanted.preview = hasPreview ? reinterpret_cast<HICON>(1) : nullptr;
  Check(ok, step + ": " + Describe(wanted), "found " + Describe(s));
}

void CheckUnchanged(Program& program, const std::string& step, const WindowState& before) {
  WindowState s = program.State();
  Check(s == before, step + ": list, selection, buttons and preview unchanged",
        "before " + Describe(before) + "; after " + Describe(s));
}

// Waits (bounded) until the preview shows `icon` as the control draws it.
void CheckPreviewShows(Program& program, HICON icon, const std::string& what) {
  int mismatches = -1;
  RECT rect{};
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs; Sleep(100)) {
    GetClientRect(program.Preview(), &rect);
    mismatches = Mismatches(CaptureClient(program.Preview()), DrawnIcon(icon, rect.right, rect.bottom));
    if (mismatches == 0) break;
  }
  Check(icon != nullptr && mismatches == 0, "preview shows " + what,
        std::to_string(mismatches) + " of " + std::to_string(rect.right) + "x" + std::to_string(rect.bottom) +
            " pixels differ");
}

void CheckPreviewSolid(Program& program, const std::string& what) {
  Capture shown;
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs; Sleep(100)) {
    shown = CaptureClient(program.Preview());
    if (shown.width >= 32 && shown.height >= 32 && shown.At(0, 0) == kSolid && shown.At(31, 31) == kSolid) break;
  }
  int solid = 0;
  for (int y = 0; y < 32 && y < shown.height; ++y) {
    for (int x = 0; x < 32 && x < shown.width; ++x) solid += shown.At(x, y) == kSolid;
  }
  Check(solid == 32 * 32, "preview shows " + what + " (32x32 of the bitmap's colour)",
        std::to_string(solid) + " pixels of that colour");
}

// A window of this process put over `target` for a moment, then taken away.
void CoverAndUncover(HWND target) {
  RECT rect;
  GetWindowRect(target, &rect);
  InflateRect(&rect, 8, 8);
  Capture uncovered = CaptureClient(target);
  HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"Static", L"",
                               WS_POPUP | SS_BLACKRECT, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  int changed = 0;
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs && changed == 0; Sleep(50)) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    UpdateWindow(cover);
    changed = Mismatches(CaptureClient(target), uncovered);
  }
  Screenshot(L"covered");
  Check(cover != nullptr && changed > 0, "a window over the preview hides it",
        std::to_string(changed) + " pixels changed");
  DestroyWindow(cover);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

bool FileEquals(const std::wstring& path, const Bytes& expected) {
  Bytes written = ReadBytes(path);
  return !expected.empty() && written == expected;
}

std::string SizeOf(const std::wstring& path) {
  if (!Exists(path)) return "not written";
  return std::to_string(ReadBytes(path).size()) + " bytes";
}

// ---------------------------------------------------------------- the checks

struct Paths {
  std::string unix;      // the files folder as Unix tools see it
  std::wstring folder;   // the same, as Wine shows it
  std::wstring out;      // where the Save command writes
  std::wstring In(const wchar_t* name) const { return folder + L"\\" + name; }
  std::wstring Out(const wchar_t* name) const { return out + L"\\" + name; }
};

void MakeSources(const Paths& p) {
  Bytes first = IconImageBlock(32, 32, 32, 0, 11);
  Bytes second = IconImageBlock(16, 16, 4, 0, 22);
  Bytes third = IconImageBlock(48, 48, 8, 0, 33);
  Check(WriteBytes(p.In(L"multi.ICO"), IconFile({first, second, third})) &&
            WriteBytes(p.In(L"empty.ico"), IconFile({})) &&
            WriteBytes(p.In(L"fake.ico"), Bytes{'n', 'o', ' ', 'i', 'c', 'o', 'n', '\n'}) &&
            WriteBytes(p.In(L"solid.Bmp"), SolidBitmap(20, 10)) &&
            CopyFileW(p.In(L"good-ids.dll").c_str(), p.In(L"ids.ocx").c_str(), FALSE) &&
            CopyFileW(p.In(L"good-ids.dll").c_str(), p.In(L"module.ico").c_str(), FALSE) &&
            CopyFileW(p.In(L"good-ids.dll").c_str(), p.In(L"ids").c_str(), FALSE) &&
            WriteBytes(p.In(L"broken.bmp"), Bytes{'B', 'M', 'n', 'o'}),
        "sources written");
  EmptyFolder(p.out);
}

// Start-up, Enter, cancelling, and a bitmap read into the starting group.
void CheckBitmapIntoStartingGroup(Program& program, const Paths& p) {
  WindowState start = program.State();
  Check(FocusOf(program.Main()) == program.Grab(), "grab button has the focus at the start");
  HWND dialog = program.OpenDialogWith(program.Grab(), true);
  Check(dialog != nullptr, "Enter opens the open dialog");
  if (dialog) {
    Screenshot(L"open-dialog");
    std::vector<std::wstring> types = FileTypes(dialog);
    Check(types == std::vector<std::wstring>{L"资源文件(*.ICO,*.BMP,*.EXE,*.DLL,*.ICL)"},
          "the open dialog's one file type", Narrow(types.empty() ? L"none" : types.front()));
    CancelFileDialog(dialog);
    Check(WaitForWindowGone(dialog, kWaitTimeoutMs), "Esc cancels the open dialog");
  }
  CheckBoxes(program, "cancelled open", {});
  CheckUnchanged(program, "cancelled open at the start", start);

  std::wstring bitmap = p.In(L"solid.Bmp");
  Check(program.Open(bitmap, true), "Enter, then a bitmap typed into the open dialog");
  CheckBoxes(program, "bitmap into the starting group", {});
  CheckState(program, "bitmap into the starting group", {bitmap}, 0, true, true);
  CheckPreviewSolid(program, "the bitmap's icon");

  ClearClipboard();
  program.ClickCopy();
  CheckBoxes(program, "copy of the bitmap", {});
  Bytes dib = ClipboardDib();
  bool header = dib.size() >= 40 && GetU32(dib, 0) == 40 && GetU32(dib, 4) == 32 && GetU32(dib, 8) == 32 &&
                GetU16(dib, 14) == 32;
  Check(header && AllSolid32(dib, 40, 32 * 32), "clipboard holds a CF_DIB of 32x32 at 32 bits in the bitmap's colour",
        std::to_string(dib.size()) + " bytes");
  std::string targets = X11ClipboardTargets(p.unix);
  Check(targets.find("image/") != std::string::npos, "the X11 clipboard offers an image", targets);

  std::wstring saved = p.Out(L"start.ico");
  Check(program.SaveAs(saved), "save dialog takes start.ico");
  CheckBoxes(program, "save of the bitmap", {});
  std::vector<Bytes> blocks;
  bool read = IconFileBlocks(ReadBytes(saved), &blocks);
  Check(read && blocks.size() == 1 && GetU32(blocks[0], 4) == 32 && GetU32(blocks[0], 8) == 64 &&
            AllSolid32(blocks[0], 40, 32 * 32),
        "the starting group with the bitmap saves as an icon of that one image",
        read ? std::to_string(blocks.size()) + " images" : SizeOf(saved));
}

// An icon file of three images, then a bitmap into its first image.
void CheckIconFileThenBitmap(Program& program, const Paths& p) {
  std::wstring icon = p.In(L"multi.ICO");
  Check(program.Open(icon), "open dialog takes multi.ICO");
  CheckBoxes(program, "icon file", {});
  CheckState(program, "icon file", {icon}, 0, true, true);
  HICON extracted = ExtractIconW(GetModuleHandleW(nullptr), icon.c_str(), 0);
  CheckPreviewShows(program, extracted, "the icon file's first icon");
  if (extracted) DestroyIcon(extracted);

  std::wstring bitmap = p.In(L"solid.Bmp");
  Check(program.Open(bitmap), "open dialog takes solid.Bmp");
  CheckBoxes(program, "bitmap over the icon file", {});
  CheckState(program, "bitmap over the icon file", {bitmap}, 0, true, true);
  CheckPreviewSolid(program, "the bitmap's icon");

  std::wstring saved = p.Out(L"multi-with-bitmap.ico");
  Check(program.SaveAs(saved), "save dialog takes multi-with-bitmap.ico");
  CheckBoxes(program, "save of the icon file with the bitmap", {});
  std::vector<Bytes> original, written;
  IconFileBlocks(ReadBytes(icon), &original);
  bool read = IconFileBlocks(ReadBytes(saved), &written);
  Check(read && written.size() == 3 && original.size() == 3 && written[1] == original[1] && written[2] == original[2],
        "the other two images stay as they were", SizeOf(saved));
  if (read && written.size() == 3) {
    const Bytes& first = written[0];
    bool format = GetU32(first, 4) == 32 && GetU32(first, 8) == 64 && GetU16(first, 14) == 32;
    bool mask = first.size() == 40 + 32 * 32 * 4 + 32 * 4;
    for (size_t i = 40 + 32 * 32 * 4; mask && i < first.size(); ++i) mask = first[i] == 0;
    Check(format && AllSolid32(first, 40, 32 * 32) && mask,
          "the bitmap replaced the first image at its 32x32 and 32 bits, every pixel opaque",
          std::to_string(first.size()) + " bytes");
  }

  // A bitmap that can't be read leaves the first image as it was, and that
  // image is the icon.
  std::wstring broken = p.In(L"broken.bmp");
  Check(program.Open(broken), "open dialog takes broken.bmp");
  CheckBoxes(program, "a bitmap that can't be read", {{broken, kAnyText}});
  CheckState(program, "a bitmap that can't be read", {broken}, 0, true, true);
  CheckPreviewSolid(program, "the image read before");
}

// A module of the group icons 1, 2 and 10: list, previews, Save and Copy.
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
    Check(types == std::vector<std::wstring>{L"图标文件(*.ICO)", L"位图文件(*.BMP)"}, "the save dialog's two file types",
          Narrow(shown));
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

  size_t files = FilesIn(p.out).size();
  Check(program.SaveAs(p.Out(L"ids-2.png")), "save dialog takes ids-2.png");
  CheckBoxes(program, "save as .png", {});
  // A name typed without any dot gets the dialog's default extension; one
  // ending in a dot comes back with none.
  Check(program.SaveAs(p.Out(L"no-extension.")), "save dialog takes a name ending in a dot");
  CheckBoxes(program, "save without extension", {});
  std::wstring names;
  for (const std::wstring& name : FilesIn(p.out)) names += name + L" ";
  Check(FilesIn(p.out).size() == files, ".png and no extension write nothing", Narrow(names));

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
  for (HICON icon : {icon1, icon10, icon2}) {
    if (icon) DestroyIcon(icon);
  }
}

// Files the module branch can't list.
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

// A 16-bit icon library, read by our own NE reader: listed, previewed and
// saved as a 32-bit module is.
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

// A module under another extension, or none, is a module source all the
// same: previews, Save and Copy take its selected entry.
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

// Icon files without an icon, and a bitmap with no record to go into.
void CheckIconFilesWithoutIcons(Program& program, const Paths& p) {
  // A module named .ico: no icon file to the reader, while the platform's
  // extraction finds the module's first icon.
  std::wstring module = p.In(L"module.ico");
  Check(program.Open(module), "open dialog takes module.ico");
  CheckBoxes(program, "a module named .ico", {{module, kAnyText}});
  CheckState(program, "a module named .ico", {module}, 0, true, true);
  HICON extracted = ExtractIconW(GetModuleHandleW(nullptr), module.c_str(), 0);
  CheckPreviewShows(program, extracted, "the first icon the platform finds in it");
  if (extracted) DestroyIcon(extracted);
  Check(program.SaveAs(p.Out(L"module.ico")), "save dialog takes module.ico");
  CheckBoxes(program, "save of a module named .ico", {{kError, kNothingToSave}});
  program.ClickCopy();
  CheckBoxes(program, "copy of a module named .ico", {{kError, kNothingToCopy}});
  Check(!Exists(p.Out(L"module.ico")), "nothing saved from it");

  // A text file named .ico: Wine's extraction gives no icon for it (where
  // Windows gives the value 1 and the path is listed).
  std::wstring fake = p.In(L"fake.ico");
  Check(program.Open(fake), "open dialog takes fake.ico");
  CheckBoxes(program, "a text file named .ico", {{fake, kAnyText}, {kError, kNoIcons}});
  CheckState(program, "a text file named .ico", {}, -1, false, false);

  std::wstring empty = p.In(L"empty.ico");
  Check(program.Open(empty), "open dialog takes empty.ico");
  CheckBoxes(program, "an icon file of no images", {{kError, kNoIcons}});
  CheckState(program, "an icon file of no images", {}, -1, false, false);

  Check(program.Open(p.In(L"solid.Bmp")), "open dialog takes solid.Bmp");
  CheckBoxes(program, "a bitmap with no image record to go into", {{kError, kNoIcons}});
  CheckState(program, "a bitmap with no image record to go into", {}, -1, false, false);
}

}  // namespace

void RunCommandChecks(const std::wstring& exe, const std::string& files) {
  Paths p;
  p.unix = files;
  p.folder = WindowsPath(files.c_str());
  p.out = p.folder + L"\\out";
  MakeSources(p);

  Program program;
  Check(program.Start(exe), "Pictrove.exe starts for the commands");
  if (!program.Main()) return;
  CheckBitmapIntoStartingGroup(program, p);
  CheckIconFileThenBitmap(program, p);
  CheckModule(program, p);
  CheckUnlistableModules(program, p);
  CheckNeLibrary(program, p);
  CheckOtherExtensions(program, p);
  CheckIconFilesWithoutIcons(program, p);
  Check(program.EndsOnEscape(), "Esc ends the program after the commands");
}
