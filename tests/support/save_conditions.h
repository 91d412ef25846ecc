// Real conditions a save meets, made for a test: on a POSIX system a small
// disk that runs full and a user without rights, both of which need root (a
// test skips what it can't set up).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "temp_dir.h"

struct ShownMessage {
  std::string text;
  std::string caption;
};

// What a save returned and the messages it showed.
struct Outcome {
  int result = -1;
  std::vector<ShownMessage> messages;
};

// The result of a save that could not be run as asked.
constexpr int kNotRun = -2;

// Runs `body` as this process's user, or with `asNobody` as the user nobody
// where the system has one to switch to (kNotRun otherwise).
Outcome SaveAs(bool asNobody, const std::function<int()>& body);

#ifndef _WIN32
// A tmpfs of a few pages mounted on a folder of its own, unmounted when the
// object goes.
class SmallDisk {
 public:
  SmallDisk(const TempDir& dir, std::uint64_t bytes);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  std::string Path(const std::string& name) const;
  // Fills the disk with a file of its own until `bytes` (whole pages) are
  // free.
  bool LeaveFree(std::uint64_t bytes) const;

 private:
  std::string folder_;
  bool mounted_ = false;
};

// The user and group the saves run as nobody take (no other groups), so that
// permissions apply as they do to a user without rights.
constexpr unsigned kNobody = 65534;

bool IsRoot();

struct FileFacts {
  bool exists = false;
  bool isLink = false;
  unsigned mode = 0;  // permission bits
  unsigned owner = 0;
  unsigned group = 0;
  unsigned links = 0;
};

// Of the name itself (a link is not followed).
FileFacts FactsOf(const std::string& path);
// Of the file a name leads to, through links.
FileFacts FactsThrough(const std::string& path);
#endif
