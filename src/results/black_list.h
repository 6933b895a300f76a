// The entries of a black list: pages and sites the user does not want to see.
// An entry is a URL prefix when it contains "://" ("h://a.lan/dir" blocks
// every address that starts with it), otherwise a host mask ("*.a.lan",
// "a.lan", "w.*"). Only checked entries are in force.
//
// The list owns its entries. Every change of an entry or of the list is
// reported through OnChange, so the owner can keep its stored copy and its
// lookup structures current.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trawler::results {

class tUrlList;

class tUrlItem {
 public:
  tUrlItem(const tUrlItem&) = delete;
  tUrlItem& operator=(const tUrlItem&) = delete;

  tUrlList* Owner() const { return FOwner; }
  const std::string& Url() const { return FUrl; }
  bool Checked() const { return FChecked; }
  void SetUrl(const std::string& url);
  void SetChecked(bool checked);

  // True when the entry names an address prefix rather than a host mask.
  bool IsPrefix() const;

 private:
  friend class tUrlList;
  tUrlItem(tUrlList& owner, std::string url, bool checked)
      : FOwner(&owner), FUrl(std::move(url)), FChecked(checked) {}

  tUrlList* FOwner;
  std::string FUrl;
  bool FChecked;
};

class tUrlList {
 public:
  tUrlList() = default;
  tUrlList(const tUrlList&) = delete;
  tUrlList& operator=(const tUrlList&) = delete;

  int Count() const { return static_cast<int>(FItems.size()); }
  // The entry at index, or none for an index outside the list.
  tUrlItem* Items(int index) const;
  int IndexOf(const tUrlItem* item) const;

  // Creates an entry at the end.
  tUrlItem& Add(std::string url, bool checked);
  // Frees the entry at index (nothing for an index outside the list).
  void Delete(int index);
  // Takes the entry out of this list without freeing it.
  std::unique_ptr<tUrlItem> Extract(tUrlItem& item);
  // Appends an entry taken from another list.
  tUrlItem& Adopt(std::unique_ptr<tUrlItem> item);
  void Clear();

  // The first entry whose URL equals url ignoring case, or none.
  tUrlItem* FindIgnoringCase(const std::string& url) const;
  // The index of the first entry whose URL equals url exactly, skipping the
  // entry at except; -1 when none.
  int FindExact(const std::string& url, int except) const;
  // Sorts by URL ignoring case; equal URLs keep their order.
  void Sort(bool ascending);

  // Raised after every change of the list or of one of its entries.
  std::function<void(tUrlList&)> OnChange;

 private:
  friend class tUrlItem;
  void Changed();

  std::vector<std::unique_ptr<tUrlItem>> FItems;
};

}  // namespace trawler::results
