#include "core/request_builder.h"

#include <charconv>
#include <cfenv>
#include <cmath>
#include <limits>

#include "core/categories.h"
#include "core/debug_log.h"
#include "core/engine_list.h"
#include "core/name_value_list.h"
#include "support/text/case_folding.h"
#include "support/text/code_pages.h"
#include "support/text/dates.h"
#include "support/text/integer_text.h"
#include "support/text/query_encoding.h"
#include "support/text/string_toolkit.h"
#include "support/text/url.h"

namespace trawler::core {
namespace {

std::string ReplaceSpaces(std::string_view text, std::string_view with) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (c == ' ') {
            result += with;
        } else {
            result += c;
        }
    }
    return result;
}

// "andb" / "ande" style: every space gains the joiner after it, and it goes in front
// (before = true) or at the end.
std::string JoinAround(std::string_view text, std::string_view joiner, bool before) {
    std::string with(" ");
    with += joiner;
    auto result = ReplaceSpaces(text, with);
    return before ? std::string(joiner) + result : result + std::string(joiner);
}

std::string JoinLong(std::string_view text, const TStrings &values, std::string_view whole,
                     std::string_view before, std::string_view after) {
    const auto w = ValueOfName(values, whole);
    if (!w.empty()) return ReplaceSpaces(text, w);
    std::string result(text);
    const auto b = ValueOfName(values, before);
    if (!b.empty()) result = JoinAround(result, b, true);
    const auto a = ValueOfName(values, after);
    if (!a.empty()) result = JoinAround(result, a, false);
    return result;
}

std::string Enclose(std::string_view text, const TStrings &values) {
    const auto be = ValueOfName(values, "exactbe");
    return be + std::string(text) + be;
}

// The first value line whose name, lowercased, is the setting.
std::string ValueForSetting(const TStrings &values, std::string_view setting) {
    for (const auto &line : values) {
        if (text::LowerText(NameOfLine(line)) == setting) return std::string(ValueOfLine(line));
    }
    return {};
}

void AppendParameter(std::string &query, std::string_view name, std::string_view value) {
    if (!query.empty()) query += '&';
    query += name;
    query += '=';
    query += value;
}

bool SentWithFirst(const TEngineInput &input) { return input.SendMode == 0 || input.SendMode == 1; }
bool SentWithNext(const TEngineInput &input) { return input.SendMode == 0 || input.SendMode == 2; }

std::string AddressOf(const std::string &base, const std::string &query, tHttpMethod method) {
    return method == tHttpMethod::Get && !query.empty() ? base + "?" + query : base;
}

}  // namespace

std::string JoinWords(std::string_view text, tMatchMode mode, const TStrings &values) {
    if (text.find(' ') == std::string_view::npos) return std::string(text);
    switch (mode) {
        case mmAll: return JoinLong(text, values, "and", "andb", "ande");
        case mmAny: return JoinLong(text, values, "or", "orb", "ore");
        case mmExact: return Enclose(text, values);
        case mmBoolean: break;
    }
    return std::string(text);
}

std::string JoinWordsShort(std::string_view text, tMatchMode mode, const TStrings &values) {
    if (text.find(' ') == std::string_view::npos) return std::string(text);
    switch (mode) {
        case mmAll: {
            const auto a = ValueOfName(values, "and");
            if (!a.empty()) return ReplaceSpaces(text, a);
            const auto b = ValueOfName(values, "andb");
            if (!b.empty()) return b + ReplaceSpaces(text, b);
            break;
        }
        case mmAny: {
            const auto o = ValueOfName(values, "or");
            if (!o.empty()) return ReplaceSpaces(text, o);
            break;
        }
        case mmExact: return Enclose(text, values);
        case mmBoolean: break;
    }
    return std::string(text);
}

std::string EncodeRequestValue(std::string_view value, tCharset charset, bool noEncode) {
    std::string result = noEncode ? std::string(value) : text::EncodeQueryValue(value);
    if (charset == tCharset::Koi8r) {
        result = text::EncodeToCodePage(result, text::CodePage::kKoi8R);
        // Every "?" the value had is escaped by now, so a "?" here stands for a character
        // KOI8-R lacks; it is a character of the value, not the start of a query.
        if (!noEncode) text::ReplaceAll(result, "?", "%3F", false);
    }
    return noEncode ? result : text::PercentEncode(result);
}

