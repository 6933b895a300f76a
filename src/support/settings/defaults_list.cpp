#include "support/settings/defaults_list.h"

#include <array>
#include <string>

#include "support/settings/defaults_table.h"
#include "support/settings/service_addresses.h"
#include "support/settings/setting_values.h"

namespace trawler::settings {

namespace {

using platform::RegKey;

std::string SubKey(std::string_view parent, std::string_view name) {
  std::string path(parent);
  path += '\\';
  path += name;
  return path;
}

// The three quick-search templates a first run offers: title and category.
struct QuickTemplate {
  std::string_view Title;
  std::string_view Category;
};
constexpr std::array kFirstRunTemplates{
    QuickTemplate{"Common Search - all sites", "0"},
    QuickTemplate{"Search engines - all sites", "5"},
    QuickTemplate{"Search for MP3", "61"},
};

void CreateFirstRunTemplates(RegKey &key) {
  if (key.KeyExists(kQuickSearchKey)) return;
  for (std::size_t i = 0; i < kFirstRunTemplates.size(); ++i) {
    if (!key.OpenKey(SubKey(kQuickSearchKey, std::to_string(i)), true)) continue;
    key.WriteString("", kFirstRunTemplates[i].Title);
    key.WriteString("Category", kFirstRunTemplates[i].Category);
  }
}

// The name=value lists under "urls", with the defaults a first run writes.
struct UrlListSlot {
  std::string_view SubKeyName;
  UrlList tDefaultsList::*List;
  UrlList (*FirstRunDefaults)();  // nullptr: the list starts empty
};
constexpr std::array kUrlLists{
    UrlListSlot{"home", &tDefaultsList::HomeUrls, &DefaultHomeUrls},
    UrlListSlot{"donation", &tDefaultsList::DonationUrls, nullptr},
    UrlListSlot{"help", &tDefaultsList::HelpUrls, &DefaultHelpUrls},
    UrlListSlot{"stat", &tDefaultsList::StatUrls, nullptr},
    UrlListSlot{"emails", &tDefaultsList::EmailUrls, &DefaultEmailUrls},
};
constexpr std::string_view kUpdateListKey = "update";

UrlList ReadUrlList(RegKey &key) {
  UrlList list;
  for (const std::string &name : key.GetValueNames())
    if (std::optional<std::string> value = key.ReadString(name)) list.push_back({name, std::move(*value)});
  return list;
}

bool WriteUrlList(RegKey &key, const UrlList &list) {
  bool ok = true;
  for (const UrlEntry &entry : list) ok = key.WriteString(entry.Name, entry.Value) && ok;
  return ok;
}

UrlList NumberedList(const std::vector<std::string> &values) {
  UrlList list;
  for (std::size_t i = 0; i < values.size(); ++i) list.push_back({std::to_string(i), values[i]});
  return list;
}

void LoadUrlLists(RegKey &key, tDefaultsList &settings) {
  for (const UrlListSlot &slot : kUrlLists) {
    if (!key.OpenKey(SubKey(kUrlsKey, slot.SubKeyName), true)) continue;
    if (slot.FirstRunDefaults && key.GetValueNames().empty()) WriteUrlList(key, slot.FirstRunDefaults());
    settings.*slot.List = ReadUrlList(key);
  }
  if (key.OpenKey(SubKey(kUrlsKey, kUpdateListKey), true)) {
    if (key.GetValueNames().empty()) WriteUrlList(key, NumberedList(DefaultUpdateUrls()));
    settings.UpdateUrls.clear();
    for (UrlEntry &entry : ReadUrlList(key)) settings.UpdateUrls.push_back(std::move(entry.Value));
  }
}

bool SaveUrlLists(RegKey &key, const tDefaultsList &settings) {
  bool ok = true;
  for (const UrlListSlot &slot : kUrlLists)
    ok = key.OpenKey(SubKey(kUrlsKey, slot.SubKeyName), true) && WriteUrlList(key, settings.*slot.List) && ok;
  ok = key.OpenKey(SubKey(kUrlsKey, kUpdateListKey), true) && WriteUrlList(key, NumberedList(settings.UpdateUrls)) &&
       ok;
  return ok;
}

// Checks and reads every row of a table in the open key; true when a row
// that asks for proxy discovery was missing.
bool LoadTable(RegKey &key, std::span<const SettingSpec> table, tDefaultsList &settings) {
  bool discover = false;
  for (const SettingSpec &row : table) {
    if (CheckValue(key, row, settings) && row.DiscoverProxyWhenMissing) discover = true;
    ReadValue(key, row, settings);
  }
  return discover;
}

bool SaveTable(RegKey &key, std::span<const SettingSpec> table, const tDefaultsList &settings) {
  bool ok = true;
  for (const SettingSpec &row : table) ok = WriteValue(key, row, settings) && ok;
  return ok;
}

}  // namespace

tDefaultsList::tDefaultsList() {
  for (std::span<const SettingSpec> table : {WaymarkSettings(), ProgramSettings(), UrlKeySettings()})
    for (const SettingSpec &row : table) ApplyDefault(row, *this);
}

void tDefaultsList::Load(platform::RegistryStore &store) {
  // One transaction: a crash half-way through a first run leaves no half key.
  platform::RegistryBatch batch(store);
  RegKey key(store);
  bool discover = false;

  CreateFirstRunTemplates(key);
  key.DeleteKey(SubKey(kHistoryKey, "software"));
  for (std::string_view path : {kOxbowKey, kTrawlerKey, kWaymarkKey}) key.CreateKey(path);

  if (key.OpenKey(kWaymarkKey, false)) discover = LoadTable(key, WaymarkSettings(), *this);
  if (key.OpenKey(kDefaultsKey, true)) LoadTable(key, ProgramSettings(), *this);

  History.clear();
  if (key.OpenKey(kHistoryKey, true) && SaveHistory) {
    for (const std::string &name : key.GetValueNames()) {
      std::optional<std::string> text = key.ReadString(name);
      if (text && !text->empty()) History.push_back(std::move(*text));
    }
  }

  if (key.OpenKey(kUrlsKey, true)) {
    LoadTable(key, UrlKeySettings(), *this);
    LoadUrlLists(key, *this);
  }
  batch.Commit();

  if (discover) DiscoverProxy();
}

bool tDefaultsList::Save(platform::RegistryStore &store) {
  platform::RegistryBatch batch(store);
  // Without a transaction the save could stop half-way; keep the old state.
  if (!batch.Active()) return false;
  RegKey key(store);
  bool ok = true;

  // The shared key belongs to the sibling program as much as to us: only an
  // existing one is written to.
  if (key.OpenKey(kWaymarkKey, false)) ok = SaveTable(key, WaymarkSettings(), *this) && ok;

  if (key.KeyExists(kHistoryKey)) ok = key.DeleteKey(kHistoryKey) && ok;
  if (SaveHistory) {
    ok = key.OpenKey(kHistoryKey, true) && ok;
    for (std::size_t i = 0; ok && i < History.size(); ++i)
      if (!History[i].empty()) ok = key.WriteString(std::to_string(i), History[i]);
  }

  ok = key.OpenKey(kDefaultsKey, true) && SaveTable(key, ProgramSettings(), *this) && ok;

  key.CloseKey();
  if (key.KeyExists(kUrlsKey)) ok = key.DeleteKey(kUrlsKey) && ok;
  ok = key.OpenKey(kUrlsKey, true) && SaveTable(key, UrlKeySettings(), *this) && ok;
  ok = SaveUrlLists(key, *this) && ok;

  // Anything short of a complete save is rolled back when the batch ends.
  return ok && batch.Commit();
}

void tDefaultsList::DiscoverProxy() {
  if (!Environment) return;
  std::optional<DiscoveredProxy> proxy = ReadEnvironmentProxy(Environment);
  if (!proxy) return;
  ProxyHost = proxy->Host;
  ProxyPort = proxy->Port;
  OverrideProxy = proxy->Bypass;
}

bool ReadRegistryBool(platform::RegistryStore &store, platform::Hive root, std::string_view key,
                      std::string_view value) {
  RegKey reg(store, root);
  if (!reg.OpenKeyReadOnly(key)) return false;
  return reg.ReadBool(value).value_or(false);
}

}  // namespace trawler::settings
