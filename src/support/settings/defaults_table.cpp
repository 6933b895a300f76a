#include "support/settings/defaults_table.h"

#include <algorithm>
#include <array>

namespace trawler::settings {

namespace {

using L = tDefaultsList;

constexpr SettingSpec Text(std::string_view name, std::string L::*field, std::string_view def = {}) {
  return {.Name = name, .Kind = ValueKind::String, .Field = field, .DefaultText = def};
}

constexpr SettingSpec Number(std::string_view name, std::int32_t L::*field, std::int32_t def,
                   std::optional<ValidRange> range = {}) {
  return {.Name = name, .Kind = ValueKind::Integer, .Field = field, .DefaultNumber = def, .Range = range};
}

constexpr SettingSpec Flag(std::string_view name, bool L::*field, bool def) {
  return {.Name = name, .Kind = ValueKind::Boolean, .Field = field, .DefaultNumber = def ? 1 : 0};
}

constexpr SettingSpec Date(std::string_view name, text::TDateTime L::*field) {
  return {.Name = name, .Kind = ValueKind::DateTime, .Field = field};
}

// Created when missing for the sake of other programs, never read here.
constexpr SettingSpec Unread(std::string_view name, ValueKind kind, std::int32_t def) {
  return {.Name = name, .Kind = kind, .DefaultNumber = def};
}

constexpr SettingSpec Gone(std::string_view name) { return {.Name = name, .Kind = ValueKind::Obsolete}; }

constexpr ValidRange Counts(std::int32_t min, std::int32_t max) { return {min, max, OutOfRange::Clamp}; }
constexpr ValidRange Choice(std::int32_t last) { return {0, last, OutOfRange::UseDefault}; }

constexpr SettingSpec WithZeroAs(SettingSpec row, std::int32_t value) {
  row.ZeroReadsAs = value;
  return row;
}

constexpr SettingSpec WithEmptyAs(SettingSpec row, std::string_view value) {
  row.EmptyReadsAs = value;
  return row;
}

constexpr std::array kWaymark{
    // The options dialog allows 1..600 s; a stored 0 has always meant the default.
    WithZeroAs(Number("Timeout", &L::Timeout, 30, Counts(1, 600)), 30),
    SettingSpec{.Name = "ProxyHost", .Kind = ValueKind::String, .Field = &L::ProxyHost,
                .DiscoverProxyWhenMissing = true},
    SettingSpec{.Name = "OverrideProxy", .Kind = ValueKind::String, .Field = &L::OverrideProxy,
                .DiscoverProxyWhenMissing = true},
    Number("ProxyPort", &L::ProxyPort, 80, Counts(1, 65535)),
    Text("ProxyUser", &L::ProxyUser),
    Text("ProxyPassword", &L::ProxyPassword),
    Unread("AlwaysNew", ValueKind::Boolean, 1),
};

constexpr std::array kProgram{
    Text("LastSaveDir", &L::LastSaveDir),
    Flag("ShowAtStartup", &L::ShowAtStartup, true),
    SettingSpec{.Name = "FontName", .Kind = ValueKind::String, .Field = &L::FontName, .DefaultFromField = true},
    Flag("OneInstance", &L::OneInstance, false),
    Flag("MinimizeToSysTray", &L::MinimizeToSysTray, false),
    Flag("PromptForDelete", &L::PromptForDelete, true),
    Flag("CheckForUpdate", &L::CheckForUpdate, true),
    Text("IdentifyAs", &L::IdentifyAs, kDefaultUserAgent),
    WithEmptyAs(Text("EMail", &L::EMail, kEmailPlaceholder), kEmptyEmailPlaceholder),
    Number("MRUHitsCount", &L::MRUHitsCount, 10, Counts(0, 30)),
    Unread("Output", ValueKind::Integer, 1),
    Flag("AllowCookie", &L::AllowCookie, true),
    Flag("SaveHistory", &L::SaveHistory, true),
    Flag("PostStats", &L::PostStats, true),
    Flag("ClearListBeforeSearch", &L::ClearListBeforeSearch, true),
    Flag("DeleteAfterBlack", &L::DeleteAfterBlack, true),
    Flag("ShowHints", &L::ShowHints, true),
    Flag("SaveAtClose", &L::SaveAtClose, true),
    Flag("GridLines", &L::GridLines, false),
    Date("LastUpdate", &L::LastUpdate),
    Flag("EndSearchNotify", &L::EndSearchNotify, true),
    Flag("PromptForLinkDelete", &L::PromptForLinkDelete, true),
    Flag("PauseSearchNotify", &L::PauseSearchNotify, true),
    Flag("ShowItemHint", &L::ShowItemHint, true),
    Flag("AutoCheckLinks", &L::AutoCheckLinks, true),
    Text("LanguageEncoding", &L::LanguageEncoding),
    Text("Language", &L::Language),
    Number("LanguageCharset", &L::LanguageCharset, 1),
    Text("DefaultBrowser", &L::DefaultBrowser, kSystemBrowser),
    Flag("NotUseDDE", &L::NotUseDDE, false),
    Number("PauseMode", &L::PauseMode, 0, Choice(2)),
    Flag("UseExtList", &L::UseExtList, true),
    // With AutoCheckLinks one connection goes to the checker, so fewer than
    // two would leave the search none.
    Number("ConnectionsLimit", &L::ConnectionsLimit, 10, Counts(2, 100)),
    Number("FontSize", &L::FontSize, 8, Counts(8, 16)),
    Number("HitsPerEngine", &L::HitsPerEngine, 100, Counts(10, 100000)),
    Number("HitsPerAll", &L::HitsPerAll, 1000, Counts(10, 100000)),
    Number("BytesPerEngine", &L::BytesPerEngine, 0, Counts(0, 100000)),
    Number("BytesPerAll", &L::BytesPerAll, 0, Counts(0, 100000)),
    Number("MarkInterval", &L::MarkInterval, 4, Counts(-1, 10000)),
    Flag("ExactLimit", &L::ExactLimit, false),
    Flag("NewItemsBold", &L::NewItemsBold, true),
    Flag("DeleteBadLinks", &L::DeleteBadLinks, true),
    Flag("ExactMode", &L::ExactMode, false),
    Unread("ExactSearchMode", ValueKind::Boolean, 0),
    Number("NewItemsColor", &L::NewItemsColor, 16711680),
    Text("CurrentLanguage", &L::CurrentLanguage),
    Text("Charset", &L::Charset),
    Number("Match", &L::Match, 0, Choice(3)),
    Number("UseRegExp", &L::UseRegExp, 1),
    Number("Match1", &L::Match1, 0),
    Number("Match2", &L::Match2, 0),
    Number("Match3", &L::Match3, 0),
    Text("Sort", &L::Sort),
    Text("LangFrom", &L::LangFrom),
    Text("LangTo", &L::LangTo),
    Text("SubWhere", &L::SubWhere),
    Text("SubRegion", &L::SubRegion),
    Gone("SoftWhere"),
    Gone("ShopWhere"),
    Gone("NewsWhere"),
    Text("NewsGroup", &L::NewsGroup),
    Text("NewsSubject", &L::NewsSubject),
    SettingSpec{.Name = "Dateb", .Kind = ValueKind::DateTime, .Field = &L::Dateb, .OnlyAboveZero = true},
    SettingSpec{.Name = "Datee", .Kind = ValueKind::DateTime, .Field = &L::Datee, .OnlyAboveZero = true},
    Text("query", &L::query),
    // Older versions created NewsAuthor after the query; a first run keeps that order.
    Text("NewsAuthor", &L::NewsAuthor),
    WithEmptyAs(Text("Category", &L::Category, "0"), "0"),
    Text("LastName", &L::LastName),
    Text("Phone", &L::Phone),
    Text("Street", &L::Street),
    Text("Country", &L::Country),
    Text("City", &L::City),
    Text("House", &L::House),
    Text("Room", &L::Room),
    SettingSpec{.Name = "SoftType", .Kind = ValueKind::String, .Field = &L::SoftType, .CreatedWhenMissing = false},
};

constexpr std::array kUrlKey{
    Gone("Helpr"), Gone("Helpe"), Gone("Homee"), Gone("Homer"), Gone("Stat"), Gone("_url_update"),
    Gone("_url_update1"), Text("_url_statscript", &L::UrlStatScript),
};

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

}  // namespace

std::span<const SettingSpec> WaymarkSettings() { return kWaymark; }

std::span<const SettingSpec> ProgramSettings() { return kProgram; }

std::span<const SettingSpec> UrlKeySettings() { return kUrlKey; }

const SettingSpec *FindSetting(std::string_view name) {
  for (std::span<const SettingSpec> table : {WaymarkSettings(), ProgramSettings(), UrlKeySettings()})
    for (const SettingSpec &row : table)
      if (SameName(row.Name, name)) return &row;
  return nullptr;
}

}  // namespace trawler::settings
