#include "fuzz_support.h"

#include <unistd.h>

#include "platform/message_box.h"

namespace {

int Silent(HWND, const char*, const char*, UINT) { return IDOK; }

}  // namespace

std::string FuzzOutputPath(const char* extension) {
  const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(folder) + "/pictrove-fuzz-" + std::to_string(getpid()) + "-out." + extension;
}

void SilenceMessages() { SetMessageBoxHook(Silent); }
