// CGrabberDlg: the main window. The icon list on the left; the grab, save,
// copy, about and exit buttons and the preview on the right. It owns the
// current icon group, the module loaded for the list and the preview, and
// the preview's icon.
#pragma once

#include "controls/skin_button.h"
#include "core/module_handle.h"
#include "core/module_icons.h"
#include "framework/cstring.h"
#include "framework/dialog.h"
#include "framework/list_box.h"
#include "grabber_dlg_res.h"
#include "owners.h"

class CGrabberDlg : public CDialog {
 public:
  explicit CGrabberDlg(CWnd* pParent = nullptr);
  ~CGrabberDlg() override = default;

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

  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    static constexpr MessageMapEntry<CGrabberDlg> kMessageMap[] = {
        OnMessage<&CGrabberDlg::OnSysCommand>(WM_SYSCOMMAND),
        OnMessage<&CGrabberDlg::OnPaint>(WM_PAINT),
        OnMessage<&CGrabberDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
        OnCommand<&CGrabberDlg::OnSelChangeIconList>(LBN_SELCHANGE, IDC_ICON_LIST),
        OnMessage<&CGrabberDlg::OnDestroy>(WM_DESTROY),
        OnCommand<&CGrabberDlg::OnSaveButton>(BN_CLICKED, IDC_SAVE_BUTTON),
        OnCommand<&CGrabberDlg::OnAboutButton>(BN_CLICKED, IDC_ABOUT_BUTTON),
        OnCommand<&CGrabberDlg::OnCopyButton>(BN_CLICKED, IDC_COPY_BUTTON),
    };
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result) ||
           CDialog::OnWndMsg(message, wParam, lParam, result);
  }

 private:
  // A module that the Open command loaded is held, whatever its extension:
  // the list's item data name group-icon resources of m_hModule.
  bool IsModuleSource() const;
  // Shows the preview of group-icon resource `name` of the held module.
  void ShowModulePreview(ResourceName name);
  // Gives the preview control `icon` (or none; the value 1 counts as none);
  // the window owns it from now on, and the icon shown before is destroyed.
  void SetPreviewIcon(HICON icon);
  void RunAboutBox();

  // The Open command's branches and its tail (grabber_commands.cpp). A
  // branch that returns false has shown why, and the tail does not run.
  void OpenIconFile();
  void OpenBitmapFile();
  bool OpenModule();
  void FinishOpen();
  void EmptyList();
  // Save and Copy work on the selected entry of a module source, read afresh
  // into the current group; other sources keep the current group.
  void ReadSelectedEntry();
  // Puts `group` (or none) in the place of the current group, releasing it.
  void ReplaceGroup(IconGroup* group);
  // A current group whose first record holds a block.
  bool HasFirstImage() const;
  void ShowError(const char* text) const;

  IconGroupPtr m_pIconGroup;
  // The current group is the one made when the window opened: it has room
  // for a first record although it counts no image yet.
  bool m_bStartingGroup = false;
  ModuleHandle m_hModule;
  CString m_strFilePath;
  CString m_strFileExt;
  CString m_strSavePath;
  CString m_strSaveExt;
  CSkinButton m_btnGrab;
  CSkinButton m_btnExit;
  CSkinButton m_btnSave;
  CSkinButton m_btnCopy;
  CSkinButton m_btnAbout;
  CListBox m_listIcons;
  HICON m_hIcon;  // shared resource icon, never destroyed
  IconPtr m_previewIcon;
};
