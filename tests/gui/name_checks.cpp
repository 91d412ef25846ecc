#include "name_checks.h"

#include <algorithm>
#include <cstdio>

#include "gui_checks.h"

namespace {

// "Ā" (U+0100): neither code page 1252 nor 936 holds it, and both would
// best-fit it to "A".
const wchar_t kNotHeld[] = L"\x0100";

}  // namespace

void CheckNamesOutsideCodePage(Program& program, const Paths& p) {
  const std::wstring source = p.In((std::wstring(kNotHeld) + L".ico").c_str());
  const Bytes wanted = IconFile({IconImageBlock(16, 16, 4, 0, 44)});
  const Bytes lookAlike = IconFile({IconImageBlock(24, 24, 8, 0, 55)});
  if (!WriteBytes(source, wanted)) {
    // Wine names files through the Unix locale's character set; in a locale
    // that glibc lacks that is ASCII, and no such name can be made at all.
    std::printf("note: no file name outside ASCII can be made here; names outside the code page not tried\n");
    return;
  }
  Check(WriteBytes(p.In(L"A.ico"), lookAlike) && WriteBytes(p.Out(L"Abc.ico"), lookAlike),
        "look-alike files A.ico and out\\Abc.ico written");

  Check(program.Open(source), "open dialog takes " + Narrow(source));
  CheckBoxes(program, "a name outside the code page", {});
  WindowState opened = program.State();
  const std::wstring entry = opened.entries.size() == 1 ? opened.entries[0] : L"";
  Check(!entry.empty() && ReadBytes(entry) == wanted, "the one entry names the file chosen (by its short name)",
        Narrow(entry));
  Check(opened.saveEnabled && opened.copyEnabled && opened.preview != nullptr, "its icon is shown");
  const std::wstring copy = p.Out(L"opened.ico");
  Check(program.SaveAs(copy), "save dialog takes opened.ico");
  CheckBoxes(program, "save of the icon opened", {});
  // One image behind a directory of one entry.
  Bytes saved = ReadBytes(copy);
  Check(saved.size() == wanted.size() && std::equal(saved.begin() + 22, saved.end(), wanted.begin() + 22),
        "the image opened is that file's, not the look-alike's", SizeOf(copy));

  const std::wstring fresh = p.Out((std::wstring(kNotHeld) + L"bc.ico").c_str());
  std::vector<std::wstring> before = FilesIn(p.out);
  Check(program.SaveAs(fresh), "save dialog takes " + Narrow(fresh));
  CheckBoxes(program, "save to a new name outside the code page", {{kError, kNameOutsideCodePage}});
  Check(!Exists(fresh), "nothing written under that name");
  Check(FileEquals(p.Out(L"Abc.ico"), lookAlike), "the look-alike Abc.ico untouched");
  Check(FilesIn(p.out) == before, "no other file made in the folder");
}
