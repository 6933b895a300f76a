// The search run of the engine list: starting the selected engines, keeping at most
// MaxConnections requests open, reading each page as it completes, deciding per engine
// whether another page is fetched, paused for or stopped, and the statistics requests.
//
// Handlers re-enter each other (Schedule runs from inside SendOrFinish, from notifications
// and from user commands), so every counter and flag is updated before a call that may
// re-enter, and no loop over the engines holds state across such a call.

#include <algorithm>
#include <chrono>

#include "core/debug_log.h"
#include "core/engine_list.h"
#include "core/extraction.h"
#include "results/results_list.h"
#include "support/text/case_folding.h"
#include "support/text/code_pages.h"
#include "support/text/dates.h"
#include "support/text/query_encoding.h"
#include "support/text/url.h"
#include "support/text/utf8.h"

namespace trawler::core {

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void DecConnections(int &connections) {
    if (connections > 0) --connections;
}

bool HasRefreshHeader(const platform::HttpClient &http) {
    for (const auto &line : http.HeaderLines)
        if (line.size() >= 8 && text::SameTextIgnoreCase(std::string_view(line).substr(0, 8), "REFRESH:"))
            return true;
    return false;
}

// e(x) of the statistics address: query-value escaping, then percent-encoding.
std::string StatsValue(const std::string &value) {
    return text::PercentEncode(text::EncodeQueryValue(value));
}

}  // namespace

bool TEngineList::IsSelected(const TEngine &engine) const {
    return engine.InCategory && engine.Checked &&
           std::find(EnabledRegions.begin(), EnabledRegions.end(), engine.Region) != EnabledRegions.end();
}

std::vector<TEngine *> TEngineList::SelectedEngines() const {
    std::vector<TEngine *> selected;
    for (TEngine *engine : Engines)
        if (IsSelected(*engine)) selected.push_back(engine);
    return selected;
}

void TEngineList::ResetEngines() {
    OverallBytes = 0;
    if (onSearchStart) onSearchStart(nullptr);
    for (TEngine *engine : SelectedEngines()) {
        engine->BytesReceived = 0;
        engine->PageCount = 0;
        engine->PageText.clear();
        engine->Query.clear();
        engine->NextPageUrl.clear();
        engine->NextCgi.clear();
        engine->PageHits = 0;
        engine->StateRow = -1;
        engine->Timings.clear();
        for (auto &input : engine->Inputs) {
            input->CurrentValue.clear();
            input->CurrentName = input->Name;
        }
    }
}

void TEngineList::StartSearch() {
    OverallResults = 0;
    Connections = 0;
    if (RefreshMode) {
        SearchWord = ResultList->Keywords;
        Category = ResultList->Category;
        Matchmode = static_cast<tMatchMode>(ResultList->MatchMode);
    } else {
        ResultList->Keywords = SearchWord;
        ResultList->Category = Category;
        ResultList->MatchMode = Matchmode;
    }
    ResultList->SearchDate = text::Now();
    if (!StatsClient) StatsClient = std::make_unique<platform::HttpClient>(FLoop);
    for (TEngine *engine : Engines) {
        engine->Active = false;
        engine->Ready = false;
    }
    if (onSearchStart) onSearchStart(nullptr);
    ResultList->Servers.clear();
    for (TEngine *engine : SelectedEngines()) {
        PrepareEngine(*engine);
        ResultList->Servers.push_back(engine->Id);
    }
    Schedule(nullptr);
}

void TEngineList::ConnectClient(TEngine &engine) {
    auto &http = HttpOf(engine);
    http.OnDocData = [this, &engine](const char *data, std::size_t len) { OnDocData(engine, data, len); };
    http.OnRequestDone = [this, &engine](int error) { PageDone(engine, error); };
    http.OnCookie = [this, &engine](const std::string &cookie, bool &accept) { OnCookie(engine, cookie, accept); };
    http.OnDocBegin = [this, &engine] {
        if (!engine.Timings.empty() && engine.Timings.back().FirstByteMs < 0)
            engine.Timings.back().FirstByteMs = MsSince(engine.RequestStarted);
        Schedule(&engine);
    };
}

