// lint: what each icon, cursor or program's icon lacks or gets wrong for
// Windows, one finding a line (or one JSON document a file).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "command_texts.h"
#include "commands.h"
#include "core/lint_sources.h"
#include "core/messages.h"
#include "json.h"
#include "platform/posix/terminal_text.h"
#include "readable.h"

namespace {

struct KindName {
  FindingKind kind;
  Text text;
  const char* name;  // for scripts
};

constexpr KindName kKinds[] = {
    {FindingKind::kMissingSizes, Text::kLintMissingSizes, "missing-sizes"},
    {FindingKind::kUndecodable, Text::kLintUndecodable, "undecodable"},
    {FindingKind::kLargeBitmap, Text::kLintLargeBitmap, "large-bitmap"},
    {FindingKind::kOver256, Text::kLintOver256, "over-256"},
    {FindingKind::kSideMismatch, Text::kLintSideMismatch, "entry-size"},
    {FindingKind::kDepthMismatch, Text::kLintDepthMismatch, "entry-depth"},
    {FindingKind::kPngDepthMismatch, Text::kLintPngDepthMismatch, "png-depth"},
    {FindingKind::kBytesMismatch, Text::kLintBytesMismatch, "entry-bytes"},
    {FindingKind::kMaskMismatch, Text::kLintMaskMismatch, "mask"},
    {FindingKind::kDuplicate, Text::kLintDuplicate, "duplicate"},
};

const KindName& NameOf(FindingKind kind) {
  for (const KindName& known : kKinds) {
    if (known.kind == kind) return known;
  }
  return kKinds[0];
}

std::string Sizes(const Finding& finding) {
  std::string list;
  for (std::int32_t size : finding.sizes) list += (list.empty() ? "" : ", ") + std::to_string(size);
  return list;
}

// The finding's text, its values in the order its text takes them.
std::string Describe(const Finding& finding) {
  char text[256];
  const char* format = CommandText(NameOf(finding.kind).text);
  if (finding.kind == FindingKind::kMissingSizes) {
    std::snprintf(text, sizeof text, format, Sizes(finding).c_str());
  } else if (finding.kind == FindingKind::kSideMismatch) {
    std::snprintf(text, sizeof text, format, static_cast<long long>(finding.stated),
                  static_cast<long long>(finding.count));
  } else if (finding.kind == FindingKind::kMaskMismatch || finding.kind == FindingKind::kDuplicate) {
    std::snprintf(text, sizeof text, format, static_cast<long long>(finding.count));
  } else {
    std::snprintf(text, sizeof text, format, static_cast<long long>(finding.stated),
                  static_cast<long long>(finding.actual));
  }
  return text;
}

const char* SeverityText(const Finding& finding) {
  return CommandText(finding.severity == Severity::kError ? Text::kLintError : Text::kLintWarning);
}

void PrintLine(const std::string& file, const std::string& group, const Finding& finding) {
  std::string line = file + ": " + group + ": ";
  if (finding.image >= 0) {
    line += "image " + std::to_string(finding.image) + " (" + std::to_string(finding.width) + "x" +
            std::to_string(finding.height) + "): ";
  }
  line += std::string(SeverityText(finding)) + ": " + Describe(finding);
  std::printf("%s\n", TerminalText(line).c_str());
}

std::string JsonFinding(const std::string& group, const Finding& finding) {
  std::string json = "{\"group\":" + JsonString(group);
  if (finding.image >= 0) {
    json += ",\"image\":" + std::to_string(finding.image) + ",\"width\":" + std::to_string(finding.width) +
            ",\"height\":" + std::to_string(finding.height);
  }
  json += std::string(",\"severity\":\"") + (finding.severity == Severity::kError ? "error" : "warning") +
          "\",\"kind\":\"" + NameOf(finding.kind).name + "\"";
  if (!finding.sizes.empty()) json += ",\"sizes\":[" + Sizes(finding) + "]";
  return json + ",\"text\":" + JsonString(Describe(finding)) + "}";
}

// Says why a file gave no groups; true when it gave them.
bool TellRead(LintRead read, const std::string& path) {
  switch (read) {
    case LintRead::kRead:
      return true;
    case LintRead::kCannotRead:
      Say(Text::kCannotRead, path.c_str(), std::strerror(errno ? errno : EIO));
      break;
    case LintRead::kOutOfMemory:
      ShowMessage(Message::kModuleOutOfMemory, path.c_str());
      break;
    case LintRead::kNotLintable:
      Say(Text::kLintNotLintable, path.c_str());
      break;
    case LintRead::kDirectoryCut:
      Say(Text::kLintDirectoryCut, path.c_str());
      break;
    case LintRead::kNotLoadable:
      ShowMessage(Message::kNotLoadable, path.c_str());
      break;
    case LintRead::kNoIcons:
      ShowMessage(Message::kNoIcons, path.c_str());
      return true;
  }
  return false;
}

// The file's findings; kFailed when one is an error or the file can't be read.
int LintFile(const std::string& path, const Arguments& args) {
  FileStart start;
  if (!TellFileKind(path, &start)) return kFailed;
  LintSource source;
  errno = 0;
  if (!TellRead(source.Read(path.c_str(), start.kind, args.all), path)) return kFailed;
  int status = kDone;
  std::string json;
  for (const NamedGroup& named : source.Groups()) {
    for (const Finding& finding : LintGroup(named.group)) {
      if (finding.severity == Severity::kError) status = kFailed;
      if (args.json) json += (json.empty() ? "" : ",") + JsonFinding(named.text, finding);
      if (!args.json) PrintLine(path, named.text, finding);
    }
  }
  if (args.json) std::printf("%s,\"findings\":[%s]}\n", JsonDocumentStart(path).c_str(), json.c_str());
  return status;
}

}  // namespace

int Lint(const Arguments& args) {
  if (args.files.empty()) return UsageError(CommandText(Text::kLintArguments));
  int status = kDone;
  for (const std::string& file : args.files) {
    if (LintFile(file, args) != kDone) status = kFailed;
  }
  return status;
}
