// The NE reader, on its own and under the core as the window uses it: every
// resource of the table visited and its bytes touched; then the group icons
// listed as the entries of the icon list, each read with every image (the Save command)
// and drawn as a preview. The module is read from memory, as the document
// reads one after loading the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/module_icons.h"
#include "core/held_entries.h"
#include "formats/ne_module.h"
#include "fuzz_support.h"
#include "platform/handles.h"
#include "platform/module_resources.h"

namespace {

// A table may list thousands of groups; the first ones exercise every path.
constexpr std::size_t kGroupsRead = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceMessages();
  ne_module::NeModule reader;
  if (!reader.Parse(ByteView(data, size))) return 0;
  std::uint32_t sum = 0;
  reader.ForEachResource([&](const ne_module::Resource& resource) {
    ByteView bytes;
    if (reader.Bytes(resource, &bytes) && bytes.Length() != 0) sum += bytes.Data()[bytes.Length() - 1];
    if (!resource.name.isInteger && resource.name.text.Length() != 0) sum += resource.name.text.Data()[0];
    return true;
  });
  (void)sum;

  // The module keeps a copy of its own, as one read from a file does.
  HeapPtr<std::uint8_t> copy(static_cast<std::uint8_t*>(std::malloc(size ? size : 1)));
  if (!copy) return 0;
  if (size) std::memcpy(copy.get(), data, size);
  NeModuleResources module;
  if (!module.Open(std::move(copy), size)) return 0;
  HeldEntries entries;
  entries.ListGroups(module, RT_GROUP_ICON);
  for (std::size_t i = 0; i < entries.Count() && i < kGroupsRead; ++i) {
    const ResourceName name = entries.Name(i);
    FreeIconGroup(ReadModuleIconGroup(module, "fuzz.icl", name));
    HICON preview = LoadPreviewIcon(module, name);
    if (preview != nullptr) DestroyIcon(preview);
  }
  return 0;
}
