#include "sites_env.h"

namespace trawler::core::testing {
namespace {

class RegionsTest : public SitesTest {
protected:
    void SetUp() override { ASSERT_EQ(list_->LoadSites(FixtureDir("select").string()), ""); }
};

TEST_F(RegionsTest, OffRegionsAreReadIgnoringCase) {
    ASSERT_EQ(list_->Regions, (TStrings{"Europe", "Asia", "Africa"}));
    {
        auto reg = Key(kRegionsKey, true);
        reg->WriteBool("EUROPE", false);
        reg->WriteBool("Asia", true);
        reg->WriteBool("Mars", false);
        reg->WriteString("Africa", "0");  // not a boolean value: ignored
    }
    list_->LoadRegions();
    EXPECT_EQ(list_->EnabledRegions, (TStrings{"Asia", "Africa"}));
}

TEST_F(RegionsTest, SaveStoresOnlyOffRegionsOfLoadedSites) {
    Key(kRegionsKey, true)->WriteBool("Mars", false);
    list_->LoadRegions();
    list_->EnabledRegions = {"Asia"};
    list_->SaveRegions();
    auto reg = Key(kRegionsKey);
    EXPECT_EQ(reg->GetValueNames(), (std::vector<std::string>{"Europe", "Africa"}));
    EXPECT_EQ(reg->ReadBool("Europe"), false);
}

TEST_F(RegionsTest, SaveCreatesTheKeyWhenMissing) {
    ASSERT_FALSE(Key(kRegionsKey)->KeyExists(kRegionsKey));
    list_->EnabledRegions = {"Europe", "Africa"};
    list_->SaveRegions();
    EXPECT_EQ(Key(kRegionsKey)->GetValueNames(), std::vector<std::string>{"Asia"});
}

}  // namespace
}  // namespace trawler::core::testing
