// set-icon: puts an icon into a Windows program, replacing one of its group
// icons or adding one.
#include <string>

#include "command_texts.h"
#include "commands.h"
#include "icon_making.h"
#include "core/program_icon.h"
#include "readable.h"

namespace {

GroupTarget TargetOf(const Arguments& args) {
  GroupTarget target;
  if (args.hasEntry) target = {GroupTarget::Kind::kEntry, args.entry, 0};
  if (args.hasIndex) target = {GroupTarget::Kind::kIndex, "", args.index};
  if (args.hasAdd) target = {GroupTarget::Kind::kAdd, args.add, 0};
  return target;
}

void TellRefusal(const ProgramIconResult& result, const char* program) {
  switch (result.refusal) {
    case PeRewriteRefusal::kNone:
      return;
    case PeRewriteRefusal::kNotPe:
      Say(Text::kNotAProgram, program);
      return;
    case PeRewriteRefusal::kSixteenBit:
      Say(Text::kSixteenBitProgram, program);
      return;
    case PeRewriteRefusal::kDotNetBundle:
      Say(Text::kDotNetBundle, program);
      return;
    case PeRewriteRefusal::kPacked:
      Say(Text::kPackedProgram, program, result.packer.c_str());
      return;
    case PeRewriteRefusal::kSigned:
      Say(Text::kSignedProgram, program);
      return;
    case PeRewriteRefusal::kSignatureNotLast:
      Say(Text::kSignatureNotLast, program);
      return;
    case PeRewriteRefusal::kBadLayout:
      Say(Text::kSectionsDamaged, program);
      return;
    case PeRewriteRefusal::kSectionsOverlap:
      Say(Text::kSectionsOverlap, program);
      return;
    case PeRewriteRefusal::kNoHeaderRoom:
      Say(Text::kNoHeaderRoom, program);
      return;
    case PeRewriteRefusal::kTooLarge:
      Say(Text::kResourcesTooLarge, program);
      return;
  }
}

Text TreeReason(ResourceListFailure failure) {
  switch (failure) {
    case ResourceListFailure::kDataEntryOutside:
      return Text::kTreeDataEntryOutside;
    case ResourceListFailure::kDataOutside:
      return Text::kTreeDataOutside;
    case ResourceListFailure::kLoops:
      return Text::kTreeLoops;
    case ResourceListFailure::kWrongDepth:
      return Text::kTreeWrongDepth;
    case ResourceListFailure::kOverlaps:
      return Text::kTreeOverlaps;
    case ResourceListFailure::kTooMany:
      return Text::kTreeTooMany;
    case ResourceListFailure::kListedTwice:
      return Text::kTreeListedTwice;
    default:
      return Text::kTreeTableOutside;
  }
}

void TellEditFailure(const ProgramIconResult& result, const Arguments& args, const char* program) {
  switch (result.edit) {
    case IconEditFailure::kNone:
      return;
    case IconEditFailure::kNoGroups:
      Say(Text::kNoGroupToReplace, program);
      return;
    case IconEditFailure::kGroupExists:
      Say(Text::kGroupExists, program, args.add.c_str());
      return;
    case IconEditFailure::kNoFreeIds:
      Say(Text::kNoFreeIconIds, program);
      return;
    case IconEditFailure::kNoSuchGroup:
      if (args.hasIndex) {
        Say(Text::kNoIndex, program, static_cast<int>(args.index));
      } else {
        Say(Text::kNoEntry, program, args.hasAdd ? args.add.c_str() : args.entry.c_str());
      }
      return;
  }
}

// What the command said, or why it said nothing: the exit status.
int Tell(const ProgramIconResult& result, const Arguments& args, const std::string& target) {
  const char* program = args.files[0].c_str();
  switch (result.outcome) {
    case ProgramIconOutcome::kDone:
      if (result.signatureRemoved) Say(Text::kSignatureRemoved, target.c_str());
      return kDone;
    case ProgramIconOutcome::kProgramUnreadable:
      Say(Text::kProgramTooLarge, program);
      break;
    case ProgramIconOutcome::kRefused:
      TellRefusal(result, program);
      break;
    case ProgramIconOutcome::kTreeDamaged:
      Say(Text::kResourcesDamaged, program, CommandText(TreeReason(result.tree)));
      break;
    case ProgramIconOutcome::kEditFailed:
      TellEditFailure(result, args, program);
      break;
    case ProgramIconOutcome::kWriteFailed:
      Say(Text::kTargetNotWritten, target.c_str());
      break;
    case ProgramIconOutcome::kIconUnreadable:
      break;
  }
  return kFailed;
}

}  // namespace

int SetIcon(const Arguments& args) {
  if (args.files.size() != 2) return UsageError(CommandText(Text::kSetIconArguments));
  if (args.hasEntry && args.hasIndex) return UsageError(CommandText(Text::kIndexWithEntry));
  if (args.hasAdd && (args.hasEntry || args.hasIndex)) return UsageError(CommandText(Text::kAddWithEntry));
  FileStart program, icon;
  if (!TellFileKind(args.files[0], &program) || !TellFileKind(args.files[1], &icon)) return kFailed;
  if (program.kind != file_kind::Kind::kModule) {
    Say(Text::kNotAProgram, args.files[0].c_str());
    return kFailed;
  }
  ProgramIconRequest request;
  request.program = args.files[0];
  request.icon = args.files[1];
  request.output = args.hasOutputFolder ? args.outputFolder : "";
  request.target = TargetOf(args);
  request.stripSignature = args.stripSignature;
  // A picture (PNG, BMP) is made into an icon as create makes one.
  IconGroupPtr made;
  if (icon.kind != file_kind::Kind::kIcon) {
    made = MakeIconFromFiles({args.files[1]}, args, args.files[1], false);
    if (!made) return kFailed;
    request.made = made.get();
  }
  return Tell(SetProgramIcon(request), args, request.output.empty() ? request.program : request.output);
}
