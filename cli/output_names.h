// The names extract gives the files it writes into one folder: never two of
// one run under one name, and never a file written through a link someone
// left at a name.
#pragma once

#include <set>
#include <string>
#include <unordered_map>

#include "platform/handles.h"

class OutputNames {
 public:
  // What becomes of a name an earlier run (or anyone) left in the folder.
  enum class Existing {
    kKept,      // it stays; the new file takes the name with "~2", "~3"... behind it
    kReplaced,  // the new file takes its place once it is whole
    kSkipped,   // it stays, and nothing is written for it
  };

  OutputNames(const std::string& folder, Existing existing);

  // Where to write the file named `name` + `extension` (name cut to fit
  // already): a file made new and empty for it, open in Made(); empty when
  // an earlier file has the name and is kept without a new one. A name this
  // run wrote before takes "~2", "~3"... whatever Existing says, so that no
  // suffix reads as the image number a name may end with.
  std::string Claim(const std::string& name, const std::string& extension);
  FileHandle* Made() { return &made_; }

  // The file written at `path` (a path Claim gave) takes its name: that
  // name, or empty after saying why it couldn't (the file then goes).
  std::string Finish(const std::string& path);
  // Nothing was written at `path`: what was made for it goes.
  void Abandon(const std::string& path);

  // The room a suffix takes behind a name: "~" and seven digits.
  static constexpr std::size_t kSuffixBytes = 8;

 private:
  bool ClaimNew(const std::string& path);
  // A file beside the folder's names, for a name that is replaced.
  std::string ClaimReplacement(const std::string& target);

  std::string folder_;
  Existing existing_;
  std::set<std::string> taken_;                          // by this run
  std::unordered_map<std::string, unsigned> nextSuffix_;  // by unsuffixed name
  std::set<std::string> claimed_;                        // made empty by ClaimNew
  std::unordered_map<std::string, std::string> replacing_;  // a replacement's path, and the name it takes
  unsigned replacements_ = 0;
  FileHandle made_;  // the last file made, open for its writer
};
