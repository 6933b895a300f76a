#include "core/mainwin/categories_menu.h"

#include <algorithm>

#include "support/text/case_folding.h"
#include "support/text/integer_text.h"

namespace trawler::mainwin {

namespace {

bool KeyLess(const std::string &a, const std::string &b) {
  constexpr int kNotNumber = -1;
  const int na = text::IntOfText(a, kNotNumber);
  const int nb = text::IntOfText(b, kNotNumber);
  if (na >= 0 && nb >= 0 && na != nb) return na < nb;
  return text::CompareTextIgnoreCase(a, b) < 0;
}

void SortChoices(std::vector<CategoryChoice> &choices, CategorySort sort) {
  std::stable_sort(choices.begin(), choices.end(),
                   [sort](const CategoryChoice &a, const CategoryChoice &b) {
                     if (sort == CategorySort::ByCategory) return KeyLess(a.Key, b.Key);
                     return text::CompareTextIgnoreCase(a.Title, b.Title) < 0;
                   });
}

void Append(std::vector<CategoryMenuEntry> &entries, const std::vector<CategoryChoice> &choices) {
  for (const CategoryChoice &choice : choices) {
    CategoryMenuEntry entry;
    entry.Key = choice.Key;
    entry.Caption = choice.Title + " (" + choice.Key + ")";
    entry.Hint = choice.Hint;
    entries.push_back(std::move(entry));
  }
}

}  // namespace

void BreakColumns(std::vector<CategoryMenuEntry> &entries, int itemsPerColumn) {
  if (itemsPerColumn <= 0) return;
  int count = 0;
  for (CategoryMenuEntry &entry : entries) {
    entry.NewColumn = false;
    if (count >= itemsPerColumn && !entry.Separator) {
      entry.NewColumn = true;
      count = 1;
    } else {
      ++count;
    }
  }
}

std::vector<CategoryMenuEntry> BuildCategoryMenu(std::vector<CategoryChoice> user,
                                                 std::vector<CategoryChoice> sites,
                                                 CategorySort sort, int itemsPerColumn) {
  SortChoices(user, sort);
  SortChoices(sites, sort);
  std::vector<CategoryMenuEntry> entries;
  Append(entries, user);
  if (!user.empty()) entries.push_back(CategoryMenuEntry{true, false, {}, {}, {}});
  Append(entries, sites);
  BreakColumns(entries, itemsPerColumn);
  return entries;
}

}  // namespace trawler::mainwin
