// Message maps: each window class keeps, inside its own definition, a table
// whose entries bind one message (for WM_COMMAND also one notification code
// and one control id) to one handler. OnWndMsg walks the class's table and
// then its base's.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

template <typename Window>
struct MessageMapEntry {
  UINT message;
  UINT code;  // WM_COMMAND only: the notification code
  UINT id;    // WM_COMMAND only: the control id
  LRESULT (*invoke)(Window& window, WPARAM wParam, LPARAM lParam);
};

namespace message_map_detail {

template <typename Method>
struct MethodClass;
template <typename R, typename C, typename... Args>
struct MethodClass<R (C::*)(Args...)> {
  using Type = C;
};

// One adapter per handler signature the program uses.
template <typename C>
LRESULT Call(C& window, void (C::*handler)(), WPARAM, LPARAM) {
  (window.*handler)();
  return 0;
}
template <typename C>
LRESULT Call(C& window, void (C::*handler)(UINT, LPARAM), WPARAM wParam, LPARAM lParam) {
  (window.*handler)(static_cast<UINT>(wParam), lParam);
  return 0;
}
template <typename C>
LRESULT Call(C& window, HICON (C::*handler)(), WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>((window.*handler)());
}
template <typename C>
LRESULT Call(C& window, BOOL (C::*handler)(HDC), WPARAM wParam, LPARAM) {
  return (window.*handler)(reinterpret_cast<HDC>(wParam));
}
template <typename C>
LRESULT Call(C& window, void (C::*handler)(HDROP), WPARAM wParam, LPARAM) {
  (window.*handler)(reinterpret_cast<HDROP>(wParam));
  return 0;
}

template <typename C>
LRESULT Call(C& window, void (C::*handler)(HWND, LPARAM), WPARAM wParam, LPARAM lParam) {
  (window.*handler)(reinterpret_cast<HWND>(wParam), lParam);
  return 0;
}
template <typename C>
LRESULT Call(C& window, BOOL (C::*handler)(HWND, const COPYDATASTRUCT*), WPARAM wParam, LPARAM lParam) {
  return (window.*handler)(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
}

template <auto Handler>
LRESULT Invoke(typename MethodClass<decltype(Handler)>::Type& window, WPARAM wParam, LPARAM lParam) {
  return Call(window, Handler, wParam, lParam);
}

}  // namespace message_map_detail

template <auto Handler>
using HandlerClass = typename message_map_detail::MethodClass<decltype(Handler)>::Type;

template <auto Handler>
constexpr MessageMapEntry<HandlerClass<Handler>> OnMessage(UINT message) {
  return {message, 0, 0, &message_map_detail::Invoke<Handler>};
}

template <auto Handler>
constexpr MessageMapEntry<HandlerClass<Handler>> OnCommand(UINT code, UINT id) {
  return {WM_COMMAND, code, id, &message_map_detail::Invoke<Handler>};
}

// True when an entry took the message; `result` is then the handler's.
template <typename Window, std::size_t N>
bool DispatchMessageMap(Window& window, const MessageMapEntry<Window> (&map)[N], UINT message, WPARAM wParam,
                        LPARAM lParam, LRESULT& result) {
  for (const MessageMapEntry<Window>& entry : map) {
    if (entry.message != message) continue;
    if (message == WM_COMMAND && (entry.code != HIWORD(wParam) || entry.id != LOWORD(wParam))) continue;
    result = entry.invoke(window, wParam, lParam);
    return true;
  }
  return false;
}
