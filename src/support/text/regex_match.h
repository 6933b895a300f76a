#pragma once
// Regular expressions of the extractor and of the search in retrieved results.
//
// The dialect is Perl's, run by PCRE2 on UTF-8 text: "." matches every character including
// line breaks, "^" and "$" match only at the start and end of the whole text, \w \d \s stay
// ASCII (no Unicode properties), inline modifiers such as (?i) work, and case-insensitive
// matching folds non-ASCII letters too. Broken UTF-8 in the searched text is tolerated.
// Compiled expressions are cached, so an expression is compiled once per thread and
// options. A search that backtracks without bound stops with an error instead of hanging.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace trawler::text {

struct RegexError {
  std::string message;     // PCRE2's own text
  std::size_t offset = 0;  // byte offset in the expression (compile errors)
};

struct RegexMatch {
  // Byte ranges [begin, end) of the whole match (index 0) and of each group; a group that
  // did not take part is {npos, npos}.
  std::vector<std::pair<std::size_t, std::size_t>> groups;
  std::size_t begin() const { return groups.empty() ? std::string::npos : groups[0].first; }
  std::size_t end() const { return groups.empty() ? std::string::npos : groups[0].second; }
};

enum class RegexOutcome { kMatch, kNoMatch, kError };

class CompiledRegex {
 public:
  // Compiles (or takes from the cache) `expression`. Returns null and fills `error` when the
  // expression is malformed.
  static std::shared_ptr<const CompiledRegex> Get(std::string_view expression, bool ignore_case,
                                                  RegexError* error);

  // Searches text from byte offset `start`. On kError (match or memory limit reached) the
  // error holds PCRE2's message.
  RegexOutcome Find(std::string_view text, std::size_t start, RegexMatch* match,
                    RegexError* error) const;

  std::size_t group_count() const { return group_count_; }

  ~CompiledRegex();
  CompiledRegex(const CompiledRegex&) = delete;
  CompiledRegex& operator=(const CompiledRegex&) = delete;

 private:
  struct Handle;
  explicit CompiledRegex(std::unique_ptr<Handle> handle, std::size_t group_count);
  std::unique_ptr<Handle> handle_;
  std::size_t group_count_ = 0;
};

// Runs the expression over the text ignoring case; when it does not match, once more over
// HtmlToText of the text. A malformed expression or a search that hits the limits gives
// false (and the error, when asked for).
bool TextMatchesRegex(std::string_view text, std::string_view expression,
                      RegexError* error = nullptr);

}  // namespace trawler::text
