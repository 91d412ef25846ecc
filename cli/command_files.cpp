#include "command_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <map>
#include <vector>

#include "platform/posix/long_path.h"

namespace command_files {

namespace {

Facts FactsOf(const struct stat& info) {
  Facts facts;
  if (S_ISREG(info.st_mode)) {
    facts.type = Type::kRegular;
  } else if (S_ISDIR(info.st_mode)) {
    facts.type = Type::kFolder;
  }
  facts.length = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  return facts;
}

// Writes all of it, through interruptions: 0, or the errno of the failed call.
int WriteAll(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t n = write(fd, bytes, count);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
  return 0;
}

int Copy(int from, int to) {
  static char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = read(from, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : 0;
    if (const int error = WriteAll(to, buffer, static_cast<std::size_t>(n))) return error;
  }
}

}  // namespace

int Inspect(const std::string& path, Facts* facts, bool throughLinks) {
  struct stat info;
  if (long_path::Stat(path.c_str(), &info, throughLinks ? 0 : AT_SYMLINK_NOFOLLOW) != 0) return errno;
  *facts = FactsOf(info);
  return 0;
}

bool Readable(const std::string& path) { return long_path::Access(path.c_str(), R_OK) == 0; }

namespace {

// The names a folder holds, read once a run: a run over a folder of modules
// without icons of their own looks beside each of them.
const std::vector<std::string>& FolderNames(const std::string& folder) {
  static std::map<std::string, std::vector<std::string>> listed;
  const auto known = listed.find(folder);
  if (known != listed.end()) return known->second;
  std::vector<std::string>& names = listed[folder];
  Descriptor opened(long_path::Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  DIR* listing = opened ? fdopendir(opened.Get()) : nullptr;
  if (listing == nullptr) return names;
  opened.Release();  // the listing's now
  while (const dirent* entry = readdir(listing)) names.emplace_back(entry->d_name);
  closedir(listing);
  return names;
}

}  // namespace

std::string FindIgnoringCase(const std::string& folder, const std::string& name) {
  const std::string exact = folder + "/" + name;
  if (long_path::Access(exact.c_str(), F_OK) == 0) return exact;
  for (const std::string& held : FolderNames(folder)) {
    if (strcasecmp(held.c_str(), name.c_str()) == 0) return folder + "/" + held;
  }
  return "";
}

int ReadStart(const std::string& path, std::uint8_t* bytes, std::size_t size, std::size_t* got, Facts* facts) {
  *got = 0;
  // Without O_NONBLOCK, opening a named pipe would wait for a writer.
  Descriptor file(long_path::Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat info;
  if (!file || fstat(file.Get(), &info) != 0) return errno;
  *facts = FactsOf(info);
  if (facts->type == Type::kFolder) return EISDIR;
  if (facts->type != Type::kRegular) return 0;
  const ssize_t n = pread(file.Get(), bytes, size, 0);
  if (n < 0) return errno;
  *got = static_cast<std::size_t>(n);
  return 0;
}

int MakeFolders(const std::string& folder) {
  for (std::size_t i = 1; i <= folder.size(); ++i) {
    if (i < folder.size() && folder[i] != '/') continue;
    if (long_path::MakeFolder(folder.substr(0, i).c_str(), 0777) != 0 && errno != EEXIST) return errno;
  }
  Facts facts;
  if (const int error = Inspect(folder, &facts)) return error;
  return facts.type == Type::kFolder ? 0 : ENOTDIR;
}

FileHandle CreateNew(const std::string& path, bool* taken) {
  FileHandle made(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  const DWORD error = made.IsValid() ? ERROR_SUCCESS : GetLastError();
  *taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
  return made;
}

void RemoveIfEmpty(const std::string& path) {
  Facts facts;
  if (Inspect(path, &facts, false) == 0 && facts.type == Type::kRegular && facts.length == 0) {
    long_path::Unlink(path.c_str());
  }
}

int MoveOver(const std::string& from, const std::string& to) {
  return long_path::Rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

int Remove(const std::string& path) { return long_path::Unlink(path.c_str()) == 0 ? 0 : errno; }

bool IsStream(const std::string& target) {
  Facts facts;
  return target == "-" || (Inspect(target, &facts) == 0 && facts.type == Type::kOther);
}

ScratchFolder::~ScratchFolder() {
  if (made_) rmdir(path_.c_str());
}

int ScratchFolder::Make() {
  const char* tmp = std::getenv("TMPDIR");
  path_ = std::string(tmp != nullptr && *tmp == '/' ? tmp : "/tmp") + "/pictrove-XXXXXX";
  made_ = mkdtemp(&path_[0]) != nullptr;
  return made_ ? 0 : errno;
}

int ScratchFolder::Send(const std::string& name, const std::string& target) {
  const std::string path = path_ + "/" + name;
  Descriptor file(long_path::Open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file) return errno == ENOENT ? 0 : errno;
  long_path::Unlink(path.c_str());
  if (made_ && rmdir(path_.c_str()) == 0) made_ = false;
  // A reader that goes away is a failed write to say, not the end of the
  // program (which would leave what it made meanwhile).
  std::signal(SIGPIPE, SIG_IGN);
  if (target == "-") return Copy(file.Get(), STDOUT_FILENO);
  Descriptor stream(long_path::Open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
  if (!stream) return errno;
  const int error = Copy(file.Get(), stream.Get());
  if (!stream.Close() && error == 0) return errno;
  return error;
}

}  // namespace command_files
