// The main window's commands: Open (the grab button and Enter), Save and
// Copy. The flow itself is the document's; the window runs the file dialogs
// and sets its buttons and preview by the outcome.
#include <cstdio>
#include <optional>

#include "core/icon_group.h"
#include "file_choice.h"
#include "framework/file_dialog.h"
#include "framework/menu.h"
#include "framework/wait_cursor.h"
#include "framework/wide_text.h"
#include "grabber_dlg.h"

namespace {

#define PICTROVE_ICO_FILTER "图标文件(*.ICO)|*.ICO|"
#define PICTROVE_BMP_FILTER "位图文件(*.BMP)|*.BMP|"
#define PICTROVE_PNG_FILTER "PNG图像(*.PNG)|*.PNG|"

const char kDefaultExt[] = "*.ICO";
const char kOpenFilter[] = "资源文件(*.ICO,*.BMP,*.EXE,*.DLL,*.ICL)|*.ICO;*.BMP;*.EXE;*.DLL;*.ICL||";
const char kSaveFilter[] = PICTROVE_ICO_FILTER PICTROVE_BMP_FILTER PICTROVE_PNG_FILTER "|";
const char kBmpFilter[] = PICTROVE_BMP_FILTER "|";
const char kPngFilter[] = PICTROVE_PNG_FILTER "|";

// Commands of the list's context menu: image N of the selected entry is
// copied, or saved as .png or .bmp.
constexpr UINT kCopyImage = 0x1000;
constexpr UINT kSaveImageAsPng = 0x3000;
constexpr UINT kSaveImageAsBmp = 0x5000;
constexpr UINT kMenuImages = 0x2000;  // at most, of each command

// "48×48 32位", and " PNG" for a PNG-compressed image.
std::wstring ImageLabel(const IconImage& image) {
  char label[64];
  std::snprintf(label, sizeof label, "%d×%d %d位%s", static_cast<int>(image.width), static_cast<int>(image.height),
                static_cast<int>(image.bitsPerPixel), IsPngImage(&image) ? " PNG" : "");
  return WideFromProgramText(label);
}

// The image items of the menu, with the command of `first` for image 0.
CMenu ImageMenu(const IconGroup& group, UINT count, UINT first) {
  CMenu menu;
  if (!menu.CreatePopupMenu()) return menu;
  // GroupImage only finds the record; nothing is changed through it.
  auto* records = const_cast<IconGroup*>(&group);
  for (UINT i = 0; i < count; ++i) menu.AppendMenu(MF_STRING, first + i, ImageLabel(*GroupImage(records, i)).c_str());
  return menu;
}

// The wait cursor while the document writes a file.
class CWaitCursorIndicator final : public WaitIndicator {
 public:
  void Show() override { m_cursor.emplace(); }
  void Hide() override { m_cursor.reset(); }

 private:
  std::optional<CWaitCursor> m_cursor;
};

}  // namespace

void CGrabberDlg::OnOK() {
  CFileDialog dialog(TRUE, kDefaultExt, nullptr, 0, kOpenFilter);
  if (!ChooseFile(dialog)) return;
  OpenFile(dialog.GetPathName());
}

void CGrabberDlg::OnOpenStartFile() {
  // A modal loop dispatches posted messages too: a file handed over while a
  // dialog, a box or a menu of ours is up waits for it to end, so that the
  // command running it acts on what it was started on.
  if (m_handlersRunning > 1) {
    m_startFileHeld = true;
    return;
  }
  // Two hand-overs before the first opening leave one file to open, once.
  std::wstring file;
  file.swap(m_strStartFile);
  if (!file.empty()) OpenNamedFile(file);
}

void CGrabberDlg::OnDropFiles(HDROP hDropInfo) {
  // Of several files dropped together, the first, in any characters.
  std::wstring name(DragQueryFileW(hDropInfo, 0, nullptr, 0), L'\0');
  if (!name.empty()) name.resize(DragQueryFileW(hDropInfo, 0, &name[0], static_cast<UINT>(name.size()) + 1));
  DragFinish(hDropInfo);
  if (!name.empty()) OpenNamedFile(name);
}

