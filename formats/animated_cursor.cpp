#include "animated_cursor.h"

#include <algorithm>
#include <new>

#include "checked_size.h"

namespace animated_cursor {

namespace {

constexpr std::size_t kChunkHeadBytes = 8;

struct Chunk {
  std::uint8_t id[4];
  ByteView data;
};

bool IdIs(const std::uint8_t (&id)[4], const char* text) {
  return id[0] == text[0] && id[1] == text[1] && id[2] == text[2] && id[3] == text[3];
}

// The next chunk of `cursor`, which then stands behind its padding; false
// when its head or its data runs past what remains. The padding of a last
// chunk may be missing: writers leave it off at the end.
bool NextChunk(ByteCursor& cursor, ByteView within, Chunk* chunk) {
  std::uint32_t length = 0;
  if (!cursor.ReadBytes(chunk->id, sizeof chunk->id) || !cursor.ReadU32(&length)) return false;
  if (length > cursor.Remaining()) return false;
  chunk->data = within.Sub(cursor.Offset(), length);
  cursor.Skip(length);
  if (length % 2 != 0 && cursor.Remaining() != 0) cursor.Skip(1);
  return true;
}

bool ReadHeaderChunk(ByteView data, Header* header) {
  ByteCursor cursor(data);
  std::uint32_t size = 0, width = 0, height = 0, bitCount = 0, planes = 0;
  if (data.Length() != kHeaderChunkBytes || !cursor.ReadU32(&size) || size != kHeaderChunkBytes ||
      !cursor.ReadU32(&header->frames) || !cursor.ReadU32(&header->steps) || !cursor.ReadU32(&width) ||
      !cursor.ReadU32(&height) || !cursor.ReadU32(&bitCount) || !cursor.ReadU32(&planes) ||
      !cursor.ReadU32(&header->displayRate) || !cursor.ReadU32(&header->flags)) {
    return false;
  }
  return header->frames != 0 && header->steps != 0 && (header->flags & kFramesAreIcons) != 0;
}

// A "rate" or "seq " chunk: one 32-bit value a step. Each step of a
// sequence names a frame.
bool StepsFit(ByteView data, const Header& header, bool sequence) {
  std::uint64_t length = 0;
  if (!CheckedMul(header.steps, 4, &length) || data.Length() != length) return false;
  for (std::uint32_t step = 0; sequence && step < header.steps; ++step) {
    std::uint32_t frame = 0;
    if (!data.U32(std::uint64_t{step} * 4, &frame) || frame >= header.frames) return false;
  }
  return true;
}

bool ReadFrames(ByteView list, std::vector<ByteView>* frames, Failure* failure) {
  ByteCursor cursor(list);
  cursor.Skip(4);  // "fram"
  while (cursor.Remaining() != 0) {
    Chunk chunk;
    *failure = Failure::kCut;
    if (!NextChunk(cursor, list, &chunk)) return false;
    if (!IdIs(chunk.id, "icon")) continue;
    *failure = Failure::kOutOfMemory;
    try {
      frames->push_back(chunk.data);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool Read(ByteView bytes, Animation* animation, Failure* failure) {
  *failure = Failure::kNotAnimated;
  std::uint32_t riffLength = 0;
  if (!bytes.Matches(0, "RIFF", 4) || !bytes.U32(4, &riffLength) || !bytes.Matches(8, "ACON", 4)) return false;
  // The RIFF's length counts its form and chunks; what follows it is no part
  // of the animation. Some writers count the RIFF's own head too (Winamp's
  // skins, wxWidgets' horse3.ani), which Windows reads: a length past the
  // end ends at the end, each chunk still inside the file.
  *failure = Failure::kCut;
  if (riffLength < 4) return false;
  const ByteView riff =
      bytes.Sub(kChunkHeadBytes, std::min<std::uint64_t>(riffLength, bytes.Length() - kChunkHeadBytes));
  ByteCursor cursor(riff);
  cursor.Skip(4);
  bool hasHeader = false, hasFrames = false, hasRates = false, hasSequence = false;
  ByteView rates, sequence;
  while (cursor.Remaining() != 0) {
    Chunk chunk;
    *failure = Failure::kCut;
    if (!NextChunk(cursor, riff, &chunk)) return false;
    if (IdIs(chunk.id, "anih")) {
      *failure = Failure::kBadHeader;
      if (hasHeader || !ReadHeaderChunk(chunk.data, &animation->header)) return false;
      hasHeader = true;
    } else if (IdIs(chunk.id, "rate")) {
      rates = chunk.data;
      hasRates = true;
    } else if (IdIs(chunk.id, "seq ")) {
      sequence = chunk.data;
      hasSequence = true;
    } else if (IdIs(chunk.id, "LIST") && chunk.data.Matches(0, "fram", 4)) {
      *failure = Failure::kFramesMissing;
      if (hasFrames || !ReadFrames(chunk.data, &animation->frames, failure)) return false;
      hasFrames = true;
    }
  }
  *failure = Failure::kBadHeader;
  if (!hasHeader) return false;
  *failure = Failure::kBadSteps;
  if ((hasRates && !StepsFit(rates, animation->header, false)) ||
      (hasSequence && !StepsFit(sequence, animation->header, true))) {
    return false;
  }
  *failure = Failure::kFramesMissing;
  return hasFrames && animation->frames.size() == animation->header.frames;
}

}  // namespace animated_cursor
