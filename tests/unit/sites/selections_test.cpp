#include "sites_env.h"

namespace trawler::core::testing {
namespace {

constexpr const char *kCategories = "\\Software\\Oxbow\\Trawler\\Categories";
constexpr const char *kSelection = "\\Software\\Oxbow\\Trawler\\Quick\\q1";

class SelectionsTest : public SitesTest {
protected:
    void SetUp() override { ASSERT_EQ(list_->LoadSites(FixtureDir("select").string()), ""); }

    TEngine &Site(const char *key) { return *list_->FindEngine(key); }

    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const TEngine *engine : list_->Engines) captions.push_back(engine->Caption);
        return captions;
    }
    std::vector<std::string> InCategoryCaptions() const {
        std::vector<std::string> captions;
        for (const TEngine *engine : list_->Engines) {
            if (engine->InCategory) captions.push_back(engine->Caption);
        }
        return captions;
    }
    std::vector<std::string> ValueNames(const std::string &key) { return Key(key)->GetValueNames(); }
};

TEST_F(SelectionsTest, CategoryCandidatesTicksAndCaptionOrder) {
    Key(std::string(kCategories) + "\\1\\Checks", true)->WriteBool("S:GAMMA", false);
    list_->SetEngineEnabled(Site("t:web"), false);
    list_->SelectCategory("1");
    EXPECT_EQ(InCategoryCaptions(), (std::vector<std::string>{"Alpha", "delta", "Gamma"}));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha", "beta", "delta", "Gamma", "Omega"}));
    EXPECT_FALSE(Site("s:gamma").Checked);
    EXPECT_TRUE(Site("s:alpha").Checked);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(list_->Engines[i]->Order, i);
}

TEST_F(SelectionsTest, TicksLeaveNoValueBehind) {
    list_->SelectCategory("1");
    const std::string checks = std::string(kCategories) + "\\1\\checks";
    list_->WriteCheck(Site("s:alpha"), "1", false);
    EXPECT_EQ(ValueNames(checks), std::vector<std::string>{"s:alpha"});
    EXPECT_FALSE(Site("s:alpha").Checked);
    list_->WriteCheck(Site("s:alpha"), "1", true);
    EXPECT_TRUE(ValueNames(checks).empty());
    list_->SelectCategory("1");
    EXPECT_TRUE(Site("s:alpha").Checked);
}

TEST_F(SelectionsTest, StoredOrderFirstThenCaptions) {
    {
        auto order = Key(std::string(kCategories) + "\\1\\order", true);
        order->WriteString("0000", "t:web");
        order->WriteString("0001", "Gamma");  // a caption names a site too
        order->WriteString("0002", "gone:site");
    }
    list_->SelectCategory("1");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Omega", "Gamma", "Alpha", "beta", "delta"}));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(list_->Engines[i]->Order, i);
}

TEST_F(SelectionsTest, MoveSkipsSitesOfOtherCategories) {
    Key(std::string(kCategories) + "\\2\\order", true)->WriteString("0009", "gone:site");
    list_->SelectCategory("2");  // beta and Gamma; Alpha, delta and Omega serve other categories
    ASSERT_EQ(Captions(), (std::vector<std::string>{"Alpha", "beta", "delta", "Gamma", "Omega"}));
    list_->MoveEngine(1, 1, "2");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha", "Gamma", "delta", "beta", "Omega"}));

    const std::string order = std::string(kCategories) + "\\2\\order";
    EXPECT_EQ(ValueNames(order), (std::vector<std::string>{"0001", "0003"}));
    EXPECT_EQ(Key(order)->ReadString("0001"), "s:gamma");
    EXPECT_EQ(Key(order)->ReadString("0003"), "s:beta");

    list_->MoveEngine(3, -5, "2");  // stops at the first site of the category
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha", "beta", "delta", "Gamma", "Omega"}));
    list_->MoveEngine(7, 1, "2");  // outside the list: nothing
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Alpha", "beta", "delta", "Gamma", "Omega"}));

    list_->MoveEngine(1, 1, "2");
    list_->SelectCategory("1");
    list_->SelectCategory("2");  // the stored order comes back
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Gamma", "beta", "Alpha", "delta", "Omega"}));
}

TEST_F(SelectionsTest, FromResultsTicksSitesById) {
    list_->SetEngineEnabled(Site("s:alpha"), false);
    list_->SelectFromResults("1", {"web", "ALPHA", "gamma-gone"});
    // Both sites with the id "web" are ticked; Alpha is switched off and stays out.
    EXPECT_EQ(InCategoryCaptions(), (std::vector<std::string>{"delta", "Omega", "Gamma"}));
    EXPECT_TRUE(Site("s:web").Checked);
    EXPECT_TRUE(Site("t:web").Checked);
    EXPECT_FALSE(Site("s:gamma").Checked);
    EXPECT_EQ(Site("s:web").Order, 0);
    EXPECT_EQ(Site("s:gamma").Order, -1);
}

TEST_F(SelectionsTest, StoredSelectionRoundTrip) {
    EXPECT_FALSE(list_->UseSelection(kSelection));
    Key(kSelection, true)->WriteString("Category", "1");
    list_->SelectCategory("1");
    list_->MoveEngine(3, -3, "1");  // Gamma to the top
    Site("s:web").Checked = false;
    Site("s:alpha").Checked = true;
    list_->SaveSelection(kSelection);
    EXPECT_EQ(ValueNames(std::string(kSelection) + "\\checks"), std::vector<std::string>{"s:web"});

    list_->SelectCategory("2");
    ASSERT_TRUE(list_->UseSelection(kSelection));
    EXPECT_EQ(InCategoryCaptions(), (std::vector<std::string>{"Gamma", "Alpha", "delta", "Omega"}));
    EXPECT_FALSE(Site("s:web").Checked);
    EXPECT_TRUE(Site("s:gamma").Checked);

    Key(kSelection)->DeleteValue("Category");
    EXPECT_FALSE(list_->UseSelection(kSelection));
}

TEST_F(SelectionsTest, StateIsReadWhereItIsWrittenBeforeRootKeyIsSet) {
    list_->RootKey.clear();
    list_->SelectCategory("1");
    list_->WriteCheck(Site("s:alpha"), "1", false);
    list_->MoveEngine(3, -3, "1");  // Gamma to the top
    list_->SelectCategory("2");
    list_->SelectCategory("1");
    EXPECT_FALSE(Site("s:alpha").Checked);
    EXPECT_EQ(Captions().front(), "Gamma");
    EXPECT_TRUE(Key(std::string(kCategories) + "\\1\\checks")->ValueExists("s:alpha"));
}

TEST_F(SelectionsTest, EmptyCategoryOrderReadsTheCategoriesKey) {
    Key(kCategories, true)->WriteString("0000", "t:web");
    list_->LoadOrder("");
    EXPECT_EQ(Captions().front(), "Omega");
    list_->SaveOrder("");  // no key of its own: the stored values stay
    EXPECT_EQ(Key(kCategories)->ReadString("0000"), "t:web");
}

}  // namespace
}  // namespace trawler::core::testing
