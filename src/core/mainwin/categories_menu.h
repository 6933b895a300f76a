#pragma once
// The entries of the Categories submenu: the user's categories first, a separator when
// there were any, then the categories of the site descriptions; each group sorted by
// title or by key; long menus broken into columns.

#include <string>
#include <vector>

namespace trawler::mainwin {

struct CategoryChoice {
  std::string Key;    // what choosing it selects ("u0", "12", ...)
  std::string Title;  // its display name
  std::string Hint;
};

struct CategoryMenuEntry {
  bool Separator = false;
  bool NewColumn = false;  // starts a new menu column
  std::string Key;
  std::string Caption;
  std::string Hint;
};

enum class CategorySort { ByTitle, ByCategory };

// Captions are title + " (" + key + ")". Sorting by category compares keys as numbers
// when both are numbers, else as text.
std::vector<CategoryMenuEntry> BuildCategoryMenu(std::vector<CategoryChoice> user,
                                                 std::vector<CategoryChoice> sites,
                                                 CategorySort sort, int itemsPerColumn);

// Marks column breaks: with n > 0, the first entry after n entries (counting every entry
// from the top) that is not a separator starts a new column, and counting restarts at 1.
void BreakColumns(std::vector<CategoryMenuEntry> &entries, int itemsPerColumn);

}  // namespace trawler::mainwin
