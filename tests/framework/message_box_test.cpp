// Real message boxes, shown and answered: their texts read right in any code
// page, and the dialog colours reach them. Needs a display; the GUI test
// script runs these with PICTROVE_GUI_DISPLAY set.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "framework/dialog_colors.h"
#include "platform/message_box.h"

namespace {

struct SeenBox {
  std::wstring caption;
  std::wstring text;
  COLORREF ground = CLR_INVALID;
  bool found = false;
};

// Waits for the box of this process, reads it, and presses its OK button.
void AnswerBox(const wchar_t* caption, SeenBox* seen) {
  for (int i = 0; i < 1200 && !seen->found; ++i) {  // a minute at most
    HWND box = FindWindowW(L"#32770", caption);
    if (box == nullptr) {
      Sleep(50);
      continue;
    }
    Sleep(300);  // let it paint
    seen->found = true;
    wchar_t text[256] = {};
    GetWindowTextW(box, text, 256);
    seen->caption = text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t className[16] = {};
      GetClassNameW(child, className, 16);
      if (lstrcmpiW(className, L"Static") != 0) continue;
      GetWindowTextW(child, text, 256);
      if (text[0] != L'\0') seen->text = text;
    }
    POINT corner{2, 2};
    ClientToScreen(box, &corner);
    HDC screen = GetDC(nullptr);
    seen->ground = GetPixel(screen, corner.x, corner.y);
    ReleaseDC(nullptr, screen);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
}

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("PICTROVE_GUI_DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
    ASSERT_TRUE(InstallDialogColors(RGB(160, 180, 220), RGB(0, 0, 0)));
  }
  void TearDown() override { RemoveDialogColors(); }
};

TEST_F(MessageBoxTest, ProgramTextAndCaptionOnTheDialogGround) {
  SeenBox seen;
  std::thread answer(AnswerBox, L"错误", &seen);
  int result = ShowMessageBox(nullptr, "此文件中没有图标资源!", "错误", MB_OK, kTextWithProgramCaption);
  answer.join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(seen.caption, L"错误");
  EXPECT_EQ(seen.text, L"此文件中没有图标资源!");
  EXPECT_EQ(seen.ground, RGB(160, 180, 220)) << std::hex << seen.ground;
}

TEST_F(MessageBoxTest, PathCaptionAndPathLedText) {
  SeenBox seen;
  std::thread answer(AnswerBox, L"C:\\icons\\a.ico", &seen);
  ShowMessageBox(nullptr, "不是图标文件!", "C:\\icons\\a.ico", MB_OK);
  answer.join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, L"不是图标文件!");

  SeenBox mixed;
  std::thread answer2(AnswerBox, L"错误", &mixed);
  const char text[] = "C:\\a.exe文件载入错误，必须是WIN32的文件!";
  ShowMessageBox(nullptr, text, "错误", MB_OK, MessageEncoding{8, false});
  answer2.join();
  ASSERT_TRUE(mixed.found);
  EXPECT_EQ(mixed.text, L"C:\\a.exe文件载入错误，必须是WIN32的文件!");
}

}  // namespace
