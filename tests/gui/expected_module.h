// A module of the tests read by this process through kernel32: the
// expectations of what the window shows, saves and copies for its entries.
#pragma once

#include <windows.h>

#include <string>

#include "support/image_bytes.h"

class ExpectedModule {
 public:
  explicit ExpectedModule(const std::wstring& path)
      : m_module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ExpectedModule() {
    if (m_module) FreeLibrary(m_module);
  }
  ExpectedModule(const ExpectedModule&) = delete;
  ExpectedModule& operator=(const ExpectedModule&) = delete;

  Bytes Resource(int id, LPCWSTR type) const;
  // The icon of the group that best fits the display, as a preview shows it.
  HICON PreviewIcon(int group) const;
  // The block of the group's first image, as stored.
  Bytes FirstImage(int group) const;
  // What Copy places on the clipboard as CF_DIB for the group: its first
  // image's block, the height halved.
  Bytes ClipboardBlock(int group) const;

 private:
  HMODULE m_module;
};
