#include "core/view/filter_buttons.h"

#include <algorithm>

#include "results/results_list.h"
#include "support/lang/lang_list.h"
#include "support/lang/message_format.h"

namespace trawler::core::view {

int ViewModeFromFilters(bool newOnlyDown, bool oldOnlyDown, bool deletedDown) {
  int mode = newOnlyDown ? results::vmNewOnly : oldOnlyDown ? results::vmOldOnly : results::vmAll;
  if (deletedDown) mode += results::vmDeleted;
  return mode;
}

FilterButtonsState ComputeFilterButtons(const results::tResultsList& list,
                                        const lang::tALanglist& lang) {
  FilterButtonsState s;
  s.NewHint = lang::FormatMessage(lang.MessageText(45), {list.NewCount()});
  s.OldHint = lang::FormatMessage(lang.MessageText(46), {list.OldCount()});
  s.DeletedHint = lang::FormatMessage(lang.MessageText(44), {list.DeletedCount()});
  s.DeletedPicture = list.DeletedCount() > 0 ? 28 : 27;
  return s;
}

int RowToSelectAfterDelete(int firstSelectedBefore, int rowsAfter, bool anySelectedAfter) {
  if (anySelectedAfter || rowsAfter <= 0 || firstSelectedBefore < 0) return -1;
  return std::min(firstSelectedBefore, rowsAfter - 1);
}

}  // namespace trawler::core::view
