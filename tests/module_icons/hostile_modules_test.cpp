// Module icon reading over every module the module script makes (good, odd
// and malformed ones) and every module Wine ships: the native reader under
// the core's functions, run under the sanitizers.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "platform/handles.h"
#include "core/module_icons.h"
#include "core/held_entries.h"
#include "tests/module_resources/test_modules.h"
#include "tests/support/message_capture.h"

namespace {

struct Outcome {
  std::size_t groups = 0;
  std::size_t read = 0;
  std::size_t previewed = 0;
  std::vector<std::string> messages;
  bool loaded = false;
};

// Lists the module's group icons as the Open command does, then reads and
// previews each one as painting and the Save command do.
Outcome ReadEveryGroup(const std::string& path) {
  Outcome outcome;
  MessageCapture capture;
  HeldEntries entries;
  {
    ModuleHandle module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    outcome.loaded = static_cast<bool>(module);
    if (module) {
      entries.ListGroups(LoadedModuleResources(module.Get()), RT_GROUP_ICON);
      outcome.groups = entries.Count();
      for (std::size_t i = 0; i < entries.Count(); ++i) {
        const ResourceName name = entries.Name(i);
        IconGroupPtr group(LoadModuleIconGroup(path.c_str(), name));
        outcome.read += group != nullptr;
        HICON icon = LoadPreviewIcon(module.Get(), name);
        outcome.previewed += icon != nullptr;
        DestroyIcon(icon);
      }
    }
  }
  HICON first = ExtractIconA(nullptr, path.c_str(), 0);
  if (first != reinterpret_cast<HICON>(1)) DestroyIcon(first);
  for (const CapturedMessage& message : capture.Messages()) outcome.messages.push_back(message.text);
  return outcome;
}

TEST(ScriptModules, EveryGroupOfAWellFormedModuleReadsAndNoFaultBreaksTheReader) {
  std::string folder = TestModulesDir();
  if (folder.empty()) GTEST_SKIP() << "PICTROVE_TEST_MODULES not set";
  const std::string badGroup = "转换成图标内部格式时出错!";
  // Modules whose groups don't all read or preview, and what the reader says.
  struct Expected {
    std::size_t read;
    int previewed;  // -1: not looked at
    std::vector<std::string> messages;
  };
  std::map<std::string, Expected> special = {
      {"good-empty-group.dll", {2, 1, {}}},  // a count-0 group reads, with nothing to preview
      {"good-group-short.dll", {0, 0, {badGroup, badGroup}}},
      {"good-missing-icon.dll", {0, -1, {}}},
  };
  std::vector<std::string> files = FilesEndingIn(folder, {".dll", ".exe"});
  ASSERT_FALSE(files.empty());
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    Outcome outcome = ReadEveryGroup(JoinPath(folder, file));
    bool good = file.compare(0, 5, "good-") == 0;
    if (!good) continue;  // malformed ones: surviving them is the test
    EXPECT_TRUE(outcome.loaded);
    auto expected = special.find(file);
    if (expected == special.end()) {
      EXPECT_EQ(outcome.groups, outcome.read);
      EXPECT_EQ(outcome.groups, outcome.previewed);
      EXPECT_TRUE(outcome.messages.empty());
    } else {
      EXPECT_EQ(expected->second.read, outcome.read);
      if (expected->second.previewed >= 0) {
        EXPECT_EQ(static_cast<std::size_t>(expected->second.previewed), outcome.previewed);
      }
      EXPECT_EQ(expected->second.messages, outcome.messages);
    }
  }
}

TEST(WineModules, EveryGroupOfEveryModuleReadsAndPreviews) {
  std::vector<std::string> files = FilesEndingIn(WineModulesDir(), {".dll", ".exe"});
  if (files.empty()) GTEST_SKIP() << "no Wine modules";
  std::size_t groups = 0, modulesWithIcons = 0;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    Outcome outcome = ReadEveryGroup(JoinPath(WineModulesDir(), file));
    groups += outcome.groups;
    modulesWithIcons += outcome.groups != 0;
    EXPECT_EQ(outcome.groups, outcome.read);
    EXPECT_EQ(outcome.groups, outcome.previewed);
    EXPECT_TRUE(outcome.messages.empty());
  }
  EXPECT_GT(groups, 184u);
  std::printf("%zu groups in %zu of %zu modules\n", groups, modulesWithIcons, files.size());
}

}  // namespace
