#include "output_names.h"

#include <unistd.h>

#include <cstring>

#include "command_files.h"
#include "command_texts.h"

OutputNames::OutputNames(const std::string& folder, Existing existing) : folder_(folder), existing_(existing) {
  if (folder_.empty() || folder_.back() != '/') folder_ += '/';
}

std::string OutputNames::Claim(const std::string& name, const std::string& extension) {
  std::string target = folder_ + name + extension;
  // Each suffix below the one remembered for the name is taken: the search
  // goes on from there, not again from 2 for each name alike.
  auto next = nextSuffix_.emplace(name + extension, 2).first;
  for (;;) {
    if (taken_.insert(target).second) {
      if (ClaimNew(target)) return target;
      command_files::Facts facts;
      const bool there = command_files::Inspect(target, &facts, false) == 0;
      if (there && existing_ == Existing::kSkipped) return "";
      // A folder is never replaced by a file.
      if (there && existing_ == Existing::kReplaced && facts.type != command_files::Type::kFolder) {
        return ClaimReplacement(target);
      }
    }
    target = folder_ + name + "~" + std::to_string(next->second++) + extension;
  }
}

bool OutputNames::ClaimNew(const std::string& path) {
  // Made where no file or link is; kept open for the writer, which writes
  // the content into it directly.
  bool taken = false;
  made_ = command_files::CreateNew(path, &taken);
  if (made_.IsValid()) {
    claimed_.insert(path);
    return true;
  }
  // A name that can't be made for another reason is the writer's to report.
  return !taken;
}

std::string OutputNames::ClaimReplacement(const std::string& target) {
  // Written beside it under a name of our own, and moved over it once whole:
  // a link at the name is replaced, never written through.
  for (;;) {
    const std::string path = folder_ + ".pictrove-" + std::to_string(getpid()) + "-" + std::to_string(++replacements_);
    bool taken = false;
    made_ = command_files::CreateNew(path, &taken);
    if (!made_.IsValid() && taken) continue;
    if (made_.IsValid()) claimed_.insert(path);
    replacing_[path] = target;
    return path;
  }
}

std::string OutputNames::Finish(const std::string& path) {
  made_.Close();
  const auto replacing = replacing_.find(path);
  if (replacing == replacing_.end()) return path;
  const std::string target = replacing->second;
  replacing_.erase(replacing);
  if (const int error = command_files::MoveOver(path, target)) {
    Say(Text::kTargetNotWrittenBecause, target.c_str(), std::strerror(error));
    command_files::Remove(path);
    return "";
  }
  return target;
}

void OutputNames::Abandon(const std::string& path) {
  // The empty file that took the name goes; one the writer failed to
  // replace is still empty, and ours.
  made_.Close();
  if (claimed_.count(path) != 0) command_files::RemoveIfEmpty(path);
  replacing_.erase(path);
}
