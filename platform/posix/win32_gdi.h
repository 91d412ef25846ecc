// Palettes, and the clipboard, for the native build.
#pragma once
