#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/scratch_store.h"
#include "support/quickmenu/quick_menu.h"

namespace trawler::quickmenu {
namespace {

using platform::RegKey;

const std::string kRoot = tQMList::kMainRegRootPath;

// A menu that records its items the way a window would show them.
class RecordingMenu : public tQMMenu {
 public:
  struct Item {
    int id;
    std::string caption;
    bool newColumn;
    std::function<void()> click;
  };
  std::vector<Item> items;

  void ClearItems() override { items.clear(); }
  int AddItem(const std::string& caption, bool newColumn, std::function<void()> onClick) override {
    items.push_back({++lastId, caption, newColumn, std::move(onClick)});
    return lastId;
  }
  void SetItemCaption(int id, const std::string& caption) override { Find(id).caption = caption; }
  void RemoveItem(int id) override {
    std::erase_if(items, [id](const Item& item) { return item.id == id; });
  }
  Item& Find(int id) {
    for (Item& item : items)
      if (item.id == id) return item;
    throw std::out_of_range("no menu item " + std::to_string(id));
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const Item& item : items) captions.push_back(item.caption);
    return captions;
  }
  // Items per column, as a menu with bar breaks shows them.
  std::vector<int> Columns() const {
    std::vector<int> columns;
    for (const Item& item : items) {
      if (columns.empty() || item.newColumn) columns.push_back(0);
      ++columns.back();
    }
    return columns;
  }

 private:
  int lastId = 0;
};

void WriteTemplate(platform::RegistryStore& store, const std::string& number, const std::string& title,
                   const char* category) {
  RegKey key(store);
  ASSERT_TRUE(key.OpenKey(kRoot + "\\" + number, true));
  key.WriteString("", title);
  if (category != nullptr) key.WriteString("Category", category);
}

class QuickMenuTest : public ::testing::Test {
 protected:
  QuickMenuTest() : list(scratch.Store()) {
    list.ParentMenuItem = &menu;
    list.RegRootPath = kRoot;
    list.ItemsInMenu = 25;
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (int i = 0; i < list.Count(); ++i) titles.push_back(list.Items(i)->Title());
    return titles;
  }

  ScratchStore scratch;
  RecordingMenu menu;
  tQMList list;
};

TEST_F(QuickMenuTest, TemplatesAreSortedByTitleOrByCategoryNumber) {
  WriteTemplate(scratch.Store(), "0", "beta", "10");
  WriteTemplate(scratch.Store(), "1", "Alpha", "9");
  WriteTemplate(scratch.Store(), "2", "gamma", "x");  // not a number: 0
  WriteTemplate(scratch.Store(), "3", "no category", nullptr);
  list.Reload();
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  EXPECT_EQ(menu.Captions(), (std::vector<std::string>{"Alpha (9)", "beta (10)", "gamma (x)"}));
  list.SetSortType(qmsCategory);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"gamma", "Alpha", "beta"}));
  EXPECT_EQ(menu.Captions(), (std::vector<std::string>{"gamma (x)", "Alpha (9)", "beta (10)"}));
  EXPECT_EQ(list.Items(3), nullptr);
  EXPECT_EQ(list.Items(-1), nullptr);
}

TEST_F(QuickMenuTest, MenuColumnsHoldItemsInMenuEach) {
  struct Case {
    int itemsInMenu, templates;
    std::vector<int> columns;
  };
  const Case cases[] = {
      {25, 60, {25, 25, 10}},
      {25, 25, {25}},
      {0, 30, {30}},
      {-1, 3, {3}},
  };
  for (const Case& c : cases) {
    ScratchStore store;
    for (int i = 0; i < c.templates; ++i) WriteTemplate(store.Store(), std::to_string(i), "t", "0");
    tQMList columns(store.Store());
    RecordingMenu shown;
    columns.ParentMenuItem = &shown;
    columns.RegRootPath = kRoot;
    columns.ItemsInMenu = c.itemsInMenu;
    columns.Reload();
    EXPECT_EQ(shown.Columns(), c.columns) << c.itemsInMenu << " " << c.templates;
  }
}

TEST_F(QuickMenuTest, AddTemplateFillsTheFirstGapAndAppendsUnsorted) {
  for (const char* number : {"0", "1", "3"}) WriteTemplate(scratch.Store(), number, std::string("t") + number, "5");
  list.Reload();
  tQMItem* added = list.AddTemplate("aaa first by title");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->KeyPath(), kRoot + "\\2");
  EXPECT_EQ(added->Category(), "0");
  EXPECT_EQ(added->Index(), 3);
  EXPECT_EQ(list.Items(list.Count() - 1), added);
  EXPECT_EQ(menu.Captions().back(), "aaa first by title (0)");

  RegKey key(scratch.Store());
  ASSERT_TRUE(key.OpenKey(kRoot + "\\2", false));
  EXPECT_EQ(key.ReadString(""), "aaa first by title");
  EXPECT_EQ(key.ReadString("Category"), "0");
  EXPECT_EQ(key.ReadInteger("Index"), 3);
}

