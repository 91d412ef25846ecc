// The real message box. Boxes are shown through the Unicode function, so that
// the program's GBK texts and the paths in the system's code page both read
// right whatever that code page is.
#include <windows.h>

#include <string>

#include "platform/message_box.h"

namespace {

constexpr UINT kProgramCodePage = 936;  // GBK

void AppendWide(std::wstring& out, const char* bytes, int length, UINT codePage) {
  if (length <= 0) return;
  int wideLength = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
  if (wideLength <= 0) return;
  size_t start = out.size();
  out.resize(start + static_cast<size_t>(wideLength));
  MultiByteToWideChar(codePage, 0, bytes, length, &out[start], wideLength);
}

}  // namespace

int PlatformMessageBox(HWND owner, const char* text, const char* caption, UINT type, MessageEncoding encoding) {
  if (text == nullptr) text = "";
  if (caption == nullptr) caption = "";
  int textLength = lstrlenA(text);
  int pathLength = static_cast<int>(encoding.textPathBytes) < textLength ? static_cast<int>(encoding.textPathBytes)
                                                                          : textLength;
  std::wstring wideText;
  AppendWide(wideText, text, pathLength, CP_ACP);
  AppendWide(wideText, text + pathLength, textLength - pathLength, kProgramCodePage);
  std::wstring wideCaption;
  AppendWide(wideCaption, caption, lstrlenA(caption), encoding.captionIsPath ? CP_ACP : kProgramCodePage);
  return MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), type);
}
