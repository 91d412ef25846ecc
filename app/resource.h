// Resources the whole program shares: the application icon, the button
// strip, and the about item of the system menu. Read by the resource
// compiler as well as the compiler: #defines only.
#pragma once

#define IDR_MAINFRAME 128     // the application icon
#define IDB_BUTTON_SKIN 129   // the strip of five button faces
#define IDS_ABOUTBOX 101      // the system menu's about item
#define IDM_ABOUTBOX 0x0010   // its command
