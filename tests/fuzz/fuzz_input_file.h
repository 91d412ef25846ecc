// The readers take paths, so each fuzz input goes through a real file: one
// per process, rewritten for every input, in memory-backed /dev/shm when it
// exists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes the input to this process's scratch file and returns its path.
const std::string& WriteFuzzInput(const std::uint8_t* data, std::size_t size,
                                  const char* extension);

// A second scratch path beside it, for what a target writes.
std::string FuzzOutputPath(const char* extension);

// Messages go nowhere while fuzzing.
void SilenceMessages();
