#include "support/lang/lang_list.h"

#include <algorithm>
#include <system_error>

#include "platform/atomic_file.h"
#include "support/lang/default_texts.h"
#include "support/lang/lang_text.h"
#include "support/lang/locale_ids.h"
#include "support/lang/pack_encoding.h"
#include "support/text/case_folding.h"
#include "support/text/utf8.h"

namespace trawler::lang {
namespace {

constexpr const char *kMessagesFile = "messages";
constexpr const char *kInterfaceFile = "interface";
constexpr const char *kCategoriesFile = "categories";

// Subdirectories in name order, so that "the later pack" means the same on
// every file system.
std::vector<std::filesystem::path> PackDirectories(const std::filesystem::path &root) {
  std::vector<std::filesystem::path> dirs;
  if (root.empty()) return dirs;
  std::error_code error;
  std::filesystem::directory_iterator it(root, error), end;
  for (; !error && it != end; it.increment(error)) {
    std::error_code kind_error;
    if (it->is_directory(kind_error)) dirs.push_back(it->path());
  }
  std::sort(dirs.begin(), dirs.end());
  return dirs;
}

bool ContainsCrLf(std::string_view text) { return text.find("\r\n") != std::string_view::npos; }

// The lines a pack file lacks, appended in the order of the built-in list.
// A file in a legacy code page is rewritten as UTF-8 so that the appended
// texts and the old ones share one encoding. Failing to write (a pack
// installed read-only) is not an error: lookups fall back to the built-in
// texts anyway.
void CompletePackFile(const std::filesystem::path &file, bool exists, std::string_view original,
                      std::string_view decoded, const std::vector<std::string> &missing) {
  std::string content(text::IsValidUtf8(original) ? original : decoded);
  const char *line_break = ContainsCrLf(content) ? "\r\n" : "\n";
  if (exists && !content.empty() && content.back() != '\n' && content.back() != '\r')
    content += line_break;
  for (const std::string &line : missing) content.append(line).append(line_break);
  platform::WriteFileAtomically(file, content);
}

}  // namespace

tALanglist::tALanglist() {
  DefaultMessages.Assign(DefaultMessageLines());
  DefaultInterface.Assign(DefaultInterfaceLines());
}

void tALanglist::LoadPacks() {
  current_pack_ = nullptr;
  current_format_ = nullptr;
  pack_messages_.Clear();
  pack_interface_.Clear();
  pack_categories_.Clear();
  packs_.clear();

  for (const auto &dir : PackDirectories(StartDir)) {
    packs_.push_back(std::make_unique<tALanguage>(dir));
    ReadDescription(*packs_.back(), LegacyCodePage);
  }
  std::error_code error;
  bool separate_user_dir =
      !UserDir.empty() && !(std::filesystem::exists(StartDir, error) &&
                            std::filesystem::equivalent(StartDir, UserDir, error));
  if (separate_user_dir) {
    for (const auto &dir : PackDirectories(UserDir)) {
      auto pack = std::make_unique<tALanguage>(dir);
      ReadDescription(*pack, LegacyCodePage);
      auto same = std::find_if(packs_.begin(), packs_.end(), [&](const auto &system) {
        return pack->Described && system->Described &&
               text::SameTextIgnoreCase(system->Caption, pack->Caption);
      });
      if (same != packs_.end())
        *same = std::move(pack);
      else
        packs_.push_back(std::move(pack));
    }
  }
  if (OnLoad) OnLoad(*this);
}

void tALanglist::SelectDefaultPack() { SelectDefaultPack(SystemLocaleId()); }

void tALanglist::SelectDefaultPack(int localeId) {
  const std::string id = std::to_string(localeId);
  const tALanguage *by_locale = nullptr;
  const tALanguage *by_default = nullptr;
  for (const auto &pack : packs_) {
    if (std::find(pack->Locale.begin(), pack->Locale.end(), id) != pack->Locale.end())
      by_locale = pack.get();
    if (pack->Default) by_default = pack.get();
  }
  SelectPack(by_locale ? by_locale : by_default);
  current_format_ = nullptr;
}

void tALanglist::SelectPackByCaption(std::string_view caption) {
  // An empty Language setting names no pack, even though an undescribed
  // directory (or a description without caption) has an empty caption.
  const tALanguage *found = nullptr;
  for (const auto &pack : packs_) {
    if (!caption.empty() && pack->Described && text::SameTextIgnoreCase(pack->Caption, caption)) {
      found = pack.get();
      break;
    }
  }
  SelectPack(found);
}

void tALanglist::SelectPack(const tALanguage *pack) {
  if (pack != current_pack_) current_format_ = nullptr;
  current_pack_ = pack;
  pack_messages_.Clear();
  pack_interface_.Clear();
  pack_categories_.Clear();
  if (pack == nullptr) return;
  LoadPackFile(*pack, kMessagesFile, DefaultMessages, pack_messages_);
  LoadPackFile(*pack, kInterfaceFile, DefaultInterface, pack_interface_);
  LoadPackFile(*pack, kCategoriesFile, DefaultCategories, pack_categories_);
  if (pack->CodePage >= 0) CharSet = pack->CodePage;
}

void tALanglist::LoadPackFile(const tALanguage &pack, const char *file, const TextList &defaults,
                              TextList &target) {
  const std::filesystem::path path = pack.Directory / file;
  std::error_code error;
  bool exists = std::filesystem::is_regular_file(path, error);
  std::string bytes;
  if (exists && !platform::ReadWholeFile(path, bytes, kMaxPackFileSize)) {
    return;  // unreadable or oversized: the built-in texts stand, and the file is left alone
  }
  std::string decoded = DecodePackText(bytes, pack.CodePage, LegacyCodePage);
  target.Assign(SplitLines(decoded));

  std::vector<std::string> missing;
  for (const std::string &line : defaults.Lines()) {
    auto name = LineName(line);
    if (name && !target.HasName(*name)) missing.push_back(line);
  }
  if (!missing.empty()) CompletePackFile(path, exists, bytes, decoded, missing);
}

void tALanglist::SelectFormat(std::string_view name) {
  if (current_pack_ == nullptr) return;
  current_format_ = current_pack_->FindFormat(name);
}

std::string tALanglist::PackCaption() const { return current_pack_ ? current_pack_->Caption : ""; }
std::string tALanglist::FormatName() const { return current_format_ ? current_format_->Name : ""; }
std::string tALanglist::PackLangId() const { return current_pack_ ? current_pack_->LangId : "0"; }

std::string tALanglist::ApplyFormat(std::string_view text) const {
  return lang::ApplyFormat(text, current_format_);
}

std::string tALanglist::MessageText(int n) const { return MessageText(n, {}); }

std::string tALanglist::MessageText(int n, std::string_view fallback) const {
  const std::string key = std::to_string(n);
  auto value = pack_messages_.Value(key);
  if (!value) value = DefaultMessages.Value(key);
  return ApplyFormat(value ? *value : fallback);
}

InterfaceEntry tALanglist::Entry(int n) const {
  const std::string key = std::to_string(n);
  auto value = pack_interface_.Value(key);
  if (!value) value = DefaultInterface.Value(key);
  if (!value) return {};
  return SplitInterfaceEntry(ApplyFormat(*value));
}

std::optional<std::string_view> tALanglist::CategoryValue(std::string_view id) const {
  auto value = pack_categories_.Value(id);
  if (!value) value = DefaultCategories.Value(id);
  return value;
}

std::string tALanglist::CategoryCaption(std::string_view id) const {
  return CategoryCaption(id, {});
}

std::string tALanglist::CategoryCaption(std::string_view id, std::string_view fallback) const {
  std::string_view value = CategoryValue(id).value_or(fallback);
  return ApplyFormat(value.substr(0, value.find(';')));
}

std::string tALanglist::CategoryDescription(std::string_view id) const {
  std::string_view value = CategoryValue(id).value_or(std::string_view());
  std::size_t semicolon = value.find(';');
  return ApplyFormat(semicolon == std::string_view::npos ? value : value.substr(semicolon + 1));
}

LanguageChoice SelectFromSettings(tALanglist &list, std::string_view language,
                                  std::string_view encoding, int localeId) {
  list.SelectPackByCaption(language);
  list.SelectFormat(encoding);
  if (list.CurrentPack() == nullptr) list.SelectDefaultPack(localeId);
  return {list.PackCaption(), list.FormatName()};
}

}  // namespace trawler::lang
