// The width of the picture an icon handle holds, in either build.
#pragma once

#include "platform/platform.h"

int IconWidth(HICON icon);
int IconHeight(HICON icon);