int NextPageNumber(int current, std::string_view koeff) {
    double factor = 1;
    if (!koeff.empty()) {
        double parsed = 0;
        const auto [end, ec] = std::from_chars(koeff.data(), koeff.data() + koeff.size(), parsed);
        if (ec == std::errc() && end == koeff.data() + koeff.size() && std::isfinite(parsed)) factor = parsed;
    }
    const double step = std::clamp(factor * 10, -1e12, 1e12);
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const long long n = static_cast<long long>(current) + static_cast<long long>(std::nearbyint(step));
    return static_cast<int>(std::clamp<long long>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::string SafeHeaderValue(std::string_view value) {
    std::string result;
    result.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) result += c;
    }
    return result;
}

// --- the engine list's request operations ---------------------------------------------

platform::HttpClient &TEngineList::HttpOf(TEngine &engine) {
    if (!engine.Http) engine.Http = std::make_unique<platform::HttpClient>(FLoop);
    return *engine.Http;
}

std::string TEngineList::CategoryUrl(const TEngine &engine, const TStrings &block) const {
    const auto code = EngineCode(engine, Category);
    if (!code.empty() && !block.empty()) {
        auto url = ValueOfName(block, code);
        if (!url.empty()) return url;
    }
    return ValueOfName(block, "-1");
}

void TEngineList::ApplyProxy(TEngine &engine) {
    auto &http = HttpOf(engine);
    http.NoCache = true;
    if (text::UrlMatchesMaskList(ProxyOverride, http.Url)) {
        http.ProxyHost.clear();
        http.ProxyPort = 0;
        http.ProxyUser.clear();
        http.ProxyPassword.clear();
        return;
    }
    http.ProxyHost = Proxy;
    http.ProxyPort = ProxyPort;
    http.ProxyUser = ProxyUser;
    http.ProxyPassword = ProxyPassword;
}

void TEngineList::PrepareEngine(TEngine &engine) {
    ResetForSearch(engine);
    auto &http = HttpOf(engine);
    http.Referer = SafeHeaderValue(engine.Referrer.empty() ? engine.HomeUrl : engine.Referrer);
    if (engine.RandomAgent && !UserAgents.empty()) {
        std::uniform_int_distribution<std::size_t> pick(0, UserAgents.size() - 1);
        http.UserAgent = UserAgents[pick(FRandom)];
    } else {
        http.UserAgent = SafeHeaderValue(!engine.Agent.empty() ? engine.Agent : IdentifyAs);
    }
    http.AcceptLanguage = SafeHeaderValue(engine.AcceptLanguage);
    http.AcceptCharset = SafeHeaderValue(engine.AcceptCharset);
    const auto presearch = CategoryUrl(engine, engine.Presearch);
    if (onSearchQueue) onSearchQueue(&engine);
    if (presearch.empty()) {
        BuildSearchRequest(engine);
        StartDebugLog(*this, engine);
        return;
    }
    http.Url = presearch;
    http.PostBody.clear();
    http.Accept = engine.AcceptPre.empty() ? std::string(platform::HttpClient::kDefaultAccept)
                                           : SafeHeaderValue(engine.AcceptPre);
    engine.LastUrl = presearch;
    engine.LastQuery.clear();
    engine.LastBase = presearch;
    engine.LastMethod = tHttpMethod::Get;
    engine.LastStage = tStage::Presearch;
    engine.Stage = tStage::Presearch;
    ApplyProxy(engine);
    StartDebugLog(*this, engine);
}

