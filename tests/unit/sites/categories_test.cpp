#include "core/categories.h"
#include "sites_env.h"

namespace trawler::core::testing {
namespace {

constexpr const char *kCategories = "\\Software\\Oxbow\\Trawler\\Categories";

class CategoriesTest : public SitesTest {
protected:
    void Load() { ASSERT_EQ(list_->LoadSites(FixtureDir("select").string()), ""); }
    TEngine &Site(const char *key) { return *list_->FindEngine(key); }
};

TEST_F(CategoriesTest, CategoryInfoSplitsDefinitions) {
    Load();
    struct Case {
        const char *key;
        int image;
        const char *name;
        const char *hint;
    };
    const Case cases[] = {
        {"1", 1, "Web", "Web pages"},
        {"2", 2, "News", "Latest news"},
        {"3", 0, "Odd", "Odd"},  // no hint: name and hint are the rest
        {"none", 0, "", ""},
    };
    for (const auto &c : cases) {
        const auto info = list_->CategoryInfo(c.key);
        EXPECT_EQ(info.Image, c.image) << c.key;
        EXPECT_EQ(info.Name, c.name) << c.key;
        EXPECT_EQ(info.Hint, c.hint) << c.key;
    }
    EXPECT_EQ(list_->CategoryNameAt(1), "News");
    EXPECT_EQ(list_->CategoryImageAt(2), -1);  // "bad" is no picture number
    EXPECT_EQ(list_->CategoryNameAt(3), "");
    EXPECT_EQ(list_->CategoryImageAt(-1), 0);
    EXPECT_TRUE(list_->IsBuiltInCategory("2"));
    EXPECT_FALSE(list_->CategoryExists("u0"));
}

TEST_F(CategoriesTest, UserCategoriesTakeTheFirstFreeKey) {
    Load();
    list_->UserCategories = {"u0=;0;A", "u2=;0;C"};
    EXPECT_EQ(list_->AddUserCategory("B"), "u1");
    EXPECT_TRUE(list_->CategoryExists("u1"));
    EXPECT_FALSE(list_->IsBuiltInCategory("u1"));
    auto reg = Key(std::string(kCategories) + "\\u1");
    EXPECT_EQ(reg->ReadString("name"), "B");
    EXPECT_EQ(reg->ReadInteger("imageindex"), 0);
    EXPECT_EQ(reg->ReadString("hint"), "B");
}

TEST_F(CategoriesTest, RenameAndPictureKeepTheHint) {
    Load();
    const auto key = list_->AddUserCategory("Mine");
    ASSERT_TRUE(list_->RenameUserCategory(key, "News;Latest news"));
    EXPECT_EQ(list_->CategoryInfo(key).Name, "News");
    EXPECT_EQ(list_->CategoryInfo(key).Hint, "Latest news");
    ASSERT_TRUE(list_->RenameUserCategory(key, "Press"));
    EXPECT_EQ(list_->CategoryInfo(key).Hint, "Latest news");

    // A new picture leaves name and hint as they are.
    ASSERT_TRUE(list_->SetUserCategoryImage(key, 5));
    const auto info = list_->CategoryInfo(key);
    EXPECT_EQ(info.Image, 5);
    EXPECT_EQ(info.Name, "Press");
    EXPECT_EQ(info.Hint, "Latest news");
    auto reg = Key(std::string(kCategories) + "\\" + key);
    EXPECT_EQ(reg->ReadInteger("imageindex"), 5);
    EXPECT_EQ(reg->ReadString("hint"), "Latest news");

    EXPECT_FALSE(list_->RenameUserCategory("1", "Web"));
    EXPECT_FALSE(list_->SetUserCategoryImage("1", 3));
    EXPECT_FALSE(Key(kCategories)->KeyExists(std::string(kCategories) + "\\1"));
}

TEST_F(CategoriesTest, DeleteNeverTouchesBuiltInKeys) {
    Load();
    const auto key = list_->AddUserCategory("Mine");
    Key(std::string(kCategories) + "\\1\\checks", true)->WriteBool("s:alpha", false);
    list_->DeleteUserCategory(key);
    list_->DeleteUserCategory("1");
    EXPECT_FALSE(list_->CategoryExists(key));
    auto reg = Key(kCategories);
    EXPECT_FALSE(reg->KeyExists(std::string(kCategories) + "\\" + key));
    EXPECT_TRUE(reg->KeyExists(std::string(kCategories) + "\\1\\checks"));
}

TEST_F(CategoriesTest, UserCategoriesAndAdditionsLoadWithTheSites) {
    {
        auto u0 = Key(std::string(kCategories) + "\\u0", true);
        u0->WriteString("name", "Mine");
        u0->WriteInteger("imageindex", 3);
        u0->WriteString("hint", "my sites");
        Key(std::string(kCategories) + "\\u0\\sites", true)->WriteString("S:BETA", "2");
        // No "name": neither the category nor its additions load.
        Key(std::string(kCategories) + "\\u5\\sites", true)->WriteString("s:alpha", "1");
        // Additions to a built-in category load without a definition.
        Key(std::string(kCategories) + "\\1\\sites", true)->WriteString("s:beta", "2");
    }
    Load();
    EXPECT_EQ(list_->UserCategories, TStrings{"u0=;3;Mine;my sites"});
    EXPECT_EQ(Site("s:beta").CategoryAliases, (TStrings{"u0=2", "1=2"}));
    EXPECT_TRUE(Site("s:alpha").CategoryAliases.empty());
    EXPECT_EQ(EngineCode(Site("s:beta"), "u0"), "n");
    EXPECT_EQ(EngineCategoryKey(Site("s:beta"), "u0"), "2");
    list_->SelectCategory("u0");
    EXPECT_TRUE(Site("s:beta").InCategory);
    EXPECT_FALSE(Site("s:alpha").InCategory);
}

TEST_F(CategoriesTest, AddingAndRemovingSites) {
    Load();
    const auto key = list_->AddUserCategory("Mine");
    TEngine &gamma = Site("s:gamma");
    list_->AddSiteToCategory(key, "Gamma", "2");
    EXPECT_EQ(gamma.CategoryAliases, TStrings{key + "=2"});
    EXPECT_EQ(EngineCode(gamma, key), "2");
    EXPECT_EQ(Key(std::string(kCategories) + "\\" + key + "\\sites")->ReadString("s:gamma"), "2");

    // From a category the site does not serve: nothing to add.
    list_->AddSiteToCategory(key, "s:alpha", "2");
    EXPECT_TRUE(Site("s:alpha").CategoryAliases.empty());
    // Into a category it serves natively: nothing happens, and it cannot be removed.
    list_->AddSiteToCategory("2", "s:gamma", "1");
    EXPECT_EQ(gamma.CategoryAliases.size(), 1u);
    EXPECT_FALSE(list_->RemoveSiteFromCategory("2", "s:gamma"));

    EXPECT_TRUE(list_->RemoveSiteFromCategory(key, "s:gamma"));
    EXPECT_TRUE(gamma.CategoryAliases.empty());
    EXPECT_FALSE(Key(std::string(kCategories) + "\\" + key + "\\sites")->ValueExists("s:gamma"));
    EXPECT_FALSE(list_->RemoveSiteFromCategory(key, "no such site"));
}

TEST_F(CategoriesTest, CategoryKeyWithBackslashStaysInMemory) {
    Load();
    list_->AddSiteToCategory("a\\b", "s:gamma", "2");
    EXPECT_EQ(Site("s:gamma").CategoryAliases, TStrings{"a\\b=2"});
    EXPECT_FALSE(Key(kCategories)->KeyExists(std::string(kCategories) + "\\a"));
    EXPECT_TRUE(list_->RemoveSiteFromCategory("a\\b", "s:gamma"));
}

TEST_F(CategoriesTest, CodesAndExistsTests) {
    Load();
    TEngine &gamma = Site("s:gamma");
    gamma.CategoryAliases = {"u9=2"};
    struct Case {
        const char *key;
        const char *codes;
        bool serves;
    };
    const Case cases[] = {
        {"1", "", true}, {"1", "  ", true}, {"1", "1", true}, {"2", "7#2", true},
        {"2", "7#3", false}, {"u9", "2", false},  // own codes only, no alias
        {"5", "1", false},
    };
    for (const auto &c : cases) EXPECT_EQ(ServesCodes(gamma, c.key, c.codes), c.serves) << c.key << " " << c.codes;
    EXPECT_EQ(EngineCode(gamma, "u9"), "2");
    EXPECT_EQ(EngineCode(gamma, "U9"), "2");  // alias names ignore case
    EXPECT_EQ(EngineCode(gamma, "5"), "");

    TEngineInput input;
    struct ExistsCase {
        const char *exists;
        const char *code;
        bool passes;
    };
    const ExistsCase existsCases[] = {
        {"", "", true},  {" ", "1", true},    {"1#2", "2", true}, {"1#2", "", false},
        {"12", "1", false}, {"1#2", "#", false},
    };
    for (const auto &c : existsCases) {
        input.Exists = c.exists;
        EXPECT_EQ(ExistsTest(input, c.code), c.passes) << c.exists << " / " << c.code;
    }
}

}  // namespace
}  // namespace trawler::core::testing
