// The core reads its limits on outside input from the one place that states
// them for the core and the platform together.
#pragma once

#include "platform/input_limits.h"