namespace {

// The raw value an input's role gives for the first request.
std::string RoleValue(const TEngineList &list, const TEngine &engine, const TEngineInput &input) {
    switch (input.InputType) {
        case tInputType::Catalog: return ValueOfName(input.Values, EngineCode(engine, list.Category));
        case tInputType::Query: return JoinWords(list.SearchWord, list.Matchmode, input.Values);
        case tInputType::Match: {
            static constexpr std::string_view kNames[] = {"and", "or", "exact", "boolean"};
            const int mode = static_cast<int>(list.Matchmode);
            return mode >= 0 && mode < 4 ? ValueOfName(input.Values, kNames[mode]) : std::string();
        }
        case tInputType::Language: return ValueForSetting(input.Values, list.Language);
        case tInputType::LangFrom: return ValueForSetting(input.Values, list.LangFrom);
        case tInputType::LangTo: return ValueForSetting(input.Values, list.LangTo);
        case tInputType::Charset: return ValueForSetting(input.Values, list.Charset);
        case tInputType::Sort: return ValueForSetting(input.Values, list.Sort);
        case tInputType::SubWhere: return ValueForSetting(input.Values, list.SubWhere);
        case tInputType::CountryList: return ValueForSetting(input.Values, list.Country);
        case tInputType::SubRegion: return ValueForSetting(input.Values, list.SubRegion);
        case tInputType::PageNum: return std::to_string(text::IntOfText(input.Default, 0));
        case tInputType::NewsSubject: return JoinWordsShort(list.NewsSubject, list.Matchmode, input.Values);
        case tInputType::NewsGroup: return JoinWordsShort(list.NewsGroup, list.Matchmode, input.Values);
        case tInputType::NewsAuthor: return JoinWordsShort(list.NewsAuthor, list.Matchmode, input.Values);
        case tInputType::Street: return JoinWordsShort(list.Street, list.Matchmode, input.Values);
        case tInputType::House: return JoinWords(list.House, list.Matchmode, input.Values);
        case tInputType::Room: return JoinWords(list.Room, list.Matchmode, input.Values);
        case tInputType::Phone: return JoinWords(list.Phone, list.Matchmode, input.Values);
        case tInputType::LastName: return JoinWords(list.LastName, list.Matchmode, input.Values);
        case tInputType::City: return JoinWords(list.City, list.Matchmode, input.Values);
        case tInputType::DateB:
        case tInputType::DateE: {
            const auto pattern = input.Format.empty() ? std::string("dd/mm/yyyy") : input.Format;
            return text::FormatDateByPattern(pattern, input.InputType == tInputType::DateB ? list.Dateb : list.Datee);
        }
        case tInputType::None: break;
    }
    return input.CurrentValue;
}

std::string WithKeywords(std::string_view affix, const std::string &searchWord) {
    std::string result(affix);
    text::ReplaceAll(result, "%keywords%", searchWord, true);
    return result;
}

}  // namespace

void TEngineList::BuildSearchRequest(TEngine &engine) {
    auto &http = HttpOf(engine);
    engine.StatsPosted = false;
    engine.PageText.clear();
    engine.Query.clear();
    engine.LastBase.clear();
    engine.PageHits = 0;
    engine.NextPageUrl.clear();
    engine.HitCount = 0;

    std::string base = CategoryUrl(engine, engine.Cgi1);
    if (base.empty()) base = engine.NextCgi;
    engine.NextCgi.clear();

    http.Accept = platform::HttpClient::kDefaultAccept;
    http.Referer = SafeHeaderValue(!http.FinalUrl.empty() && !engine.RequiredPreRef ? http.FinalUrl : engine.Referrer);
    http.Url.clear();
    http.PostBody.clear();
    engine.Stage = tStage::First;

    const auto mode = static_cast<std::size_t>(Matchmode);
    const bool modeUnsupported = SearchWord.find(' ') != std::string::npos &&
                                 (mode >= engine.BooleanModes.size() || engine.BooleanModes[mode] != '1');
    if (base.empty() || (ExactMode && modeUnsupported)) {
        engine.SuspendRequested = false;
        engine.Active = false;
        RaiseSearchError(engine, kErrorIncompatible, std::string(kMessageIncompatible));
        return;
    }

    engine.LastUrl.clear();
    const auto code = EngineCode(engine, Category);
    for (const auto &inputPtr : engine.Inputs) {
        TEngineInput &input = *inputPtr;
        std::string value = RoleValue(*this, engine, input);
        if (text::TrimBlanks(value).empty()) value = input.Default;
        if (input.InputType == tInputType::PageNum) input.CurrentValue = value;
        if (!input.Prefix.empty()) value = WithKeywords(input.Prefix, SearchWord) + value;
        if (!input.Suffix.empty()) value += WithKeywords(input.Suffix, SearchWord);
        text::ReplaceAll(value, "%20", " ", false);

        const bool applies = ExistsTest(input, code);
        if (SentWithFirst(input) && input.Required && applies) {
            int error = 0;
            if (input.InputType == tInputType::Query && value.empty()) {
                error = kErrorNoKeywords;
            } else if (value.empty() || input.CurrentName.empty()) {
                error = kErrorRequiredMissing;
            }
            if (error != 0) {
                engine.SuspendRequested = false;
                engine.Query.clear();
                http.Url.clear();
                RaiseSearchError(engine, error,
                                 std::string(error == kErrorNoKeywords ? kMessageNoKeywords : kMessageRequiredMissing));
                return;
            }
        }

        value = EncodeRequestValue(value, engine.Charset, engine.NoEncode);
        if (input.InputType != tInputType::PageNum) input.CurrentValue = value;
        if (SentWithFirst(input) && !input.CurrentName.empty() && applies) {
            AppendParameter(engine.Query, input.CurrentName, value);
        }
    }

    const auto address = AddressOf(base, engine.Query, engine.CgiType);
    http.Url = address;
    if (engine.CgiType == tHttpMethod::Post) http.PostBody = engine.Query;
    engine.LastUrl = address;
    engine.LastQuery = engine.Query;
    engine.LastBase = base;
    engine.LastMethod = engine.CgiType;
    engine.LastStage = tStage::First;
    if (!engine.SuspendRequested && onSearchQueue) onSearchQueue(&engine);
    ApplyProxy(engine);
}

