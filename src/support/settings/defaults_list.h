// The program-wide settings, held in memory between start-up and exit.
//
// tDefaultsList is loaded once from the registry store at start-up (creating
// every missing value with its default, so a first run leaves a complete key
// behind), edited by the options dialog, the menus and the search panel, and
// written back when the options dialog is confirmed and when the program
// closes. The proxy values live under "\Software\Oxbow\Waymark", a key shared
// with the maker's bookmark program; everything else under
// "\Software\Oxbow\Trawler". Which value has which type, default and valid
// range is kept as data in defaults_table.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "support/settings/proxy_discovery.h"
#include "support/settings/url_list.h"
#include "support/text/dates.h"

namespace trawler::settings {

inline constexpr std::string_view kOxbowKey = "\\Software\\Oxbow";
inline constexpr std::string_view kTrawlerKey = "\\Software\\Oxbow\\Trawler";
inline constexpr std::string_view kWaymarkKey = "\\Software\\Oxbow\\Waymark";
inline constexpr std::string_view kDefaultsKey = "\\Software\\Oxbow\\Trawler\\Defaults";
inline constexpr std::string_view kHistoryKey = "\\Software\\Oxbow\\Trawler\\Defaults\\queries";
inline constexpr std::string_view kUrlsKey = "\\Software\\Oxbow\\Trawler\\urls";
inline constexpr std::string_view kQuickSearchKey = "\\Software\\Oxbow\\Trawler\\quicksearch";

// The browser entry that means "the desktop's default handler".
inline constexpr std::string_view kSystemBrowser = "System";

class tDefaultsList {
 public:
  // Every field starts at its table default; no registry access.
  tDefaultsList();

  // Reads every setting from the store, creating what is missing, replacing
  // values of the wrong type by their defaults and bringing numbers into the
  // ranges the options dialog allows. Registry failures are swallowed: the
  // affected fields keep what they held.
  void Load(platform::RegistryStore &store);

  // Writes every setting back as one transaction. False when the store could
  // not take the change (it is then left as it was).
  bool Save(platform::RegistryStore &store);

  // Fills ProxyHost, ProxyPort and OverrideProxy from the proxy the desktop
  // environment names; leaves them alone when it names none. Memory only:
  // the values reach the store with the next Save.
  void DiscoverProxy();

  // Where DiscoverProxy reads the environment; tests put a fixed one here.
  EnvironmentLookup Environment = ProcessEnvironment();

  // --- "\Software\Oxbow\Waymark" ---
  std::int32_t Timeout = 0;  // seconds
  std::string ProxyHost;     // empty: no proxy
  std::int32_t ProxyPort = 0;
  std::string ProxyUser;
  std::string ProxyPassword;
  std::string OverrideProxy;  // ";"-separated host masks that bypass the proxy

  // --- "\Software\Oxbow\Trawler\Defaults" ---
  std::string LastSaveDir;
  bool ShowAtStartup = false;
  std::string FontName;  // the main window puts its own font here before Load
  bool OneInstance = false;
  bool MinimizeToSysTray = false;
  bool PromptForDelete = false;
  bool CheckForUpdate = false;
  std::string IdentifyAs;
  std::string EMail;
  std::int32_t MRUHitsCount = 0;
  bool AllowCookie = false;
  bool SaveHistory = false;
  bool PostStats = false;
  bool ClearListBeforeSearch = false;
  bool DeleteAfterBlack = false;
  bool ShowHints = false;
  bool SaveAtClose = false;
  bool GridLines = false;
  text::TDateTime LastUpdate = 0;
  bool EndSearchNotify = false;
  bool PromptForLinkDelete = false;
  bool PauseSearchNotify = false;
  bool ShowItemHint = false;
  bool AutoCheckLinks = false;
  std::string LanguageEncoding;
  std::string Language;
  std::int32_t LanguageCharset = 0;
  std::string DefaultBrowser;
  bool NotUseDDE = false;
  std::int32_t PauseMode = 0;  // tPauseMode ordinal
  bool UseExtList = false;
  std::int32_t ConnectionsLimit = 0;
  std::int32_t FontSize = 0;
  std::int32_t HitsPerEngine = 0;
  std::int32_t HitsPerAll = 0;
  std::int32_t BytesPerEngine = 0;  // kilobytes, 0 = no limit
  std::int32_t BytesPerAll = 0;     // kilobytes, 0 = no limit
  std::int32_t MarkInterval = 0;
  bool ExactLimit = false;
  bool NewItemsBold = false;
  bool DeleteBadLinks = false;
  bool ExactMode = false;
  std::int32_t NewItemsColor = 0;  // blue-green-red bytes
  // The last state of the search panel:
  std::string CurrentLanguage;
  std::string Charset;
  std::int32_t Match = 0;  // tMatchMode ordinal
  std::int32_t UseRegExp = 0;  // 0 yes, 1 no
  std::int32_t Match1 = 0;
  std::int32_t Match2 = 0;
  std::int32_t Match3 = 0;
  std::string Sort;
  std::string LangFrom;
  std::string LangTo;
  std::string SubWhere;
  std::string SubRegion;
  std::string NewsGroup;
  std::string NewsSubject;
  std::string NewsAuthor;
  text::TDateTime Dateb = 0;
  text::TDateTime Datee = 0;
  std::string query;
  std::string Category;
  std::string LastName;
  std::string Phone;
  std::string Street;
  std::string Country;
  std::string City;
  std::string House;
  std::string Room;
  std::string SoftType;

  // --- "\Software\Oxbow\Trawler\urls" ---
  std::string UrlStatScript;  // "_url_statscript": receives posted query statistics

  // --- owned lists ---
  std::vector<std::string> History;  // search history, one query per entry, in the query box's order
  UrlList HomeUrls;
  UrlList DonationUrls;
  UrlList HelpUrls;
  UrlList StatUrls;
  UrlList EmailUrls;
  std::vector<std::string> UpdateUrls;  // update descriptor addresses, in the order tried
  std::vector<std::string> Browsers{std::string(kSystemBrowser)};
};

// The value as a boolean when the key opens read-only and the value is an
// integer; false otherwise. Needs no tDefaultsList, so the program entry can
// read OneInstance before anything else exists.
bool ReadRegistryBool(platform::RegistryStore &store, platform::Hive root, std::string_view key,
                      std::string_view value);

}  // namespace trawler::settings
