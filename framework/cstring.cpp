#include "cstring.h"

#include <windows.h>

CString& CString::MakeLower() {
  for (size_t i = 0; i < m_str.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(m_str[i]);
    if (IsDBCSLeadByte(c) && i + 1 < m_str.size()) {
      ++i;
    } else if (c >= 'A' && c <= 'Z') {
      m_str[i] = static_cast<char>(c - 'A' + 'a');
    }
  }
  return *this;
}

CString CString::ExtensionOf(const char* path) {
  if (path == nullptr) return CString();
  const char* dot = nullptr;
  for (const char* p = path; *p != '\0'; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (IsDBCSLeadByte(c) && p[1] != '\0') {
      ++p;
    } else if (c == '\\' || c == '/' || c == ':') {
      dot = nullptr;
    } else if (c == '.') {
      dot = p;
    }
  }
  return dot ? CString(dot + 1) : CString();
}
