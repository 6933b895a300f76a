// Running one regular expression over the texts of a result list and
// gathering every match, one per line.
//
// A run goes one result per turn of the event loop, so the search may go on
// adding hits and the user may work elsewhere while it lasts. It reads the
// list only; results added meanwhile are not searched (the run ends at the
// count taken when it started), and an index that no longer exists is
// skipped. Of each result it searches the title, the addresses other than the
// main one (each followed by CR LF), and the description - first as stored,
// and only when that gives no match, as plain text.
//
// The expression is compiled at the first search and reused for the whole
// run; a run that searches nothing never compiles it. A malformed expression,
// or a search that runs into the engine's match or depth limits, ends the run
// with the engine's message; matches gathered until then stay.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/event_loop.h"
#include "results/results_list.h"
#include "support/text/regex_match.h"

namespace trawler::results {

// Where the matches go: the extractor's text area.
class tExprOutput {
 public:
  virtual ~tExprOutput() = default;
  // True when a line equals text ignoring letter case.
  virtual bool HasLineIgnoringCase(std::string_view text) const = 0;
  virtual void AddLine(const std::string& text) = 0;
};

// Lines of text with a fast ignore-case lookup; the window mirrors its text
// area into one (SetText before a run, OnAddLine to show new lines).
class tExprLines : public tExprOutput {
 public:
  std::function<void(const std::string&)> OnAddLine;

  // Replaces every line; CR LF, LF and a lone CR all end a line, and a line
  // break at the very end does not start another line.
  void SetText(std::string_view text);
  // Every line followed by CR LF.
  std::string Text() const;
  const std::vector<std::string>& Lines() const { return FLines; }
  int Count() const { return static_cast<int>(FLines.size()); }

  bool HasLineIgnoringCase(std::string_view text) const override;
  void AddLine(const std::string& text) override;

 private:
  std::vector<std::string> FLines;
  std::unordered_multiset<std::string> FFolded;
};

// Splits text into lines as tExprLines::SetText does.
std::vector<std::string> SplitExprLines(std::string_view text);

// Which texts a run searches; the run reads them afresh for every result, so
// the window may change them while it runs.
struct tExprSources {
  bool OnlyVisible = false;  // skip results that are not Visible
  bool Unique = true;        // add a match only when no line equals it ignoring case
  bool Title = true;
  bool Urls = true;
  bool Description = true;
};

struct tExprRunOutcome {
  bool Failed = false;   // the expression is malformed or a search hit a limit
  std::string Error;     // the engine's message with the position for a malformed one
  bool Compiled = false; // the expression was needed at all
  int Searched = 0;      // results looked at
  int Added = 0;         // lines added
};

// What a search of one text found.
enum class tExprTextOutcome { NoMatch, Matched, Failed };

// Adds every match of regex in text to output (see tExprSources::Unique):
// each search starts where the previous match ended, one character further
// after an empty match. `added` counts the lines added.
tExprTextOutcome CollectExprMatches(const text::CompiledRegex& regex, std::string_view text,
                                    bool unique, tExprOutput& output, int& added,
                                    text::RegexError& error);

// The engine's message for a malformed expression, with the character
// position (counted from 0) where the engine noticed the fault.
std::string ExprCompileErrorText(std::string_view expression, const text::RegexError& error);

class tExprRun {
 public:
  using ProgressEvent = std::function<void(int position, int maximum)>;
  using DoneEvent = std::function<void(const tExprRunOutcome&)>;

  explicit tExprRun(platform::EventLoop& loop);
  // Stops a run under way; OnDone is not raised then.
  ~tExprRun();
  tExprRun(const tExprRun&) = delete;
  tExprRun& operator=(const tExprRun&) = delete;

  tExprSources Options;
  // Before each result: position counts from 1 to maximum (the count taken
  // at the start).
  ProgressEvent OnProgress;
  // Once at the end of every run that was not cancelled.
  DoneEvent OnDone;

  // Starts a run of expression over list into output; both must outlive the
  // run (or Cancel it first). False, and nothing happens, while a run is under
  // way.
  bool Start(const tResultsList& list, std::string expression, tExprOutput& output);
  bool Running() const { return FList != nullptr; }
  // Ends a run under way without raising OnDone.
  void Cancel();

 private:
  // Searches one result under the current Options; false when the run must
  // end (FOutcome then holds the error).
  bool SearchResult(const tUrlResult& result);
  // NoMatch, Matched (matches collected) or Failed.
  tExprTextOutcome Search(std::string_view text);
  void ScheduleNext();
  void Step();
  void Finish();

  platform::EventLoop& FLoop;
  platform::TimerId FTimer = 0;
  const tResultsList* FList = nullptr;
  tExprOutput* FOutput = nullptr;
  std::string FExpression;
  std::shared_ptr<const text::CompiledRegex> FRegex;
  int FIndex = 0;
  int FCount = 0;
  tExprRunOutcome FOutcome;
};

}  // namespace trawler::results
