// Loading a module for its resources, by what the file holds: a file whose
// DOS header leads to an "NE" header is a 16-bit module, read into memory for
// our own NE reader (the system can't load one as a data file); any other is
// left to the platform to load as a data file (PE modules).
#pragma once

#include <memory>

#include "platform/random_access_file.h"
#include "platform/module_resources.h"

// The module at `path` with its resources; null, without a message, when
// the file can't be read or is neither kind of module.
std::unique_ptr<ModuleResources> LoadModuleResources(const char* path);

// The same from a module file already open, or a module's bytes in memory
// (RandomAccessFile::OpenBytes; read by the native build's own PE reader, where
// Windows loads a PE module by its `path`).
std::unique_ptr<ModuleResources> LoadModuleResources(RandomAccessFile file, const char* path);
