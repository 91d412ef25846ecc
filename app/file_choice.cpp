#include "file_choice.h"

#include "core/messages.h"

bool ChooseFile(CFileDialog& dialog) {
  if (dialog.DoModal() == IDOK) return true;
  if (dialog.NameOutsideCodePage()) ShowMessage(Message::kNameOutsideCodePage);
  return false;
}