void CGrabberDlg::OpenNamedFile(const std::wstring& name) {
  CString path;
  if (ReachableName(name, &path)) OpenFile(path);
}

void CGrabberDlg::OpenFile(const char* path) {
  IconDocument::OpenOutcome opened = m_document.Open(path);
  if (opened.previewChanged) SetPreviewIcon(std::move(opened.preview));
  if (!opened.listed) {
    ShowMessage(opened.failure, path);
    return;
  }

  if (m_document.SelectFirstEntry()) {
    m_btnCopy.EnableWindow(TRUE);
    m_btnSave.EnableWindow(TRUE);
    Invalidate(TRUE);
  } else {
    ShowMessage(Message::kNoIcons, path);
    m_btnCopy.EnableWindow(FALSE);
    m_btnSave.EnableWindow(FALSE);
  }
}

void CGrabberDlg::OnSaveButton() { SaveSelectedEntry(kDefaultExt, kSaveFilter, IconDocument::kDefaultImage); }

void CGrabberDlg::OnDblClkIconList() {
  if (m_btnSave.IsWindowEnabled()) OnSaveButton();
}

void CGrabberDlg::SaveSelectedEntry(const char* defaultExt, const char* filter, int image) {
  CFileDialog dialog(FALSE, defaultExt, nullptr, 0, filter);
  if (!ChooseFile(dialog)) return;
  m_strSavePath = dialog.GetPathName();
  m_strSaveExt = dialog.GetFileExt();
  m_strSaveExt.MakeLower();

  CWaitCursorIndicator wait;
  m_document.Save(m_strSavePath, static_cast<const char*>(m_strSaveExt), &wait, image);
}

void CGrabberDlg::OnContextMenu(HWND window, LPARAM position) {
  if (window != m_listIcons.GetSafeHwnd()) {
    Default();
    return;
  }
  POINT at{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  if (position == -1) {
    // From the keyboard: below the selected entry.
    RECT item{};
    if (::SendMessageW(window, LB_GETITEMRECT, m_listIcons.GetCurSel(), reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
      ::GetClientRect(window, &item);
      item.bottom = item.top;
    }
    at = POINT{item.left, item.bottom};
    ClientToScreen(window, &at);
  } else {
    // The right button selects the entry under it first.
    POINT client = at;
    ScreenToClient(window, &client);
    const LRESULT hit = ::SendMessageW(window, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
    if (HIWORD(hit) == 0 && static_cast<int>(LOWORD(hit)) != m_listIcons.GetCurSel()) {
      m_listIcons.SetCurSel(LOWORD(hit));
      OnSelChangeIconList();
    }
  }
  if (m_listIcons.GetCount() == 0) return;

  const IconGroup* group = m_document.ReadSelectedGroup();
  UINT count = 0;
  while (group != nullptr && count < kMenuImages && m_document.HasImage(count)) ++count;
  CMenu menu = count > 0 ? ImageMenu(*group, count, kCopyImage) : CMenu();
  if (menu.GetSafeHmenu() == nullptr) return;
  menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
  menu.AppendSubmenu(ImageMenu(*group, count, kSaveImageAsPng), WideFromProgramText("另存为PNG图像(&P)").c_str());
  menu.AppendSubmenu(ImageMenu(*group, count, kSaveImageAsBmp), WideFromProgramText("另存为位图(&B)").c_str());

  const UINT command = menu.TrackPopupMenu(at, m_hWnd);
  if (command >= kSaveImageAsBmp && command < kSaveImageAsBmp + count) {
    SaveSelectedEntry("*.BMP", kBmpFilter, static_cast<int>(command - kSaveImageAsBmp));
  } else if (command >= kSaveImageAsPng && command < kSaveImageAsPng + count) {
    SaveSelectedEntry("*.PNG", kPngFilter, static_cast<int>(command - kSaveImageAsPng));
  } else if (command >= kCopyImage && command < kCopyImage + count) {
    m_document.Copy(static_cast<int>(command - kCopyImage));
  }
}

void CGrabberDlg::OnCopyButton() { m_document.Copy(); }
