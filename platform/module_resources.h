// Reading a module's resources through the platform's resource calls, for
// the core and the native platform's own ExtractIconA alike.
#pragma once

#include "formats/byte_cursor.h"
#include "platform.h"

// The bytes of a resource of the module; false when it can't be found,
// loaded or locked.
bool FindResourceBytes(HMODULE module, LPCSTR name, LPCSTR type, ByteView* bytes);

// An icon of group-icon resource `name`, in the image that best fits the
// display; null on any failure, without a message. The icon belongs to the
// caller.
HICON IconOfGroupResource(HMODULE module, LPCSTR name);
