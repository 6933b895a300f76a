// Finds results by a key made from their main URL without walking the list.
//
// Each key maps to the results that currently carry it, kept in list order
// (the order in which the results were created), so "the first result in
// list order whose main URL names this page" is the front of one bucket.
// The owner inserts a result when it is created, erases it when it is freed,
// and moves it when its main URL changes. Most keys name one result, so a
// bucket holds its first entry in place and allocates only for more.
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
    std::uint64_t Order = 0;  // creation order of the result; list order
    tUrlResult* Result = nullptr;
  };

  class Bucket {
   public:
    bool Empty() const { return FHead.Result == nullptr; }
    tUrlResult* Front() const { return FHead.Result; }
    // Calls visit(result) in list order until it returns true; returns that result.
    template <class Visit>
    tUrlResult* FindFirst(Visit visit) const {
      if (Empty()) return nullptr;
      if (visit(FHead.Result)) return FHead.Result;
      for (const Entry& e : FTail)
        if (visit(e.Result)) return e.Result;
      return nullptr;
    }

   private:
    friend class UrlIndex;
    void Insert(Entry entry);
    void Erase(const tUrlResult* result);

    Entry FHead;               // the earliest in list order
    std::vector<Entry> FTail;  // the others, in list order
  };

  void Insert(const std::string& key, std::uint64_t order, tUrlResult* result);
  void Erase(const std::string& key, const tUrlResult* result);
  // The results under key, or none.
  const Bucket* Find(const std::string& key) const;
  void Clear();
  void Reserve(std::size_t keys) { FBuckets.reserve(keys); }
  std::size_t KeyCount() const { return FBuckets.size(); }

 private:
  std::unordered_map<std::string, Bucket> FBuckets;
};

// The key under which two main URLs name the same page: the URL uppercased
// and normalised with its query kept. Two URLs compare as the same page
// (byte-identical or equivalent) exactly when their keys are equal.
std::string SamePageKey(std::string_view url);

// The key of an exact, case-blind address lookup: the URL normalised with its
// query kept, then lowercased.
std::string AddressKey(std::string_view url);

}  // namespace trawler::results
