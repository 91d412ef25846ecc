// Module reading on the native platform, as the window does it, over the
// input's bytes: the module is loaded as a data file, its group icons listed
// into the icon list, and each one read with every image (the Save command)
// and drawn as a preview. Before that, the resource
// directory is read from parts of its section as the loader reads a large
// one: wherever a part is said to hold all that lookups reach, every lookup
// must find there what it finds in the whole section.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "core/module_cursors.h"
#include "core/module_icons.h"
#include "core/module_loading.h"
#include "core/held_entries.h"
#include "formats/pe/pe_image.h"
#include "formats/pe/pe_resources.h"
#include "fuzz_support.h"
#include "platform/random_access_file.h"

namespace {

// A directory may list tens of thousands of groups; the first ones exercise
// every path, and the rest would only make one input take seconds.
constexpr std::size_t kGroupsRead = 16;

PeResourceQuery QueryOf(const PeResourceTree& tree, const PeResourceEntry& entry) {
  return entry.named ? PeResourceQuery::Text(tree.Name(entry)) : PeResourceQuery::Id(entry.id);
}

// The same answer from both trees to every (type, name) the whole one lists.
void CheckSameLookups(const PeResourceTree& whole, const PeResourceTree& part) {
  const PeLanguageOrder order = LoaderLanguageOrder(0, 0x0409, 0x0409, 0x0409);
  PeResourceTable types, names, partNames;
  if (whole.Root(&types) != part.Root(&partNames)) std::abort();
  for (std::uint32_t t = 0; t < types.count && t < kGroupsRead; ++t) {
    PeResourceEntry type, name;
    if (!whole.Entry(types, t, &type)) return;
    const PeResourceQuery typeQuery = QueryOf(whole, type);
    const bool listed = FindTypeTable(whole, typeQuery, &names);
    if (listed != FindTypeTable(part, typeQuery, &partNames)) std::abort();
    for (std::uint32_t n = 0; listed && n < names.count && n < kGroupsRead; ++n) {
      if (!whole.Entry(names, n, &name)) break;
      std::uint32_t inWhole = 0, inPart = 0;
      const PeResourceQuery nameQuery = QueryOf(whole, name);
      const bool found = FindResourceDataEntry(whole, typeQuery, nameQuery, order, &inWhole);
      if (found != FindResourceDataEntry(part, typeQuery, nameQuery, order, &inPart) || inWhole != inPart) {
        std::abort();
      }
    }
  }
}

void CheckDirectoryParts(const std::uint8_t* data, std::size_t size) {
  PeImage image;
  std::size_t root, end;
  if (!image.Parse(data, size) || !image.ResourceRange(&root, &end)) return;
  const std::size_t section = end - root;
  PeResourceTree whole;
  whole.Open(ByteView(data + root, section));
  for (std::size_t cut : {section / 4, section / 2, section - section / 8}) {
    PeResourceTree part;
    part.Open(ByteView(data + root, cut));
    if (part.AllReachableInside(1u << 16)) CheckSameLookups(whole, part);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceMessages();
  CheckDirectoryParts(data, size);
  RandomAccessFile file;
  if (!file.OpenBytes(ByteView(data, size))) return 0;
  std::unique_ptr<ModuleResources> module = LoadModuleResources(std::move(file), nullptr);
  if (!module) return 0;
  HeldEntries entries;
  entries.ListGroups(*module, RT_GROUP_ICON);
  for (std::size_t i = 0; i < entries.Count() && i < kGroupsRead; ++i) {
    const ResourceName name = entries.Name(i);
    FreeIconGroup(ReadModuleIconGroup(*module, "module.dll", name));
    HICON preview = LoadPreviewIcon(*module, name);
    if (preview != nullptr) DestroyIcon(preview);
  }

  ModuleCursors cursors;
  cursors.Open(std::move(module), "module.dll");
  for (std::size_t i = 0; i < cursors.Entries().Count() && i < kGroupsRead; ++i) cursors.Read(i);
  return 0;
}
