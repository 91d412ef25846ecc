#include "replacement_file.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "file_io.h"
#include "messages.h"
#include "save_names.h"

namespace {

constexpr int kNameAttempts = 16;
constexpr DWORD kCopyBytes = 64 * 1024;

// A new file of our own beside `path`, made exclusively under the name
// `made`, temporary until it is given its place, with the attributes (on
// Linux the permissions) of the file `like` holds when there is one; invalid
// when the folder takes none. A name that is taken (by the user, or a
// left-over of a run that died) moves on to the next.
FileHandle CreateFileBeside(const std::string& path, std::string* made, HANDLE like = nullptr) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string candidate = PathBeside(path);
    if (candidate.empty()) break;
    if (SameName(candidate, path)) continue;
    FileHandle file(CreateFileA(candidate.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY, like));
    if (file.IsValid()) {
      *made = candidate;
      return file;
    }
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return FileHandle();
}

// Made temporary so that it may stay in memory while it is written; a file
// that stays must not keep the mark, which lets the system hold its content
// back from the disk and backups pass it over.
bool ClearTemporaryMark(const std::string& path) {
  return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
}

// The file an open handle is, through every link, as a path the file calls
// take.
bool FinalPath(HANDLE file, std::string* path) {
  std::vector<char> buffer(MAX_PATH);
  DWORD length = GetFinalPathNameByHandleA(file, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = GetFinalPathNameByHandleA(file, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
  }
  if (length == 0 || length >= buffer.size()) return false;
  std::string found(buffer.data(), length);
  // Windows gives "\\?\C:\..." and "\\?\UNC\server\share\...".
  if (found.compare(0, 8, "\\\\?\\UNC\\") == 0) {
    found = "\\\\" + found.substr(8);
  } else if (found.compare(0, 4, "\\\\?\\") == 0) {
    found.erase(0, 4);
  }
  *path = found;
  return true;
}

bool CopyContent(HANDLE from, HANDLE to, std::uint64_t length) {
  HeapPtr<BYTE> buffer(static_cast<BYTE*>(std::malloc(kCopyBytes)));
  if (!buffer) return false;
  while (length > 0) {
    DWORD chunk = length < kCopyBytes ? static_cast<DWORD>(length) : kCopyBytes;
    if (!ReadExactly(from, buffer.get(), chunk) || !WriteExactly(to, buffer.get(), chunk)) return false;
    length -= chunk;
  }
  return true;
}

// Ends an open file at `length`.
bool SetFileLength(HANDLE file, std::uint64_t length) {
  return SetFilePosition(file, length) && SetEndOfFile(file);
}

}  // namespace

ReplacementFile::~ReplacementFile() {
  if (!pending_) return;
  if (wasEmpty_) SetFileLength(file_.Get(), 0);
  file_.Close();
  if (made_) DeleteFileA(named_.c_str());
  if (!content_.empty()) DeleteFileA(content_.c_str());
}

