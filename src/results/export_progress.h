#pragma once

// The progress every export reports: (0, 1) when it starts, (i, n) before
// result i, and (1, 1) when it ends - also when an error ends it.

#include "results/results_list.h"

namespace trawler::results {

class ExportProgress {
 public:
  explicit ExportProgress(tResultsList& list) : FList(list) { Raise(0, 1); }
  ~ExportProgress() { Raise(1, 1); }
  ExportProgress(const ExportProgress&) = delete;
  ExportProgress& operator=(const ExportProgress&) = delete;

  void Before(int index) { Raise(index, FList.Count()); }

 private:
  void Raise(int position, int maximum) {
    if (FList.OnSaveProgress) FList.OnSaveProgress(FList, position, maximum);
  }
  tResultsList& FList;
};

}  // namespace trawler::results
