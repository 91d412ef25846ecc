// The framework's narrow string: GBK program texts and paths in the system's
// code page, as the dialogs and commands hold them.
#pragma once

#include <string>

class CString {
 public:
  CString() = default;
  CString(const char* text) : m_str(text ? text : "") {}  // NOLINT: converts like the framework's
  CString(std::string text) : m_str(std::move(text)) {}  // NOLINT

  operator const char*() const { return m_str.c_str(); }  // NOLINT
  const char* GetString() const { return m_str.c_str(); }
  int GetLength() const { return static_cast<int>(m_str.size()); }
  bool IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }

  // Lower-cases the ASCII letters and leaves double-byte characters of the
  // system's code page whole, so that a trail byte is never changed.
  CString& MakeLower();

  // The text behind the last "." of the file-name part of a path (the part
  // behind the last "\", "/" or ":"), read in the system's code page; empty
  // when the name has no ".".
  static CString ExtensionOf(const char* path);

  friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

 private:
  std::string m_str;
};
