#include "save_conditions.h"

#include "message_capture.h"

#ifndef _WIN32
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#endif

namespace {

Outcome RunHere(const std::function<int()>& body) {
  Outcome outcome;
  MessageCapture capture;
  outcome.result = body();
  for (const CapturedMessage& message : capture.Messages()) {
    outcome.messages.push_back({message.text, message.caption});
  }
  return outcome;
}

}  // namespace

#ifdef _WIN32

Outcome SaveAs(bool asNobody, const std::function<int()>& body) {
  if (!asNobody) return RunHere(body);
  Outcome outcome;
  outcome.result = kNotRun;
  return outcome;
}

#else

namespace fs = std::filesystem;

namespace {

constexpr const char* kFiller = ".filler";
// Between a message's text and its caption in a child's report.
constexpr char kCaptionMark = '\x1f';

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool IsRoot() { return geteuid() == 0; }

SmallDisk::SmallDisk(const TempDir& dir, std::uint64_t bytes) : folder_(dir.Path("disk")) {
  if (!IsRoot() || !fs::create_directory(folder_)) return;
  std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  mounted_ = mount("tmpfs", folder_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
  if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
}

std::string SmallDisk::Path(const std::string& name) const { return (fs::path(folder_) / name).string(); }

bool SmallDisk::LeaveFree(std::uint64_t bytes) const {
  unlink(Path(kFiller).c_str());
  struct statvfs disk;
  if (statvfs(folder_.c_str(), &disk) != 0) return false;
  std::uint64_t available = std::uint64_t{disk.f_bavail} * disk.f_frsize;
  if (available < bytes) return false;
  std::ofstream filler(Path(kFiller), std::ios::binary);
  std::string page(available - bytes, '\0');
  filler.write(page.data(), static_cast<std::streamsize>(page.size()));
  filler.close();
  return filler.good() && statvfs(folder_.c_str(), &disk) == 0 &&
         std::uint64_t{disk.f_bavail} * disk.f_frsize == bytes;
}

namespace {

// In a child process, so that this one keeps its rights.
Outcome RunAsNobody(const std::function<int()>& body) {
  Outcome outcome;
  outcome.result = kNotRun;
  int pipeEnds[2];
  if (!IsRoot()) return outcome;
  outcome.result = -1;
  if (pipe(pipeEnds) != 0) return outcome;
  std::fflush(nullptr);
  pid_t child = fork();
  if (child < 0) return outcome;
  if (child == 0) {
    close(pipeEnds[0]);
    if (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
        setresuid(kNobody, kNobody, kNobody) != 0) {
      _exit(125);
    }
    MessageCapture capture;
    std::string report = std::to_string(body()) + "\n";
    for (const CapturedMessage& message : capture.Messages()) {
      report += message.text + kCaptionMark + message.caption + "\n";
    }
    _exit(WriteAll(pipeEnds[1], report) ? 0 : 126);
  }
  close(pipeEnds[1]);
  std::string report;
  char buffer[512];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<std::size_t>(n));
  close(pipeEnds[0]);
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return outcome;
  std::size_t line = report.find('\n');
  outcome.result = std::stoi(report.substr(0, line));
  while (line + 1 < report.size()) {
    std::size_t next = report.find('\n', line + 1);
    std::string shown = report.substr(line + 1, next - line - 1);
    std::size_t mark = shown.find(kCaptionMark);
    outcome.messages.push_back({shown.substr(0, mark), shown.substr(mark + 1)});
    line = next;
  }
  return outcome;
}

FileFacts Facts(const struct stat& info) {
  FileFacts facts;
  facts.exists = true;
  facts.isLink = S_ISLNK(info.st_mode);
  facts.mode = info.st_mode & 07777;
  facts.owner = info.st_uid;
  facts.group = info.st_gid;
  facts.links = static_cast<unsigned>(info.st_nlink);
  return facts;
}

}  // namespace

FileFacts FactsOf(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0 ? Facts(info) : FileFacts{};
}

FileFacts FactsThrough(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? Facts(info) : FileFacts{};
}

Outcome SaveAs(bool asNobody, const std::function<int()>& body) {
  return asNobody ? RunAsNobody(body) : RunHere(body);
}

#endif
