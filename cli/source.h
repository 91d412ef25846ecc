// The document of one source file as the command holds it, over entries kept
// in the resource directory's order, Windows' icon index.
#pragma once

#include <cstdint>
#include <vector>

#include "core/icon_document.h"
#include "core/held_entries.h"

class Source {
 public:
  // A group with missing images is read without them, for the command to
  // write the rest and name what is missing. The file is read once: a
  // module's groups come from the module its Open loaded.
  Source() {
    document_.Attach(&entries_, nullptr);
    document_.CollectMissingImages(&missing_);
    document_.ReadFromHeldModule();
  }
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

  IconDocument& Document() { return document_; }
  const IconDocument& Document() const { return document_; }
  const HeldEntries& Entries() const { return entries_; }
  // The identifiers of the missing images of the groups read since it was
  // last emptied.
  std::vector<std::uint16_t>& MissingImages() { return missing_; }

 private:
  // Declared first: the document lets go of the entries' names while they
  // are still there.
  HeldEntries entries_{EntryOrder::kAdded};
  std::vector<std::uint16_t> missing_;
  IconDocument document_;
};
