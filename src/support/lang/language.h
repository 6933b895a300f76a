#pragma once

// One language pack: a directory holding a ".description" XML file, the text
// files "messages", "interface" and "categories" and an optional "icon".

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/lang/lang_format.h"
#include "support/text/dates.h"

namespace trawler::lang {

// Larger pack files are ignored: packs come from the web and from users.
inline constexpr std::size_t kMaxPackFileSize = std::size_t{16} << 20;

class tALanguage {
 public:
  explicit tALanguage(std::filesystem::path directory) : Directory(std::move(directory)) {}

  std::string Caption;   // the pack's name, stored in the Language setting
  int CodePage = -1;     // a font character-set number (204 Cyrillic ...), -1 when absent
  text::TDateTime Date = 0;
  std::string Author;
  std::string LangId;    // Windows locale identifier in decimal, for per-language addresses
  std::vector<std::unique_ptr<tALangFormat>> Formats;
  std::vector<std::string> Locale;  // locale identifiers this pack is the automatic choice for
  std::filesystem::path Directory;
  bool Described = false;           // a description file was read
  bool Default = false;             // chosen when no pack lists the system locale
  std::filesystem::path IconFile;   // the pack's icon file, empty when it has none

  // The format whose name equals `name` ignoring case, or nullptr.
  const tALangFormat *FindFormat(std::string_view name) const;
};

// Fills the pack's fields from its directory's ".description" (if present)
// and notes its icon. A description that is not valid UTF-8 is decoded from
// the pack's character set, else from `legacyCodePage`. A missing element
// leaves its field as it was; a description that cannot be read leaves the
// pack undescribed.
void ReadDescription(tALanguage &pack, int legacyCodePage);

// True when the pack is the automatic choice for a Cyrillic locale
// (Russian, Russian of Moldova, Belarusian, Ukrainian).
bool IsCyrillicPack(const tALanguage *pack);

}  // namespace trawler::lang
