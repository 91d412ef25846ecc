// pictrove: the icon extractor's core from the command line.
#include <clocale>
#include <cstdio>

#include "arguments.h"
#include "command_texts.h"
#include "commands.h"
#include "core/messages.h"
#include "language.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
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
  if (args.command == "list") return List(args);
  if (args.command == "info") return Info(args);
  if (args.command == "save") return Save(args);
  if (args.command == "thumbnail") return Thumbnail(args);
  return Extract(args);
}
