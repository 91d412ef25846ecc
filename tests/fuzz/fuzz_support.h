// What the fuzz targets share: the readers take their input as bytes; a
// round trip through a writer that only writes files gets a scratch path,
// one per process, in memory-backed /dev/shm when it exists.
#pragma once

#include <string>

// A scratch path for what a target writes.
std::string FuzzOutputPath(const char* extension);

// Messages go nowhere while fuzzing.
void SilenceMessages();
