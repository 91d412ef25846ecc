// The command's own texts, each defined once in English and in Chinese:
// its usage errors and the lines it writes about files. The
// messages of the icon readers and writers are the program's, in
// core/messages.h. These are written to a console only, so they are UTF-8
// (this folder is compiled with that execution character set).
#pragma once

#include "core/messages.h"

enum class Text {
  kTryHelp,  // where to look after a usage error: the help command to run
  // Usage errors; where to look follows them.
  kUnknownCommand,       // the command
  kUnknownOption,        // the option
  kOptionNeedsValue,     // the option
  kOptionTwice,          // the option
  kOptionNotForCommand,  // the command, the option
  kListArguments,
  kInfoArguments,
  kSaveArguments,
  kExtractArguments,
  kThumbnailArguments,
  kAllWithEntry,
  kOverwriteWithSkip,
  kAllImagesWithoutPng,
  kAllWithCursors,
  kTargetKind,
  kImageTargetKind,
  kSizeTargetKind,
  kFormatName,  // the value given
  kFormatWithFile,
  kImageNumber,  // the value given
  kIndexNumber,  // the value given
  kSizeNumber,   // the largest side, the value given
  kLanguageNumber,  // the value given
  kLanguageWithCursors,
  kIndexWithEntry,
  kIndexInFileName,  // the file as given
  // About one file; the file comes first.
  kCannotRead,     // the file, the system's reason
  kChangedOrCut,   // kCannotRead's reason for resources gone since the file was opened
  kNotRegular,     // the file
  kNotAKind,       // the file
  kNotAKindNamed,  // the file, the kind it is (one of kKind...)
  kKindPng,
  kKindMacIcon,
  kKindZip,
  kIconsMovedOut,       // the file, where its icons are            // the file
  kCannotCreateFolder,  // the folder, the system's reason
  kNoEntry,             // the file, the entry asked for
  kNoIndex,             // the file, the index asked for
  kNoImageOfSide,       // the file, the entry, the side asked for, the sides there are
  kNoImage,             // the file, the entry, the image asked for
  kNoLanguage,          // the file, the entry, the language asked for
  kEntryNotRead,        // the file, the entry
  kMissingImage,        // the file, the entry, the icon's identifier
  kImagePassedOver,     // the file, the entry, the image, its width and height
  kEntryNotWritten,     // the file, the entry
  kTargetNotWritten,    // the target
  kTargetNotWrittenBecause,  // the target, the system's reason
  // An animated cursor's frames and chunks.
  kNoFrameImage,           // the file, the entry, the frame, the image asked for
  kAnimationChunkDamaged,  // the file, the chunk's id, its offset (unsigned long long)
  kAnimationChunkMissing,  // the file, the chunk's id
  kBinaryToTerminal,       // the kind of file (PNG, ICO...)
  // create
  kCreateArguments,
  kCreateTargetKind,
  kHotSpotWithoutCursor,
  kPngWithBmp,
  kSizesList,    // the value given
  kHotSpotValue,  // the value given
  kNotAPicture,        // the file
  kPictureUndecodable,  // the file
  kNoPictures,         // the file
  kSizeAboveInputs,    // the target, the side
  // lint
  kLintArguments,
  kLintNotLintable,   // the file
  kLintDirectoryCut,  // the file
  kLintError,
  kLintWarning,
  kLintMissingSizes,   // the sizes, as a list
  kLintUndecodable,
  kLintLargeBitmap,
  kLintOver256,
  kLintSideMismatch,      // the entry's width, height
  kLintDepthMismatch,     // the entry's depth, the bitmap's
  kLintPngDepthMismatch,  // the entry's depth, the PNG's
  kLintBytesMismatch,     // the entry's bytes, the image's
  kLintMaskMismatch,      // the pixels
  kLintDuplicate,         // the other image
  // set-icon: its usage errors, then about the program (named first).
  kSetIconArguments,
  kAddWithEntry,
  kNotAProgram,
  kSixteenBitProgram,
  kDotNetBundle,
  kPackedProgram,        // the program, the packer
  kSignedProgram,
  kSignatureNotLast,
  kSectionsDamaged,
  kSectionsOverlap,
  kNoHeaderRoom,
  kResourcesTooLarge,
  kProgramTooLarge,
  kResourcesDamaged,     // the program, one of the kTree... reasons
  kTreeTableOutside,
  kTreeDataEntryOutside,
  kTreeDataOutside,
  kTreeLoops,
  kTreeWrongDepth,
  kTreeOverlaps,
  kTreeTooMany,
  kTreeListedTwice,
  kNoGroupToReplace,
  kGroupExists,          // the program, the name
  kNoFreeIconIds,
  kSignatureRemoved,
};

void SetCommandLanguage(MessageLanguage language);
MessageLanguage CommandLanguage();

// The text in the command's language: a printf format taking the values its
// identifier names, in that order.
const char* CommandText(Text id);

// Writes the text, with the values it takes, as one line on stderr.
void Say(Text id, ...);
