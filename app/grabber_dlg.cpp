#include "grabber_dlg.h"

#include <utility>

#include "about_dlg.h"
#include "framework/gdi.h"
#include "framework/win_app.h"
#include "resource.h"
#include "running_window.h"
#include "skin.h"

namespace {

// The size of the icon's picture in pixels.
SIZE IconSize(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return SIZE{0, 0};
  GdiObject<HBITMAP> color(info.hbmColor), mask(info.hbmMask);
  BITMAP bitmap{};
  if (color.GetSafeHandle() != nullptr && GetObjectW(color, sizeof bitmap, &bitmap) == sizeof bitmap) {
    return SIZE{bitmap.bmWidth, bitmap.bmHeight};
  }
  // A monochrome icon: the mask above the picture.
  if (GetObjectW(mask, sizeof bitmap, &bitmap) != sizeof bitmap) return SIZE{0, 0};
  return SIZE{bitmap.bmWidth, bitmap.bmHeight / 2};
}

// `icon` scaled down, its proportions kept, when it is larger than `box`;
// else `icon` itself.
IconHandle FittedInto(IconHandle icon, SIZE box) {
  const SIZE size = icon.IsValid() ? IconSize(icon.Get()) : SIZE{0, 0};
  if (size.cx <= box.cx && size.cy <= box.cy) return icon;
  int width = box.cx, height = box.cy;
  if (size.cx * box.cy > size.cy * box.cx) {
    height = static_cast<int>(static_cast<long long>(size.cy) * box.cx / size.cx);
  } else {
    width = static_cast<int>(static_cast<long long>(size.cx) * box.cy / size.cy);
  }
  IconHandle fitted(static_cast<HICON>(CopyImage(icon.Get(), IMAGE_ICON, width > 0 ? width : 1,
                                                 height > 0 ? height : 1, 0)));
  return fitted.IsValid() ? std::move(fitted) : IconHandle();
}

}  // namespace

CGrabberDlg::CGrabberDlg(CWnd* pParent)
    : CDialog(IDD_PICTROVE_DIALOG, pParent),
      m_hIcon(LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

void CGrabberDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_GRAB_BUTTON, m_btnGrab);
  DDX_Control(pDX, IDC_EXIT_BUTTON, m_btnExit);
  DDX_Control(pDX, IDC_SAVE_BUTTON, m_btnSave);
  DDX_Control(pDX, IDC_COPY_BUTTON, m_btnCopy);
  DDX_Control(pDX, IDC_ABOUT_BUTTON, m_btnAbout);
  DDX_Control(pDX, IDC_ICON_LIST, m_listIcons);
}

BOOL CGrabberDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetMessageOwner(m_hWnd);
  MarkRunningWindow(m_hWnd, AfxGetApp()->m_pszAppName);

  RECT preview;
  ::GetClientRect(GetDlgItem(IDC_PREVIEW), &preview);
  m_previewBox = SIZE{preview.right, preview.bottom};

  if (HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE)) {
    wchar_t text[128] = {};
    if (LoadStringW(AfxGetResourceHandle(), IDS_ABOUTBOX, text, 128) > 0) {
      AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, text);
    }
  }

  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  ApplyButtonSkin(m_btnGrab);
  ApplyButtonSkin(m_btnExit);
  ApplyButtonSkin(m_btnSave);
  ApplyButtonSkin(m_btnAbout);
  ApplyButtonSkin(m_btnCopy);

  m_btnCopy.EnableWindow(FALSE);
  m_btnSave.EnableWindow(FALSE);

  m_listEntries.emplace(m_hWnd);
  m_document.Attach(&*m_listEntries, AfxGetResourceHandle());

  // Files dropped on the window open as if chosen in the open dialog.
  DragAcceptFiles(m_hWnd, TRUE);
  // The start file opens once the window shows, so that its messages have
  // their owner on the screen.
  if (!m_strStartFile.empty()) PostMessage(WM_OPEN_START_FILE, 0, 0);
  return TRUE;
}

void CGrabberDlg::OnSysCommand(UINT nID, LPARAM) {
  // The system keeps the low four bits of a system command for itself.
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    RunAboutBox();
  } else {
    Default();
  }
}

void CGrabberDlg::OnAboutButton() { RunAboutBox(); }

void CGrabberDlg::RunAboutBox() {
  CAboutDlg about;
  about.DoModal();
}

void CGrabberDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), 0);
    const int cx = GetSystemMetrics(SM_CXICON);
    const int cy = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cx + 1) / 2;
    const int y = (rect.bottom - rect.top - cy + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
  } else {
    Default();
  }

  // The preview of a module source is made anew on every paint.
  IconHandle preview;
  if (m_document.SelectedModulePreview(&preview)) SetPreviewIcon(std::move(preview));
}

HICON CGrabberDlg::OnQueryDragIcon() { return m_hIcon; }

void CGrabberDlg::OnSelChangeIconList() { Invalidate(TRUE); }

void CGrabberDlg::OnDestroy() {
  Default();
  m_document.Close();
  m_listEntries.reset();
  SetPreviewIcon(IconHandle());
  SetMessageOwner(nullptr);
  UnmarkRunningWindow(m_hWnd, AfxGetApp()->m_pszAppName);
}

bool CGrabberDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  struct Running {
    CGrabberDlg& dialog;
    explicit Running(CGrabberDlg& d) : dialog(d) { ++dialog.m_handlersRunning; }
    ~Running() {
      if (--dialog.m_handlersRunning > 0 || !dialog.m_startFileHeld || dialog.GetSafeHwnd() == nullptr) return;
      dialog.m_startFileHeld = false;
      dialog.PostMessage(WM_OPEN_START_FILE, 0, 0);
    }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
  } running(*this);
  return DispatchOwnMessages(message, wParam, lParam, result);
}

BOOL CGrabberDlg::OnCopyData(HWND, const COPYDATASTRUCT* data) {
  std::wstring file;
  if (!HandedFile(data, &file)) return FALSE;
  // To the front as the user left it, restored if minimised, with the box
  // the user was in (the about box, a message) on top.
  if (IsIconic()) ShowWindow(m_hWnd, SW_RESTORE);
  SetForegroundWindow(GetLastActivePopup(m_hWnd));
  // Opened once the later start has its answer: the opening may show
  // messages.
  if (!file.empty()) {
    m_strStartFile = file;
    PostMessage(WM_OPEN_START_FILE, 0, 0);
  }
  return TRUE;
}

void CGrabberDlg::SetPreviewIcon(IconHandle icon) {
  // The control takes the size of the icon it is given (and draws it at that
  // size): one larger than the box would cover the window's corner.
  IconHandle shown = FittedInto(std::move(icon), m_previewBox);
  SendDlgItemMessageW(m_hWnd, IDC_PREVIEW, STM_SETICON, reinterpret_cast<WPARAM>(shown.IsValid() ? shown.Get() : nullptr), 0);
  m_previewIcon = std::move(shown);
}
