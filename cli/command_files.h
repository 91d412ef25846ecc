// The command's one file API: every file call of its own, besides what the
// core's readers and writers do through the platform's Win32 calls, over the
// platform's posix layer (paths of any length). Failures answer errno's
// value, for the system's own words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/handles.h"

namespace command_files {

enum class Type { kRegular, kFolder, kOther };  // kOther: a named pipe, a device, a socket

struct Facts {
  Type type = Type::kOther;
  std::uint64_t length = 0;
};

// What `path` names, through links or (`throughLinks` false) the name
// itself: 0, or the errno of the failed call.
int Inspect(const std::string& path, Facts* facts, bool throughLinks = true);

// Whether the file is there for this user to read.
bool Readable(const std::string& path);

// The path of what `folder` holds under `name` as Windows finds it, whatever
// the case of its letters (a copy of Windows' folders on Linux keeps each
// name's own: Foo.DLL beside foo.dll.mun); empty when it holds none.
std::string FindIgnoringCase(const std::string& folder, const std::string& name);

// Reads at most `size` bytes from the start of the file, never waiting on a
// named pipe: 0, or the errno of the failed call (EISDIR for a folder). Only
// a regular file is read; `facts` says what the file is.
int ReadStart(const std::string& path, std::uint8_t* bytes, std::size_t size, std::size_t* got, Facts* facts);

// Makes the folder and its parents, as mkdir -p does: 0, or the errno of the
// failed call (ENOTDIR where a file has the folder's name).
int MakeFolders(const std::string& folder);

// Makes the file new and empty, open for writing, never through a link (a
// name that is taken is refused): invalid when it can't be, `taken` saying
// whether the name was. The platform's last error says why.
FileHandle CreateNew(const std::string& path, bool* taken);

// Removes the name when it is an empty regular file (not a link).
void RemoveIfEmpty(const std::string& path);

// Gives the file `from` the name `to` in its place, replacing what is there:
// a link itself, never the file it leads to. 0, or the errno of the failed
// call.
int MoveOver(const std::string& from, const std::string& to);

// Removes the name, whatever it is but a folder (a link itself): 0, or the
// errno of the failed call.
int Remove(const std::string& path);

// Whether `target` is written as a stream rather than as a file: "-"
// (standard output), or a named pipe or a device that is there.
bool IsStream(const std::string& target);

// A folder of the command's own in $TMPDIR (else /tmp), for a file made
// whole there and then sent to a stream; removed with that file when
// destroyed.
class ScratchFolder {
 public:
  ScratchFolder() = default;
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // 0, or the errno of the failed call; Path() then names what was tried.
  int Make();
  const std::string& Path() const { return path_; }

  // Sends the file `name` of the folder to the stream `target` ("-":
  // standard output, else a named pipe or a device, waited on until a reader
  // takes it), having first removed the file and the folder, so that nothing
  // is left however the process ends: 0 (also when there is no such file,
  // nothing being sent), or the errno of the failed call: EPIPE where the
  // reader went away, whose SIGPIPE is ignored from then on.
  int Send(const std::string& name, const std::string& target);

 private:
  std::string path_;
  bool made_ = false;
};

}  // namespace command_files
