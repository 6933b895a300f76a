#pragma once

// The in-memory records that the site-file loader builds: one TSDFInfo per loaded file, one
// TEngine per site, with its request inputs (TEngineInput) and extraction rules
// (TEngineOutput). Ownership follows the files: TSDFList owns its files, a file owns its
// engines, an engine owns its inputs and outputs. The engine list keeps a second, ordered
// view of the same engines (pointers), which the category order rearranges.
//
// Texts are UTF-8. Lists of texts are ordered lines, many of the form name=value (see
// name_value_list.h for the lookups).

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/http_client.h"
#include "support/text/code_pages.h"
#include "support/text/dates.h"

namespace trawler::core {

class TEngineList;
class TEngine;
struct TSDFList;

using TStrings = std::vector<std::string>;

enum class tCharset { None, Koi8r, Utf8, Utf8Out, Utf8In };
enum class tHttpMethod { Get, Post };
enum class tEngineType { Url, Page };
// Which request of a search the engine is at.
enum class tStage { Presearch, First, Next };

// The role of a request parameter: which search setting it carries.
enum class tInputType {
    None,
    Query,
    Match,
    Catalog,
    PageNum,
    Language,
    LangFrom,
    LangTo,
    Charset,
    DateB,
    DateE,
    Sort,
    SubWhere,
    NewsSubject,
    NewsGroup,
    NewsAuthor,
    Street,
    House,
    Room,
    Phone,
    LastName,
    City,
    CountryList,
    SubRegion,
};

enum class tOutputType { None, Result, Presearch };

// How long one request of an engine took, in milliseconds; -1 until known.
struct TPageTiming {
    double FirstByteMs = -1;
    double TotalMs = -1;
};

// One loaded site file.
struct TSDFInfo {
    std::string FileName;
    std::string Id;
    // The sites of this file, in file order; the engine list holds the same engines.
    std::vector<std::unique_ptr<TEngine>> Engines;
    bool Enabled = true;
    TSDFList *Owner = nullptr;
    std::string RequiredVersion;
    text::TDateTime Date = 0;
    std::string Version;
    TStrings Description;
};

// The loaded files, in load order.
struct TSDFList {
    TEngineList *Owner = nullptr;
    std::string Dir;  // ends with "/"
    std::vector<std::unique_ptr<TSDFInfo>> Items;
};

// One parameter of a site's requests.
struct TEngineInput {
    TEngine *Owner = nullptr;
    tInputType InputType = tInputType::None;
    // 0: every search request; 1: first request only; 2: next-page requests only;
    // anything else: never sent.
    int SendMode = 0;
    std::string Format;
    TStrings Values;
    std::string CurrentName;
    std::string Name;
    // Page step factor as written, with "." as the decimal separator (a "," is read as one).
    std::string Koeff;
    std::string Default;
    std::string DebugDefault;
    std::string CurrentValue;
    std::string Prefix;
    std::string Suffix;
    std::string NPrefix;
    std::string NSuffix;
    std::string Exists;
    bool Required = false;
};

// One set of extraction rules.
struct TEngineOutput {
    TEngine *Owner = nullptr;
    tOutputType OutputType = tOutputType::None;
    TStrings Markers;
};

// One site.
class TEngine {
public:
    TEngine(TSDFInfo &sdf, TEngineList &owner) : Sdf(&sdf), Owner(&owner) {}
    ~TEngine();
    TEngine(const TEngine &) = delete;
    TEngine &operator=(const TEngine &) = delete;

    TEngineInput &AddInput();
    TEngineOutput &AddOutput();

    // --- what the site file sets, and the selection state -------------------------------
    TSDFInfo *Sdf;
    TEngineList *Owner;
    int Order = 0;
    int CheckIndex = 1;
    bool AcceptCookie = true;
    std::string AcceptLanguage;
    std::string AcceptCharset;
    tCharset Charset = tCharset::None;
    bool RequiredPreRef = false;
    std::string AcceptPre;
    bool RequiredCount = false;
    bool Immediately = false;
    std::string BooleanModes = "1111";
    int ImageIndex = -1;
    std::string Caption;
    std::string Id;
    TStrings CategoryCodes;    // code=category key
    TStrings CategoryAliases;  // user category key=served category key
    TStrings Description;
    std::string Region;
    std::string HomeUrl;
    std::string AddLink;
    TStrings Presearch;  // code=URL
    TStrings Cgi1;
    TStrings Cgi2;
    bool RandomAgent = false;
    std::string Agent;
    bool NoEncode = false;
    std::vector<std::unique_ptr<TEngineInput>> Inputs;
    std::vector<std::unique_ptr<TEngineOutput>> Outputs;
    bool Enabled = true;
    bool InCategory = false;
    bool Checked = true;
    std::string DateFormat;
    tHttpMethod CgiType = tHttpMethod::Get;
    // Not given: next pages use CgiType.
    std::optional<tHttpMethod> Cgi2Type;
    tEngineType EngineType = tEngineType::Url;
    std::string Referrer;
    // The site's example query ("example="), used to check that a description still works.
    std::string Example;

    // --- run-time state of a search -----------------------------------------------------
    bool Active = false;
    bool SuspendRequested = false;
    bool Suspended = false;
    bool Ready = false;
    tStage Stage = tStage::Presearch;
    bool LastPage = false;
    std::string LogFile;
    std::string PageText;
    long long BytesReceived = 0;
    int TotalCount = 0;
    bool StatsPosted = false;
    int HitCount = 0;
    int PageHits = 0;
    int PageCount = 0;
    std::string NextPageUrl;
    std::string NextCgi;
    std::string Query;
    std::string LastUrl;
    std::string LastQuery;
    std::string LastBase;
    tHttpMethod LastMethod = tHttpMethod::Get;
    tStage LastStage = tStage::Presearch;
    // The engine's own client, created on first use and kept for the engine's life. Its
    // settings hold the request being prepared (address, method body, headers, proxy).
    std::unique_ptr<platform::HttpClient> Http;
    std::string PostBody;
    int StateRow = -1;
    // The character set the last page arrived in (its addresses keep those bytes).
    text::CodePage PageCodePage = text::CodePage::kUtf8;
    int RefreshRetries = 0;
    // The message of the failure that ended the engine's search, if one did.
    std::string ErrorText;
    // Every request of this search, in order: users want to know which site is slow.
    std::vector<TPageTiming> Timings;
    std::chrono::steady_clock::time_point RequestStarted{};
};

}  // namespace trawler::core
