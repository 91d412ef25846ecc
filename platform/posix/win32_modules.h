// Modules loaded as data files, their resources, and icon objects, for the
// native build.
#pragma once
