#pragma once

// The language list: the installed language packs, the current pack and
// format, and every lookup of a translated text. What the current pack lacks
// falls back to the built-in English texts; a pack's files are completed
// with those texts when it is selected, so that they are ready to translate.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/lang/interface_entry.h"
#include "support/lang/lang_format.h"
#include "support/lang/language.h"
#include "support/lang/text_list.h"

namespace trawler::lang {

class tALanglist;
using tALanguageEvent = std::function<void(tALanglist &sender)>;

class tALanglist {
 public:
  tALanglist();

  // The directory scanned for packs (the program's "languages").
  std::filesystem::path StartDir;
  // A writable directory scanned as well (the user's data overlay); a pack
  // found here replaces a pack of StartDir with the same caption. Empty for
  // none.
  std::filesystem::path UserDir;
  // Code page for pack files that are not UTF-8 and whose pack names no
  // character set.
  int LegacyCodePage = 1252;
  // Fired after LoadPacks has read the packs.
  tALanguageEvent OnLoad;

  // The built-in lists; DefaultMessages and DefaultInterface start filled
  // with the English texts, DefaultCategories (id=caption;description) is
  // set from the category definitions whenever they are reloaded.
  TextList DefaultMessages;
  TextList DefaultInterface;
  TextList DefaultCategories;

  // Applied to every component by the windows.
  std::string FontName;
  int CharSet = 0;  // 0: components keep their own character set

  // Frees the packs, forgets the current pack and format, reads every
  // subdirectory of StartDir and UserDir (in name order) and fires OnLoad.
  void LoadPacks();

  const std::vector<std::unique_ptr<tALanguage>> &Packs() const { return packs_; }
  const tALanguage *CurrentPack() const { return current_pack_; }
  const tALangFormat *CurrentFormat() const { return current_format_; }

  // The last pack whose locale list holds `localeId`, else the last pack
  // marked default, else none; the current format becomes none. Without an
  // argument the locale of the process environment is used.
  void SelectDefaultPack();
  void SelectDefaultPack(int localeId);
  // The described pack whose caption equals `caption` ignoring case (or
  // none; an empty caption names none).
  void SelectPackByCaption(std::string_view caption);
  // Makes the pack current and loads its text files, completing them with
  // the built-in texts they lack where the pack's directory is writable.
  // A pack that lacks a file shows the built-in texts of that kind.
  void SelectPack(const tALanguage *pack);
  // The current pack's format of that name ignoring case, or none; nothing
  // happens when there is no current pack.
  void SelectFormat(std::string_view name);

  std::string PackCaption() const;
  std::string FormatName() const;
  std::string PackLangId() const;  // "0" when there is no current pack

  // Message n of the pack, else the built-in one, else empty (or
  // `fallback`), with the current format applied. A format string for
  // FormatMessage.
  std::string MessageText(int n) const;
  std::string MessageText(int n, std::string_view fallback) const;

  // The three parts of interface entry n (the pack's first, then the
  // built-in one; empty parts when neither has it).
  InterfaceEntry Entry(int n) const;
  std::string CaptionText(int n) const { return Entry(n).Caption; }
  std::string HintText(int n) const { return Entry(n).Hint; }
  std::string ItemsText(int n) const { return Entry(n).Items; }
  std::vector<std::string> ItemList(int n) const { return SplitItems(Entry(n).Items); }

  // The caption part (before the first ";") of category id's text in the
  // pack, else in DefaultCategories, else of `fallback`; formatted.
  std::string CategoryCaption(std::string_view id) const;
  std::string CategoryCaption(std::string_view id, std::string_view fallback) const;
  // The part after the first ";" (the whole text when it has none); formatted.
  std::string CategoryDescription(std::string_view id) const;

  std::string ApplyFormat(std::string_view text) const;

 private:
  void LoadPackFile(const tALanguage &pack, const char *file, const TextList &defaults,
                    TextList &target);
  std::optional<std::string_view> CategoryValue(std::string_view id) const;

  std::vector<std::unique_ptr<tALanguage>> packs_;
  const tALanguage *current_pack_ = nullptr;
  const tALangFormat *current_format_ = nullptr;
  TextList pack_messages_;
  TextList pack_interface_;
  TextList pack_categories_;
};

// The start-up choice: the pack named by the Language setting and the
// format named by LanguageEncoding; when no such pack exists the default
// pack for the locale. Returns what the settings should hold afterwards
// (caption and format name of the current pack, empty when none).
struct LanguageChoice {
  std::string Language;
  std::string LanguageEncoding;
};
LanguageChoice SelectFromSettings(tALanglist &list, std::string_view language,
                                  std::string_view encoding, int localeId);

}  // namespace trawler::lang
