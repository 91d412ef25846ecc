// A window with a sorted list box of identifier 1000, as the main window has:
// a real one under Windows (needs a display), the native list otherwise.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

class TestListWindow {
 public:
  TestListWindow();
  ~TestListWindow();
  TestListWindow(const TestListWindow&) = delete;
  TestListWindow& operator=(const TestListWindow&) = delete;

  HWND Window() const { return window_; }
  HWND List() const;
  std::vector<std::string> Texts() const;
  std::vector<LRESULT> ItemData() const;

 private:
  HWND window_ = nullptr;
};
