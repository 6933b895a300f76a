#pragma once
// The search log of the Engines tab: its first line is the search's status line (started,
// suspended, resumed), which each new status replaces; other lines are appended.

#include <string>
#include <vector>

namespace trawler::mainwin {

class SearchLog {
 public:
  const std::vector<std::string> &Lines() const { return FLines; }
  // The line the log selects after the last change.
  int Selected() const { return FSelected; }

  void Clear();
  // Replaces the first line, or adds it to an empty log; selects it when selectFirst,
  // else the last line.
  void SetStatusLine(const std::string &line, bool selectFirst);
  // Adds a line at the end and selects it.
  void Append(const std::string &line);
  void SelectLast();

 private:
  std::vector<std::string> FLines;
  int FSelected = -1;
};

}  // namespace trawler::mainwin
