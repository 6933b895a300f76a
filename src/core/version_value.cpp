#include "core/version_value.h"

#include "support/text/integer_text.h"

namespace trawler::core {

VersionValue::VersionValue(std::string_view text) {
    std::size_t start = 0;
    while (true) {
        const auto dot = text.find('.', start);
        const auto part = text.substr(start, dot == std::string_view::npos ? text.npos : dot - start);
        parts_.push_back(text::IntOfText(part, 0));
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    // Trailing zero parts change nothing ("2" equals "2.0"); dropping them keeps equality exact.
    while (!parts_.empty() && parts_.back() == 0) parts_.pop_back();
}

std::strong_ordering VersionValue::operator<=>(const VersionValue &other) const {
    const auto count = std::max(parts_.size(), other.parts_.size());
    for (std::size_t i = 0; i < count; ++i) {
        const long long a = i < parts_.size() ? parts_[i] : 0;
        const long long b = i < other.parts_.size() ? other.parts_[i] : 0;
        if (a != b) return a <=> b;
    }
    return std::strong_ordering::equal;
}

bool VersionAbove(std::string_view a, std::string_view b) { return VersionValue(a) > VersionValue(b); }

}  // namespace trawler::core
