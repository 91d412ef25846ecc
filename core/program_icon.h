// Puts an icon into a Windows program (PE32 or PE32+): the program is read
// whole, its resources listed, one group icon replaced or added, and the
// program written again, to itself (a safe save: the old file stays whole
// until the new one is complete) or to another file. Nothing is written
// unless every step succeeds.
#pragma once

#include <cstdint>
#include <string>

#include "formats/pe/pe_rewrite.h"
#include "formats/pe/resource_list.h"
#include "icon_resources.h"

struct ProgramIconRequest {
  std::string program;
  std::string icon;    // an .ico file
  const IconGroup* made = nullptr;  // the icon itself, made by the caller: `icon` is not read
  std::string output;  // empty: the program itself
  GroupTarget target;
  bool stripSignature = false;
};

enum class ProgramIconOutcome {
  kDone,
  kProgramUnreadable,  // the program can't be read, or is past the size a module may have
  kRefused,            // the rewrite's refusal says why
  kTreeDamaged,        // the resource list's failure says why
  kIconUnreadable,     // after the icon reader's message
  kEditFailed,         // the group edit's failure says why
  kWriteFailed,        // the target can't be made or written; it is as it was
};

struct ProgramIconResult {
  ProgramIconOutcome outcome = ProgramIconOutcome::kDone;
  PeRewriteRefusal refusal = PeRewriteRefusal::kNone;
  std::string packer;  // for a packed program
  ResourceListFailure tree = ResourceListFailure::kNone;
  IconEditFailure edit = IconEditFailure::kNone;
  bool signatureRemoved = false;
  bool newSection = false;
};

ProgramIconResult SetProgramIcon(const ProgramIconRequest& request);