void TEngineList::ResetForSearch(TEngine &engine) {
    auto &http = HttpOf(engine);
    engine.LastUrl.clear();
    engine.LastBase.clear();
    http.Url.clear();
    engine.Ready = true;
    engine.Active = true;
    engine.SuspendRequested = false;
    engine.Suspended = false;
    engine.LastPage = false;
    engine.Stage = tStage::Presearch;
    engine.HitCount = 0;
    engine.TotalCount = 0;
    engine.BytesReceived = 0;
    engine.RefreshRetries = 0;
    http.Cookie.clear();
    http.ClearCookies();
    http.TimeoutSeconds = Timeout > 0 ? Timeout : 0;
    ConnectClient(engine);
    if (http.Busy()) http.Abort();
}

bool TEngineList::Schedule(TEngine *justFinished) {
    if (Connections >= MaxConnections) return true;
    const bool statsBusy = StatsClient && StatsClient->Busy();
    // A connection is kept back for pending statistics, but never the only one: with a
    // limit of 1 that would stop every search.
    const int reserve = MaxConnections >= 2 && StatsEnabled && !AddQuery.empty() &&
                                (PostStats || !StatsQueue.empty() || statsBusy)
                            ? 1
                            : 0;
    if (Connections < MaxConnections - reserve) {
        TEngine *taken = nullptr;
        auto pick = [&](auto matches) {
            if (taken) return;
            for (TEngine *e : Engines)
                if (matches(*e)) {
                    taken = e;
                    return;
                }
        };
        pick([](const TEngine &e) {
            return e.Active && !e.Suspended && e.Ready && e.Stage == tStage::Next && e.Immediately;
        });
        pick([](const TEngine &e) { return e.Active && !e.Suspended && e.Ready && e.Stage == tStage::Presearch; });
        pick([&](const TEngine &e) {
            return &e != justFinished && !e.Suspended && e.Active && e.Ready && e.Stage == tStage::First;
        });
        pick([](const TEngine &e) { return e.Active && !e.Suspended && e.Ready; });
        if (taken) {
            taken->Ready = false;
            SendOrFinish(*taken);
            return true;
        }
    }
    if ((reserve == 1 || Connections < MaxConnections) && StatsEnabled && !AddQuery.empty() &&
        !StatsQueue.empty() && !statsBusy) {
        SendStats();
    }
    if (Connections != 0) return true;
    for (TEngine *e : Engines)
        if (e->Active) return true;
    if (onSearchDone) onSearchDone(nullptr);
    return false;
}

bool TEngineList::EveryActivePaused() const {
    bool any = false;
    for (TEngine *e : Engines) {
        if (!e->Active) continue;
        any = true;
        if (!e->Suspended) return false;
    }
    return any;
}

bool TEngineList::AnyActive() const {
    for (TEngine *e : Engines)
        if (e->Active) return true;
    return false;
}

void TEngineList::SendOrFinish(TEngine &engine) {
    ++Connections;
    platform::HttpClient *http = engine.Http.get();
    if (engine.SuspendRequested && http && !http->Url.empty()) {
        engine.Suspended = true;
        engine.Ready = true;
        DecConnections(Connections);
        if (onSearchSuspend) onSearchSuspend(&engine);
        if (EveryActivePaused() && onSearchSuspend) onSearchSuspend(nullptr);
        Schedule(&engine);
        return;
    }
    if (engine.Stage != tStage::Next && onSearchStart) onSearchStart(&engine);
    if (!http || http->Url.empty()) {
        engine.Active = false;
        engine.Suspended = false;
        engine.SuspendRequested = false;
        DecConnections(Connections);
        LogEndRecord(*this, engine);
        if (onSearchEngineDone) onSearchEngineDone(&engine);
        if (AnyActive()) {
            if (EveryActivePaused() && onSearchSuspend) onSearchSuspend(nullptr);
        } else if (onSearchDone) {
            onSearchDone(nullptr);
        }
        Schedule(&engine);
        return;
    }
    LogRequestRecord(*this, engine);
    if (engine.Stage == tStage::Next && Debug) engine.LastPage = true;
    if (!engine.StatsPosted && StatsEnabled && !AddQuery.empty() && PostStats) {
        engine.StatsPosted = true;
        StatsQueue.push_back(AddQuery + "?server=" + StatsValue(engine.HomeUrl) + "&query=" +
                             StatsValue(SearchWord) + "&agent=" + StatsValue(AgentVersion));
        Schedule(&engine);
    }
    if (onSearchStart) onSearchStart(&engine);

    const bool get = engine.Stage == tStage::Presearch ||
                     (engine.Stage == tStage::First && engine.CgiType == tHttpMethod::Get) ||
                     (engine.Stage == tStage::Next &&
                      engine.Cgi2Type.value_or(engine.CgiType) == tHttpMethod::Get);
    if (!get) {
        engine.PostBody = engine.Query;
        http->PostBody = engine.PostBody;
    }
    engine.RequestStarted = Clock::now();
    engine.Timings.push_back({-1, -1});
    const bool started = get ? http->Get() : http->Post();
    if (!started) {
        // The client refused the address (no scheme it can fetch): the engine fails like
        // any other failed request instead of holding its connection for ever.
        PageDone(engine, -1);
    }
}

