// Module reading on the native platform, as the window does it: the module is
// loaded as a data file, its group icons listed into the icon list, and each
// one read with every image (the Save command) and drawn as a preview; and
// its group cursors as the command reads them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/handles.h"
#include "core/module_cursors.h"
#include "core/module_icons.h"
#include "fuzz_input_file.h"

namespace {

// A directory may list tens of thousands of groups; the first ones exercise
// every path, and the rest would only make one input take seconds.
constexpr LRESULT kGroupsRead = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceMessages();
  const std::string& path = WriteFuzzInput(data, size, "dll");
  ModuleHandle module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return 0;
  HWND dialog = CreateNativeListDialog();
  EnumResourceNamesA(module.Get(), RT_GROUP_ICON, ListGroupName,
                     reinterpret_cast<LONG_PTR>(dialog));
  HWND list = GetDlgItem(dialog, kIconListId);
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count && i < kGroupsRead; ++i) {
    auto name = static_cast<ResourceName>(
        SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
    FreeIconGroup(LoadModuleIconGroup(path.c_str(), name));
    HICON preview = LoadPreviewIcon(module.Get(), name);
    if (preview != nullptr) DestroyIcon(preview);
  }
  ReleaseListGroupNames(dialog);
  DestroyWindow(dialog);

  ModuleCursors cursors;
  if (!cursors.Open(path.c_str())) return 0;
  std::vector<CursorImage> images;
  for (std::size_t i = 0; i < cursors.Entries().size() && i < kGroupsRead; ++i) cursors.Read(i, &images);
  return 0;
}
