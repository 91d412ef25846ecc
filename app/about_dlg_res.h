// The about box's dialog template and its close button. #defines only.
#pragma once

#define IDD_ABOUTBOX 100
#define IDC_ABOUT_CLOSE 1004
