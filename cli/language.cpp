#include "language.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A locale name of the form language[_territory][.codeset][@modifier] names
// `want` ("zh_CN", "en") when its language and territory are those, its
// codeset and modifier whatever they are. A language alone stands for every
// territory, as a catalog of that language alone serves them all.
bool Names(const std::string& locale, const char* want) {
  std::string base = locale.substr(0, locale.find_first_of(".@"));
  if (std::strchr(want, '_') == nullptr) base = base.substr(0, base.find('_'));
  return base == want;
}

enum class Found { kNone, kChinese, kEnglish };

Found LanguageOf(const std::string& locale) {
  if (Names(locale, "zh_CN")) return Found::kChinese;
  if (Names(locale, "en")) return Found::kEnglish;
  return Found::kNone;
}

}  // namespace

MessageLanguage LanguageFromEnvironment() {
  const char* current = std::setlocale(LC_MESSAGES, nullptr);
  const std::string locale = current != nullptr ? current : "C";
  if (locale == "C" || locale == "POSIX") return MessageLanguage::kEnglish;
  const char* languages = std::getenv("LANGUAGE");
  if (languages != nullptr && *languages != '\0') {
    std::string list = languages;
    std::size_t start = 0;
    while (start <= list.size()) {
      std::size_t end = list.find(':', start);
      if (end == std::string::npos) end = list.size();
      Found found = LanguageOf(list.substr(start, end - start));
      if (found != Found::kNone) return found == Found::kChinese ? MessageLanguage::kChinese : MessageLanguage::kEnglish;
      start = end + 1;
    }
    return MessageLanguage::kEnglish;
  }
  return LanguageOf(locale) == Found::kChinese ? MessageLanguage::kChinese : MessageLanguage::kEnglish;
}
