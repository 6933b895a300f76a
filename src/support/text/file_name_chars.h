#pragma once
// Making a query text usable as a file name.

#include <string>
#include <string_view>

namespace trawler::text {

// Characters that cannot stand in a file name on the systems the files travel to.
inline constexpr std::string_view kFileNameForbiddenChars = "\\/:*?\"<>|";
// The same set without the question mark, used for debug log names.
inline constexpr std::string_view kLogNameForbiddenChars = "\\/:*\"<>|";

// Text with every forbidden character replaced by "_" (for result-set files and exports).
std::string FileNameFromText(std::string_view text);
// Text with every log-name forbidden character replaced by "_".
std::string LogNameFromText(std::string_view text);

}  // namespace trawler::text
