// Finds results by a key made from their main URL without walking the list.
//
// Each key maps to the results that currently carry it, kept in list order
// (the order in which the results were created), so "the first result in
// list order whose main URL names this page" is the front of one bucket.
// The owner inserts a result when it is created, erases it when it is freed,
// and moves it when its main URL changes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace trawler::results {

class tUrlResult;

class UrlIndex {
 public:
  struct Entry {
    std::uint64_t Order;  // creation order of the result; list order
    tUrlResult* Result;
  };

  void Insert(const std::string& key, std::uint64_t order, tUrlResult* result);
  void Erase(const std::string& key, tUrlResult* result);
  // The results under key in list order; empty when none.
  const std::vector<Entry>& Find(const std::string& key) const;
  void Clear();
  std::size_t KeyCount() const { return FBuckets.size(); }

 private:
  std::unordered_map<std::string, std::vector<Entry>> FBuckets;
};

// The key under which two main URLs name the same page: the URL uppercased
// and normalised with its query kept. Two URLs compare as the same page
// (byte-identical or equivalent) exactly when their keys are equal.
std::string SamePageKey(std::string_view url);

// The key of an exact, case-blind address lookup: the URL normalised with its
// query kept, then lowercased.
std::string AddressKey(std::string_view url);

}  // namespace trawler::results
