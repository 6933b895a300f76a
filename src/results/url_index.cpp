#include "results/url_index.h"

#include <algorithm>

#include "support/text/case_folding.h"
#include "support/text/url.h"

namespace trawler::results {

void UrlIndex::Bucket::Insert(Entry entry) {
  if (Empty()) {
    FHead = entry;
    return;
  }
  if (entry.Order < FHead.Order) std::swap(entry, FHead);
  // Results mostly arrive in creation order, so the entry mostly goes to
  // the back; a result whose main URL changed may land earlier.
  auto at = std::upper_bound(FTail.begin(), FTail.end(), entry.Order,
                             [](std::uint64_t o, const Entry& e) { return o < e.Order; });
  FTail.insert(at, entry);
}

void UrlIndex::Bucket::Erase(const tUrlResult* result) {
  if (FHead.Result == result) {
    if (FTail.empty()) {
      FHead = Entry{};
    } else {
      FHead = FTail.front();
      FTail.erase(FTail.begin());
    }
    return;
  }
  auto at = std::find_if(FTail.begin(), FTail.end(),
                         [result](const Entry& e) { return e.Result == result; });
  if (at != FTail.end()) FTail.erase(at);
}

void UrlIndex::Insert(const std::string& key, std::uint64_t order, tUrlResult* result) {
  FBuckets[key].Insert(Entry{order, result});
}

void UrlIndex::Erase(const std::string& key, const tUrlResult* result) {
  auto found = FBuckets.find(key);
  if (found == FBuckets.end()) return;
  found->second.Erase(result);
  if (found->second.Empty()) FBuckets.erase(found);
}

const UrlIndex::Bucket* UrlIndex::Find(const std::string& key) const {
  auto found = FBuckets.find(key);
  return found == FBuckets.end() ? nullptr : &found->second;
}

void UrlIndex::Clear() { FBuckets.clear(); }

// CompareUrls gives 1 for identical addresses and 0 when the uppercased forms
// are equal or normalise equally; both cases mean equal keys here, and equal
// keys mean one of them, so the index finds exactly the results the
// one-by-one comparison would.
std::string SamePageKey(std::string_view url) {
  return text::NormalizeUrl(text::UpperText(url), false);
}

std::string AddressKey(std::string_view url) {
  return text::LowerText(text::NormalizeUrl(url, false));
}

}  // namespace trawler::results
