#include "command_checks.h"

#include <windows.h>

#include "command_files.h"
#include "command_program.h"
#include "gui_checks.h"
#include "image_file_checks.h"
#include "list_filling.h"
#include "module_checks.h"
#include "outside_checks.h"
#include "name_checks.h"

namespace {

void MakeSources(const Paths& p) {
  Bytes first = IconImageBlock(32, 32, 32, 0, 11);
  Bytes second = IconImageBlock(16, 16, 4, 0, 22);
  Bytes third = IconImageBlock(48, 48, 8, 0, 33);
  Check(WriteBytes(p.In(L"multi.ICO"), IconFile({first, second, third})) &&
            WriteBytes(p.In(L"empty.ico"), IconFile({})) &&
            WriteBytes(p.In(L"fake.ico"), Bytes{'n', 'o', ' ', 'i', 'c', 'o', 'n', '\n'}) &&
            WriteBytes(p.In(L"solid.Bmp"), SolidBitmap(20, 10)) &&
            CopyFileW(p.In(L"good-ids.dll").c_str(), p.In(L"ids.ocx").c_str(), FALSE) &&
            CopyFileW(p.In(L"good-ids.dll").c_str(), p.In(L"module.ico").c_str(), FALSE) &&
            CopyFileW(p.In(L"good-ids.dll").c_str(), p.In(L"ids").c_str(), FALSE) &&
            WriteBytes(p.In(L"broken.bmp"), Bytes{'B', 'M', 'n', 'o'}),
        "sources written");
  // Only where Wine can name files outside ASCII (see name_checks.cpp).
  if (CreateDirectoryW(p.In(L"我的 图标").c_str(), nullptr)) {
    Check(CopyFileW(p.In(L"good-ids.dll").c_str(), p.In(kChineseModule).c_str(), FALSE), "a module named in Chinese");
  }
  EmptyFolder(p.out);
}

}  // namespace

void RunCommandChecks(const std::wstring& exe, const std::string& files) {
  Paths p;
  p.unix = files;
  p.folder = WindowsPath(files.c_str());
  p.out = p.folder + L"\\out";
  MakeSources(p);

  Program program;
  Check(program.Start(exe), "Pictrove.exe starts for the commands");
  if (!program.Main()) return;
  CheckBitmapIntoStartingGroup(program, p);
  CheckIconFileThenBitmap(program, p);
  CheckModule(program, p);
  CheckUnlistableModules(program, p);
  CheckNeLibrary(program, p);
  CheckOtherExtensions(program, p);
  CheckIconFilesWithoutIcons(program, p);
  CheckLargeImageInItsBox(program, p);
  CheckImageMenu(program, p);
  CheckDroppedFiles(program, p);
  CheckHandOverDuringSave(exe, program, p);
  MeasureListFilling(program, p);
  CheckNamesOutsideCodePage(program, p);
  Check(program.EndsOnEscape(), "Esc ends the program after the commands");
  CheckStartFiles(exe, p);
}
