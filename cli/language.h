// The language of the command's texts, chosen from the environment as GNU
// gettext chooses a catalog.
#pragma once

#include "core/messages.h"

// Call after setlocale(LC_ALL, ""). Chinese when the first language of
// LANGUAGE that the program has texts in is zh_CN (LANGUAGE counts only when
// the locale of messages is not "C", and a locale that is not installed is
// "C"); without LANGUAGE, when that locale (from LC_ALL, LC_MESSAGES or
// LANG) is zh_CN. English otherwise: it is also the language of the texts as
// written, which gettext falls back to.
MessageLanguage LanguageFromEnvironment();
