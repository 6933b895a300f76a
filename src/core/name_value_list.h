#pragma once

// Lookups in the ordered text lists of the site records, whose lines have the form
// name=value. A line without "=" is all name and has an empty value. Names are looked up
// ignoring case, and the first line with the name wins.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trawler::core {

std::string_view NameOfLine(std::string_view line);
std::string_view ValueOfLine(std::string_view line);

// Index of the first line named `name`, or nullopt.
std::optional<std::size_t> IndexOfName(const std::vector<std::string> &lines, std::string_view name);

// The value of the first line named `name`; empty when there is none.
std::string ValueOfName(const std::vector<std::string> &lines, std::string_view name);

// Replaces the value of the first line named `name`, or appends name=value.
void SetValueOfName(std::vector<std::string> &lines, std::string_view name, std::string_view value);

}  // namespace trawler::core
