#include "save_checks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/file_io.h"
#include "core/messages.h"
#include "platform/handles.h"
#include "save_conditions.h"

namespace {

// What the writer writes, saved to a plain new file.
Bytes ContentOf(const TempDir& dir, const SaveTo& save) {
  std::string path = dir.Path("content");
  EXPECT_EQ(1, save(path.c_str()));
  Bytes content = ReadFileBytes(path);
  std::remove(path.c_str());
  return content;
}

std::vector<std::string> Texts(const Outcome& outcome) {
  std::vector<std::string> texts;
  for (const ShownMessage& message : outcome.messages) texts.push_back(message.text);
  return texts;
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of("/\\")); }

}  // namespace

void ExpectEveryAcceptedLengthSaves(const TempDir& dir, const SaveTo& save) {
  Bytes content = ContentOf(dir, save);
  const std::size_t rootLength = dir.Path("x").size() - 1;  // with its separator
  for (std::size_t folderLength = 249; folderLength <= 253; ++folderLength) {
    std::string folder = dir.Path(std::string(folderLength - rootLength, 'f'));
    ASSERT_EQ(folderLength, folder.size());
    ASSERT_TRUE(CreateDirectoryForTest(folder));
    for (std::size_t targetLength = 256; targetLength <= 259; ++targetLength) {
      for (bool existing : {false, true}) {
        std::string name(targetLength - folderLength - 1, existing ? 'e' : 'n');
        std::string target = InFolder(folder, name);
        ASSERT_EQ(targetLength, target.size());
        if (existing) WriteFileBytes(target, Bytes(3000, 0x11));
        std::string what = std::to_string(folderLength) + " + " + name;
        Outcome outcome = SaveAs(false, [&] { return save(target.c_str()); });
        EXPECT_EQ(1, outcome.result) << what;
        EXPECT_EQ(std::vector<std::string>{}, Texts(outcome)) << what;
        EXPECT_TRUE(content == ReadFileBytes(target)) << what;
        EXPECT_EQ(std::vector<std::string>{name}, FilesIn(folder)) << what;
        std::remove(target.c_str());
      }
    }
  }
}

void ExpectSavesKeepWhatTargetsAre(const TempDir& dir, const SaveTo& save) {
  enum Kind { kPlain, kSymbolicLink, kLinkToMissingFile, kHardLink };
  struct Case {
    const char* what;
    Kind kind;
    unsigned mode;  // of the file the target names; 0: as made, not checked
    unsigned owner;
    unsigned group;
    unsigned folderMode;
    bool asNobody;
  } cases[] = {
      {"hard link", kHardLink, 0, 0, 0, 0755, false},
#ifndef _WIN32
      {"0600", kPlain, 0600, 0, 0, 0755, false},
      {"0755", kPlain, 0755, 0, 0, 0755, false},
      {"0640", kPlain, 0640, 0, 0, 0755, false},
      {"0444, which root may write", kPlain, 0444, 0, 0, 0755, false},
      {"owned by nobody", kPlain, 0640, kNobody, kNobody, 0755, false},
      {"symbolic link", kSymbolicLink, 0640, 0, 0, 0755, false},
      {"link to a missing file", kLinkToMissingFile, 0, 0, 0, 0755, false},
      {"nobody's file in a folder nobody may not write", kPlain, 0644, kNobody, kNobody, 0755, true},
      {"root's file that nobody's group may write", kPlain, 0664, 0, kNobody, 0777, true},
#endif
  };
  Bytes content = ContentOf(dir, save);
  const Bytes old(700, 0xAB);
  int index = 0;
  for (const Case& c : cases) {
    // The target in a folder of its own; a link names a file in another.
    std::string number = std::to_string(index++);
    std::string folder = dir.Path("case" + number);
    std::string otherFolder = dir.Path("named" + number);
    ASSERT_TRUE(CreateDirectoryForTest(folder));
    ASSERT_TRUE(CreateDirectoryForTest(otherFolder));
    std::string target = InFolder(folder, "t");
    std::string partner = InFolder(folder, "partner");
    bool isLink = c.kind == kSymbolicLink || c.kind == kLinkToMissingFile;
    std::string named = isLink ? InFolder(otherFolder, "named") : target;
    if (c.kind != kLinkToMissingFile) WriteFileBytes(named, old);
    if (c.kind == kHardLink) {
      ASSERT_TRUE(CreateHardLinkForTest(target, partner));
    }
#ifndef _WIN32
    if (isLink) {
      std::string linkText = "../named" + number + "/named";
      ASSERT_EQ(0, symlink(linkText.c_str(), target.c_str())) << c.what;
    }
    if (c.mode != 0) {
      ASSERT_EQ(0, chown(named.c_str(), c.owner, c.group)) << c.what;
      ASSERT_EQ(0, chmod(named.c_str(), c.mode)) << c.what;
    }
    ASSERT_EQ(0, chmod(folder.c_str(), c.folderMode)) << c.what;
#endif
    std::vector<std::string> namesBefore = FilesIn(folder);

    Outcome outcome = SaveAs(c.asNobody, [&] { return save(target.c_str()); });
    if (outcome.result == kNotRun) continue;
    EXPECT_EQ(1, outcome.result) << c.what;
    EXPECT_EQ(std::vector<std::string>{}, Texts(outcome)) << c.what;
    EXPECT_TRUE(content == ReadFileBytes(named)) << c.what;
    EXPECT_EQ(namesBefore, FilesIn(folder)) << c.what << ": the target's folder holds what it held";
    if (c.kind == kHardLink) {
      EXPECT_TRUE(content == ReadFileBytes(partner)) << c.what << ": the other name has the new content";
    }
#ifndef _WIN32
    EXPECT_EQ(isLink, FactsOf(target).isLink) << c.what;
    if (c.mode != 0) {
      FileFacts facts = FactsThrough(target);
      EXPECT_EQ(c.mode, facts.mode) << c.what << ": mode " << std::oct << facts.mode;
      EXPECT_EQ(c.owner, facts.owner) << c.what;
      EXPECT_EQ(c.group, facts.group) << c.what;
    }
#endif
  }
}

