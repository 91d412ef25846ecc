// The document of one source file as the command holds it, over entries kept
// in the order of the window's sorted list.
#pragma once

#include "core/icon_document.h"
#include "core/sorted_entries.h"

class Source {
 public:
  Source() { document_.Attach(&entries_, nullptr); }
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

  IconDocument& Document() { return document_; }
  const SortedEntries& Entries() const { return entries_; }

 private:
  // Declared first: the document lets go of the entries' names while they
  // are still there.
  SortedEntries entries_;
  IconDocument document_;
};
