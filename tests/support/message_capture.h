// Takes every message the program shows, instead of a real box, for as long
// as the capture exists.
#pragma once

#include <string>
#include <vector>

#include "platform/message_box.h"

struct CapturedMessage {
  HWND owner;
  std::string text;
  std::string caption;
};

class MessageCapture {
 public:
  MessageCapture();
  ~MessageCapture();
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  const std::vector<CapturedMessage>& Messages() const;
  // The one message shown, or "" and a test failure when there were more or
  // none.
  std::string OnlyText() const;
  void Clear();

 private:
  MessageBoxHook previous_;
};
