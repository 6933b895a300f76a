#include "sites_env.h"

namespace trawler::core::testing {
namespace {

std::vector<std::string> Captions(const TEngineList &list) {
    std::vector<std::string> captions;
    for (const TEngine *engine : list.Engines) captions.push_back(engine->Caption);
    return captions;
}

TEST_F(SitesTest, LoadsDirectoryInFileNameOrder) {
    int loadEvents = 0;
    list_->OnLoadFile = [&](TEngineList &sender) {
        EXPECT_EQ(&sender, list_.get());
        ++loadEvents;
    };
    EXPECT_EQ(list_->LoadSites(FixtureDir("load").string()), "");
    EXPECT_EQ(loadEvents, 1);

    ASSERT_EQ(list_->SDFList.Items.size(), 5u);
    EXPECT_EQ(list_->SDFList.Dir, FixtureDir("load").string() + "/");
    EXPECT_EQ(list_->SDFList.Items[0]->FileName, list_->SDFList.Dir + "a_first.sdf");
    EXPECT_EQ(list_->SDFList.Items[4]->FileName, list_->SDFList.Dir + "z_upper.SDF");

    // "web" of the second file meets "Web" of the first; the legacy file is decoded.
    EXPECT_EQ(Captions(*list_), (std::vector<std::string>{"Web", "Docs", "web_0", "Café", "Upper"}));
    EXPECT_EQ(list_->Engines[2]->Id, "a_0");
    EXPECT_EQ(TEngineList::EngineKey(*list_->Engines[2]), "shared:a_0");
    EXPECT_EQ(list_->Categories, (TStrings{"1=;1;Web;Web pages", "news=;2;News;News", "future=;9;Future;Later"}));
    EXPECT_EQ(list_->Regions, (TStrings{"Europe", "Asia"}));
    EXPECT_TRUE(list_->SDFList.Items[3]->Engines.empty());
}

TEST_F(SitesTest, MissingDirectoryChangesNothing) {
    ASSERT_EQ(list_->LoadSites(FixtureDir("load").string()), "");
    bool raised = false;
    list_->OnLoadFile = [&](TEngineList &) { raised = true; };
    const std::string missing = (root_ / "nowhere").string();
    EXPECT_EQ(list_->LoadSites(missing), "Directory \"" + missing + "\" not exists");
    EXPECT_FALSE(raised);
    EXPECT_EQ(list_->Engines.size(), 5u);
    EXPECT_EQ(list_->Regions.size(), 2u);
}

TEST_F(SitesTest, ReloadRebuildsEverything) {
    WriteSite("one.sdf", "general\n{\nid=o\n}\nsites\n{\nsite\n{\ncaption=Web\nregion=x\n}\n}\n");
    ASSERT_EQ(list_->LoadSites(SitesDir().string()), "");
    list_->Engines[0]->Checked = false;
    ASSERT_EQ(list_->LoadSites(SitesDir().string()), "");
    // Captions do not collide with the engines of the previous load.
    EXPECT_EQ(Captions(*list_), std::vector<std::string>{"Web"});
    EXPECT_EQ(list_->Regions, TStrings{"X"});
    EXPECT_TRUE(list_->Engines[0]->Checked);
    EXPECT_EQ(list_->SDFList.Items.size(), 1u);
}

TEST_F(SitesTest, FileErrorEndsLoadButStillNotifies) {
    WriteSite("a.sdf", "general\n{\nid=a\n}\nsites\n{\nsite\n{\ncaption=A\n}\n}\n");
    WriteSite("b.sdf", "");
    std::filesystem::resize_file(SitesDir() / "b.sdf", 64ull * 1024 * 1024);  // sparse, too big
    WriteSite("c.sdf", "general\n{\nid=c\n}\nsites\n{\nsite\n{\ncaption=C\n}\n}\n");
    bool raised = false;
    list_->OnLoadFile = [&](TEngineList &) { raised = true; };
    const auto error = list_->LoadSites(SitesDir().string());
    EXPECT_NE(error.find("b.sdf"), std::string::npos) << error;
    EXPECT_TRUE(raised);
    EXPECT_EQ(Captions(*list_), std::vector<std::string>{"A"});
    EXPECT_EQ(list_->SDFList.Items.size(), 2u);
}

TEST_F(SitesTest, FindsFilesAndEngines) {
    ASSERT_EQ(list_->LoadSites(FixtureDir("load").string()), "");
    EXPECT_EQ(list_->FindSDF("LEGACY"), list_->SDFList.Items[2].get());
    EXPECT_EQ(list_->FindSDF("nothing"), nullptr);
    // The first file of two with the same id.
    EXPECT_EQ(list_->FindSDF("shared"), list_->SDFList.Items[0].get());

    struct FindCase {
        const char *text;
        const char *caption;  // nullptr: none found
    };
    const FindCase cases[] = {
        {"shared:a", "Web"},     {"SHARED:A_0", "web_0"}, {"docs", "Docs"},
        {"upper:Upper", "Upper"}, {"", nullptr},          {"shared:zz", nullptr},
        {"café", "Café"},
    };
    for (const auto &c : cases) {
        const TEngine *engine = list_->FindEngine(c.text);
        if (!c.caption) {
            EXPECT_EQ(engine, nullptr) << c.text;
        } else {
            ASSERT_NE(engine, nullptr) << c.text;
            EXPECT_EQ(engine->Caption, c.caption) << c.text;
        }
    }
    EXPECT_EQ(list_->EngineTitleOf("shared:b"), "Docs");
    EXPECT_EQ(list_->EngineKeyOf("Docs"), "shared:b");
    EXPECT_EQ(list_->EngineKeyOf("unknown"), "");
    EXPECT_EQ(list_->EngineTitleOf(""), "");
}

TEST_F(SitesTest, FindEngineTakesTheLastMatch) {
    // A site without id is keyed by its caption, so two sites can share the key "k:x".
    WriteSite("a.sdf", "general\n{\nid=k\n}\nsites\n{\nsite\n{\ncaption=x\n}\nsite\n{\nid=x\ncaption=Real\n}\n}\n");
    ASSERT_EQ(list_->LoadSites(SitesDir().string()), "");
    ASSERT_EQ(list_->Engines.size(), 2u);
    EXPECT_EQ(list_->FindEngine("K:X"), list_->Engines[1]);
    EXPECT_EQ(list_->FindEngine("x"), list_->Engines[0]);  // no key "x": by caption
    EXPECT_EQ(list_->FindEngineByCaption("REAL"), list_->Engines[1]);
}

TEST_F(SitesTest, EnabledStatesReadAtLoad) {
    {
        auto reg = Key(kSitesKey, true);
        reg->WriteBool("SHARED:B", false);
        reg->WriteBool("legacy", false);
        reg->WriteString("upper:Upper", "0");  // not an integer: the site stays on
    }
    ASSERT_EQ(list_->LoadSites(FixtureDir("load").string()), "");
    EXPECT_TRUE(list_->Engines[0]->Enabled);
    EXPECT_FALSE(list_->Engines[1]->Enabled);
    EXPECT_FALSE(list_->SDFList.Items[2]->Enabled);
    EXPECT_TRUE(list_->Engines[3]->Enabled);
    EXPECT_FALSE(TEngineList::IsEnabled(*list_->Engines[3]));  // its file is off
    EXPECT_TRUE(list_->Engines[4]->Enabled);
}

TEST_F(SitesTest, SwitchingSitesStoresOnlyOff) {
    ASSERT_EQ(list_->LoadSites(FixtureDir("load").string()), "");
    TEngine &docs = *list_->FindEngine("shared:b");
    list_->SetEngineEnabled(docs, false);
    list_->SetSdfEnabled(*list_->FindSDF("upper"), false);
    {
        auto reg = Key(kSitesKey);
        EXPECT_EQ(reg->ReadBool("shared:b"), false);
        EXPECT_EQ(reg->ReadBool("upper"), false);
    }
    list_->SetEngineEnabled(docs, true);
    list_->SetSdfEnabled(*list_->FindSDF("upper"), true);
    auto reg = Key(kSitesKey);
    EXPECT_TRUE(reg->GetValueNames().empty());
    EXPECT_TRUE(docs.Enabled);
}

}  // namespace
}  // namespace trawler::core::testing
