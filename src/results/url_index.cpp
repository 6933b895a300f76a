#include "results/url_index.h"

#include <algorithm>

#include "support/text/case_folding.h"
#include "support/text/url.h"

namespace trawler::results {

void UrlIndex::Insert(const std::string& key, std::uint64_t order, tUrlResult* result) {
  std::vector<Entry>& bucket = FBuckets[key];
  // Results are usually inserted in creation order, so the new entry mostly
  // goes to the back; a result whose main URL changed may land earlier.
  auto at = std::upper_bound(bucket.begin(), bucket.end(), order,
                             [](std::uint64_t o, const Entry& e) { return o < e.Order; });
  bucket.insert(at, Entry{order, result});
}

void UrlIndex::Erase(const std::string& key, tUrlResult* result) {
  auto found = FBuckets.find(key);
  if (found == FBuckets.end()) return;
  std::vector<Entry>& bucket = found->second;
  auto at = std::find_if(bucket.begin(), bucket.end(),
                         [result](const Entry& e) { return e.Result == result; });
  if (at != bucket.end()) bucket.erase(at);
  if (bucket.empty()) FBuckets.erase(found);
}

const std::vector<UrlIndex::Entry>& UrlIndex::Find(const std::string& key) const {
  static const std::vector<Entry> kNone;
  auto found = FBuckets.find(key);
  return found == FBuckets.end() ? kNone : found->second;
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
