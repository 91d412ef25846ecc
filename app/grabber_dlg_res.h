// The main window's dialog template and its controls. #defines only: the
// resource compiler reads this too.
#pragma once

#define IDD_PICTROVE_DIALOG 102
#define IDC_GRAB_BUTTON 1    // IDOK: the default button
#define IDC_EXIT_BUTTON 2    // IDCANCEL
#define IDC_ABOUT_BUTTON 3
#define IDC_ICON_LIST 1000
#define IDC_SAVE_BUTTON 1001
#define IDC_COPY_BUTTON 1002
#define IDC_PREVIEW 1003
