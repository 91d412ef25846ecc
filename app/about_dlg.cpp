#include "about_dlg.h"

#include "resource.h"
#include "skin.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) { DDX_Control(pDX, IDC_ABOUT_CLOSE, m_btnOK); }

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  ApplyButtonSkin(m_btnOK);
  return TRUE;
}

void CAboutDlg::OnCloseButton() { SendMessage(WM_CLOSE, 0, 0); }
