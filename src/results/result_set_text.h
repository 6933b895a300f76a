#pragma once

// Small pieces shared by the result-set files and the exports: how numbers
// and date-times are written, how texts of several lines are split, and the
// error a failed load or save reports.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/text/dates.h"

namespace trawler::results {

// A load or save that could not be completed. what() is the text shown to
// the user: "Bad file format" or the system's message for a file error.
class ResultSetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kBadFileFormat = "Bad file format";

// A date-time as written to files: general format, up to 15 significant
// digits, always with "." as the decimal separator whatever the locale.
std::string FormatFileDateTime(text::TDateTime value);
// Reads a date-time written with "." or "," as the decimal separator
// (surrounding blanks allowed); 0 for a text that is not a number or not finite.
text::TDateTime ParseFileDateTime(std::string_view text);

// The lines of a text: CR LF, LF and CR each end a line; a final line break
// does not start an empty line, and an empty text has no lines.
std::vector<std::string> SplitLines(std::string_view text);

// A check state read from a file, clamped to good (0) .. bad (2).
int ClampCheckState(int state);

// Reads a whole file of at most `limit` bytes; throws ResultSetError with
// the system's message when it cannot.
std::string ReadFileForLoad(const std::string& fileName, std::size_t limit);

// The largest result-set or shortcut file the readers accept.
inline constexpr std::size_t kMaxResultSetFileSize = std::size_t{512} << 20;

}  // namespace trawler::results