bool TEngineList::BuildNextPageRequest(TEngine &engine) {
    auto &http = HttpOf(engine);
    const tHttpMethod method = engine.Cgi2Type.value_or(engine.CgiType);
    std::string base = CategoryUrl(engine, engine.Cgi2);
    if (base.empty()) base = engine.NextCgi;
    engine.NextCgi.clear();

    if (base.empty()) {
        // A complete next-page address captured from the page, sent as it stands.
        http.Url = engine.NextPageUrl;
        http.PostBody.clear();
        engine.NextPageUrl.clear();
        return !http.Url.empty();
    }

    engine.NextPageUrl.clear();
    engine.LastUrl.clear();
    engine.Query.clear();
    const auto code = EngineCode(engine, Category);
    for (const auto &inputPtr : engine.Inputs) {
        TEngineInput &input = *inputPtr;
        if (!SentWithNext(input) || !ExistsTest(input, code)) continue;
        std::string value = input.CurrentValue;
        if (input.InputType == tInputType::PageNum) {
            const int next = NextPageNumber(text::IntOfText(input.CurrentValue, 0), input.Koeff);
            input.CurrentValue = std::to_string(next);
            value = input.Prefix + input.CurrentValue + input.Suffix;
        }
        if (value.empty() && input.Required) {
            engine.Query.clear();
            http.Url.clear();
            return false;
        }
        if (!input.CurrentName.empty()) AppendParameter(engine.Query, input.CurrentName, value);
    }
    engine.Query = ReplaceSpaces(engine.Query, "+");

    const auto address = AddressOf(base, engine.Query, method);
    http.Url = address;
    http.PostBody = method == tHttpMethod::Post ? engine.Query : std::string();
    engine.LastQuery = engine.Query;
    engine.LastBase = base;
    engine.LastMethod = method;
    engine.LastStage = tStage::Next;
    engine.LastUrl = address;
    ApplyProxy(engine);
    return true;
}

bool TEngineList::RepeatLastRequest(TEngine &engine) {
    if (engine.Ready || engine.LastBase.empty()) return false;
    auto &http = HttpOf(engine);
    const auto address = AddressOf(engine.LastBase, engine.LastQuery, engine.LastMethod);
    http.Url = address;
    http.PostBody = engine.LastMethod == tHttpMethod::Post ? engine.LastQuery : std::string();
    engine.LastUrl = address;
    ApplyProxy(engine);
    engine.Ready = false;
    engine.Suspended = false;
    engine.Active = true;
    engine.SuspendRequested = false;
    engine.Stage = engine.LastStage;
    ConnectClient(engine);
    if (onSearchRepeat) onSearchRepeat(&engine);
    SendOrFinish(engine);
    return true;
}

}  // namespace trawler::core
