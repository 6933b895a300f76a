// Which item commands of the result view are offered, given the selection.
#pragma once

namespace trawler::core::view {

struct ItemActionStates {
  bool Open = false;
  bool OpenWith = false;
  bool SelectAll = true;
  bool Delete = false;
  bool Undelete = false;
  bool MassDelete = false;
  bool Copy = false;
  bool Check = false;
  bool MarkChecked = false;
  bool MarkUnchecked = false;
  bool AddToTemporaryBlackList = false;
  bool AddToPermanentBlackList = false;
  bool MarkNew = false;
  bool MarkOld = false;
  bool Properties = false;
};

// selectedCount is the number of selected rows; deletedViewShown whether the
// result list's view mode includes the deleted view.
ItemActionStates ComputeItemActions(int selectedCount, bool deletedViewShown);

// Undelete as offered when the result view's menu opens: in the deleted view
// whenever the first selected row holds a result.
bool UndeleteOnMenuOpen(bool deletedViewShown, bool firstSelectedHasResult);

}  // namespace trawler::core::view
