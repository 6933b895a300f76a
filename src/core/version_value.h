#pragma once

#include <algorithm>
#include <compare>
#include <string_view>
#include <vector>

namespace trawler::core {

// A dotted version text such as "2.1.3", compared part by part from the left with missing
// parts counting as 0 ("2" equals "2.0"). Each part is read with the program's integer
// conversion (0 when it is not a number). Parts are compared as whole numbers, so "1.10" is
// above "1.9" and a part of 1000 or more never spills into the part before it ("1.1000" stays
// below "2").
class VersionValue {
public:
    VersionValue() = default;
    explicit VersionValue(std::string_view text);

    std::strong_ordering operator<=>(const VersionValue &other) const;
    bool operator==(const VersionValue &other) const { return (*this <=> other) == 0; }

    const std::vector<long long> &Parts() const { return parts_; }

private:
    std::vector<long long> parts_;
};

// True when version a is above version b.
bool VersionAbove(std::string_view a, std::string_view b);

}  // namespace trawler::core
