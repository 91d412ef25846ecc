// The command's commands; each returns the exit status.
#pragma once

#include "arguments.h"

constexpr int kDone = 0;
constexpr int kFailed = 1;

int List(const Arguments& args);
int Info(const Arguments& args);
int Save(const Arguments& args);
int Extract(const Arguments& args);
int Thumbnail(const Arguments& args);
int Create(const Arguments& args);
int Lint(const Arguments& args);
int SetIcon(const Arguments& args);
