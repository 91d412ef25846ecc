// The document of one source file as the command holds it: attached to a
// native list window that sorts its entries as the window's list does.
#pragma once

#include <string>

#include "core/icon_document.h"

class Source {
 public:
  Source();
  ~Source();
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

  IconDocument& Document() { return document_; }

  // Opens the file as the Open command does, with its messages; false when
  // nothing is listed.
  bool Open(const std::string& path);

 private:
  HWND listWindow_;
  IconDocument document_;
};
