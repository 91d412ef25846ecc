#include "image_file_checks.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "command_clipboard.h"
#include "gui_checks.h"

namespace {

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

// True when every pixel of a 32-bit colour picture (BGRA rows) is kSolid.
bool AllSolid32(const Bytes& block, std::size_t pixelsAt, std::size_t pixels) {
  if (block.size() < pixelsAt + pixels * 4) return false;
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint8_t* p = &block[pixelsAt + i * 4];
    if (Rgb(p[2], p[1], p[0]) != kSolid) return false;
  }
  return true;
}

}  // namespace

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

  // An icon file cut short: our reader says so, and the platform is not
  // asked for an icon of it (Wine's extraction read past its end).
  std::wstring cut = p.In(L"cut.ico");
  Bytes whole = IconFile({IconImageBlock(32, 32, 32, 0, 11)});
  Check(WriteBytes(cut, Bytes(whole.begin(), whole.begin() + 200)) && program.Open(cut),
        "open dialog takes cut.ico, cut after 200 bytes");
  CheckBoxes(program, "an icon file cut short", {{cut, L"读图标内容出错!"}, {kError, kNoIcons}});
  CheckState(program, "an icon file cut short", {}, -1, false, false);

  std::wstring empty = p.In(L"empty.ico");
  Check(program.Open(empty), "open dialog takes empty.ico");
  CheckBoxes(program, "an icon file of no images", {{kError, kNoIcons}});
  CheckState(program, "an icon file of no images", {}, -1, false, false);

  Check(program.Open(p.In(L"solid.Bmp")), "open dialog takes solid.Bmp");
  CheckBoxes(program, "a bitmap with no image record to go into", {{kError, kNoIcons}});
  CheckState(program, "a bitmap with no image record to go into", {}, -1, false, false);
}

void CheckLargeImageInItsBox(Program& program, const Paths& p) {
  const std::wstring large = p.In(L"large.ico"), bitmap = p.In(L"solid.Bmp");
  Check(WriteBytes(large, IconFile({IconImageBlock(256, 256, 32, 0, 66)})), "large.ico of a 256x256 image written");
  const RECT box = program.PreviewBox();
  for (const std::wstring& file : {large, bitmap}) {
    Check(program.Open(file), "open dialog takes " + Narrow(file));
    CheckBoxes(program, "a 256x256 image", {});
    CheckState(program, "a 256x256 image", {file}, 0, true, true);
    RECT now = ScreenRectOf(program.Preview()), both{};
    Check(IntersectRect(&both, &box, &now) && EqualRect(&both, &now) && now.left == box.left && now.top == box.top,
          "the preview control stays in its box after " + Narrow(file),
          std::to_string(now.right - now.left) + "x" + std::to_string(now.bottom - now.top) + " in " +
              std::to_string(box.right - box.left) + "x" + std::to_string(box.bottom - box.top));
  }
  CheckPreviewSolid(program, "the bitmap read into the 256x256 image");
  const Capture shown = CaptureClient(program.Preview());
  Check(shown.width > 32 && shown.At(shown.width - 1, shown.height - 1) == kSolid,
        "the bitmap's image is scaled down to fill the box",
        std::to_string(shown.width) + "x" + std::to_string(shown.height) + ", corner " +
            HexColor(shown.pixels.empty() ? 0 : shown.At(shown.width - 1, shown.height - 1)));
  Screenshot(L"preview-256");
}

void CheckImageMenu(Program& program, const Paths& p) {
  const std::wstring sizes = p.In(L"sizes.ico");
  Check(WriteBytes(sizes, IconFile({IconImageBlock(16, 16, 4, 0, 12), IconImageBlock(32, 32, 8, 0, 34),
                                    IconImageBlock(48, 48, 32, 0, 56)})) && program.Open(sizes),
        "open dialog takes sizes.ico, of 16, 32 and 48 px images");
  CheckBoxes(program, "an icon of three sizes", {});
  ClearClipboard();
  Click(program.List());
  Check(TypeKey(program.List(), VK_F10, VK_SHIFT), "Shift+F10 typed in the list");
  Check(WaitForPopupMenu(program.ProcessId()) != nullptr, "Shift+F10 opens the list's menu");
  Screenshot(L"image-menu");
  for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) TypeKey(program.List(), key);
  CheckBoxes(program, "the menu's second image chosen", {});
  Bytes dib = ClipboardDib();
  Check(dib.size() >= 40 && GetU32(dib, 4) == 32 && GetU32(dib, 8) == 32,
        "Down, Down, Enter copies the 32x32 image",
        dib.size() >= 40 ? std::to_string(GetU32(dib, 4)) + "x" + std::to_string(GetU32(dib, 8)) : "no CF_DIB");

  PostMessageW(program.List(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
  HWND dialog = WaitForDialogOver(program.ProcessId(), program.Main(), kWaitTimeoutMs);
  Check(dialog != nullptr, "a double-click on the entry opens the save dialog");
  if (dialog) CancelFileDialog(dialog);
  Check(dialog != nullptr && WaitForWindowGone(dialog, kWaitTimeoutMs), "the save dialog cancelled");
}
