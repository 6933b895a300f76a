#include "core/view/item_actions.h"

namespace trawler::core::view {

ItemActionStates ComputeItemActions(int selectedCount, bool deletedViewShown) {
  const bool any = selectedCount > 0;
  const bool one = selectedCount == 1;
  ItemActionStates s;
  s.Open = any;
  s.OpenWith = one;
  s.SelectAll = true;
  s.Delete = any;
  s.Undelete = deletedViewShown && one;
  s.MassDelete = any;
  s.Copy = one;
  s.Check = any;
  s.MarkChecked = any;
  s.MarkUnchecked = any;
  s.AddToTemporaryBlackList = one;
  s.AddToPermanentBlackList = one;
  s.MarkNew = any;
  s.MarkOld = any;
  s.Properties = one;
  return s;
}

bool UndeleteOnMenuOpen(bool deletedViewShown, bool firstSelectedHasResult) {
  return deletedViewShown && firstSelectedHasResult;
}

}  // namespace trawler::core::view