void TEngineList::OnDocData(TEngine &engine, const char *data, std::size_t len) {
    engine.PageText.append(data, len);
    engine.BytesReceived += static_cast<long long>(len);
    OverallBytes += static_cast<long long>(len);
    if (engine.Active && OnGetSearch) OnGetSearch(&engine);
}

void TEngineList::OnCookie(TEngine &engine, const std::string &, bool &accept) {
    // The client's cookie jar sends an accepted cookie back only to the site that set it.
    accept = engine.AcceptCookie && AcceptCookies;
}

void TEngineList::PageDone(TEngine &engine, int error) {
    DecConnections(Connections);
    platform::HttpClient &http = HttpOf(engine);
    if (!engine.Timings.empty()) engine.Timings.back().TotalMs = MsSince(engine.RequestStarted);

    const bool failed = error != 0 || http.StatusCode >= 400;
    if (failed) {
        engine.Active = false;
        std::string message;
        if (error != 0)
            message = !http.ErrorText.empty() ? http.ErrorText : "Request failed (error " + std::to_string(error) + ")";
        else
            message = std::to_string(http.StatusCode) + " " + http.ReasonPhrase;
        engine.ErrorText = message;
        if (onSearchEngineError) onSearchEngineError(&engine, message);
        if (!AnyActive() && onSearchDone) onSearchDone(nullptr);
        Schedule(&engine);
        return;
    }

    if (HasRefreshHeader(http)) {
        if (engine.RefreshRetries < kMaxRefreshRetries) {
            ++engine.RefreshRetries;
            engine.PageText.clear();
            SendOrFinish(engine);
            return;
        }
        engine.Active = false;
        engine.ErrorText = kMessageEndlessRefresh;
        if (onSearchEngineError) onSearchEngineError(&engine, engine.ErrorText);
        if (!AnyActive() && onSearchDone) onSearchDone(nullptr);
        Schedule(&engine);
        return;
    }
    engine.RefreshRetries = 0;

    // Rules match on UTF-8; the page's own character set is remembered for its addresses.
    engine.PageCodePage = PageCodePage(engine.Charset, http.HeaderLines, engine.PageText);
    if (engine.PageCodePage == text::CodePage::kUtf8)
        engine.PageText = text::MakeValidUtf8(engine.PageText);
    else
        engine.PageText = text::DecodeFromCodePage(engine.PageText, engine.PageCodePage);

    if (engine.Stage == tStage::Presearch) ReadPresearchPage(*this, engine);
    else ReadResultPage(*this, engine);
    http.Referer = http.FinalUrl;
    if (engine.Stage == tStage::Presearch) engine.Stage = tStage::First;
    else if (engine.Stage == tStage::First) engine.Stage = tStage::Next;

    if (engine.Stage == tStage::First) BuildSearchRequest(engine);
    else AfterPage(engine);
    engine.Ready = true;
    Schedule(&engine);
}

