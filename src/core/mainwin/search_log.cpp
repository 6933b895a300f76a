#include "core/mainwin/search_log.h"

namespace trawler::mainwin {

void SearchLog::Clear() {
  FLines.clear();
  FSelected = -1;
}

void SearchLog::SetStatusLine(const std::string &line, bool selectFirst) {
  if (FLines.empty())
    FLines.push_back(line);
  else
    FLines.front() = line;
  if (selectFirst)
    FSelected = 0;
  else
    SelectLast();
}

void SearchLog::Append(const std::string &line) {
  FLines.push_back(line);
  SelectLast();
}

void SearchLog::SelectLast() { FSelected = static_cast<int>(FLines.size()) - 1; }

}  // namespace trawler::mainwin
