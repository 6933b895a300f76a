// The small decisions of the result view: view mode from the filter
// buttons, the buttons' hints, which commands are offered, which row is
// selected after a Delete, and the font charset entries.

#include <gtest/gtest.h>

#include "core/view/filter_buttons.h"
#include "core/view/font_charsets.h"
#include "core/view/item_actions.h"
#include "results/results_list.h"
#include "support/lang/lang_list.h"

namespace trawler::core::view {
namespace {

TEST(ViewModeFromFilters, NewBeforeOldPlusDeleted) {
  struct Case { bool n, o, d; int mode; };
  for (const Case& c : {Case{false, false, false, 0}, Case{true, false, false, 1},
                        Case{false, true, false, 2}, Case{true, true, false, 1},
                        Case{false, false, true, 4}, Case{true, false, true, 5},
                        Case{false, true, true, 6}}) {
    EXPECT_EQ(ViewModeFromFilters(c.n, c.o, c.d), c.mode) << c.n << c.o << c.d;
  }
}

TEST(ComputeFilterButtons, HintsCarryTheCountsAndPictureShowsDeleted) {
  results::tResultsList list;
  lang::tALanglist lang;
  for (const char* url : {"http://a.lan/1", "http://a.lan/2", "http://a.lan/3"}) {
    list.CreateResult().AddUrl(url);
  }
  list.Recount();
  FilterButtonsState s = ComputeFilterButtons(list, lang);
  EXPECT_EQ(s.NewHint, "New links: 3");
  EXPECT_EQ(s.OldHint, "Old links: 0");
  EXPECT_EQ(s.DeletedHint, "Deleted: 0");
  EXPECT_EQ(s.DeletedPicture, 27);

  list.Items(0)->SetIsNew(false);
  list.Items(1)->SetDeleted(true);
  s = ComputeFilterButtons(list, lang);
  EXPECT_EQ(s.OldHint, "Old links: 1");
  EXPECT_EQ(s.DeletedHint, "Deleted: 1");
  EXPECT_EQ(s.DeletedPicture, 28);
}

TEST(ComputeItemActions, FollowsSelectionCountAndDeletedView) {
  struct Case { int selected; bool deletedView; bool any, one, undelete; };
  for (const Case& c : {Case{0, false, false, false, false}, Case{1, false, true, true, false},
                        Case{2, false, true, false, false}, Case{1, true, true, true, true},
                        Case{3, true, true, false, false}}) {
    const ItemActionStates s = ComputeItemActions(c.selected, c.deletedView);
    const bool any[] = {s.Open, s.Delete, s.MassDelete, s.Check, s.MarkChecked,
                        s.MarkUnchecked, s.MarkNew, s.MarkOld};
    const bool one[] = {s.OpenWith, s.Copy, s.AddToTemporaryBlackList,
                        s.AddToPermanentBlackList, s.Properties};
    for (bool b : any) EXPECT_EQ(b, c.any) << c.selected;
    for (bool b : one) EXPECT_EQ(b, c.one) << c.selected;
    EXPECT_EQ(s.Undelete, c.undelete) << c.selected << c.deletedView;
    EXPECT_TRUE(s.SelectAll);
  }
  EXPECT_TRUE(UndeleteOnMenuOpen(true, true));
  EXPECT_FALSE(UndeleteOnMenuOpen(false, true));
  EXPECT_FALSE(UndeleteOnMenuOpen(true, false));
}

TEST(RowToSelectAfterDelete, SamePlaceOrNewLastRow) {
  struct Case { int before, rowsAfter; bool anySelected; int row; };
  for (const Case& c : {Case{4, 4, false, 3},   // the last row went: the new last row
                        Case{2, 4, false, 2},   // a middle row went: the row moved up into its place
                        Case{0, 5, false, 0}, Case{3, 0, false, -1}, Case{-1, 3, false, -1},
                        Case{1, 3, true, -1}, Case{7, 2, false, 1}}) {
    EXPECT_EQ(RowToSelectAfterDelete(c.before, c.rowsAfter, c.anySelected), c.row)
        << c.before << " " << c.rowsAfter;
  }
}

TEST(FontCharsets, TagsInOrderWithTheClassicNumbers) {
  ASSERT_EQ(FontCharsets().size(), 14u);
  for (int tag = 0; tag < 14; ++tag) EXPECT_EQ(FontCharsets()[tag].Tag, tag);
  EXPECT_EQ(FontCharsetOfTag(kCyrillicCharsetTag).PlatformNumber, 204);
  EXPECT_EQ(FontCharsetOfTag(kCyrillicCharsetTag).Script, tScript::Cyrillic);
  EXPECT_EQ(FontCharsetOfTag(kAnsiCharsetTag).PlatformNumber, 0);
  EXPECT_EQ(FontCharsetOfTag(99).Caption, "Default");
}

}  // namespace
}  // namespace trawler::core::view
