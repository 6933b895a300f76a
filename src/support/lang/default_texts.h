#pragma once

// The built-in English message and interface texts (DefaultMessages and
// DefaultInterface): what every lookup falls back to when the current
// language pack lacks a number.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace trawler::lang {

struct NumberedText {
  int Number;
  std::string_view Text;
};

// In ascending number order.
std::span<const NumberedText> BuiltInMessages();
std::span<const NumberedText> BuiltInInterface();

// The same as «N=text» lines, the form the language list keeps.
std::vector<std::string> DefaultMessageLines();
std::vector<std::string> DefaultInterfaceLines();

}  // namespace trawler::lang
