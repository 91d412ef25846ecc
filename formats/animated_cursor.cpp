#include "animated_cursor.h"

#include <algorithm>
#include <new>

#include "checked_size.h"

namespace animated_cursor {

namespace {

constexpr std::size_t kChunkHeadBytes = 8;

struct Chunk {
  std::uint8_t id[4];
  const std::uint8_t* head;  // where its id starts
  ByteView data;
};

// Says that reading stopped at `chunk` (its id, or, when its head is cut,
// the id of `container`, which held it).
void Blame(const Chunk& chunk, bool idRead, const char* container, const std::uint8_t* containerHead,
           ByteView file, Fault* fault) {
  if (fault == nullptr) return;
  for (int i = 0; i < 4; ++i) {
    const std::uint8_t c = idRead ? chunk.id[i] : static_cast<std::uint8_t>(container[i]);
    fault->chunk[i] = c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
  }
  fault->chunk[4] = '\0';
  fault->offset = static_cast<std::uint64_t>((idRead ? chunk.head : containerHead) - file.Data());
  fault->missing = false;
}

void BlameMissing(const char* id, Fault* fault) {
  if (fault == nullptr) return;
  for (int i = 0; i < 5; ++i) fault->chunk[i] = id[i];
  fault->offset = 0;
  fault->missing = true;
}

bool IdIs(const std::uint8_t (&id)[4], const char* text) {
  return id[0] == text[0] && id[1] == text[1] && id[2] == text[2] && id[3] == text[3];
}

// The next chunk of `cursor`, which then stands behind its padding; false
// when its head or its data runs past what remains. The padding of a last
// chunk may be missing: writers leave it off at the end.
bool NextChunk(ByteCursor& cursor, ByteView within, Chunk* chunk, bool* idRead) {
  std::uint32_t length = 0;
  chunk->head = within.Data() + cursor.Offset();
  *idRead = cursor.ReadBytes(chunk->id, sizeof chunk->id);
  if (!*idRead || !cursor.ReadU32(&length)) return false;
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

// The "icon" chunks of the LIST chunk `list` (whose head is `listHead`).
bool ReadFrames(ByteView file, const std::uint8_t* listHead, ByteView list, Animation* animation, Failure* failure,
                Fault* fault) {
  ByteCursor cursor(list);
  cursor.Skip(4);  // "fram"
  while (cursor.Remaining() != 0) {
    Chunk chunk;
    bool idRead = false;
    *failure = Failure::kCut;
    if (!NextChunk(cursor, list, &chunk, &idRead)) {
      Blame(chunk, idRead, "LIST", listHead, file, fault);
      return false;
    }
    if (!IdIs(chunk.id, "icon")) continue;
    *failure = Failure::kOutOfMemory;
    try {
      animation->frames.push_back(chunk.data);
      animation->frameOffsets.push_back(static_cast<std::uint64_t>(chunk.head - file.Data()));
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  return true;
}

// The header and the steps found so far (a null head when absent): the
// header read, the steps checked against it.
bool CheckHeaderAndSteps(ByteView bytes, const Chunk& header, const Chunk& rates, const Chunk& sequence,
                         Animation* animation, Failure* failure, Fault* fault) {
  *failure = Failure::kBadHeader;
  if (header.head == nullptr) {
    BlameMissing("anih", fault);
    return false;
  }
  if (!ReadHeaderChunk(header.data, &animation->header)) {
    Blame(header, true, "", nullptr, bytes, fault);
    return false;
  }
  *failure = Failure::kBadSteps;
  for (const Chunk* steps : {&rates, &sequence}) {
    if (steps->head != nullptr && !StepsFit(steps->data, animation->header, steps == &sequence)) {
      Blame(*steps, true, "", nullptr, bytes, fault);
      return false;
    }
  }
  return true;
}

// The frames' list (a null head when absent), read and counted.
bool CheckFrames(ByteView bytes, const Chunk& frames, Animation* animation, Failure* failure, Fault* fault) {
  *failure = Failure::kFramesMissing;
  if (frames.head == nullptr) {
    BlameMissing("fram", fault);
    return false;
  }
  if (!ReadFrames(bytes, frames.head, frames.data, animation, failure, fault)) return false;
  *failure = Failure::kFramesMissing;
  if (animation->frames.size() == animation->header.frames) return true;
  Blame(frames, true, "", nullptr, bytes, fault);
  return false;
}

}  // namespace

bool Read(ByteView bytes, Animation* animation, Failure* failure, Fault* fault) {
  *failure = Failure::kNotAnimated;
  std::uint32_t riffLength = 0;
  if (!bytes.Matches(0, "RIFF", 4) || !bytes.U32(4, &riffLength) || !bytes.Matches(8, "ACON", 4)) return false;
  // The RIFF's length counts its form and chunks; what follows it is no part
  // of the animation. Some writers count the RIFF's own head too (Winamp's
  // skins, wxWidgets' horse3.ani), which Windows reads: a length past the
  // end ends at the end, each chunk still inside the file.
  *failure = Failure::kCut;
  Chunk riffChunk{{'R', 'I', 'F', 'F'}, bytes.Data(), bytes};
  if (riffLength < 4) {
    Blame(riffChunk, true, "RIFF", bytes.Data(), bytes, fault);
    return false;
  }
  const ByteView riff =
      bytes.Sub(kChunkHeadBytes, std::min<std::uint64_t>(riffLength, bytes.Length() - kChunkHeadBytes));
  ByteCursor cursor(riff);
  cursor.Skip(4);
  Chunk header{}, rates{}, sequence{}, frames{};
  while (cursor.Remaining() != 0) {
    Chunk chunk;
    bool idRead = false;
    *failure = Failure::kCut;
    if (!NextChunk(cursor, riff, &chunk, &idRead)) {
      Blame(chunk, idRead, "RIFF", bytes.Data(), bytes, fault);
      return false;
    }
    Chunk* known = IdIs(chunk.id, "anih")   ? &header
                   : IdIs(chunk.id, "rate") ? &rates
                   : IdIs(chunk.id, "seq ") ? &sequence
                   : IdIs(chunk.id, "LIST") && chunk.data.Matches(0, "fram", 4) ? &frames
                                                                               : nullptr;
    if (known == nullptr) continue;
    // A second of the chunks read is a damaged file's.
    *failure = known == &header ? Failure::kBadHeader : Failure::kFramesMissing;
    if ((known == &header || known == &frames) && known->head != nullptr) {
      Blame(chunk, true, "", nullptr, bytes, fault);
      return false;
    }
    *known = chunk;
    // Checked as soon as the header is there: a chunk whose length is wrong
    // is named itself, not a chunk after it that its length leads to.
    if (known != &frames && header.head != nullptr &&
        !CheckHeaderAndSteps(bytes, header, rates, sequence, animation, failure, fault)) {
      return false;
    }
  }
  return CheckHeaderAndSteps(bytes, header, rates, sequence, animation, failure, fault) &&
         CheckFrames(bytes, frames, animation, failure, fault);
}

}  // namespace animated_cursor
