// Shared pieces of the result-list tests: a recording row of the result view,
// hit builders and the invariant every test checks after each operation.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "results/list_item.h"
#include "results/results_list.h"

namespace trawler::results::testing {

// A row of the result view that records what the list writes into it.
class FakeRow : public ListItem {
 public:
  std::string caption;
  std::vector<std::string> columns;
  int image = -1;
  int columnWrites = 0;
  bool unbound = false;
  bool deleted = false;
  bool throwOnWrite = false;  // a row whose view is being torn down

  std::string Caption() const override { return caption; }
  void SetCaption(const std::string& text) override {
    if (throwOnWrite) throw std::runtime_error("row gone");
    caption = text;
  }
  int ColumnCount() const override { return static_cast<int>(columns.size()); }
  void AddColumn() override { columns.emplace_back(); }
  std::string Column(int index) const override { return columns.at(static_cast<std::size_t>(index)); }
  void SetColumn(int index, const std::string& text) override {
    columns.at(static_cast<std::size_t>(index)) = text;
    ++columnWrites;
  }
  void SetImage(int value) override {
    if (throwOnWrite) throw std::runtime_error("row gone");
    image = value;
  }
  void Unbind() override { unbound = true; }
  void Delete() override {
    deleted = true;
    if (throwOnWrite) throw std::runtime_error("row gone");
  }
};

inline tHit Hit(std::string url, std::string engine = "e1", text::TDateTime date = 0,
                bool separate = false) {
  tHit hit;
  hit.Url = std::move(url);
  hit.Engine = std::move(engine);
  hit.Title = "Title of " + hit.Url;
  hit.Date = date;
  hit.Relevance = 50;
  hit.Separate = separate;
  return hit;
}

// The counts must always equal the marks.
inline void ExpectCountsMatchMarks(const tResultsList& list) {
  int deleted = 0, fresh = 0;
  for (int i = 0; i < list.Count(); ++i) {
    deleted += list.Items(i)->Deleted() ? 1 : 0;
    fresh += list.Items(i)->IsNew() ? 1 : 0;
  }
  EXPECT_EQ(list.DeletedCount(), deleted);
  EXPECT_EQ(list.NewCount(), fresh);
  EXPECT_EQ(list.OldCount(), list.Count() - fresh);
}

// The results the view would show, by main address.
inline std::vector<std::string> VisibleUrls(const tResultsList& list) {
  std::vector<std::string> urls;
  for (int i = 0; i < list.Count(); ++i)
    if (list.Items(i)->Visible()) urls.push_back(list.Items(i)->MainUrl());
  return urls;
}

// Binds a fresh recording row to every visible result.
class RowKeeper {
 public:
  FakeRow& Bind(tUrlResult& result) {
    rows_.push_back(std::make_unique<FakeRow>());
    result.BindRow(rows_.back().get());
    return *rows_.back();
  }
  void BindVisible(tResultsList& list) {
    for (int i = 0; i < list.Count(); ++i)
      if (list.Items(i)->Visible() && !list.Items(i)->ListItem()) Bind(*list.Items(i));
  }

 private:
  std::vector<std::unique_ptr<FakeRow>> rows_;
};

}  // namespace trawler::results::testing
