#pragma once

// Helpers of the category and selection state: finding the engines a stored order names, and
// the names of order values.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace trawler::core {

class TEngine;

// FindEngine over a fixed set of engines, by hash instead of a walk per name: the engine whose
// key equals the name ignoring case, else the one whose caption does (the last of equals).
class EngineFinder {
public:
    explicit EngineFinder(const std::vector<TEngine *> &engines);
    TEngine *Find(std::string_view name) const;

private:
    std::unordered_map<std::string, TEngine *> byKey_;
    std::unordered_map<std::string, TEngine *> byCaption_;
};

// The value name of an order entry: the index as four (or more) uppercase hex digits.
std::string OrderValueName(std::size_t index);

}  // namespace trawler::core
