#include "language.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A locale name of the form language[_territory][.codeset][@modifier] names
// Chinese (zh_CN) whatever its codeset and modifier.
bool IsChinese(const std::string& locale) { return locale.substr(0, locale.find_first_of(".@")) == "zh_CN"; }

}  // namespace

MessageLanguage LanguageFromEnvironment() {
  const char* current = std::setlocale(LC_MESSAGES, nullptr);
  const std::string locale = current != nullptr ? current : "C";
  if (locale == "C" || locale == "POSIX") return MessageLanguage::kEnglish;
  const char* languages = std::getenv("LANGUAGE");
  if (languages != nullptr && *languages != '\0') {
    // The first of the list that has texts: English has no catalog of its
    // own but the texts as written, which "C" asks for.
    std::string list = languages;
    std::size_t start = 0;
    while (start <= list.size()) {
      std::size_t end = list.find(':', start);
      if (end == std::string::npos) end = list.size();
      const std::string language = list.substr(start, end - start);
      if (language == "C" || language == "POSIX") break;
      if (IsChinese(language)) return MessageLanguage::kChinese;
      start = end + 1;
    }
    return MessageLanguage::kEnglish;
  }
  return IsChinese(locale) ? MessageLanguage::kChinese : MessageLanguage::kEnglish;
}
