// pictrove: the icon extractor's core from the command line.
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <new>

#include "arguments.h"
#include "command_texts.h"
#include "commands.h"
#include "core/messages.h"
#include "help_texts.h"
#include "language.h"

namespace {

// A picture's blocks (a 256 x 256 image decoded, its scaling's buffers) are
// hundreds of KiB: above glibc's threshold each came from a mapping of its
// own, faulted in page by page and unmapped at its end, which cost a
// thumbnail a tenth of its time. From the heap, they reuse its pages.
constexpr int kMapThresholdBytes = 64 * 1024 * 1024;
constexpr int kHeapGrowthBytes = 4 * 1024 * 1024;

// A standard stream the caller closed (`>&-`) keeps its number taken, read
// only: a file the command opens would otherwise become it, and lines meant
// for the terminal land in an icon; writes to it now fail with a reason.
void HoldClosedStandardStreams() {
  for (int stream = 0; stream <= 2; ++stream) {
    if (fcntl(stream, F_GETFD) == -1 && errno == EBADF) open("/dev/null", O_RDONLY | O_CLOEXEC);
  }
}

// Lines that never arrived (a full disk, a closed output) are output not
// written: a failure, said with the system's reason as a save to - says it.
int Finished(int status) {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  int error = errno;
  // A write that failed earlier took its reason with it: the output is asked again.
  if (error == 0 && write(STDOUT_FILENO, "", 0) != 0) error = errno;
  Say(Text::kTargetNotWrittenBecause, "-", std::strerror(error != 0 ? error : EIO));
  return kFailed;
}

int RunCommand(const Arguments& args) {
  // A save or a thumbnail to - says itself how its output failed.
  if (args.command == "save") return Save(args);
  if (args.command == "thumbnail") return Thumbnail(args);
  if (args.command == "create") return Create(args);
  if (args.command == "lint") return Finished(Lint(args));
  if (args.command == "set-icon") return Finished(SetIcon(args));
  if (args.command == "list") return Finished(List(args));
  if (args.command == "info") return Finished(Info(args));
  return Finished(Extract(args));
}

}  // namespace

int main(int argc, char** argv) {
  HoldClosedStandardStreams();
  mallopt(M_MMAP_THRESHOLD, kMapThresholdBytes);
  mallopt(M_TOP_PAD, kHeapGrowthBytes);
  // The user's characters (what a terminal shows, how names are escaped) and
  // language (messages, the system's reasons), no more: each other category
  // is a file or two to look up at every start, and numbers stay as the
  // JSON and the lines for scripts write them.
  std::setlocale(LC_CTYPE, "");
  std::setlocale(LC_MESSAGES, "");
  const MessageLanguage language = LanguageFromEnvironment();
  SetCommandLanguage(language);
  // A line on a console names the file it is about, in the caption's place.
  SetMessageStyle(MessageStyle{language, true});

  Arguments args;
  if (!ParseArguments(argc, argv, &args)) return 2;
  if (args.help) {
    const char* help = HelpText(args.command);
    if (help == nullptr) return UsageErrorWith(Text::kUnknownCommand, args.command.c_str());
    std::fputs(help, stdout);
    return Finished(kDone);
  }
  if (args.version) {
    std::printf("pictrove %s\n", PICTROVE_VERSION);
    return Finished(kDone);
  }
  // Memory may run out anywhere a file's entries, names or lines are kept:
  // the command then fails as a file that can't be read, naming it.
  try {
    return RunCommand(args);
  } catch (const std::bad_alloc&) {
    ShowMessage(Message::kModuleOutOfMemory, args.files.empty() ? "pictrove" : args.files[0].c_str());
    return kFailed;
  }
}
