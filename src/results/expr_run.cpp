#include "results/expr_run.h"

#include <chrono>

#include "support/text/case_folding.h"
#include "support/text/html_text.h"
#include "support/text/utf8.h"

namespace trawler::results {

// ---- tExprLines

std::vector<std::string> SplitExprLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\r' && text[at] != '\n') continue;
    lines.emplace_back(text.substr(start, at - start));
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
    start = at + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

void tExprLines::SetText(std::string_view text) {
  FLines = SplitExprLines(text);
  FFolded.clear();
  for (const std::string& line : FLines) FFolded.insert(text::FoldText(line));
}

std::string tExprLines::Text() const {
  std::string out;
  for (const std::string& line : FLines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

bool tExprLines::HasLineIgnoringCase(std::string_view text) const {
  return FFolded.count(text::FoldText(text)) != 0;
}

void tExprLines::AddLine(const std::string& text) {
  FLines.push_back(text);
  FFolded.insert(text::FoldText(text));
  if (OnAddLine) OnAddLine(text);
}

// ---- Matching

tExprTextOutcome CollectExprMatches(const text::CompiledRegex& regex, std::string_view text,
                                    bool unique, tExprOutput& output, int& added,
                                    text::RegexError& error) {
  text::RegexMatch match;
  std::size_t start = 0;
  bool matched = false;
  while (start <= text.size()) {
    const text::RegexOutcome outcome = regex.Find(text, start, &match, &error);
    if (outcome == text::RegexOutcome::kError) return tExprTextOutcome::Failed;
    if (outcome == text::RegexOutcome::kNoMatch) break;
    matched = true;
    const std::string found(text.substr(match.begin(), match.end() - match.begin()));
    if (!unique || !output.HasLineIgnoringCase(found)) {
      output.AddLine(found);
      ++added;
    }
    start = match.end();
    // An empty match would be found again at the same place: step over one
    // whole character (a broken byte counts as one).
    if (match.end() == match.begin()) {
      if (start >= text.size()) break;
      start += text::DecodeUtf8(text, start).length;
    }
  }
  return matched ? tExprTextOutcome::Matched : tExprTextOutcome::NoMatch;
}

std::string ExprCompileErrorText(std::string_view expression, const text::RegexError& error) {
  const std::size_t offset = std::min(error.offset, expression.size());
  return error.message + " at position " +
         std::to_string(text::Utf8Length(expression.substr(0, offset)));
}

// ---- tExprRun

tExprRun::tExprRun(platform::EventLoop& loop) : FLoop(loop) {}

tExprRun::~tExprRun() { Cancel(); }

bool tExprRun::Start(const tResultsList& list, std::string expression, tExprOutput& output) {
  if (Running()) return false;
  FList = &list;
  FOutput = &output;
  FExpression = std::move(expression);
  FRegex.reset();
  FIndex = 0;
  FCount = list.Count();
  FOutcome = {};
  ScheduleNext();
  return true;
}

void tExprRun::Cancel() {
  if (FTimer != 0) FLoop.removeTimer(FTimer);
  FTimer = 0;
  FList = nullptr;
  FOutput = nullptr;
  FRegex.reset();
}

void tExprRun::ScheduleNext() {
  FTimer = FLoop.addTimer(std::chrono::milliseconds(0), false, [this] {
    FTimer = 0;
    Step();
  });
}

void tExprRun::Step() {
  if (!Running()) return;
  if (FIndex >= FCount) {
    Finish();
    return;
  }
  const int index = FIndex++;
  if (OnProgress) {
    OnProgress(index + 1, FCount);
    if (!Running() || FTimer != 0) return;  // cancelled, or cancelled and started again
  }
  const tUrlResult* result = FList->Items(index);
  if (result != nullptr && (result->Visible() || !Options.OnlyVisible)) {
    ++FOutcome.Searched;
    if (!SearchResult(*result)) {
      Finish();
      return;
    }
  }
  ScheduleNext();
}

void tExprRun::Finish() {
  const tExprRunOutcome outcome = FOutcome;
  Cancel();
  if (OnDone) OnDone(outcome);
}

tExprTextOutcome tExprRun::Search(std::string_view text) {
  text::RegexError error;
  if (!FRegex) {
    FOutcome.Compiled = true;
    FRegex = text::CompiledRegex::Get(FExpression, false, &error);
    if (!FRegex) {
      FOutcome.Failed = true;
      FOutcome.Error = ExprCompileErrorText(FExpression, error);
      return tExprTextOutcome::Failed;
    }
  }
  const tExprTextOutcome outcome =
      CollectExprMatches(*FRegex, text, Options.Unique, *FOutput, FOutcome.Added, error);
  if (outcome == tExprTextOutcome::Failed) {
    FOutcome.Failed = true;
    FOutcome.Error = error.message;
  }
  return outcome;
}

bool tExprRun::SearchResult(const tUrlResult& result) {
  if (Options.Title && Search(result.Title) == tExprTextOutcome::Failed) return false;
  if (Options.Urls) {
    std::string urls;
    for (const std::string& url : result.OtherUrls()) urls += url + "\r\n";
    if (Search(urls) == tExprTextOutcome::Failed) return false;
  }
  if (Options.Description) {
    tExprTextOutcome outcome = Search(result.Description);
    if (outcome == tExprTextOutcome::NoMatch) outcome = Search(text::HtmlToText(result.Description));
    if (outcome == tExprTextOutcome::Failed) return false;
  }
  return true;
}

}  // namespace trawler::results
