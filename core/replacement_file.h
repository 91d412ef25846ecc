// Writes a file so that a failure loses nothing: the bytes go to a temporary
// file beside the target, which replaces the target only once every byte is
// written and the file is closed. Until Commit succeeds the target is as it
// was, and the destructor removes the temporary file.
#pragma once

#include "platform/handles.h"

class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Creates the temporary file in the target's folder; false when the path is
  // too long or the folder can't take a new file.
  bool Create(const char* targetPath);

  HANDLE Handle() const { return file_.Get(); }

  // Closes the temporary file and moves it over the target.
  bool Commit();

 private:
  FileHandle file_;
  char target_[MAX_PATH] = {};
  char temp_[MAX_PATH] = {};
  bool pending_ = false;
};
