#include "list_filling.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "gui_checks.h"

namespace {

// Long enough for a list that redraws after every entry added (minutes on a
// busy machine under Wine).
constexpr DWORD kListingTimeoutMs = 300000;

struct Timing {
  DWORD total = 0;        // from the grab button's click until the list is filled
  DWORD afterDialog = 0;  // from the dialog's closing until then
  LRESULT listed = -1;
};

Timing TimeOpening(Program& program, const std::wstring& module, LRESULT groups) {
  Timing timing;
  DWORD start = GetTickCount();
  if (!program.Open(module)) return timing;
  DWORD dialogGone = GetTickCount();
  // The command runs to its end before the window answers again.
  for (DWORD waited = GetTickCount(); GetTickCount() - waited < kListingTimeoutMs; Sleep(20)) {
    timing.listed = Ask(program.List(), LB_GETCOUNT, 0, 0);
    if (timing.listed == groups) break;
  }
  Settle(program.Main());
  DWORD end = GetTickCount();
  timing.total = end - start;
  timing.afterDialog = end - dialogGone;
  return timing;
}

}  // namespace

void MeasureListFilling(Program& program, const Paths& p) {
  const struct {
    const wchar_t* module;
    LRESULT groups;
  } modules[] = {{L"groups-00010.dll", 10}, {L"groups-05000.dll", 5000}};
  for (const auto& m : modules) {
    Timing timing = TimeOpening(program, p.In(m.module), m.groups);
    CheckBoxes(program, Narrow(m.module), {});
    Check(timing.listed == m.groups, Narrow(m.module) + " lists " + std::to_string(m.groups) + " entries",
          std::to_string(timing.listed) + " listed");
    // Filled with its redrawing off, the list must be shown again.
    Check(IsWindowVisible(program.List()) != FALSE, Narrow(m.module) + ": the list is shown after filling");
    std::printf("measured: %ld group icons listed %lu ms after the grab button, %lu ms after the dialog closed\n",
                static_cast<long>(m.groups), static_cast<unsigned long>(timing.total),
                static_cast<unsigned long>(timing.afterDialog));
    std::fflush(stdout);
  }
}
