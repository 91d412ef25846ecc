// The few window operations the core uses (list entries, the clipboard), for
// the native build.
#pragma once
