#include "site_file_lint.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace trawler::core::testing {
namespace {

enum class Block { Top, General, GeneralText, Categories, Sites, Site, List, Inputs, Input, Values,
                   Outputs, Output, Markers, Unknown };

constexpr std::array<std::string_view, 4> kGeneralKeys{"id", "version", "required", "date"};
constexpr std::array<std::string_view, 25> kSiteKeys{
    "caption", "region", "id", "enginetype", "url", "boolean", "referrer", "useragent",
    "noencode", "dateformat", "charset", "imageindex", "checkindex", "acceptcookie", "addlink",
    "cgitype", "cgi2type", "requiredpreref", "immediately", "requiredcount", "acceptpre",
    "acceptlanguage", "acceptcharset", "agent", "example"};
constexpr std::array<std::string_view, 5> kListBlocks{"category", "cgi1", "cgi2", "presearch",
                                                      "description"};
constexpr std::array<std::string_view, 13> kInputKeys{
    "name", "inputtype", "default", "debugdefault", "exists", "format", "suffix", "nsuffix",
    "prefix", "nprefix", "required", "koeff", "type"};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char &c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

template <std::size_t N>
bool IsKeyLine(std::string_view line, const std::array<std::string_view, N> &keys) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    const std::string key = Lower(line.substr(0, eq));
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

}  // namespace

std::vector<std::string> LintSiteFile(std::string_view text) {
    std::vector<std::string> problems;
    std::vector<Block> stack{Block::Top};
    Block announced = Block::Unknown;
    bool hasAnnouncement = false;
    int lineNo = 0;
    auto report = [&](std::string_view why, std::string_view line) {
        problems.push_back("line " + std::to_string(lineNo) + ": " + std::string(why) + ": " +
                           std::string(line));
    };
    auto announce = [&](Block b) {
        announced = b;
        hasAnnouncement = true;
    };

    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++lineNo;
        if (line.empty() || line.front() == '#') {
            if (end == text.size()) break;
            continue;
        }
        const Block here = stack.back();
        if (line == "{") {
            Block inner = hasAnnouncement ? announced : Block::Unknown;
            // Blocks that need no keyword: the general description and an input's values.
            if (!hasAnnouncement && here == Block::General) inner = Block::GeneralText;
            if (!hasAnnouncement && here == Block::Input) inner = Block::Values;
            if (inner == Block::Unknown) report("a block no keyword announced", line);
            stack.push_back(inner);
            hasAnnouncement = false;
        } else if (line == "}") {
            if (stack.size() == 1) report("a closing brace with no open block", line);
            else stack.pop_back();
            hasAnnouncement = false;
        } else if (hasAnnouncement) {
            report("a keyword not followed by its block", line);
            hasAnnouncement = false;
        } else {
            const std::string lower = Lower(line);
            switch (here) {
                case Block::Top:
                    if (lower == "general") announce(Block::General);
                    else if (lower == "categories") announce(Block::Categories);
                    else if (lower == "sites") announce(Block::Sites);
                    else report("not a section", line);
                    break;
                case Block::General:
                    if (!IsKeyLine(line, kGeneralKeys)) report("not a general key", line);
                    break;
                case Block::Categories:
                    if (line.find("=;") == std::string_view::npos) report("not a category line", line);
                    break;
                case Block::Sites:
                    if (lower == "site") announce(Block::Site);
                    else report("not a site", line);
                    break;
                case Block::Site:
                    if (lower == "inputs") announce(Block::Inputs);
                    else if (lower == "outputs") announce(Block::Outputs);
                    else if (std::find(kListBlocks.begin(), kListBlocks.end(), lower) != kListBlocks.end())
                        announce(Block::List);
                    else if (!IsKeyLine(line, kSiteKeys)) report("not a site key", line);
                    break;
                case Block::Inputs:
                    if (lower == "input") announce(Block::Input);
                    else report("not an input", line);
                    break;
                case Block::Input:
                    if (!IsKeyLine(line, kInputKeys)) report("not an input key", line);
                    break;
                case Block::Outputs:
                    if (lower == "output") announce(Block::Output);
                    else report("not an output", line);
                    break;
                case Block::Output:
                    if (lower == "outputtype=result" || lower == "outputtype=presearch") announce(Block::Markers);
                    else report("not an output type", line);
                    break;
                case Block::List:
                case Block::Values:
                case Block::Markers:
                    if (here != Block::List && line.find('=') == std::string_view::npos)
                        report("not a name=value line", line);
                    break;
                case Block::GeneralText:
                case Block::Unknown:
                    break;
            }
        }
        if (end == text.size()) break;
    }
    if (stack.size() != 1) {
        ++lineNo;
        report("blocks left open at the end", "");
    }
    return problems;
}

}  // namespace trawler::core::testing
