#include "message_capture.h"

#include <gtest/gtest.h>

namespace {

std::vector<CapturedMessage>& Captured() {
  static std::vector<CapturedMessage> messages;
  return messages;
}

int Capture(HWND owner, const char* text, const char* caption, UINT) {
  Captured().push_back({owner, text ? text : "", caption ? caption : ""});
  return IDOK;
}

}  // namespace

MessageCapture::MessageCapture() : previous_(SetMessageBoxHook(Capture)) { Captured().clear(); }

MessageCapture::~MessageCapture() { SetMessageBoxHook(previous_); }

const std::vector<CapturedMessage>& MessageCapture::Messages() const { return Captured(); }

std::string MessageCapture::OnlyText() const {
  EXPECT_EQ(1u, Captured().size()) << "messages shown";
  return Captured().size() == 1 ? Captured()[0].text : std::string();
}

void MessageCapture::Clear() { Captured().clear(); }
