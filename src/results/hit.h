// One hit as a result page yields it: what the search driver hands to the
// result list, one at a time. The list only reads it.
#pragma once

#include <string>

#include "support/text/dates.h"

namespace trawler::results {

struct tHit {
  // The hit stands for a whole page (its engine returns whole pages); such a
  // hit always becomes a result of its own and is never merged.
  bool Separate = false;
  std::string Title;
  std::string Url;
  std::string Engine;           // key of the engine that returned the hit
  text::TDateTime Date = 0;     // 0 when the page has no date
  int Relevance = 0;            // 1 to 100
  int CheckState = 1;           // the engine's initial check state, normally "not checked"
  std::string Description;      // may hold HTML
};

}  // namespace trawler::results
