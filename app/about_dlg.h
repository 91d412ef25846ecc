// CAboutDlg: the about box, run modally from the main window's about button
// and from its system-menu item.
#pragma once

#include "about_dlg_res.h"
#include "controls/skin_button.h"
#include "framework/dialog.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();
  ~CAboutDlg() override = default;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnCloseButton();

  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    static constexpr MessageMapEntry<CAboutDlg> kMessageMap[] = {
        OnCommand<&CAboutDlg::OnCloseButton>(BN_CLICKED, IDC_ABOUT_CLOSE),
    };
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result) ||
           CDialog::OnWndMsg(message, wParam, lParam, result);
  }

 private:
  CSkinButton m_btnOK;
};
