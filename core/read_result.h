// What a reader over bytes gives back: the value it made, owned by the
// caller, or the reason it made none, one small enum per format. Readers
// over bytes show nothing; the functions that take a path read the file,
// close it, and only then show the one message the reason stands for.
#pragma once

#include <cstdint>
#include <utility>

#include "file_io.h"
#include "messages.h"
#include "platform/handles.h"

template <typename Owner, typename Failure>
class ReadResult {
 public:
  // Implicit both ways, so that a reader returns its value or its reason.
  ReadResult(Owner value) : value_(std::move(value)) {}
  ReadResult(Failure failure) : failure_(failure) {}

  bool Ok() const { return static_cast<bool>(value_); }
  // Meaningful only when !Ok().
  Failure Reason() const { return failure_; }
  Owner Take() { return std::move(value_); }

 private:
  Owner value_{};
  Failure failure_{};
};

// True when bytes [offset, offset + n) of a file are in `read`, its first
// bytes. Else the reason: `cut` when the file ends before them, the format's
// kTooLarge when they lie beyond what was read of a file too large to be
// read whole.
template <typename Failure>
bool Reaches(ByteView read, std::uint64_t fileLength, std::uint64_t offset, std::uint64_t n, Failure cut,
             Failure* failure) {
  if (read.Holds(offset, n)) return true;
  *failure = n <= fileLength && offset <= fileLength - n ? Failure::kTooLarge : cut;
  return false;
}

// The failures of a format that come from reading its file rather than from
// its bytes.
template <typename Failure>
struct FileReadFailures {
  Failure open;     // the file can't be opened
  Failure read;     // the platform's read fails
  Failure memory;   // no block for the file's bytes
};

// Most files show what they are, or that they are none, in their first
// bytes: a larger file is read further, up to the bound, only for a reader
// that needs more of it.
constexpr std::uint64_t kFirstReadBytes = 1024 * 1024;

// Reads at most `bound` bytes of the file at `path` and hands them, with the
// file's whole length, to `read`. The file is closed and its bytes freed
// before a failure's message (the path as caption) is shown; a failed file
// call's error is the last error again when the message shows it; with
// `reason`, the failure is also left there; with `untold`, that failure is
// not shown (its caller tells it, with what it knows more).
template <typename Failure, typename Read>
auto ReadFileThrough(const char* path, std::uint64_t bound, FileReadFailures<Failure> failures,
                     Message (*messageOf)(Failure), Read read, Failure* reason = nullptr,
                     const Failure* untold = nullptr)
    -> decltype(read(ByteView(), 0).Take()) {
  using Result = decltype(read(ByteView(), 0));
  Failure failure = failures.open;
  DWORD error = ERROR_SUCCESS;
  {
    FileHandle file(OpenForReading(path));
    if (!file.IsValid()) error = GetLastError();
    for (std::uint64_t want = kFirstReadBytes; file.IsValid(); want = bound) {
      FileContents contents;
      FileContentsRead step = ReadFileStart(file.Get(), want < bound ? want : bound, &contents, &error);
      if (step != FileContentsRead::kDone) {
        failure = step == FileContentsRead::kReadFailed ? failures.read : failures.memory;
        break;
      }
      Result result = read(contents.View(), contents.length);
      if (result.Ok()) return result.Take();
      failure = result.Reason();
      if (failure != Failure::kTooLarge || want >= bound) break;
    }
  }
  SetLastError(error);
  if (reason != nullptr) *reason = failure;
  if (untold == nullptr || failure != *untold) ShowMessage(messageOf(failure), path);
  return {};
}