void TEngineList::AfterPage(TEngine &engine) {
    if (onSearchQueue) onSearchQueue(&engine);
    engine.PageText.clear();
    engine.Query.clear();
    engine.LastBase.clear();
    if (!engine.Http) {
        SendOrFinish(engine);
        return;
    }
    platform::HttpClient &http = *engine.Http;
    if (!engine.Cgi2Type) engine.Cgi2Type = engine.CgiType;
    http.Referer = !http.FinalUrl.empty() ? http.FinalUrl : http.Url;
    http.Url.clear();
    engine.Stage = tStage::Next;

    auto finish = [&] { SendOrFinish(engine); };
    if (engine.LastPage) return finish();
    if (engine.RequiredCount && engine.TotalCount == 0) return finish();
    if (engine.PageHits == 0 || (engine.TotalCount > 0 && engine.TotalCount <= engine.HitCount)) {
        engine.PageHits = 0;
        return finish();
    }
    engine.PageHits = 0;
    ++engine.PageCount;

    // Limits: a reached limit stops the engine in pmNone and pauses it otherwise.
    const long long average = engine.PageCount > 0 ? engine.BytesReceived / engine.PageCount : 0;
    const bool reached[] = {
        MaxCountPerEngine > 0 && engine.HitCount >= MaxCountPerEngine,
        MaxCountPerAll > 0 && OverallResults >= MaxCountPerAll,
        MaxKBytesPerEngine > 0 && (engine.BytesReceived >= MaxKBytesPerEngine * 1024LL ||
                                   engine.BytesReceived + average >= MaxKBytesPerEngine * 1024LL),
        MaxKBytesPerAll > 0 && (OverallBytes >= MaxKBytesPerAll * 1024LL ||
                                OverallBytes + average >= MaxKBytesPerAll * 1024LL),
    };
    for (bool r : reached) {
        if (!r) continue;
        if (PauseMode == pmNone) return finish();
        engine.SuspendRequested = true;
    }
    if (PauseMode == pmPage) engine.SuspendRequested = true;

    if (!BuildNextPageRequest(engine)) return finish();
    if (engine.SuspendRequested) SendOrFinish(engine);
}

void TEngineList::StopEngine(TEngine &engine) {
    if (engine.Http) {
        engine.Http->OnDocData = nullptr;
        engine.Http->OnRequestDone = nullptr;
    }
    engine.Suspended = false;
    engine.SuspendRequested = false;
    engine.Ready = false;
    if (engine.Http && engine.Http->Busy()) {
        engine.Http->Abort();
        DecConnections(Connections);
    }
    if (onSearchEngineDone) onSearchEngineDone(&engine);
    engine.Active = false;
}

void TEngineList::StopSearch() {
    // StopEngine raises events; the list of engines may not change under it, but the
    // handlers may stop engines too, so every engine is looked at afresh.
    for (std::size_t i = 0; i < Engines.size(); ++i)
        if (Engines[i]->Active) StopEngine(*Engines[i]);
    if (onSearchEngineError) onSearchEngineError(nullptr, "Search aborted by request");
    if (onSearchDone) onSearchDone(nullptr);
}

void TEngineList::PauseAll(bool on) {
    for (TEngine *engine : Engines)
        if (engine->Active) SetSuspendRequest(*engine, on);
    if (!on && onSearchResume) onSearchResume(nullptr);
    Schedule(nullptr);
}

void TEngineList::SetSuspendRequest(TEngine &engine, bool on) {
    engine.SuspendRequested = on;
    if (!on) engine.Suspended = false;
}

void TEngineList::ResumeEngine(TEngine &engine) {
    SetSuspendRequest(engine, false);
    engine.Ready = false;
    SendOrFinish(engine);
}

bool TEngineList::CanRepeat(const TEngine &engine) const {
    return !engine.Ready && !engine.LastBase.empty();
}

void TEngineList::SendStats() {
    if (StatsQueue.empty()) {
        Schedule(nullptr);
        return;
    }
    ++Connections;
    if (!StatsClient) StatsClient = std::make_unique<platform::HttpClient>(FLoop);
    platform::HttpClient &http = *StatsClient;
    http.NoCache = true;
    http.Url = StatsQueue.front();
    StatsQueue.erase(StatsQueue.begin());
    if (text::UrlMatchesMaskList(ProxyOverride, http.Url)) {
        http.ProxyHost.clear();
        http.ProxyPort = 0;
        http.ProxyUser.clear();
        http.ProxyPassword.clear();
    } else {
        http.ProxyHost = Proxy;
        http.ProxyPort = ProxyPort;
        http.ProxyUser = ProxyUser;
        http.ProxyPassword = ProxyPassword;
    }
    http.OnRequestDone = [this](int error) { StatsDone(error); };
    http.UserAgent = AgentVersion;
    http.TimeoutSeconds = Timeout > 0 ? Timeout : 0;
    if (!http.Get()) {
        DecConnections(Connections);
        StatsEnabled = false;  // an address the client cannot fetch will not improve
    }
    Schedule(nullptr);
}

void TEngineList::StatsDone(int error) {
    DecConnections(Connections);
    StatsEnabled = error != 0 || StatsClient->StatusCode < 400;
    Schedule(nullptr);
}

}  // namespace trawler::core
