// The language of the command's texts, chosen from the environment as GNU
// gettext chooses a catalog.
#pragma once

#include "core/messages.h"

// Call after setlocale(LC_ALL, ""). The program's texts are written in
// English and have one translation, zh_CN: as with a gettext catalog of that
// name, Chinese when LANGUAGE lists zh_CN before any "C" (LANGUAGE counts
// only when the locale of messages is not "C", and a locale that is not
// installed is "C"), or without LANGUAGE when that locale (from LC_ALL,
// LC_MESSAGES or LANG) is zh_CN; English otherwise. As with gettext, an "en"
// in LANGUAGE finds no catalog and the search goes on.
MessageLanguage LanguageFromEnvironment();
