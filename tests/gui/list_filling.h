// How long the window takes to list a module's group icons: a measurement
// printed for the record, never a timed check.
#pragma once

#include "command_files.h"
#include "command_program.h"

// Opens a module of 10 and one of 5000 group icons through the open dialog
// and prints how long each took to be listed.
void MeasureListFilling(Program& program, const Paths& p);
