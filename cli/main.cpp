// pictrove: the icon extractor's core from the command line.
#include <malloc.h>

#include <clocale>
#include <cstdio>
#include <new>

#include "arguments.h"
#include "command_texts.h"
#include "commands.h"
#include "core/messages.h"
#include "language.h"

namespace {

// A picture's blocks (a 256 x 256 image decoded, its scaling's buffers) are
// hundreds of KiB: above glibc's threshold each came from a mapping of its
// own, faulted in page by page and unmapped at its end, which cost a
// thumbnail a tenth of its time. From the heap, they reuse its pages.
constexpr int kMapThresholdBytes = 64 * 1024 * 1024;
constexpr int kHeapGrowthBytes = 4 * 1024 * 1024;

int RunCommand(const Arguments& args) {
  if (args.command == "list") return List(args);
  if (args.command == "info") return Info(args);
  if (args.command == "save") return Save(args);
  if (args.command == "thumbnail") return Thumbnail(args);
  return Extract(args);
}

}  // namespace

int main(int argc, char** argv) {
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
    std::fputs(CommandText(Text::kUsage), stdout);
    std::fputs(CommandText(Text::kHelp), stdout);
    return kDone;
  }
  if (args.version) {
    std::printf("pictrove %s\n", PICTROVE_VERSION);
    return kDone;
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
