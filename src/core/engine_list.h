#pragma once

// TEngineList: the search engine of the program. It owns every loaded site file and site,
// the search parameters and connection limits, the categories, regions and selections, and
// the result list. Everything runs on the loop's thread.
//
// The work is spread over several source files, one concern each:
//   engine_list.cpp      creation, LoadSites, lookups of files and engines
//   site_file_parser.cpp reading one site file into records
//   request_builder.cpp  the requests of one engine (presearch, first, next page, repeat)
//   enabling.cpp         sites and files switched on and off
//   categories.cpp       category definitions, user categories, site additions
//   selections.cpp       candidates, ticks and order of a category or stored selection
//   regions.cpp          regions switched on and off
//   extraction.cpp       cutting a fetched page into hits
//   search_driver.cpp    the search run: scheduling, sending, reading pages, limits, statistics
//   debug_log.cpp        the per-engine debug logs

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/categories.h"
#include "core/sdf_records.h"
#include "core/search_types.h"
#include "platform/event_loop.h"
#include "platform/http_client.h"
#include "platform/registry.h"
#include "support/text/dates.h"

namespace trawler::results {
class tResultsList;
class tUrlResult;
}  // namespace trawler::results

namespace trawler::core {

// The registry key of the program's state; sites, files and regions switched off live below
// it whatever RootKey says.
inline constexpr std::string_view kProgramKey = "\\Software\\Oxbow\\Trawler";
inline constexpr std::string_view kSitesKey = "\\Software\\Oxbow\\Trawler\\Sites";
inline constexpr std::string_view kRegionsKey = "\\Software\\Oxbow\\Trawler\\Regions";

class TEngineList {
public:
    using tEngineEvent = std::function<void(TEngine *sender)>;
    using tSearchProgress = std::function<void(TEngine *engine, results::tUrlResult *sender)>;
    using tEngineErrorEvent = std::function<void(TEngine *sender, const std::string &error)>;
    using tSearchErrorEvent =
        std::function<void(TEngine *sender, int error, const std::string &message)>;
    using tOnLoadFile = std::function<void(TEngineList &sender)>;
    using tOnLoadProgress = std::function<void(int count)>;
    using tListEvent = std::function<void(results::tResultsList &sender)>;
    using tNotifyEvent = std::function<void()>;

    TEngineList(platform::EventLoop &loop, platform::RegistryStore &registry);
    ~TEngineList();
    TEngineList(const TEngineList &) = delete;
    TEngineList &operator=(const TEngineList &) = delete;

    // --- published properties -----------------------------------------------------------
    std::string SDFDir;
    TSDFList SDFList;
    std::string RootKey;
    int ItemsInMenu = 25;
    std::string AgentVersion;
    std::string PrgVersion;
    std::string filename;
    bool AcceptCookies = false;
    std::string AddQuery;
    bool PostStats = false;
    bool ExactMode = false;
    tPauseMode PauseMode = pmLimit;
    std::string Proxy;
    int ProxyPort = 0;
    std::string ProxyUser;
    std::string ProxyPassword;
    std::string ProxyOverride;
    std::string IdentifyAs;
    int Timeout = 0;
    int Prioritet = 0;
    int MaxCountPerEngine = 0;
    int MaxCountPerAll = 0;
    int MaxKBytesPerEngine = 0;
    int MaxKBytesPerAll = 0;
    int MaxConnections = 5;
    int Connections = 0;
    bool Debug = false;
    bool DebugNeedResult = false;
    std::string Category;
    std::string SubWhere;
    std::string SubRegion;
    std::string SearchWord;
    std::string Language;
    std::string LangFrom;
    std::string LangTo;
    std::string NewsSubject;
    std::string NewsGroup;
    std::string NewsAuthor;
    std::string Charset;
    std::string Sort;
    std::string Country;
    std::string City;
    std::string Street;
    std::string House;
    std::string Room;
    std::string Phone;
    std::string LastName;
    std::string SoftType;
    tMatchMode Matchmode = mmAll;
    text::TDateTime Dateb = 0;
    text::TDateTime Datee = 0;

    // --- events (empty = unassigned) ----------------------------------------------------
    tEngineEvent onSearchStart;
    tEngineEvent onSearchQueue;
    tEngineEvent onSearchSuspend;
    tEngineEvent onSearchResume;
    tEngineEvent onSearchRepeat;
    tSearchProgress onSearchProgress;
    tEngineErrorEvent onSearchEngineError;
    tSearchErrorEvent onSearchError;
    tEngineEvent onSearchEngineDone;
    tEngineEvent onSearchDone;
    tEngineEvent OnGetSearch;
    tOnLoadFile OnLoadFile;
    tListEvent OnUpdateList;
    tListEvent OnClearListUrls;
    tListEvent OnUpdateListUrls;
    tNotifyEvent OnClearList;
    tNotifyEvent OnRepaintList;
    tOnLoadProgress OnLoadProgress;

    // --- unpublished fields -------------------------------------------------------------
    std::vector<TEngine *> Engines;  // in the current order; the files own the engines
    // The one result list of the program, wired to EngineTitleOf / EngineKeyOf.
    std::unique_ptr<results::tResultsList> ResultList;
    std::vector<std::string> UserAgents;
    std::vector<std::string> Categories;      // key=;picture;name;hint, from the site files
    std::vector<std::string> UserCategories;  // the same form, from the registry
    std::vector<std::string> Regions;
    std::vector<std::string> EnabledRegions;
    std::unique_ptr<platform::HttpClient> StatsClient;
    std::vector<std::string> StatsQueue;
    bool StatsEnabled = true;
    long long OverallBytes = 0;
    int OverallResults = 0;
    bool RefreshMode = false;
    std::string DebugDir;
    unsigned char SelectionMode = 0;