bool ReplacementFile::Create(const char* targetPath) {
  if (pending_ || !PathFits(targetPath)) return false;
  named_ = targetPath;
  target_ = named_;
  {
    // What the target is: whether the user may write it, how many names it
    // has and where it is.
    FileHandle existing(CreateFileA(targetPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (existing.IsValid()) {
      BY_HANDLE_FILE_INFORMATION information;
      if (!GetFileInformationByHandle(existing.Get(), &information)) return false;
      exists_ = true;
      inPlace_ = information.nNumberOfLinks > 1;
      // Replaced where it is; a link that leads where no name fits beside
      // is written through instead.
      std::string final;
      DWORD attributes = GetFileAttributesA(targetPath);
      if (FinalPath(existing.Get(), &final) && RoomBeside(final)) {
        target_ = final;
      } else if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        inPlace_ = true;
      }
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
      return false;
    } else {
      // A name with no file behind it is a link to a missing file, which is
      // made through the link.
      linkToMissingFile_ = GetFileAttributesA(targetPath) != INVALID_FILE_ATTRIBUTES;
      inPlace_ = linkToMissingFile_;
    }
  }
  if (!CreateBeside()) {
    // A folder that takes no new file: a file that is there can still be
    // written in place, from content kept elsewhere meanwhile.
    if (!exists_ && !linkToMissingFile_) return false;
    inPlace_ = true;
    if (!CreateInTemporaryFolder()) return false;
  }
  pending_ = true;
  return true;
}

bool ReplacementFile::Create(const char* targetPath, FileHandle* made) {
  if (made == nullptr || !made->IsValid()) return Create(targetPath);
  if (pending_ || targetPath == nullptr) return false;
  named_ = targetPath;
  target_ = named_;
  file_ = std::move(*made);
  made_ = true;
  pending_ = true;
  return true;
}

bool ReplacementFile::CreateKeepingFile(const char* targetPath) {
  if (pending_ || !PathFits(targetPath)) return false;
  // An empty file (a thumbnail service's, made for the answer) holds
  // nothing to lose: the content goes straight into it, and a save that
  // fails empties it again.
  FileHandle existing(CreateFileA(targetPath, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  std::uint64_t length = 0;
  if (existing.IsValid() && FileLength(existing.Get(), &length) && length == 0) {
    named_ = targetPath;
    target_ = named_;
    file_ = std::move(existing);
    wasEmpty_ = true;
    pending_ = true;
    return true;
  }
  existing.Close();
  if (!Create(targetPath)) return false;
  inPlace_ = inPlace_ || exists_;
  return true;
}

bool ReplacementFile::CreateBeside() {
  file_ = CreateFileBeside(target_, &content_);
  return file_.IsValid();
}

bool ReplacementFile::CreateInTemporaryFolder() {
  std::vector<char> folder(GetTempPathA(0, nullptr) + 1);
  DWORD length = GetTempPathA(static_cast<DWORD>(folder.size()), folder.data());
  if (length == 0 || length >= folder.size()) return false;
  std::string anyName = std::string(folder.data(), length) + "x";
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string path = PathBeside(anyName);
    if (path.empty()) return false;
    file_ = FileHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (file_.IsValid()) return true;
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

bool ReplacementFile::Commit() {
  if (!pending_) return false;
  if (made_ || wasEmpty_) {
    if (!file_.Close()) return false;
    pending_ = false;
    return true;
  }
  if (!inPlace_) {
    if (!file_.Close() || !ClearTemporaryMark(content_)) return false;
    BOOL replaced = exists_ ? ReplaceFileA(target_.c_str(), content_.c_str(), nullptr, 0, nullptr, nullptr)
                            : MoveToNewName();
    if (replaced) {
      pending_ = false;
      return true;
    }
    // What the target is can't be given to a new file (it is another user's,
    // say): the content is written into it instead.
    if (!exists_) return false;
    file_ = FileHandle(CreateFileA(content_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_.IsValid()) return false;
  }
  if (!WriteInPlace()) return false;
  file_.Close();
  if (!content_.empty()) DeleteFileA(content_.c_str());
  pending_ = false;
  return true;
}

bool ReplacementFile::MoveToNewName() {
  // Where nothing is in the way, one step that can't replace (a file made
  // meanwhile is then replaced, as one that was there would have been).
  if (MoveFileExA(content_.c_str(), target_.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  DWORD error = GetLastError();
  if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
  return MoveFileExA(content_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool ReplacementFile::KeepOldContent(HANDLE target, std::string* backup) {
  const BackupName name = BackupPathOf(target_);
  if (name.path.empty()) return true;
  const Message leftOver = name.shortened ? Message::kInterruptedSaveShortBackup : Message::kInterruptedSaveBackup;
  // One there is the old content of a save that was cut off, the target
  // perhaps torn since (a save under way holds the target, as this one now
  // does, as long as its copy is there): the user decides what becomes of it.
  if (GetFileAttributesA(name.path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    ShowMessage(leftOver, named_.c_str());
    SetLastError(ERROR_ALREADY_EXISTS);
    return false;
  }
  std::uint64_t length = 0;
  // Nothing to lose, or nothing that can be read to keep.
  if (!FileLength(target, &length) || length == 0 || !SetFilePosition(target, 0)) return true;
  std::string made;
  // As private as the target: it holds the same content.
  FileHandle copy = CreateFileBeside(target_, &made, target);
  // A folder that takes no new file keeps no copy either.
  if (!copy.IsValid()) return true;
  bool kept = CopyContent(target, copy.Get(), length) && FlushFileBuffers(copy.Get()) && copy.Close() &&
              ClearTemporaryMark(made) && MoveFileExA(made.c_str(), name.path.c_str(), MOVEFILE_WRITE_THROUGH);
  if (kept) {
    *backup = name.path;
    return true;
  }
  const DWORD error = GetLastError();
  copy.Close();
  DeleteFileA(made.c_str());
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) ShowMessage(leftOver, named_.c_str());
  SetLastError(error);
  return false;
}

FileHandle ReplacementFile::OpenTargetAlone(bool* readable) {
  const DWORD disposition = linkToMissingFile_ ? OPEN_ALWAYS : OPEN_EXISTING;
  *readable = true;
  FileHandle target(CreateFileA(named_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (target.IsValid() || GetLastError() != ERROR_ACCESS_DENIED) return target;
  // A file the user may write but not read: its old content can't be kept.
  *readable = false;
  return FileHandle(CreateFileA(named_.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
}

bool ReplacementFile::WriteInPlace() {
  std::uint64_t length = 0;
  if (!FileLength(file_.Get(), &length) || !SetFilePosition(file_.Get(), 0)) return false;
  // Held alone from here until its old content's copy is gone again, so that
  // another save never finds that copy while this one is under way.
  bool readable = true;
  FileHandle target = OpenTargetAlone(&readable);
  if (!target.IsValid()) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) ShowMessage(Message::kTargetInUse, named_.c_str());
    // Some ReplaceFileA (Wine's) take the old file away before they fail to
    // move the new one in: the new content still has a place to go.
    if (exists_ && error == ERROR_FILE_NOT_FOUND && !content_.empty()) {
      file_.Close();
      return MoveFileExA(content_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    SetLastError(error);
    return false;
  }
  std::string made;
  if (linkToMissingFile_ && GetLastError() != ERROR_ALREADY_EXISTS) FinalPath(target.Get(), &made);
  // A save killed while it rewrites the target would leave it torn, its old
  // content gone: that content is kept beside it until the new one is all
  // on the disk.
  std::string backup;
  if (exists_ && readable && !KeepOldContent(target.Get(), &backup)) return false;
  // The room first: a disk that can't take the new length fails here, while
  // the old content is still whole.
  std::uint64_t oldLength = 0;
  bool roomTaken = FileLength(target.Get(), &oldLength);
  if (roomTaken && length > oldLength && !SetFileLength(target.Get(), length)) {
    SetFileLength(target.Get(), oldLength);
    roomTaken = false;
  }
  bool done = roomTaken && SetFilePosition(target.Get(), 0) && CopyContent(file_.Get(), target.Get(), length) &&
              SetFileLength(target.Get(), length) && FlushFileBuffers(target.Get());
  DWORD error = GetLastError();
  // A target left part rewritten keeps its copy beside it.
  if (!backup.empty() && (done || !roomTaken)) DeleteFileA(backup.c_str());
  if (!target.Close() && done) {
    done = false;
    error = GetLastError();
  }
  if (!done && !made.empty()) DeleteFileA(made.c_str());
  SetLastError(error);
  return done;
}