void ExpectFailedSavesLeaveTargets(const TempDir& dir, const WriterMessages& texts, const SaveTo& save) {
  const Bytes old(100, 0x22);
  FileHandle reader;
#ifndef _WIN32
  SmallDisk disk(dir, 16 * 4096);
#endif
  struct Case {
    const char* what;
    std::function<std::string()> make;  // the target, with the old content when it exists
    const char* message;
    bool asNobody = false;
    bool onSmallDisk = false;
    const char* before = nullptr;  // a message shown before the writer's
  } cases[] = {
      {"folder missing", [&] { return InFolder(dir.Path("missing"), "x"); }, texts.create},
      {"a folder of the target's name",
       [&] {
         CreateDirectoryForTest(dir.Path("folder"));
         return dir.Path("folder");
       },
       texts.create},
      {"path over 259 bytes", [&] { return dir.Path(std::string(300, 'n')); }, texts.create},
      {"a target of two names beside an earlier save's copy", [&] {
         dir.Write(".linked.pictrove-backup", Bytes(10, 0x33));
         CreateHardLinkForTest(dir.Write("linked", old), dir.Path("linked-partner"));
         return dir.Path("linked");
       }, texts.write, false, false, MessageText(Message::kInterruptedSaveBackup)},
      // Opened by a reader that shares it with readers only.
      {"a target a reader holds",
       [&] {
         std::string target = dir.Write("held", old);
         reader = FileHandle(OpenForReading(target.c_str()));
         return target;
       },
       texts.create},
#ifndef _WIN32
      {"a file nobody may not write, in a folder anyone may write",
       [&] {
         CreateDirectoryForTest(dir.Path("open"));
         chmod(dir.Path("open").c_str(), 0777);
         return WriteFileBytes(InFolder(dir.Path("open"), "rootonly"), old);
       },
       texts.create, true},
      {"a full disk",
       [&] {
         std::string target = WriteFileBytes(disk.Path("full"), old);
         return disk.LeaveFree(0) ? target : "";
       },
       texts.header, false, true},
      {"a disk that takes the first page only",
       [&] {
         std::string target = WriteFileBytes(disk.Path("page"), old);
         return disk.LeaveFree(4096) ? target : "";
       },
       texts.write, false, true},
      // The new content is complete beside it; the target can't grow.
      {"a target of two names that the disk can't let grow",
       [&] {
         std::string target = WriteFileBytes(disk.Path("grows"), old);
         CreateHardLinkForTest(target, disk.Path("grows-partner"));
         return disk.LeaveFree(2 * 4096) ? target : "";
       },
       texts.write, false, true},
#endif
  };
  for (const Case& c : cases) {
#ifndef _WIN32
    if (c.onSmallDisk && !disk.Mounted()) continue;
#endif
    std::string target = c.make();
    ASSERT_FALSE(target.empty()) << c.what;
    bool existed = ReadFileBytes(target) == old;
    std::string folder = FolderOf(target);
    std::vector<std::string> namesBefore = FileExists(folder) ? FilesIn(folder) : std::vector<std::string>{};
    Outcome outcome = SaveAs(c.asNobody, [&] { return save(target.c_str()); });
    reader.Close();
    if (outcome.result == kNotRun) continue;
    EXPECT_EQ(0, outcome.result) << c.what;
    std::vector<std::string> expected{c.message};
    if (c.before != nullptr) expected.insert(expected.begin(), c.before);
    EXPECT_EQ(expected, Texts(outcome)) << c.what;
    for (const ShownMessage& message : outcome.messages) EXPECT_EQ(target, message.caption) << c.what;
    if (existed) {
      EXPECT_TRUE(old == ReadFileBytes(target)) << c.what << ": the target keeps its content";
    }
    if (FileExists(folder)) {
      EXPECT_EQ(namesBefore, FilesIn(folder)) << c.what;
    }
  }
}
