#include "message_box.h"

namespace {
MessageBoxHook g_hook = nullptr;
HWND g_owner = nullptr;
}  // namespace

// Defined per platform: the real box on Windows, stderr on POSIX.
int PlatformMessageBox(HWND owner, const char* text, const char* caption, UINT type, MessageEncoding encoding);

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
  MessageBoxHook previous = g_hook;
  g_hook = hook;
  return previous;
}

void SetMessageOwner(HWND owner) { g_owner = owner; }

HWND MessageOwner() { return g_owner; }

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return ShowMessageBox(owner, text, caption, type, kTextWithPathCaption);
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type, MessageEncoding encoding) {
  if (g_hook) return g_hook(owner, text, caption, type);
  return PlatformMessageBox(owner, text, caption, type, encoding);
}
