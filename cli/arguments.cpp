#include "arguments.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "command_files.h"
#include "command_texts.h"
#include "formats/input_limits.h"
#include "argument_values.h"
#include "help_texts.h"
#include "platform/posix/terminal_text.h"

namespace {

enum Command : unsigned {
  kList = 1,
  kInfo = 2,
  kSave = 4,
  kExtract = 8,
  kThumbnail = 16,
  kCreate = 32,
  kLint = 64,
  kSetIcon = 128,
  kAnyCommand = 255
};

enum class Option {
  kAllImages,
  kEntry,
  kIndex,
  kFormat,
  kImage,
  kOutput,
  kAll,
  kJson,
  kCursors,
  kPng,
  kQuiet,
  kOverwrite,
  kSkipExisting,
  kSize,
  kLanguage,
  kHelp,
  kVersion,
  kForce,
  kSizes,
  kHotSpot,
  kEnlarge,
  kBmp,
  kAdd,
  kStripSignature
};

struct OptionDefinition {
  Option option;
  const char* name;
  const char* shortName;
  bool takesValue;
  unsigned commands;
};

constexpr OptionDefinition kOptions[] = {
    {Option::kEntry, "--entry", nullptr, true, kInfo | kSave | kThumbnail | kSetIcon},
    {Option::kIndex, "--index", nullptr, true, kInfo | kSave | kThumbnail | kSetIcon},
    {Option::kImage, "--image", nullptr, true, kSave},
    {Option::kFormat, "--format", nullptr, true, kSave},
    {Option::kOutput, "--output", "-o", true, kExtract | kSetIcon},
    {Option::kAll, "--all", nullptr, false, kInfo | kLint},
    {Option::kJson, "--json", nullptr, false, kList | kInfo | kExtract | kLint},
    {Option::kCursors, "--cursors", nullptr, false, kList | kInfo | kSave | kExtract},
    {Option::kPng, "--png", nullptr, false, kExtract | kCreate},
    {Option::kAllImages, "--all-images", nullptr, false, kExtract},
    {Option::kQuiet, "--quiet", "-q", false, kExtract},
    {Option::kOverwrite, "--overwrite", nullptr, false, kExtract},
    {Option::kSkipExisting, "--skip-existing", nullptr, false, kExtract},
    {Option::kSize, "--size", "-s", true, kThumbnail | kSave},
    {Option::kLanguage, "--language", nullptr, true, kInfo | kSave | kExtract | kThumbnail},
    {Option::kHelp, "--help", "-h", false, kAnyCommand},
    {Option::kVersion, "--version", nullptr, false, kAnyCommand},
    {Option::kForce, "--force", nullptr, false, kSave | kThumbnail},
    {Option::kSizes, "--sizes", nullptr, true, kCreate},
    {Option::kHotSpot, "--hotspot", nullptr, true, kCreate},
    {Option::kEnlarge, "--enlarge", nullptr, false, kCreate},
    {Option::kBmp, "--bmp", nullptr, false, kCreate},
    {Option::kAdd, "--add", nullptr, true, kSetIcon},
    {Option::kStripSignature, "--strip-signature", nullptr, false, kSetIcon},
};

struct Given {
  const OptionDefinition* known;
  std::string word;  // as written, for messages
  std::string value;
};

unsigned CommandBit(const std::string& command) {
  if (command == "list") return kList;
  if (command == "info") return kInfo;
  if (command == "save") return kSave;
  if (command == "extract") return kExtract;
  if (command == "thumbnail") return kThumbnail;
  if (command == "create") return kCreate;
  if (command == "lint") return kLint;
  if (command == "set-icon") return kSetIcon;
  return 0;
}

const OptionDefinition* FindOption(const std::string& word) {
  for (const OptionDefinition& known : kOptions) {
    if (word == known.name || (known.shortName != nullptr && word == known.shortName)) return &known;
  }
  return nullptr;
}

// The command the words name, once they do: its help is where a usage error
// points.
std::string g_commandForHelp;

}  // namespace

