#pragma once
// The main window's title: "Trawler" right after the site descriptions are loaded,
// otherwise "Trawler [label: text]" where the label says what the text names (the
// category, a quick template, a result-set file).

#include <string>
#include <string_view>

namespace trawler::mainwin {

inline constexpr std::string_view kProgramTitle = "Trawler";

// Interface text numbers of the labels.
inline constexpr int kTitleCategoryLabel = 119;
inline constexpr int kTitleTemplateLabel = 352;
inline constexpr int kTitleFileLabel = 351;

std::string WindowTitle(std::string_view label, std::string_view text);

}  // namespace trawler::mainwin
