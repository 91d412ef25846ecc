#include "fuzz_input_file.h"

#include <unistd.h>

#include <cstdio>

#include "platform/message_box.h"

namespace {

std::string ScratchPath(const char* extension, const char* role) {
  const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(folder) + "/pictrove-fuzz-" + std::to_string(getpid()) + "-" + role + "." +
         extension;
}

int Silent(HWND, const char*, const char*, UINT) { return IDOK; }

}  // namespace

const std::string& WriteFuzzInput(const std::uint8_t* data, std::size_t size,
                                  const char* extension) {
  static std::string path;
  path = ScratchPath(extension, "in");
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file) {
    if (size) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  return path;
}

std::string FuzzOutputPath(const char* extension) { return ScratchPath(extension, "out"); }

void SilenceMessages() { SetMessageBoxHook(Silent); }