    platform::EventLoop &Loop() { return FLoop; }
    platform::RegistryStore &Registry() { return FRegistry; }

    // --- site files -----------------------------------------------------------------------
    // Loads every *.sdf file of dir (in file-name byte order); returns "" or an error text.
    std::string LoadSites(const std::string &dir);
    TSDFInfo *FindSDF(std::string_view id) const;
    TEngine *FindEngine(std::string_view text) const;
    TEngine *FindEngineByCaption(std::string_view text) const;
    static std::string EngineKey(const TEngine &engine);
    std::string EngineTitleOf(std::string_view text) const;
    std::string EngineKeyOf(std::string_view text) const;
    // A new engine at the end of the engine list and of the file's engines.
    TEngine &CreateEngine(TSDFInfo &sdf);

    // --- requests (request_builder.cpp) ---------------------------------------------------
    // The request part of preparing an engine for a search: headers, then the presearch or
    // the first search request.
    void PrepareEngine(TEngine &engine);
    void BuildSearchRequest(TEngine &engine);
    // False when the engine has no further page (empty address, or a required value
    // missing): its search ends.
    bool BuildNextPageRequest(TEngine &engine);
    // Prepares the last request again into the engine's client; false when there is none.
    bool RepeatLastRequest(TEngine &engine);
    void ApplyProxy(TEngine &engine);
    std::string CategoryUrl(const TEngine &engine, const TStrings &block) const;
    // The engine's client, created on first use.
    platform::HttpClient &HttpOf(TEngine &engine);
    // The random source of the user agent choice (seeded from the system; tests may reseed).
    std::mt19937 &Random() { return FRandom; }

    // --- enabling (enabling.cpp) ----------------------------------------------------------
    void ReadEnabled(TSDFInfo &sdf);
    void SetEngineEnabled(TEngine &engine, bool on);
    void SetSdfEnabled(TSDFInfo &sdf, bool on);
    static bool IsEnabled(const TEngine &engine);

    // --- categories (categories.cpp) ------------------------------------------------------
    tCategoryInfo CategoryInfo(std::string_view key) const;
    std::string CategoryNameAt(int index) const;
    int CategoryImageAt(int index) const;
    bool CategoryExists(std::string_view key) const;
    bool IsBuiltInCategory(std::string_view key) const;
    std::string AddUserCategory(std::string_view name);
    bool RenameUserCategory(std::string_view key, std::string_view text);
    bool SetUserCategoryImage(std::string_view key, int number);
    void DeleteUserCategory(std::string_view key);
    void AddSiteToCategory(std::string_view category, std::string_view site,
                           std::string_view source);
    bool RemoveSiteFromCategory(std::string_view category, std::string_view site);
    void LoadUserCategories();
    // The registry key of the category definitions: RootKey + "\Categories".
    std::string CategoriesKey() const;

    // --- selections (selections.cpp) ------------------------------------------------------
    void SelectCategory(std::string_view category);
    // Restores the selection of a loaded result set from its category and site ids.
    void SelectFromResults(std::string_view category, const std::vector<std::string> &servers);
    bool UseSelection(std::string_view key);
    void SaveSelection(std::string_view key);
    void WriteCheck(TEngine &engine, std::string_view category, bool ticked);
    void MoveEngine(int index, int steps, std::string_view category);
    void LoadOrder(std::string_view category);
    void SaveOrder(std::string_view category);

    // --- regions (regions.cpp) ------------------------------------------------------------
    void LoadRegions();
    void SaveRegions();
    // Adds a normalised region to Regions unless it is there; returns the normalised text.
    std::string RegisterRegion(std::string_view region);

    // --- the search run (search_driver.cpp) ------------------------------------------------
    // An answer that keeps asking to be reloaded is tried this often, then the engine fails.
    static constexpr int kMaxRefreshRetries = 3;
    static constexpr const char *kMessageEndlessRefresh = "The site keeps asking to reload the page";

    // Selected: in the current category, ticked, and in a region that is switched on.
    bool IsSelected(const TEngine &engine) const;
    std::vector<TEngine *> SelectedEngines() const;
    void ResetEngines();
    void StartSearch();
    void StopSearch();
    void StopEngine(TEngine &engine);
    void ResumeEngine(TEngine &engine);
    void SetSuspendRequest(TEngine &engine, bool on);
    bool CanRepeat(const TEngine &engine) const;
    void PauseAll(bool on);
    // Starts the next waiting request; false when the search has ended.
    bool Schedule(TEngine *justFinished);
    void SendOrFinish(TEngine &engine);
    void OnDocData(TEngine &engine, const char *data, std::size_t len);
    void OnCookie(TEngine &engine, const std::string &cookie, bool &accept);
    void PageDone(TEngine &engine, int error);
    void AfterPage(TEngine &engine);
    void SendStats();
    void StatsDone(int error);

    // Raises onSearchError when assigned.
    void RaiseSearchError(TEngine &engine, int error, const std::string &message);

private:
    // The driver's part of preparing an engine: run-time state reset, client wired to it.
    void ResetForSearch(TEngine &engine);
    void ConnectClient(TEngine &engine);
    bool EveryActivePaused() const;
    bool AnyActive() const;
    void DestroyFiles();
    void ApplyOrderKey(const std::string &key);
    void WriteOrderKey(const std::string &key, std::string_view category);
    void SortByOrder(bool renumber);

    platform::EventLoop &FLoop;
    platform::RegistryStore &FRegistry;
    std::mt19937 FRandom;
};

}  // namespace trawler::core
