// Saving the extractor's gathered lines as a text file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace trawler::results {

// Writes text to file as it stands, except that every line break (CR LF, LF
// or a lone CR) becomes CR LF. The file is written beside the target and
// renamed over it, so a failure leaves an existing file untouched. False with
// the system's message in error when it cannot be written.
bool ExportExprText(const std::filesystem::path& file, std::string_view text, std::string* error);

}  // namespace trawler::results
