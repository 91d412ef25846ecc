#include "readable.h"

#include <cstring>

#include "command_files.h"
#include "command_texts.h"

bool TellFileKind(const std::string& path, FileStart* start) {
  std::uint8_t bytes[file_kind::kTellingBytes];
  std::size_t got = 0;
  command_files::Facts facts;
  if (const int error = command_files::ReadStart(path, bytes, sizeof bytes, &got, &facts)) {
    Say(Text::kCannotRead, path.c_str(), std::strerror(error));
    return false;
  }
  // A named pipe or a device: its readers would refuse it later, with a
  // reason (a denied permission) that is none of its.
  if (facts.type != command_files::Type::kRegular) {
    Say(Text::kNotRegular, path.c_str());
    return false;
  }
  start->length = facts.length;
  start->kind = file_kind::KindOf(ByteView(bytes, got));
  // Two bytes tell a module or a bitmap, four an icon or a cursor.
  start->tooShort = start->kind == file_kind::Kind::kUnknown && got < 4;
  return true;
}