int UsageError(const char* problem) {
  if (problem == nullptr) {
    std::fputs(HelpText(""), stderr);
    return 2;
  }
  std::fprintf(stderr, "pictrove: %s\n", TerminalText(problem).c_str());
  const std::string help = g_commandForHelp.empty() ? "pictrove --help" : "pictrove help " + g_commandForHelp;
  std::fprintf(stderr, CommandText(Text::kTryHelp), help.c_str());
  std::fputc('\n', stderr);
  return 2;
}

int UsageErrorWith(Text problem, const char* first, const char* second) {
  char line[512];
  std::snprintf(line, sizeof line, CommandText(problem), first, second);
  return UsageError(line);
}

namespace {

// Splits the command line into the options given (each once, each known)
// and the other words; false after a usage error.
bool ReadWords(int argc, char** argv, std::vector<Given>* given, std::vector<std::string>* words) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (optionsEnded || word.size() < 2 || word[0] != '-') {
      words->push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    std::size_t equals = word.compare(0, 2, "--") == 0 ? word.find('=') : std::string::npos;
    const std::string name = word.substr(0, equals);
    const OptionDefinition* known = FindOption(name);
    if (known == nullptr || (equals != std::string::npos && !known->takesValue)) {
      UsageErrorWith(Text::kUnknownOption, word.c_str());
      return false;
    }
    Given option{known, name, ""};
    if (known->takesValue) {
      if (equals != std::string::npos) {
        option.value = word.substr(equals + 1);
      } else if (i + 1 < argc) {
        option.value = argv[++i];
      } else {
        UsageErrorWith(Text::kOptionNeedsValue, name.c_str());
        return false;
      }
    }
    for (const Given& earlier : *given) {
      if (earlier.known == known) {
        UsageErrorWith(Text::kOptionTwice, name.c_str());
        return false;
      }
    }
    given->push_back(option);
  }
  return true;
}

// An option's value, parsed by `parse` into `*field` and marked given; false
// after a usage error naming the value.
template <typename Field, typename Parse>
bool TakeValue(const Given& option, Parse parse, Text problem, Field* field, bool* given) {
  if (!parse(option.value, field)) {
    UsageErrorWith(problem, option.value.c_str());
    return false;
  }
  *given = true;
  return true;
}

bool IsFormatName(const std::string& value, std::string* format) {
  if (value != "ico" && value != "bmp" && value != "png" && value != "cur") return false;
  *format = value;
  return true;
}

