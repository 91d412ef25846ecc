// CGrabberDlg: the main window. The icon list on the left; the grab, save,
// copy, about and exit buttons and the preview on the right. It owns the
// document of the open file (with its current icon group and module) and the
// preview's icon.
#pragma once

#include <optional>
#include <string>

#include "controls/skin_button.h"
#include "platform/handles.h"
#include "core/icon_document.h"
#include "framework/cstring.h"
#include "framework/dialog.h"
#include "framework/list_box.h"
#include "grabber_dlg_res.h"
#include "list_box_entries.h"

// Posted to itself to open the file named from outside (at start, or handed
// over by a later start) once it can show its messages.
constexpr UINT WM_OPEN_START_FILE = WM_APP + 1;

class CGrabberDlg : public CDialog {
 public:
  explicit CGrabberDlg(CWnd* pParent = nullptr);
  ~CGrabberDlg() override = default;

  // A file to open as soon as the window shows ("Open with", scripts), as
  // the user named it; none when empty. Set before the window is made.
  void SetStartFile(const std::wstring& name) { m_strStartFile = name; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // The grab button and Enter: the Open command (grabber_commands.cpp).
  // Never ends the dialog.
  void OnOK() override;

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HICON OnQueryDragIcon();
  void OnSelChangeIconList();
  void OnDestroy();
  void OnSaveButton();
  void OnAboutButton();
  void OnCopyButton();
  void OnDropFiles(HDROP hDropInfo);
  void OnOpenStartFile();
  BOOL OnCopyData(HWND sender, const COPYDATASTRUCT* data);
  // The list's context menu (right button, Shift+F10, the menu key): the
  // selected entry's images, each copied when chosen, and saving one of them
  // (grabber_commands.cpp).
  void OnContextMenu(HWND window, LPARAM position);
  void OnDblClkIconList();

  // Every message of the window, counting how deeply its handlers are
  // nested (grabber_dlg.cpp).
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool DispatchOwnMessages(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    static constexpr MessageMapEntry<CGrabberDlg> kMessageMap[] = {
        OnMessage<&CGrabberDlg::OnSysCommand>(WM_SYSCOMMAND),
        OnMessage<&CGrabberDlg::OnPaint>(WM_PAINT),
        OnMessage<&CGrabberDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
        OnCommand<&CGrabberDlg::OnSelChangeIconList>(LBN_SELCHANGE, IDC_ICON_LIST),
        OnMessage<&CGrabberDlg::OnDestroy>(WM_DESTROY),
        OnCommand<&CGrabberDlg::OnSaveButton>(BN_CLICKED, IDC_SAVE_BUTTON),
        OnCommand<&CGrabberDlg::OnAboutButton>(BN_CLICKED, IDC_ABOUT_BUTTON),
        OnCommand<&CGrabberDlg::OnCopyButton>(BN_CLICKED, IDC_COPY_BUTTON),
        OnMessage<&CGrabberDlg::OnDropFiles>(WM_DROPFILES),
        OnMessage<&CGrabberDlg::OnOpenStartFile>(WM_OPEN_START_FILE),
        OnMessage<&CGrabberDlg::OnCopyData>(WM_COPYDATA),
        OnMessage<&CGrabberDlg::OnContextMenu>(WM_CONTEXTMENU),
        OnCommand<&CGrabberDlg::OnDblClkIconList>(LBN_DBLCLK, IDC_ICON_LIST),
    };
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result) ||
           CDialog::OnWndMsg(message, wParam, lParam, result);
  }

  // Gives the preview control `icon` (or none); the window owns it from now
  // on, and the icon shown before is destroyed.
  void SetPreviewIcon(IconHandle icon);
  void RunAboutBox();
  // The Open command once a file is chosen: in the open dialog, on the
  // command line or by a drop. The path is a full one.
  void OpenFile(const char* path);
  // The same for a file named from outside the window, in any characters
  // (file_choice.h, ReachableName).
  void OpenNamedFile(const std::wstring& name);
  // The Save command with the save dialog's default extension and filter, for
  // the whole entry or (for .bmp and .png) its image `image`.
  void SaveSelectedEntry(const char* defaultExt, const char* filter, int image);

  // The open file, the current group and the module held for the list and
  // the preview (grabber_commands.cpp runs its commands).
  IconDocument m_document;
  // The icon list as the document's entries, from the window's start.
  std::optional<ListBoxEntries> m_listEntries;
  std::wstring m_strStartFile;
  // Handlers of this window running now, one inside the other while a modal
  // loop (a file dialog, a message box, the about box, a menu) that one of
  // them runs dispatches further messages.
  int m_handlersRunning = 0;
  // A file handed over while a modal loop ran, opened once none runs.
  bool m_startFileHeld = false;
  CString m_strSavePath;
  CString m_strSaveExt;
  CSkinButton m_btnGrab;
  CSkinButton m_btnExit;
  CSkinButton m_btnSave;
  CSkinButton m_btnCopy;
  CSkinButton m_btnAbout;
  CListBox m_listIcons;
  HICON m_hIcon;  // shared resource icon, never destroyed
  IconHandle m_previewIcon;
  SIZE m_previewBox{0, 0};  // the preview control's size in the template, in pixels
};
