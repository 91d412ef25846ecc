// Rewrites a PE32 or PE32+ program with a new resource directory. Every
// other section and whatever follows the image (a COFF symbol table, an
// installer's archive) keep their bytes; what points at the bytes that move
// moves with them; the headers and the checksum are made right again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/byte_cursor.h"
#include "resource_list.h"

enum class PeRewriteRefusal {
  kNone,
  kNotPe,             // no whole PE32 or PE32+ headers
  kSixteenBit,        // "NE" where the new header is: a 16-bit program
  kDotNetBundle,      // the single-file bundle's marker with a bundle offset beside it
  kPacked,            // a section named as a packer names its own
  kSigned,            // a certificate table, not to be removed
  kSignatureNotLast,  // a certificate table that does not end the file
  kBadLayout,         // sections or alignments no loader takes, raw data past the file's end
  kSectionsOverlap,   // the resource section's bytes or addresses are the headers' or another section's too
  kNoHeaderRoom,      // a new section needed, and no free room for its header
  kTooLarge,          // the directory would not fit 32 bits of address
};

// Checks a program before its resources are read: what it is, and whether a
// rewrite would break it. `packer`: the packer's name for kPacked.
PeRewriteRefusal CheckRewritable(ByteView file, bool stripSignature, std::string* packer);

struct PeRewriteResult {
  PeRewriteRefusal refusal = PeRewriteRefusal::kNone;
  bool signatureRemoved = false;
  bool newSection = false;  // the directory went to a new last section
};

// The program `file`, held whole, with `items` as its resources, into
// `out`. The caller has had CheckRewritable pass the program.
PeRewriteResult RewriteResources(ByteView file, const std::vector<PeResourceItem>& items, bool stripSignature,
                                 std::vector<std::uint8_t>* out);
