// What a decoder answers beside its picture. The same three ways to fail hold
// for every codec (PNG, icon image, bitmap rows), and each caller chooses its
// own message from them, so they are one type rather than one per codec.
#pragma once

enum class DecodeOutcome {
  kDecoded,
  kUndecodable,  // data the format's rules refuse: cut, damaged, of a kind not read
  kTooLarge,     // a picture past the budget of decoded pixels (limits::kMaxDecodedBytes)
  kOutOfMemory,  // within the budget, but memory ran out
};
