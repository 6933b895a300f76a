#include "core/site_file_parser.h"

#include <array>
#include <utility>

#include "core/engine_list.h"
#include "core/version_value.h"
#include "support/text/case_folding.h"
#include "support/text/dates.h"
#include "support/text/integer_text.h"
#include "support/text/string_toolkit.h"
#include "support/text/utf8.h"

namespace trawler::core {
namespace {

enum class Context {
    None,
    General,
    Categories,
    Sites,
    Site,
    Inputs,
    Input,
    Outputs,
    Output,
    CategoryBlock,
    Cgi1Block,
    Cgi2Block,
    PresearchBlock,
    DescriptionBlock,
};

bool IsListBlock(Context c) {
    return c == Context::CategoryBlock || c == Context::Cgi1Block || c == Context::Cgi2Block ||
           c == Context::PresearchBlock || c == Context::DescriptionBlock;
}

bool AsciiStartsWithIgnoringCase(std::string_view line, std::string_view prefix) {
    if (line.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = line[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != prefix[i]) return false;
    }
    return true;
}

bool IsWord(std::string_view line, std::string_view word) {
    return line.size() == word.size() && AsciiStartsWithIgnoringCase(line, word);
}

// A key line: the key with its "=" begins the line; the value follows the first "=".
bool KeyValue(std::string_view line, std::string_view key, std::string_view &value) {
    if (!AsciiStartsWithIgnoringCase(line, key)) return false;
    value = line.substr(key.size());
    return true;
}

bool ContainsIgnoringCase(std::string_view line, std::string_view word) {
    return text::LowerText(line).find(word) != std::string::npos;
}

std::string Trimmed(std::string_view value) { return std::string(text::TrimBlanks(value)); }

// First character uppercased, the rest lowercased: "EUROPE" and "europe" are one region.
std::string NormalizeRegion(std::string_view region) {
    if (region.empty()) return {};
    const auto first = text::DecodeUtf8(region, 0);
    return text::UpperText(region.substr(0, first.length)) + text::LowerText(region.substr(first.length));
}

// Every character that is neither a digit nor the decimal point becomes the decimal point,
// so "0.5" and "0,5" read alike.
std::string NormalizeKoeff(std::string_view value) {
    std::string result;
    for (std::size_t at = 0; at < value.size();) {
        const auto ch = text::DecodeUtf8(value, at);
        const char byte = value[at];
        result += (byte >= '0' && byte <= '9') || byte == '.' ? byte : '.';
        at += ch.length;
    }
    return result;
}

constexpr std::array<std::pair<std::string_view, tInputType>, 23> kInputTypes{{
    {"query", tInputType::Query},
    {"match", tInputType::Match},
    {"catalog", tInputType::Catalog},
    {"pagenum", tInputType::PageNum},
    {"language", tInputType::Language},
    {"langfrom", tInputType::LangFrom},
    {"langto", tInputType::LangTo},
    {"charset", tInputType::Charset},
    {"dateb", tInputType::DateB},
    {"datee", tInputType::DateE},
    {"sort", tInputType::Sort},
    {"subwhere", tInputType::SubWhere},
    {"newssubject", tInputType::NewsSubject},
    {"newsgroup", tInputType::NewsGroup},
    {"newsauthor", tInputType::NewsAuthor},
    {"street", tInputType::Street},
    {"house", tInputType::House},
    {"room", tInputType::Room},
    {"phone", tInputType::Phone},
    {"lastname", tInputType::LastName},
    {"city", tInputType::City},
    {"countrylist", tInputType::CountryList},
    {"subregion", tInputType::SubRegion},
}};

class FileReader {
public:
    FileReader(TEngineList &list, TSDFInfo &sdf, UniqueNames &names)
        : list_(list), sdf_(sdf), names_(names) {}

    void Line(std::string_view raw);

private:
    void CloseBrace();
    void GeneralKey(std::string_view line);
    void SiteKey(std::string_view line);
    void InputKey(std::string_view line);
    void OutputKey(std::string_view line);
    void ListLine(std::string_view line);
    void NewEngine();