// Sets what one option of `command` says; false after a usage error.
bool ApplyOption(const Given& option, unsigned command, Arguments* args) {
  switch (option.known->option) {
    case Option::kEntry:
      args->hasEntry = true;
      args->entry = option.value;
      return true;
    case Option::kIndex: return TakeValue(option, ParseIconIndex, Text::kIndexNumber, &args->index, &args->hasIndex);
    case Option::kFormat: return TakeValue(option, IsFormatName, Text::kFormatName, &args->format, &args->hasFormat);
    case Option::kImage: return TakeValue(option, ParseImageChoice, Text::kImageNumber, args, &args->hasImage);
    case Option::kOutput:
      args->hasOutputFolder = true;
      args->outputFolder = option.value;
      return true;
    case Option::kLanguage:
      return TakeValue(option, ParseLanguage, Text::kLanguageNumber, &args->language, &args->hasLanguage);
    case Option::kAll: args->all = true; return true;
    case Option::kJson: args->json = true; return true;
    case Option::kCursors: args->cursors = true; return true;
    case Option::kPng: args->png = true; return true;
    case Option::kAllImages: args->allImages = true; return true;
    case Option::kQuiet: args->quiet = true; return true;
    case Option::kOverwrite: args->overwrite = true; return true;
    case Option::kSkipExisting: args->skipExisting = true; return true;
    case Option::kSize: {
      // A thumbnail is at most what a thumbnail service asks for; an image
      // saved is as large as an image may be.
      const std::int32_t largest =
          command == kSave ? static_cast<std::int32_t>(limits::kMaxDimension) : limits::kMaxThumbnailSide;
      if (!ParseSide(option.value, largest, &args->size)) {
        UsageErrorWith(Text::kSizeNumber, std::to_string(largest).c_str(), option.value.c_str());
        return false;
      }
      args->hasSize = true;
      return true;
    }
    case Option::kForce: args->force = true; return true;
    case Option::kSizes: return TakeValue(option, ParseSides, Text::kSizesList, &args->sizes, &args->hasSizes);
    case Option::kHotSpot:
      return TakeValue(option, [args](const std::string& text, Arguments*) { return ParseHotSpot(text, args); },
                       Text::kHotSpotValue, args, &args->hasHotSpot);
    case Option::kEnlarge: args->enlarge = true; return true;
    case Option::kBmp: args->bmp = true; return true;
    case Option::kHelp:
    case Option::kVersion:
      return true;
    case Option::kAdd:
      args->hasAdd = true;
      args->add = option.value;
      return true;
    case Option::kStripSignature: args->stripSignature = true; return true;
  }
  return true;
}

// FILE,N as Windows writes an icon's place (shell32.dll,-3), taken as
// --index N when no file has the whole name but one has the part before
// the comma; false after a usage error.
bool TakeIndexFromFileName(Arguments* args) {
  std::string& file = args->files[0];
  const std::size_t comma = file.rfind(',');
  std::int32_t index = 0;
  if (comma == std::string::npos || !ParseIconIndex(file.substr(comma + 1), &index)) return true;
  command_files::Facts facts;
  if (command_files::Inspect(file, &facts) == 0 || command_files::Inspect(file.substr(0, comma), &facts) != 0) {
    return true;
  }
  if (args->hasIndex || args->hasEntry) {
    UsageErrorWith(Text::kIndexInFileName, file.c_str());
    return false;
  }
  file.resize(comma);
  args->hasIndex = true;
  args->index = index;
  return true;
}

}  // namespace

bool ParseArguments(int argc, char** argv, Arguments* args) {
  // An option refused before the words are all read points to the help of
  // the command they name.
  for (int i = 1; i < argc && g_commandForHelp.empty(); ++i) {
    if (CommandBit(argv[i]) != 0) g_commandForHelp = argv[i];
  }
  std::vector<Given> given;
  std::vector<std::string> words;
  if (!ReadWords(argc, argv, &given, &words)) return false;
  for (const Given& option : given) {
    if (option.known->option == Option::kHelp) args->help = true;
    if (option.known->option == Option::kVersion) args->version = true;
  }
  // "help COMMAND", or --help anywhere: that command's help, else the overview.
  if (!words.empty() && words[0] == "help") {
    args->help = true;
    words.erase(words.begin());
  }
  if (args->help && !words.empty()) args->command = words[0];
  if (args->help || args->version) return true;
  if (words.empty()) {
    UsageError(nullptr);
    return false;
  }
  args->command = words[0];
  args->files.assign(words.begin() + 1, words.end());
  const unsigned command = CommandBit(args->command);
  if (command == 0) {
    UsageErrorWith(Text::kUnknownCommand, args->command.c_str());
    return false;
  }
  g_commandForHelp = args->command;
  for (const Given& option : given) {
    if ((option.known->commands & command) == 0) {
      UsageErrorWith(Text::kOptionNotForCommand, args->command.c_str(), option.word.c_str());
      return false;
    }
    if (!ApplyOption(option, command, args)) return false;
  }
  if ((command & (kInfo | kSave | kThumbnail)) != 0 && !args->files.empty()) return TakeIndexFromFileName(args);
  return true;
}