TEST_F(QuickMenuTest, AddTemplateOnAMissingRootStartsAtZero) {
  tQMItem* added = list.AddTemplate("first");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->KeyPath(), kRoot + "\\0");
  EXPECT_EQ(added->Index(), 0);
  list.Reload();
  EXPECT_EQ(Titles(), std::vector<std::string>{"first"});
}

TEST_F(QuickMenuTest, MakeUniqueTitleTriesNumberedTitles) {
  struct Case {
    std::vector<std::string> existing;
    std::string title, expected;
    bool ok;
  };
  std::vector<std::string> full{"b"};
  for (int n = 1; n <= 1023; ++n) full.push_back("b " + std::to_string(n));
  const Case cases[] = {
      {{"a", "a 1"}, "a", "a 2", true},
      {{"A"}, "a", "a", true},  // exact comparison: "a" is free
      {{"x"}, "a", "a", true},
      {full, "b", "b", false},
  };
  for (const Case& c : cases) {
    ScratchStore store;
    for (std::size_t i = 0; i < c.existing.size(); ++i)
      WriteTemplate(store.Store(), std::to_string(i), c.existing[i], "0");
    tQMList titles(store.Store());
    titles.RegRootPath = kRoot;
    titles.Reload();
    std::string title = c.title;
    EXPECT_EQ(titles.MakeUniqueTitle(title), c.ok) << c.title;
    EXPECT_EQ(title, c.expected);
  }
}

TEST_F(QuickMenuTest, DeletingTheFirstTemplateLeavesOtherItemsOpeningTheirOwn) {
  for (const char* number : {"0", "1", "2"}) WriteTemplate(scratch.Store(), number, std::string("t") + number, "1");
  list.Reload();
  std::vector<std::string> clicked;
  list.OnClickMenu = [&](tQMItem& item) { clicked.push_back(item.Title()); };
  auto firstClick = menu.items[0].click;
  list.DeleteTemplate(list.Items(0));
  EXPECT_EQ(menu.Captions(), (std::vector<std::string>{"t1 (1)", "t2 (1)"}));
  for (const auto& item : menu.items) item.click();
  firstClick();  // a click on the removed template's item does nothing
  EXPECT_EQ(clicked, (std::vector<std::string>{"t1", "t2"}));
  EXPECT_FALSE(RegKey(scratch.Store()).KeyExists(kRoot + "\\0"));
  list.Reload();
  EXPECT_EQ(Titles(), (std::vector<std::string>{"t1", "t2"}));
}

TEST_F(QuickMenuTest, SetTitleAndSetCategoryWriteThroughToTheKey) {
  WriteTemplate(scratch.Store(), "0", "old", "3");
  {
    RegKey key(scratch.Store());
    ASSERT_TRUE(key.OpenKey(kRoot + "\\0\\checks", true));  // the selection stored with it
    key.WriteBool("f:site", false);
  }
  list.Reload();
  tQMItem* item = list.Items(0);
  item->SetCategory("61");
  item->SetTitle("new");
  EXPECT_EQ(menu.Captions(), std::vector<std::string>{"new (61)"});
  EXPECT_EQ(list.FindTemplate("new"), item);
  EXPECT_EQ(list.FindTemplate("NEW"), nullptr);
  list.Reload();
  EXPECT_EQ(list.Items(0)->Title(), "new");
  EXPECT_EQ(list.Items(0)->Category(), "61");

  // Deleting takes the stored selection with it.
  list.DeleteTemplate(list.Items(0));
  EXPECT_FALSE(RegKey(scratch.Store()).KeyExists(kRoot + "\\0\\checks"));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(menu.items.empty());
}

TEST_F(QuickMenuTest, TemplateWhoseKeyWasRemovedKeepsItsValuesOnlyInMemory) {
  WriteTemplate(scratch.Store(), "0", "gone", "1");
  list.Reload();
  ASSERT_TRUE(RegKey(scratch.Store()).DeleteKey(kRoot + "\\0"));
  list.Items(0)->SetTitle("renamed");
  list.Items(0)->SetCategory("2");
  EXPECT_FALSE(RegKey(scratch.Store()).KeyExists(kRoot + "\\0"));
  EXPECT_EQ(list.Items(0)->Title(), "renamed");
}

}  // namespace
}  // namespace trawler::quickmenu
