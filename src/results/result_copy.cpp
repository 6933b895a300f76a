#include "results/result_copy.h"

#include <limits>

#include "support/text/url.h"

namespace trawler::results {

namespace {

// Adds to `result` the addresses MergeEquivalentUrl appended to its copy.
int MergeInto(tUrlResult& result, const tUrlResult& source) {
  std::vector<std::string> urls = result.Urls();
  const std::size_t before = urls.size();
  const int status = text::MergeEquivalentUrl(urls, source.Urls());
  for (std::size_t i = before; i < urls.size(); ++i) result.AddOtherUrl(urls[i]);
  return status;
}

tUrlResult& CreateCopy(tResultsList& list, const tUrlResult& source) {
  list.ResultsChanged();
  tUrlResult& copy = list.CreateResult();
  for (const std::string& url : source.Urls()) copy.AddUrl(url);
  copy.SetMainIndex(source.MainIndex());
  copy.Title = source.Title;
  copy.Description = source.Description;
  copy.Engines = source.Engines;
  copy.CheckState = source.CheckState;
  copy.Date = source.Date;
  copy.Relevance = source.Relevance;
  copy.Separate = source.Separate;
  copy.Server = source.Server;
  copy.Reason = source.Reason;
  copy.Size = source.Size;
  copy.ContentType = source.ContentType;
  copy.Code = source.Code;
  copy.SetIsNew(source.IsNew());
  copy.SetDeleted(source.Deleted());
  return copy;
}

// Steps after the copy is made: black addresses arrive deleted.
int FinishCopy(tResultsList& list, tUrlResult& copy) {
  int status = -1;
  if (!copy.Deleted() && list.IsBlack(copy.MainUrl())) {
    copy.SetDeleted(true);
    status = 0;
  }
  copy.ApplyFilter();
  return status;
}

}  // namespace

ResultUrlIndex::ResultUrlIndex(tResultsList& list) : FList(list) {
  for (int i = 0; i < list.Count(); ++i) Add(*list.Items(i));
}

void ResultUrlIndex::AddUrl(const std::string& url, std::uint64_t order, tUrlResult* result) {
  std::vector<Entry>& bucket = FByPage[SamePageKey(url)];
  for (const Entry& e : bucket)
    if (e.Result == result) return;
  bucket.push_back({order, result});
}

void ResultUrlIndex::Add(tUrlResult& result) {
  const std::uint64_t order = FNextOrder++;
  FOrder[&result] = order;
  for (const std::string& url : result.Urls()) AddUrl(url, order, &result);
}

int ResultUrlIndex::Find(const tUrlResult& source) {
  if (source.Separate) return -1;
  // Same page exactly when the same-page keys are equal, so the first result
  // in list order that shares a key with the source is the one a walk over
  // the list would stop at.
  tUrlResult* first = nullptr;
  std::uint64_t firstOrder = std::numeric_limits<std::uint64_t>::max();
  for (const std::string& url : source.Urls()) {
    auto found = FByPage.find(SamePageKey(url));
    if (found == FByPage.end()) continue;
    for (const Entry& e : found->second)
      if (e.Order < firstOrder) {
        firstOrder = e.Order;
        first = e.Result;
      }
  }
  if (!first) return -1;
  const std::size_t before = first->Urls().size();
  const int status = MergeInto(*first, source);
  for (std::size_t i = before; i < first->Urls().size(); ++i)
    AddUrl(first->Urls()[i], firstOrder, first);
  return status;
}

int FindResultByUrls(tResultsList& list, const tUrlResult& source) {
  if (source.Separate) return -1;
  for (int i = 0; i < list.Count(); ++i) {
    const int status = MergeInto(*list.Items(i), source);
    if (status != -1) return status;
  }
  return -1;
}

int CopyResult(tResultsList& list, const tUrlResult& source) {
  const int found = source.Separate ? -1 : FindResultByUrls(list, source);
  if (found != -1) return found;
  return FinishCopy(list, CreateCopy(list, source));
}

int CopyResult(ResultUrlIndex& index, const tUrlResult& source) {
  const int found = index.Find(source);
  if (found != -1) return found;
  tUrlResult& copy = CreateCopy(index.List(), source);
  index.Add(copy);
  return FinishCopy(index.List(), copy);
}

}  // namespace trawler::results
