#include "grabber_dlg.h"

#include <utility>

#include "about_dlg.h"
#include "framework/gdi.h"
#include "framework/win_app.h"
#include "resource.h"
#include "skin.h"

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

  m_document.Attach(m_hWnd, AfxGetResourceHandle());

  // Files dropped on the window open as if chosen in the open dialog.
  DragAcceptFiles(m_hWnd, TRUE);
  // The start file opens once the window shows, so that its messages have
  // their owner on the screen.
  if (!m_strStartFile.IsEmpty()) PostMessage(WM_OPEN_START_FILE, 0, 0);
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
  SetPreviewIcon(IconHandle());
  SetMessageOwner(nullptr);
}

void CGrabberDlg::SetPreviewIcon(IconHandle icon) {
  SendDlgItemMessageW(m_hWnd, IDC_PREVIEW, STM_SETICON, reinterpret_cast<WPARAM>(icon.IsValid() ? icon.Get() : nullptr), 0);
  m_previewIcon = std::move(icon);
}
