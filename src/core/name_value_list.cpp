#include "core/name_value_list.h"

#include "support/text/case_folding.h"

namespace trawler::core {

std::string_view NameOfLine(std::string_view line) {
    const auto eq = line.find('=');
    return eq == std::string_view::npos ? line : line.substr(0, eq);
}

std::string_view ValueOfLine(std::string_view line) {
    const auto eq = line.find('=');
    return eq == std::string_view::npos ? std::string_view{} : line.substr(eq + 1);
}

std::optional<std::size_t> IndexOfName(const std::vector<std::string> &lines, std::string_view name) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (text::SameTextIgnoreCase(NameOfLine(lines[i]), name)) return i;
    }
    return std::nullopt;
}

std::string ValueOfName(const std::vector<std::string> &lines, std::string_view name) {
    const auto index = IndexOfName(lines, name);
    return index ? std::string(ValueOfLine(lines[*index])) : std::string();
}

void SetValueOfName(std::vector<std::string> &lines, std::string_view name, std::string_view value) {
    std::string line(name);
    line += '=';
    line += value;
    if (const auto index = IndexOfName(lines, name)) {
        lines[*index] = std::move(line);
    } else {
        lines.push_back(std::move(line));
    }
}

}  // namespace trawler::core
