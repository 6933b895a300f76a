// The Filters toolbar: New only and Old only (at most one down), and the
// deleted view, which is a toggle of its own.
#pragma once

#include <string>

namespace trawler::results { class tResultsList; }
namespace trawler::lang { class tALanglist; }

namespace trawler::core::view {

// The view mode the three buttons ask for: 1 new only, else 2 old only, else
// 0 all; 4 added for the deleted view.
int ViewModeFromFilters(bool newOnlyDown, bool oldOnlyDown, bool deletedDown);

// The buttons' hints with the list's counts, and the deleted-view picture.
struct FilterButtonsState {
  std::string NewHint;      // message 45 with NewCount
  std::string OldHint;      // message 46 with OldCount
  std::string DeletedHint;  // message 44 with DeletedCount
  int DeletedPicture = 27;  // 27 when nothing is deleted, 28 otherwise
};

FilterButtonsState ComputeFilterButtons(const results::tResultsList& list,
                                        const lang::tALanglist& lang);

// The row to select after a Delete: the row at the index that was first
// selected before, or the last row when the view is now shorter; -1 when a
// row is still selected, no row remains, or nothing was selected before.
int RowToSelectAfterDelete(int firstSelectedBefore, int rowsAfter, bool anySelectedAfter);

}  // namespace trawler::core::view
