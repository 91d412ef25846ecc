#include "source.h"

Source::Source() : listWindow_(CreateNativeListDialog()) { document_.Attach(listWindow_, nullptr); }

Source::~Source() {
  // The entries' names go while their list is still there.
  document_.Close();
  DestroyWindow(listWindow_);
}

bool Source::Open(const std::string& path) {
  return document_.Open(path.c_str()).listed && document_.SelectFirstEntry();
}
