#include "results/expr_history.h"

#include <algorithm>
#include <unordered_set>

#include "support/text/case_folding.h"

namespace trawler::results {

void AddToExprHistory(std::vector<std::string>& history, const std::string& expression) {
  std::erase_if(history, [&](const std::string& entry) {
    return text::SameTextIgnoreCase(entry, expression);
  });
  history.insert(history.begin(), expression);
  if (history.size() > kExprHistoryLimit) history.resize(kExprHistoryLimit);
}

std::string ProposeExprName(const std::vector<std::string>& listed, const std::string& base) {
  std::unordered_set<std::string> taken;
  for (const std::string& name : listed) taken.insert(text::FoldText(name));
  if (taken.count(text::FoldText(base)) == 0) return base;
  // At most listed.size() names can be taken, so this ends.
  for (std::size_t n = 1;; ++n) {
    std::string name = base + "_" + std::to_string(n);
    if (taken.count(text::FoldText(name)) == 0) return name;
  }
}

}  // namespace trawler::results
