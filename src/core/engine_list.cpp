#include "core/engine_list.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/enabling.h"
#include "core/site_file_parser.h"
#include "results/results_list.h"
#include "support/text/case_folding.h"
#include "support/text/code_pages.h"
#include "support/text/utf8.h"

namespace trawler::core {
namespace {

// A site file is a few kilobytes of text; anything near this size is not one, and reading it
// whole would only cost memory.
constexpr std::uintmax_t kMaxSiteFileBytes = 16u * 1024u * 1024u;

bool HasSdfExtension(const std::string &name) {
    if (name.size() < 4) return false;
    return text::LowerText(name.substr(name.size() - 4)) == ".sdf";
}

// The whole file, or an error text.
bool ReadWholeFile(const std::string &path, std::string &content, std::string &error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxSiteFileBytes) {
        error = "File \"" + path + "\" is too large";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "Cannot open file \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "Cannot read file \"" + path + "\"";
        return false;
    }
    return true;
}

}  // namespace

TEngine::~TEngine() {
    // An engine that goes away in the middle of a request tells no one.
    if (Http) {
        Http->OnDocBegin = nullptr;
        Http->OnDocData = nullptr;
        Http->OnRequestDone = nullptr;
        Http->OnCookie = nullptr;
        Http->Abort();
    }
}

TEngineInput &TEngine::AddInput() {
    Inputs.push_back(std::make_unique<TEngineInput>());
    Inputs.back()->Owner = this;
    return *Inputs.back();
}

TEngineOutput &TEngine::AddOutput() {
    Outputs.push_back(std::make_unique<TEngineOutput>());
    Outputs.back()->Owner = this;
    return *Outputs.back();
}

TEngineList::TEngineList(platform::EventLoop &loop, platform::RegistryStore &registry)
    : FLoop(loop), FRegistry(registry), FRandom(std::random_device{}()) {
    SDFList.Owner = this;
    UserAgents = {
        "Mozilla/4.0 (compatible; MSIE 5.01; Windows 98)",
        "Mozilla/4.0 (compatible; MSIE 5.0; Windows 98)",
        "Mozilla/3.0 (compatible)",
        "Mozilla/4.0 (compatible; MSIE 5.01; Windows NT 5.0)",
        "Mozilla/4.0 (compatible; MSIE 4.01; Windows 98)",
        "Mozilla/4.04 [en] (Win95; I ;Nav)",
        "Mozilla/4.0 (compatible; MSIE 4.01; Windows 95)",
        "Mozilla/4.0 (compatible; MSIE 5.01; Windows NT)",
        "Mozilla/4.7 [en] (Win98; I)",
        "Mozilla/4.0 (compatible; MSIE 4.01; Windows NT)",
        "Mozilla/4.5 [en] (Win95; I)",
        "Mozilla/4.72 (Windows NT 4.0;US) Opera 4.0 Beta 4 [en]",
    };
    ResultList = std::make_unique<results::tResultsList>(&loop);
    ResultList->OnUpdate = [this](results::tResultsList &list) {
        if (OnUpdateList) OnUpdateList(list);
    };
    ResultList->OnBlackListClear = [this](results::tResultsList &list) {
        if (OnClearListUrls) OnClearListUrls(list);
    };
    ResultList->OnBlackListUpdate = [this](results::tResultsList &list) {
        if (OnUpdateListUrls) OnUpdateListUrls(list);
    };
    ResultList->OnEngineTitle = [this](const std::string &key, std::string &text) { text = EngineTitleOf(key); };
    ResultList->OnEngineKey = [this](const std::string &key, std::string &text) { text = EngineKeyOf(key); };
    ResultList->LoadBlackList(registry);
}

TEngineList::~TEngineList() {
    StatsQueue.clear();
    DestroyFiles();
    if (StatsClient && StatsClient->Busy()) StatsClient->Abort();
    StatsClient.reset();
    ResultList.reset();
}

void TEngineList::DestroyFiles() {
    Engines.clear();
    SDFList.Items.clear();
}

TEngine &TEngineList::CreateEngine(TSDFInfo &sdf) {
    sdf.Engines.push_back(std::make_unique<TEngine>(sdf, *this));
    TEngine &engine = *sdf.Engines.back();
    Engines.push_back(&engine);
    engine.Order = static_cast<int>(Engines.size()) - 1;
    return engine;
}

std::string TEngineList::LoadSites(const std::string &dir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) return "Directory \"" + dir + "\" not exists";

    Regions.clear();
    Categories.clear();
    UserCategories.clear();

    std::string error;
    SDFList.Dir = dir;
    if (SDFList.Dir.empty() || SDFList.Dir.back() != '/') SDFList.Dir += '/';
    DestroyFiles();

    // Sorted by name so that which of two equal captions gets a suffix is the same everywhere.
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(SDFList.Dir, ec), end; !ec && it != end; it.increment(ec)) {
        const auto name = it->path().filename().string();
        std::error_code typeError;
        if (HasSdfExtension(name) && !it->is_directory(typeError)) names.push_back(name);
    }
    if (ec) error = "Cannot list directory \"" + dir + "\": " + ec.message();
    std::sort(names.begin(), names.end());

    SiteFileParser parser(*this);
    const auto switches = StoredSwitches::Read(FRegistry);
    for (const auto &name : names) {
        if (!error.empty()) break;
        auto sdf = std::make_unique<TSDFInfo>();
        sdf->Owner = &SDFList;
        sdf->FileName = SDFList.Dir + name;
        SDFList.Items.push_back(std::move(sdf));
        TSDFInfo &info = *SDFList.Items.back();
        std::string content;
        if (ReadWholeFile(info.FileName, content, error)) {
            parser.Parse(info, text::DecodeUtf8OrLegacy(text::StripUtf8Bom(content)));
        }
        ApplyStoredSwitches(info, switches);
    }
    if (error.empty()) LoadUserCategories();

    if (OnLoadFile) OnLoadFile(*this);
    for (TEngine *engine : Engines) engine->Checked = true;
    return error;
}

TSDFInfo *TEngineList::FindSDF(std::string_view id) const {
    for (const auto &sdf : SDFList.Items) {
        if (text::SameTextIgnoreCase(sdf->Id, id)) return sdf.get();
    }
    return nullptr;
}

TEngine *TEngineList::FindEngine(std::string_view text) const {
    if (text.empty()) return nullptr;
    TEngine *found = nullptr;
    for (TEngine *engine : Engines) {
        if (text::SameTextIgnoreCase(EngineKey(*engine), text)) found = engine;
    }
    return found ? found : FindEngineByCaption(text);
}

TEngine *TEngineList::FindEngineByCaption(std::string_view text) const {
    TEngine *found = nullptr;
    for (TEngine *engine : Engines) {
        if (text::SameTextIgnoreCase(engine->Caption, text)) found = engine;
    }
    return found;
}

std::string TEngineList::EngineKey(const TEngine &engine) {
    return engine.Sdf->Id + ":" + (engine.Id.empty() ? engine.Caption : engine.Id);
}

std::string TEngineList::EngineTitleOf(std::string_view text) const {
    if (text.empty()) return {};
    const TEngine *engine = FindEngine(text);
    return engine ? engine->Caption : std::string();
}

std::string TEngineList::EngineKeyOf(std::string_view text) const {
    if (text.empty()) return {};
    const TEngine *engine = FindEngine(text);
    return engine ? EngineKey(*engine) : std::string();
}

void TEngineList::RaiseSearchError(TEngine &engine, int error, const std::string &message) {
    if (onSearchError) onSearchError(&engine, error, message);
}

}  // namespace trawler::core
