#pragma once

// Copying results from one list into another without duplicating pages, as
// appending to a result-set file does: a result whose addresses name a page
// the target list already holds is not copied; its differently written
// addresses are added to the result that holds the page instead.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "results/results_list.h"

namespace trawler::results {

// Finds results of one list by any of their addresses, so copying many
// results costs time in proportion to their addresses, not to the list. It
// must see every change of the list's addresses: build it over the list and
// make every copy into that list through it.
class ResultUrlIndex {
 public:
  explicit ResultUrlIndex(tResultsList& list);

  tResultsList& List() const { return FList; }
  // Indexes a result created after the index was built (it comes last in
  // list order).
  void Add(tUrlResult& result);
  // FindResultByUrls through the index.
  int Find(const tUrlResult& source);

 private:
  struct Entry {
    std::uint64_t Order;
    tUrlResult* Result;
  };
  void AddUrl(const std::string& url, std::uint64_t order, tUrlResult* result);

  tResultsList& FList;
  std::unordered_map<std::string, std::vector<Entry>> FByPage;
  std::unordered_map<const tUrlResult*, std::uint64_t> FOrder;
  std::uint64_t FNextOrder = 0;
};

// The first result of `list`, in list order, that holds one of the source's
// addresses byte for byte (1) or names the same page under another spelling
// (0; the source's equivalent addresses are then added to that result);
// -1 when none does, or when the source stands for a whole page (Separate).
int FindResultByUrls(tResultsList& list, const tUrlResult& source);

// Copies the source into `list` unless the list already holds its page (the
// status of FindResultByUrls; -1 means copied). A copy whose main address is
// black in `list` arrives deleted and gives 0. The copy keeps the source's
// addresses, marks, texts and link-check fields; its creation stamp is 0.
int CopyResult(tResultsList& list, const tUrlResult& source);
// The same, finding through an index built over the target list.
int CopyResult(ResultUrlIndex& index, const tUrlResult& source);

}  // namespace trawler::results
