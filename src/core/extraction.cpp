#include "core/extraction.h"

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "core/categories.h"
#include "core/debug_log.h"
#include "core/engine_list.h"
#include "core/name_value_list.h"
#include "results/hit.h"
#include "results/results_list.h"
#include "support/text/case_folding.h"
#include "support/text/dates.h"
#include "support/text/html_text.h"
#include "support/text/integer_text.h"
#include "support/text/query_encoding.h"
#include "support/text/string_toolkit.h"
#include "support/text/url.h"
#include "support/text/utf8.h"
#include "support/text/wild_matcher.h"

namespace trawler::core {

namespace {

constexpr std::size_t npos = std::string_view::npos;
// A rule with more fields than this is not a rule anyone wrote; the rest is ignored.
constexpr std::size_t kMaxFieldsPerSpec = 256;

// A searched-for text compiled once: ignoring case, "?" for any one character. An empty
// text is never found.
class Marker {
public:
    Marker() = default;
    explicit Marker(std::string text) : text_(std::move(text)) {
        if (!text_.empty()) matcher_ = std::make_unique<text::detail::WildMatcher>(text_, true);
    }
    const std::string &Text() const { return text_; }
    bool Empty() const { return text_.empty(); }
    // {start, length} of the first match at or after `from`; start npos when none.
    text::detail::WildMatcher::Found Find(std::string_view in, std::size_t from = 0) const {
        if (!matcher_ || from > in.size()) return {};
        return matcher_->FindFrom(in, from);
    }
    bool In(std::string_view in) const { return Find(in).start != npos; }

private:
    std::string text_;
    std::unique_ptr<text::detail::WildMatcher> matcher_;
};

// "\r", "\n" and "\t" written as two characters stand for CR, LF and TAB.
std::string ReplaceEscapes(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            const char c = s[i + 1];
            if (c == 'r' || c == 'n' || c == 't') {
                out += c == 'r' ? '\r' : c == 'n' ? '\n' : '\t';
                ++i;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

std::string Trimmed(std::string_view s) { return std::string(text::TrimBlanks(s)); }

// One field of a rule with its delimiters, as the field loop reads them in turn.
struct RuleField {
    std::string name;   // as written (trimmed)
    std::string upper;  // uppercased ASCII, for the field table
    Marker before, after;
    bool beforeIsQuestion = false, afterIsQuestion = false;
};

// The field loop's walk over a rule depends only on the rule, so it is done once per rule.
std::vector<RuleField> CompileFields(std::string_view rule) {
    std::vector<RuleField> fields;
    std::string_view s = rule;
    while (fields.size() < kMaxFieldsPerSpec) {
        const std::size_t p1 = s.find('%');
        if (p1 == npos) break;
        const std::size_t p2 = s.find('%', p1 + 1);
        RuleField f;
        f.name = Trimmed(s.substr(p1 + 1, p2 == npos ? npos : p2 - p1 - 1));
        const std::string_view fromPercent = s.substr(p1);
        // After-text: what follows the field name and its closing "%", up to the next "%".
        std::string_view after;
        const std::size_t nameAt = fromPercent.find(f.name);
        const std::size_t afterStart = nameAt + f.name.size() + 1;
        if (nameAt != npos && afterStart <= fromPercent.size()) {
            after = fromPercent.substr(afterStart);
            const std::size_t cut = after.find('%');
            if (cut != npos) after = after.substr(0, cut);
        }
        const std::string before = ReplaceEscapes(s.substr(0, p1));
        const std::string afterText = ReplaceEscapes(after);
        f.beforeIsQuestion = before == "?";
        f.afterIsQuestion = afterText == "?";
        f.before = Marker(before);
        f.after = Marker(afterText);
        f.upper = f.name;
        for (char &c : f.upper)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        // The rule moves on to the after-text that follows the field (exact bytes); a field
        // with no literal text after it is the last one read.
        std::string_view rest = nameAt == npos ? std::string_view() : fromPercent.substr(nameAt + f.name.size());
        const std::size_t next = after.empty() ? npos : rest.find(after);
        fields.push_back(std::move(f));
        if (next == npos) break;
        s = rest.substr(next);
    }
    return fields;
}

// The field table's names, each with its twin ending in "1".
std::string BaseFieldName(const std::string &upper) {
    if (upper.size() > 1 && upper.back() == '1') return upper.substr(0, upper.size() - 1);
    return upper;
}

// Drops a leading quote, then cuts before the first quote that remains.
std::string Unquoted(std::string v) {
    if (!v.empty() && (v[0] == '"' || v[0] == '\'')) v.erase(0, 1);
    const auto cut = v.find_first_of("\"'");
    if (cut != std::string::npos) v.resize(cut);
    return v;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view sub) {
    return text::PosWild(text, sub, -1) != 0;
}

struct HitFields {
    std::string title, url, topUrl, description;
    text::TDateTime date = 0;
    int relevance = -1;
};

class Extractor {
public:
    Extractor(TEngineList &list, TEngine &engine, const TEngineOutput &output, int depth)
        : list_(list), engine_(engine), output_(output), depth_(depth) {}

    void Run(std::string_view page, std::string_view rule);

private:
    std::string PageAddress() const { return engine_.Http ? engine_.Http->FinalUrl : std::string(); }
    void ReadField(const RuleField &f, std::string_view &block, HitFields &hit);
    void ApplyField(const std::string &name, const std::string &v, HitFields &hit);
    void MakeHit(HitFields &hit);
    std::string HrefText(const std::string &v, bool withBase, bool cutAtSpace) const;
    TEngineInput *InputNamed(std::string_view name, bool byCurrentName);

    TEngineList &list_;
    TEngine &engine_;
    const TEngineOutput &output_;
    int depth_;
    std::optional<std::string> code_;
};

TEngineInput *Extractor::InputNamed(std::string_view name, bool byCurrentName) {
    if (!code_) code_ = EngineCode(engine_, list_.Category);
    TEngineInput *found = nullptr;
    for (auto &input : engine_.Inputs) {
        const std::string &n = byCurrentName ? input->CurrentName : input->Name;
        if (text::SameTextIgnoreCase(n, name) && ExistsTest(*input, *code_)) found = input.get();
    }
    return found;
}

std::string Extractor::HrefText(const std::string &v, bool withBase, bool cutAtSpace) const {
    if (withBase && !engine_.Http) return {};
    return text::ExtractHref(v, withBase ? PageAddress() : std::string(), cutAtSpace);
}

void Extractor::Run(std::string_view page, std::string_view rule0) {
    const std::size_t first = rule0.find('%');
    const std::size_t last = rule0.rfind('%');
    const Marker m1(ReplaceEscapes(Trimmed(first == npos ? std::string_view() : rule0.substr(0, first))));
    const Marker m2(ReplaceEscapes(Trimmed(last == npos ? rule0 : rule0.substr(last + 1))));
    const std::vector<RuleField> fields = CompileFields(rule0);

    std::string_view p = page;
    while (engine_.Active && !p.empty()) {
        // The block of one hit: from the start marker to the end marker (or the next start).
        const auto m1At = m1.Find(p);
        const auto m2At = m2.Find(p);
        std::string_view block;
        if (m1At.start != npos || m2At.start != npos) block = p;
        if (m1At.start != npos) {
            block = block.substr(m1At.start);
            const auto end = m2.Find(block);
            if (end.start != npos) {
                block = block.substr(0, end.start);
            } else {
                const auto second = m1.Find(block, 1);
                if (second.start != npos) block = block.substr(0, second.start);
            }
        } else if (m2At.start != npos) {
            block = block.substr(0, m2At.start);
        }

        HitFields hit;
        for (const RuleField &f : fields) {
            if (block.empty()) break;
            ReadField(f, block, hit);
        }
        MakeHit(hit);

        // Move on past this hit.
        if (m2At.start != npos) {
            p = p.substr(m2At.start + m2At.length);
        } else if (m1At.start == npos) {
            p = {};
        } else {
            p = p.substr(m1At.start + m1At.length);
            const auto next = m1.Find(p);
            if (next.start != npos) p = p.substr(next.start);
        }
    }
}

void Extractor::ReadField(const RuleField &f, std::string_view &block, HitFields &hit) {
    // The value: the text after the before-text, up to the after-text.
    std::string_view v;
    const auto bAt = f.before.Find(block);
    if (f.beforeIsQuestion) {
        const auto q = block.find('?');
        v = q == npos ? std::string_view() : block.substr(q + 1);
    } else if (bAt.start != npos) {
        v = block.substr(bAt.start + bAt.length);
    } else if (f.before.Empty()) {
        v = block;
    }
    if (f.afterIsQuestion && v.find('?') != npos) {
        v = v.substr(0, v.find('?'));
    } else {
        const auto aAt = f.after.Find(v);
        if (aAt.start != npos) v = v.substr(0, aAt.start);
    }
    const std::string value = Trimmed(v);

    if (!f.name.empty() && !value.empty() && f.name[0] == '&') {
        if (TEngineInput *input = InputNamed(std::string_view(f.name).substr(1), false))
            input->CurrentName = input->NPrefix + value + input->NSuffix;
    } else if (!f.name.empty() && !value.empty()) {
        // A rule line named like the field reads its value again as a page of its own.
        std::string lowered = f.name;
        for (char &c : lowered)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (depth_ < kMaxSubSpecDepth) {
            for (const auto &line : output_.Markers) {
                if (NameOfLine(line) != lowered) continue;
                Extractor sub(list_, engine_, output_, depth_ + 1);
                sub.Run(value, text::TrimBlanks(ValueOfLine(line)));
            }
        }
        if (TEngineInput *input = InputNamed(f.name, true))
            input->CurrentValue = text::EncodeQueryValue(value);
        ApplyField(BaseFieldName(f.upper), value, hit);
    }

    // Advance the block to this field's after-text, which starts the next field.
    const auto aInBlock = f.after.Find(block);
    if (bAt.start != npos || aInBlock.start != npos) {
        if (bAt.start != npos) block = block.substr(bAt.start + bAt.length);
        const auto aAt = f.after.Find(block);
        block = aAt.start != npos ? block.substr(aAt.start) : std::string_view();
    } else {
        block = {};
    }
}

void Extractor::ApplyField(const std::string &name, const std::string &v, HitFields &hit) {
    auto clean = [&] { return text::HtmlToText(v); };
    auto withHttp = [](std::string u) {
        if (!ContainsIgnoringCase(u, "http://")) u = "http://" + u;
        return u;
    };
    if (name == "TITLE") {
        hit.title = Trimmed(clean());
    } else if (name == "ADDTITLE") {
        hit.title = Trimmed(hit.title + " " + clean());
    } else if (name == "COUNT") {
        if (engine_.TotalCount == 0) {
            const std::string digits = text::DigitsOnly(clean());
            // Totals beyond the int range are clamped; a site's "of about 10^12" still means many.
            engine_.TotalCount = digits.empty() ? 0
                                 : digits.size() > 9 ? 999999999
                                                     : text::IntOfText(digits, 0);
        }
    } else if (name == "RELEVANCE") {
        if (hit.relevance == -1) {
            const std::string run = text::FirstDigitRun(clean());
            hit.relevance = run.empty() ? 0 : run.size() > 9 ? 100 : text::IntOfText(run, 0);
        }
    } else if (name == "NEXTPAGE") {
        engine_.NextPageUrl = Unquoted(Trimmed(clean()));
    } else if (name == "BASENEXTPAGE") {
        engine_.NextPageUrl = engine_.Http ? text::ResolveUrl(Unquoted(Trimmed(clean())), PageAddress()) : "";
    } else if (name == "PAGEREF") {
        if (engine_.Http) engine_.Http->FinalUrl = Unquoted(Trimmed(clean()));
    } else if (name == "NEXTCGI") {
        engine_.NextCgi = Unquoted(Trimmed(clean()));
    } else if (name == "BASENEXTCGI") {
        engine_.NextCgi = engine_.Http ? text::ResolveUrl(Unquoted(Trimmed(clean())), PageAddress()) : "";
    } else if (name == "URL") {
        hit.url = HrefText(v, false, true);
    } else if (name == "TOPURL") {
        hit.topUrl = HrefText(v, false, true);
    } else if (name == "HTTPURL") {
        hit.url = withHttp(HrefText(v, false, true));
    } else if (name == "HTTPTOPURL") {
        hit.topUrl = withHttp(HrefText(v, false, true));
    } else if (name == "LONGURL") {
        hit.url = HrefText(v, false, false);
    } else if (name == "LONGTOPURL") {
        hit.topUrl = HrefText(v, false, false);
    } else if (name == "ADDURL") {
        hit.url = HrefText(v, false, true) + engine_.AddLink;
    } else if (name == "ADDTOPURL") {
        hit.topUrl = HrefText(v, false, true) + engine_.AddLink;
    } else if (name == "BASEURL") {
        hit.url = HrefText(v, true, true);
    } else if (name == "BASETOPURL") {
        hit.topUrl = HrefText(v, true, true);
    } else if (name == "BASEADDURL") {
        hit.url = HrefText(v, true, true) + engine_.AddLink;
    } else if (name == "BASEADDTOPURL") {
        hit.topUrl = HrefText(v, true, true) + engine_.AddLink;
    } else if (name == "DATEMODIFIED") {
        const std::string d = text::HtmlToText(Trimmed(v));
        if (!d.empty()) {
            const text::TDateTime parsed = engine_.DateFormat.empty()
                                               ? text::ParseLocaleDateTime(d)
                                               : text::ParseDateFields(d, engine_.DateFormat);
            if (!engine_.DateFormat.empty() || parsed != 0) hit.date = parsed;
        }
    } else if (name == "DESCRIPTION" || name == "CDESCRIPTION") {
        if (!hit.description.empty()) hit.description += "<br>";
        if (engine_.Http)
            hit.description += text::AbsolutizeLinks(name == "DESCRIPTION" ? v : clean(), PageAddress());
    }
}

void Extractor::MakeHit(HitFields &hit) {
    if (engine_.EngineType == tEngineType::Url && hit.title.empty())
        hit.title = !hit.url.empty() ? hit.url : hit.topUrl;
    if (engine_.EngineType == tEngineType::Page) {
        if (hit.title.empty() && hit.url.empty() && hit.topUrl.empty() && !hit.description.empty())
            hit.title = list_.SearchWord;
        if (!hit.title.empty() && hit.url.empty() && hit.topUrl.empty()) hit.url = PageAddress();
    }
    const bool pageHit = engine_.EngineType == tEngineType::Page && !hit.title.empty();
    if (!pageHit && hit.url.empty() && hit.topUrl.empty()) return;

    results::tHit h;
    h.Separate = engine_.EngineType == tEngineType::Page;
    // Titles and descriptions are UTF-8 already (the page was decoded as a whole); addresses
    // go back to the page's own bytes.
    h.Title = text::MakeValidUtf8(hit.title);
    h.Url = AddressBytes(!hit.url.empty() ? hit.url : hit.topUrl, engine_.PageCodePage);
    h.Engine = TEngineList::EngineKey(engine_);
    h.CheckState = engine_.CheckIndex;
    h.Description = text::MakeValidUtf8(hit.description);

    if (hit.date == 0 && !engine_.DateFormat.empty()) {
        hit.date = text::ParseDateByPattern(h.Description, engine_.DateFormat);
        if (hit.date == 0) hit.date = text::ParseDateByPattern(h.Title, engine_.DateFormat);
    }
    h.Date = hit.date;

    int relevance = hit.relevance;
    if (!hit.topUrl.empty()) relevance = 100;
    else if (relevance == -1)
        relevance = EstimateRelevance(engine_.HitCount, engine_.TotalCount, list_.MaxCountPerEngine);
    h.Relevance = relevance > 100 ? 100 : relevance < 1 ? 1 : relevance;

    const bool urlHit = !hit.url.empty();
    auto added = list_.ResultList->AddHit(h, list_.RefreshMode);
    const int viewMode = list_.ResultList->ViewMode();
    switch (added.Status) {
        case results::hsNew:
            if (urlHit) {
                ++engine_.HitCount;
                ++engine_.PageHits;
                ++list_.OverallResults;
            }
            if (list_.Debug && list_.DebugNeedResult) LogResultRecord(list_, engine_, h);
            if (!((viewMode & 2) && !(viewMode & 1)) && list_.onSearchProgress)
                list_.onSearchProgress(&engine_, added.Result);
            break;
        case results::hsSamePage:
            if (urlHit) ++engine_.PageHits;
            if ((viewMode & 4) && list_.onSearchProgress) list_.onSearchProgress(&engine_, added.Result);
            break;
        case results::hsMerged:
            if (urlHit) {
                ++engine_.HitCount;
                ++engine_.PageHits;
            }
            if (list_.onSearchProgress) list_.onSearchProgress(&engine_, nullptr);
            break;
        default:
            break;
    }
}

// Runs every line of an output named `name` (ignoring case).
void RunLinesNamed(TEngineList &list, TEngine &engine, const TEngineOutput &output,
                   std::string_view name, std::string_view page) {
    for (const auto &line : output.Markers) {
        if (!engine.Active) return;
        if (!text::SameTextIgnoreCase(NameOfLine(line), name)) continue;
        ExtractHits(list, engine, output, page, text::TrimBlanks(ValueOfLine(line)));
    }
}

}  // namespace

int EstimateRelevance(int hitCount, int totalCount, int maxCountPerEngine) {
    const double r = hitCount < 0 ? 0 : hitCount;
    double value;
    if (totalCount > 0) {
        value = std::ceil((totalCount - r) / totalCount * 100.0);
    } else {
        // Without a limit there is no scale to fall along; 100 keeps the estimate defined.
        const double m = maxCountPerEngine > 0 ? maxCountPerEngine : 100;
        value = std::ceil((m - r) * 100.0 / m);
    }
    if (value > 100) return 100;
    if (value < 1) return 1;
    return static_cast<int>(value);
}

void ExtractHits(TEngineList &list, TEngine &engine, const TEngineOutput &output,
                 std::string_view text, std::string_view rule, int depth) {
    Extractor(list, engine, output, depth).Run(text, rule);
}

void ReadResultPage(TEngineList &list, TEngine &engine) {
    const std::string code = EngineCode(engine, list.Category);
    const std::string page = engine.PageText;  // rules may not change it under the reader
    for (const auto &output : engine.Outputs) {
        if (!engine.Active) return;
        if (output->OutputType != tOutputType::Result) continue;
        const bool hasOwn = !ValueOfName(output->Markers, code).empty();
        RunLinesNamed(list, engine, *output, hasOwn ? std::string_view(code) : "-1", page);
    }
}

void ReadPresearchPage(TEngineList &list, TEngine &engine) {
    const std::string code = EngineCode(engine, list.Category);
    const std::string page = engine.PageText;
    for (const auto &output : engine.Outputs) {
        if (!engine.Active) return;
        if (output->OutputType != tOutputType::Presearch) continue;
        std::string rule = Trimmed(ValueOfName(output->Markers, code));
        if (rule.empty()) rule = Trimmed(ValueOfName(output->Markers, "-1"));
        ExtractHits(list, engine, *output, page, rule);
    }
}

text::CodePage PageCodePage(tCharset siteCharset, const std::vector<std::string> &headerLines,
                            std::string_view body) {
    switch (siteCharset) {
        case tCharset::Koi8r: return text::CodePage::kKoi8R;
        case tCharset::Utf8:
        case tCharset::Utf8Out: return text::CodePage::kUtf8;
        default: break;
    }
    auto charsetIn = [](std::string_view s) -> std::optional<text::CodePage> {
        const auto at = text::PosWild(s, "charset=", -1);
        if (at == 0) return std::nullopt;
        std::string_view rest = s.substr(static_cast<std::size_t>(at) - 1 + 8);
        std::size_t end = 0;
        while (end < rest.size() && end < 40 && rest[end] != ';' && rest[end] != '>' &&
               rest[end] != ' ' && rest[end] != '/' && !(end > 0 && (rest[end] == '"' || rest[end] == '\'')))
            ++end;
        return text::CodePageFromLabel(rest.substr(0, end));
    };
    for (const auto &line : headerLines) {
        if (line.size() > 13 && text::SameTextIgnoreCase(line.substr(0, 13), "content-type:"))
            if (auto cp = charsetIn(line)) return *cp;
    }
    // A <meta> charset must come early in a page to count.
    const std::string_view head = body.substr(0, std::min<std::size_t>(body.size(), 4096));
    for (std::size_t from = 0;;) {
        const auto pos = text::PosWild(head, "<meta", -static_cast<text::TextPos>(from + 1));
        if (pos == 0) break;
        const std::size_t at = static_cast<std::size_t>(pos) - 1;
        const std::size_t end = head.find('>', at);
        if (auto cp = charsetIn(head.substr(at, end == npos ? npos : end - at + 1))) return *cp;
        from = at + 5;
    }
    return text::IsValidUtf8(body) ? text::CodePage::kUtf8 : text::LegacyCodePage();
}

std::string AddressBytes(std::string_view url, text::CodePage pageCodePage) {
    static const char *hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(url.size());
    for (std::size_t i = 0; i < url.size();) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const auto ch = text::DecodeUtf8(url, i);
        const std::size_t len = ch.length ? ch.length : 1;
        const std::string bytes = pageCodePage == text::CodePage::kUtf8
                                      ? std::string(url.substr(i, len))
                                      : text::EncodeToCodePage(url.substr(i, len), pageCodePage);
        for (unsigned char b : bytes) {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 15];
        }
        i += len;
    }
    return out;
}

}  // namespace trawler::core