    TEngineList &list_;
    TSDFInfo &sdf_;
    UniqueNames &names_;
    int depth_ = 0;
    Context context_ = Context::None;
    TEngine *engine_ = nullptr;
    TEngineInput *input_ = nullptr;
    TEngineOutput *output_ = nullptr;
};

void FileReader::Line(std::string_view raw) {
    const std::string_view line = text::TrimBlanks(raw);
    if (!line.empty() && line.front() == '#') return;
    if (line == "{") {
        ++depth_;
        return;
    }
    if (line == "}") {
        CloseBrace();
        return;
    }
    if (depth_ == 0) {
        if (IsWord(line, "general")) {
            context_ = Context::General;
        } else if (IsWord(line, "categories")) {
            context_ = Context::Categories;
        } else if (IsWord(line, "sites")) {
            // A file made for a later program version keeps its sites to itself.
            if (sdf_.RequiredVersion.empty() || !VersionAbove(sdf_.RequiredVersion, list_.PrgVersion)) {
                context_ = Context::Sites;
            }
        }
        return;
    }
    if (depth_ == 1 && context_ == Context::Sites && IsWord(line, "site")) {
        NewEngine();
        context_ = Context::Site;
        return;
    }
    if (depth_ == 2 && context_ == Context::Site) {
        if (IsWord(line, "inputs")) {
            context_ = Context::Inputs;
            return;
        }
        if (IsWord(line, "outputs")) {
            context_ = Context::Outputs;
            return;
        }
    }
    if (depth_ == 3 && context_ == Context::Inputs && engine_ && IsWord(line, "input")) {
        input_ = &engine_->AddInput();
        context_ = Context::Input;
        return;
    }
    if (depth_ == 3 && context_ == Context::Outputs && engine_ && IsWord(line, "output")) {
        output_ = &engine_->AddOutput();
        context_ = Context::Output;
        return;
    }
    if (depth_ == 3 && (context_ == Context::Inputs || context_ == Context::Outputs)) return;
    if (depth_ == 5) {
        if (context_ == Context::Input && input_) {
            input_->Values.emplace_back(line);
        } else if (context_ == Context::Output && output_) {
            output_->Markers.emplace_back(line);
        }
        return;
    }
    if (depth_ == 4) {
        if (context_ == Context::Input && input_) {
            InputKey(line);
        } else if (context_ == Context::Output && output_) {
            OutputKey(line);
        }
        return;
    }
    if (depth_ == 1 && context_ == Context::Categories) {
        list_.Categories.emplace_back(line);
        return;
    }
    if (depth_ == 1 && context_ == Context::General) {
        GeneralKey(line);
        return;
    }
    if (depth_ == 2 && context_ == Context::General) {
        sdf_.Description.emplace_back(line);
        return;
    }
    if (depth_ == 3 && IsListBlock(context_)) {
        ListLine(line);
        return;
    }
    if (depth_ == 2 && context_ == Context::Site && engine_) SiteKey(line);
}

void FileReader::CloseBrace() {
    --depth_;
    if (depth_ == 1 && context_ == Context::Site) {
        context_ = Context::Sites;
    } else if (depth_ == 2 && (context_ == Context::Inputs || context_ == Context::Outputs ||
                               IsListBlock(context_))) {
        context_ = Context::Site;
    } else if (depth_ == 3 && context_ == Context::Input) {
        context_ = Context::Inputs;
    } else if (depth_ == 3 && context_ == Context::Output) {
        context_ = Context::Outputs;
    }
    if (depth_ <= 0) {
        depth_ = 0;
        context_ = Context::None;
    }
}

void FileReader::NewEngine() {
    engine_ = &list_.CreateEngine(sdf_);
    input_ = nullptr;
    output_ = nullptr;
    names_.AddCaption(engine_->Caption);
    names_.AddFileSiteId(engine_->Id);
}

void FileReader::GeneralKey(std::string_view line) {
    std::string_view value;
    if (KeyValue(line, "id=", value)) {
        sdf_.Id = value;
    } else if (KeyValue(line, "version=", value)) {
        sdf_.Version = value;
    } else if (KeyValue(line, "required=", value)) {
        sdf_.RequiredVersion = value;
    } else if (KeyValue(line, "date=", value)) {
        sdf_.Date = text::ParseDateByPattern(text::LowerText(line), text::kStandardDatePattern);
    }
}

void FileReader::SiteKey(std::string_view line) {
    TEngine &e = *engine_;
    std::string_view value;
    if (KeyValue(line, "caption=", value)) {
        const auto caption = names_.UniqueCaption(Trimmed(value));
        names_.RemoveCaption(e.Caption);
        e.Caption = caption;
        names_.AddCaption(e.Caption);
    } else if (KeyValue(line, "region=", value)) {
        const auto region = NormalizeRegion(Trimmed(value));
        e.Region = region.empty() ? std::string() : list_.RegisterRegion(region);
    } else if (KeyValue(line, "id=", value)) {
        const auto id = names_.UniqueSiteId(sdf_.Id, Trimmed(value));
        names_.RemoveFileSiteId(e.Id);
        e.Id = id;
        names_.AddFileSiteId(e.Id);
    } else if (KeyValue(line, "enginetype=", value)) {
        if (ContainsIgnoringCase(line, "url")) {
            e.EngineType = tEngineType::Url;
        } else if (ContainsIgnoringCase(line, "page")) {
            e.EngineType = tEngineType::Page;
        }
    } else if (KeyValue(line, "url=", value)) {
        e.HomeUrl = Trimmed(value);
    } else if (KeyValue(line, "boolean=", value)) {
        const auto modes = Trimmed(value);
        e.BooleanModes = modes.size() == 4 ? modes : "1111";
    } else if (KeyValue(line, "referrer=", value)) {
        e.Referrer = Trimmed(value);
    } else if (KeyValue(line, "useragent=", value)) {
        const auto agent = Trimmed(value);
        e.RandomAgent = text::LowerText(agent) == "random";
        if (!e.RandomAgent) e.Agent = agent;
    } else if (KeyValue(line, "noencode=", value)) {
        e.NoEncode = value == "1";
    } else if (KeyValue(line, "dateformat=", value)) {
        e.DateFormat = Trimmed(value);
    } else if (KeyValue(line, "charset=", value)) {
        const auto name = text::LowerText(text::TrimBlanks(value));
        if (name == "koi8r") {
            e.Charset = tCharset::Koi8r;
        } else if (name == "utf8") {
            e.Charset = tCharset::Utf8;
        } else if (name == "utf8out") {
            e.Charset = tCharset::Utf8Out;
        } else if (name == "utf8in") {
            e.Charset = tCharset::Utf8In;
        }
    } else if (KeyValue(line, "imageindex=", value)) {
        e.ImageIndex = text::IntOfText(value, -1);
    } else if (KeyValue(line, "checkindex=", value)) {
        e.CheckIndex = text::IntOfText(value, 1);
    } else if (KeyValue(line, "acceptcookie=", value)) {
        e.AcceptCookie = value != "0";
    } else if (KeyValue(line, "addlink=", value)) {
        e.AddLink = value;
    } else if (KeyValue(line, "cgitype=", value)) {
        for (const auto method : {tHttpMethod::Get, tHttpMethod::Post}) {
            if (ContainsIgnoringCase(line, method == tHttpMethod::Get ? "get" : "post")) {
                e.CgiType = method;
                if (!e.Cgi2Type) e.Cgi2Type = method;
                break;
            }
        }
    } else if (KeyValue(line, "cgi2type=", value)) {
        if (ContainsIgnoringCase(line, "get")) {
            e.Cgi2Type = tHttpMethod::Get;
        } else if (ContainsIgnoringCase(line, "post")) {
            e.Cgi2Type = tHttpMethod::Post;
        }
    } else if (KeyValue(line, "requiredpreref=", value)) {
        e.RequiredPreRef = line.find('1') != std::string_view::npos;
    } else if (KeyValue(line, "immediately=", value)) {
        e.Immediately = line.find('1') != std::string_view::npos;
    } else if (KeyValue(line, "requiredcount=", value)) {
        e.RequiredCount = line.find('1') != std::string_view::npos;
    } else if (KeyValue(line, "acceptpre=", value)) {
        e.AcceptPre = value;
    } else if (KeyValue(line, "acceptlanguage=", value)) {
        e.AcceptLanguage = value;
    } else if (KeyValue(line, "acceptcharset=", value)) {
        e.AcceptCharset = value;
    } else if (KeyValue(line, "agent=", value)) {
        if (ContainsIgnoringCase(line, "random")) {
            e.RandomAgent = true;
        } else {
            e.Agent = value;
        }
    } else if (KeyValue(line, "example=", value)) {
        e.Example = Trimmed(value);
    } else if (AsciiStartsWithIgnoringCase(line, "category")) {
        context_ = Context::CategoryBlock;
    } else if (AsciiStartsWithIgnoringCase(line, "cgi1")) {
        context_ = Context::Cgi1Block;
    } else if (AsciiStartsWithIgnoringCase(line, "cgi2")) {
        context_ = Context::Cgi2Block;
    } else if (AsciiStartsWithIgnoringCase(line, "presearch")) {
        context_ = Context::PresearchBlock;
    } else if (AsciiStartsWithIgnoringCase(line, "description")) {
        context_ = Context::DescriptionBlock;
    }
}

void FileReader::InputKey(std::string_view line) {
    TEngineInput &in = *input_;
    std::string_view value;
    if (KeyValue(line, "name=", value)) {
        in.Name = value;
    } else if (KeyValue(line, "inputtype=", value)) {
        const auto keyword = text::LowerText(text::TrimBlanks(value));
        for (const auto &[word, type] : kInputTypes) {
            if (keyword == word) in.InputType = type;
        }
    } else if (KeyValue(line, "default=", value)) {
        in.Default = value;
    } else if (KeyValue(line, "debugdefault=", value)) {
        in.DebugDefault = value;
    } else if (KeyValue(line, "exists=", value)) {
        in.Exists = value;
    } else if (KeyValue(line, "format=", value)) {
        in.Format = value;
    } else if (KeyValue(line, "suffix=", value)) {
        in.Suffix = value;
    } else if (KeyValue(line, "nsuffix=", value)) {
        in.NSuffix = value;
    } else if (KeyValue(line, "prefix=", value)) {
        in.Prefix = value;
    } else if (KeyValue(line, "nprefix=", value)) {
        in.NPrefix = value;
    } else if (KeyValue(line, "required=", value)) {
        in.Required = value == "1";
    } else if (KeyValue(line, "koeff=", value)) {
        in.Koeff = NormalizeKoeff(text::TrimBlanks(value));
    } else if (KeyValue(line, "type=", value)) {
        in.SendMode = text::IntOfText(value, 0);
    }
}

void FileReader::OutputKey(std::string_view line) {
    std::string_view value;
    if (!KeyValue(line, "outputtype=", value)) return;
    const auto type = text::LowerText(text::TrimBlanks(value));
    if (type == "result") {
        output_->OutputType = tOutputType::Result;
    } else if (type == "presearch") {
        output_->OutputType = tOutputType::Presearch;
    }
}

void FileReader::ListLine(std::string_view line) {
    if (!engine_) return;
    TStrings *target = nullptr;
    switch (context_) {
        case Context::CategoryBlock: target = &engine_->CategoryCodes; break;
        case Context::Cgi1Block: target = &engine_->Cgi1; break;
        case Context::Cgi2Block: target = &engine_->Cgi2; break;
        case Context::PresearchBlock: target = &engine_->Presearch; break;
        case Context::DescriptionBlock: target = &engine_->Description; break;
        default: return;
    }
    target->emplace_back(line);
}

}  // namespace

SiteFileParser::SiteFileParser(TEngineList &list) : list_(list) {
    for (const TEngine *engine : list.Engines) {
        names_.AddCaption(engine->Caption);
        names_.AddFinishedKey(engine->Sdf->Id + ":" + engine->Id);
    }
}

void SiteFileParser::Parse(TSDFInfo &sdf, std::string_view text) {
    names_.BeginFile();
    FileReader reader(list_, sdf, names_);
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        reader.Line(text.substr(start, end - start));
        start = end + 1;
    }
    for (const auto &engine : sdf.Engines) names_.AddFinishedKey(sdf.Id + ":" + engine->Id);
}

void ParseSiteFile(TEngineList &list, TSDFInfo &sdf, std::string_view text) {
    SiteFileParser(list).Parse(sdf, text);
}

}  // namespace trawler::core
