#include "results/old_format_loader.h"

#include <optional>

#include "results/result_set_text.h"
#include "support/text/case_folding.h"
#include "support/text/code_pages.h"
#include "support/text/integer_text.h"
#include "support/text/string_toolkit.h"

namespace trawler::results {

namespace {

bool StartsBlock(std::string_view line) { return line.size() >= 2 && line.substr(0, 2) == "#%"; }

// A date "d.m.yyyy": all three parts non-zero and a real calendar date.
std::optional<text::TDateTime> OldDate(std::string_view value) {
  const std::string_view trimmed = text::TrimBlanks(value);
  int parts[3] = {0, 0, 0};
  std::size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t dot = trimmed.find('.', start);
    const bool last = i == 2;
    if (last != (dot == std::string_view::npos)) return std::nullopt;
    const std::string_view part = trimmed.substr(start, last ? std::string_view::npos : dot - start);
    parts[i] = text::IntOfText(part, 0);
    if (parts[i] <= 0) return std::nullopt;
    start = dot + 1;
  }
  return text::TryEncodeDate(parts[2], parts[1], parts[0]);
}

// The result a block describes, filled field by field.
struct OldBlock {
  std::string Title;
  std::vector<std::string> Urls;
  std::vector<std::string> Engines;
  int Relevance = 0;
  text::TDateTime Date = 0;
  std::string Description;
  int CheckState = csUnchecked;

  void Field(std::string_view line) {
    if (line.size() < 2) return;
    const std::string_view prefix = line.substr(0, 2);
    const std::string_view value = line.substr(2);
    if (prefix == "%0") {
      // An empty address names nothing; it must not become the main one.
      if (!value.empty()) Urls.emplace_back(value);
    } else if (prefix == "%1") {
      Engines.emplace_back(value);
    } else if (prefix == "%6") {
      Relevance = text::IntOfText(value, 0);
    } else if (prefix == "%5") {
      if (auto date = OldDate(value)) Date = *date;
    } else if (prefix == "%2" || prefix == "%3") {
      if (!Description.empty()) Description += "\r\n";
      Description += value;
    } else if (prefix == "%4") {
      CheckState = ClampCheckState(text::IntOfText(value, csUnchecked));
    }
  }

  void AddTo(tResultsList& list) const {
    if (Urls.empty()) return;
    list.ResultsChanged();
    tUrlResult& r = list.CreateResult();
    for (const std::string& url : Urls) r.AddUrl(url);
    r.Title = Title;
    r.SetIsNew(false);
    r.Engines = Engines;
    r.Relevance = Relevance;
    r.Date = Date;
    r.Description = Description;
    r.CheckState = CheckState;
    r.ApplyFilter();
  }
};

void RaiseLoadProgress(tResultsList& list) {
  if (list.OnLoadProgress) list.OnLoadProgress(list, 0, 1);
}

}  // namespace

std::string SaveNameForOldFile(const std::string& fileName) {
  constexpr std::size_t kExtension = 4;
  if (fileName.size() < kExtension) return fileName;
  const std::size_t at = fileName.size() - kExtension;
  if (!text::SameTextIgnoreCase(std::string_view(fileName).substr(at), ".twr")) return fileName;
  return fileName.substr(0, at) + ".twf";
}

void LoadOldText(tResultsList& list, const std::string& content, const std::string& fileName,
                 bool merge) {
  RaiseLoadProgress(list);
  const std::vector<std::string> lines = SplitLines(text::DecodeUtf8OrLegacy(content));
  auto line = [&lines](std::size_t number) {
    return number <= lines.size() ? lines[number - 1] : std::string();
  };
  if (!merge) {
    list.Category = line(1);
    list.Keywords = line(3);
    list.MatchMode = text::IntOfText(line(4), 0);
  }

  std::optional<OldBlock> block;
  for (std::size_t i = merge ? 4 : 6; i < lines.size(); ++i) {
    const std::string& current = lines[i];
    if (StartsBlock(current)) {
      if (block) block->AddTo(list);
      block.reset();
      // A bare "#%" only closes the block before it.
      const std::string_view title = text::TrimBlanks(std::string_view(current).substr(2));
      if (!title.empty()) {
        block.emplace();
        block->Title = std::string(title);
      }
    } else if (block) {
      block->Field(current);
    }
  }
  if (block) block->AddTo(list);

  if (!merge) {
    list.FileName = SaveNameForOldFile(fileName);
    list.SearchDate = text::FileDateTime(fileName);
  }
  RaiseLoadProgress(list);
  if (list.OnUpdate) list.OnUpdate(list);
  list.Recount();
}

void LoadOldFile(tResultsList& list, const std::string& fileName, bool merge) {
  const std::string content = ReadFileForLoad(fileName, kMaxResultSetFileSize);
  LoadOldText(list, content, fileName, merge);
}

}  // namespace trawler::results
