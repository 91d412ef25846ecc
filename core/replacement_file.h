// Writes a file so that a failure loses nothing, as an editor's safe save
// does. The new content goes to a file of its own beside the file the user
// named (through links, the file they name), made as a temporary file
// (FILE_ATTRIBUTE_TEMPORARY, CREATE_NEW: on Linux one with no name at all,
// which the platform's MoveFileExA or ReplaceFileA names, so that a save
// that dies leaves nothing), and takes its place only once every byte is
// written, keeping what the target is: ReplaceFileA gives the new file the
// old one's attributes and security. A target that must keep its identity
// (more names than one, what can't be given to a new file) or whose folder
// takes no new file is written in place instead, from the complete content,
// held by this save alone meanwhile and its old content kept beside it
// (where the folder takes a new file, with the target's permissions) as
// ".NAME.pictrove-backup", or for a long NAME a shorter name (save_names.h),
// so that a save killed halfway loses nothing; a copy found there is one
// such save's, cut off, and the save stops and says so rather than
// overwrite it. Until Commit succeeds the target is as it was; the
// destructor removes whatever was made for the save.
#pragma once

#include <string>

#include "platform/handles.h"

class ReplacementFile {
 public:
  ReplacementFile() = default;
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Makes the file that takes the new content; false when the target can't
  // be written (the user may not write it, its folder is missing, its path
  // is too long), with nothing changed.
  bool Create(const char* targetPath);
  // The same for a target that must stay the file it is when it is there:
  // a thumbnail service makes the file it names and reads the content back
  // through the handle it keeps open, where a new file would leave it none.
  // An empty one is written directly.
  bool CreateKeepingFile(const char* targetPath);
  // The same for a target the caller has just made, empty and exclusively
  // (`made`, taken when valid), as a writer into a folder of its own makes
  // its new names: the content goes into it directly, there being nothing
  // to keep; until Commit the destructor removes it. Without a valid `made`,
  // Create.
  bool Create(const char* targetPath, FileHandle* made);

  // Where the new content is written, from its start.
  HANDLE Handle() const { return file_.Get(); }

  // Puts the new content in the target's place; false when it can't, with
  // the target as it was (short of an error of the disk while it is written
  // in place).
  bool Commit();

 private:
  bool CreateBeside();
  bool CreateInTemporaryFolder();
  bool MoveToNewName();
  // Copies the old content of `target` (open, held alone) beside it.
  bool KeepOldContent(HANDLE target, std::string* backup);
  // The target, open to be rewritten and held by this save alone;
  // `readable` false when it can be written but not read.
  FileHandle OpenTargetAlone(bool* readable);
  bool WriteInPlace();

  std::string named_;    // the target as the user named it
  std::string target_;   // the file it names, through links
  std::string content_;  // the new content's file beside it; empty for one without a name
  FileHandle file_;
  bool exists_ = false;
  bool inPlace_ = false;
  bool linkToMissingFile_ = false;
  bool pending_ = false;
  bool made_ = false;  // the caller's new file, written directly
  bool wasEmpty_ = false;  // an empty target, written directly
};
