// Scopes the result list wraps around its bulk operations.
#pragma once

#include "results/results_list.h"

namespace trawler::results {

// OnBeginUpdate now, OnEndUpdate when the scope ends - also when an
// exception leaves it - so the view repaints once per operation.
class tResultsList::UpdateScope {
 public:
  explicit UpdateScope(tResultsList& list) : FList(list) { FList.Raise(FList.OnBeginUpdate); }
  ~UpdateScope() { FList.Raise(FList.OnEndUpdate); }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;

 private:
  tResultsList& FList;
};

// Sets OnUpdate aside while many results change one by one, and puts it
// back afterwards.
class tResultsList::HeldUpdate {
 public:
  explicit HeldUpdate(tResultsList& list) : FList(list), FHeld(std::move(list.OnUpdate)) {
    FList.OnUpdate = nullptr;
  }
  ~HeldUpdate() { FList.OnUpdate = std::move(FHeld); }
  HeldUpdate(const HeldUpdate&) = delete;
  HeldUpdate& operator=(const HeldUpdate&) = delete;

 private:
  tResultsList& FList;
  Event FHeld;
};

// Writes the permanent black list once, when the last of several changes
// made inside the scope is done.
class tResultsList::BlackSaveHold {
 public:
  explicit BlackSaveHold(tResultsList& list) : FList(list) { ++FList.FBlackSaveHold; }
  ~BlackSaveHold() {
    if (--FList.FBlackSaveHold == 0 && FList.FBlackSavePending) {
      FList.FBlackSavePending = false;
      FList.SaveBlackList();
    }
  }
  BlackSaveHold(const BlackSaveHold&) = delete;
  BlackSaveHold& operator=(const BlackSaveHold&) = delete;

 private:
  tResultsList& FList;
};

}  // namespace trawler::results
