#pragma once

// Windows locale identifiers, by which language packs name the locales they
// are the automatic choice for, mapped from POSIX locale names.

#include <functional>
#include <string_view>

namespace trawler::lang {

// The identifier of a POSIX locale name such as "ru_RU.UTF-8", "de_AT@euro"
// or "uk": the language and territory when known, else the language's main
// locale; 0 for "C", "POSIX", an empty or an unknown name.
int LocaleIdFromName(std::string_view name);

// The identifier of the user's locale for messages: the first non-empty of
// LC_ALL, LC_MESSAGES and LANG, looked up through `getenv` (the process
// environment by default).
int SystemLocaleId(const std::function<const char *(const char *)> &getenv = {});

}  // namespace trawler::lang
