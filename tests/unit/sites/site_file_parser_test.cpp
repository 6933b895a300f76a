#include <functional>

#include "core/name_value_list.h"
#include "sites_env.h"
#include "support/text/dates.h"

namespace trawler::core::testing {
namespace {

struct SiteKeyCase {
    const char *name;
    const char *body;  // lines inside one site block
    std::function<void(const TEngine &)> check;
};

class SiteKeysTest : public SitesTest, public ::testing::WithParamInterface<SiteKeyCase> {};

TEST_P(SiteKeysTest, ReadsTheKey) {
    const TEngine &engine = ParseSite(GetParam().body);
    GetParam().check(engine);
}

const SiteKeyCase kSiteKeyCases[] = {
    {"BooleanOfThreeCharactersIsAllModes", "boolean=101",
     [](const TEngine &e) { EXPECT_EQ(e.BooleanModes, "1111"); }},
    {"BooleanValueIsTrimmed", "boolean= 0101", [](const TEngine &e) { EXPECT_EQ(e.BooleanModes, "0101"); }},
    {"KeysIgnoreCase", "CAPTION=Big\nURL= http://h/ ",
     [](const TEngine &e) {
         EXPECT_EQ(e.Caption, "Big");
         EXPECT_EQ(e.HomeUrl, "http://h/");
     }},
    {"SpaceBeforeEqualsIsNoKey", "caption = x", [](const TEngine &e) { EXPECT_EQ(e.Caption, ""); }},
    {"CgiTypePostSetsBothMethods", "cgitype=POST",
     [](const TEngine &e) {
         EXPECT_EQ(e.CgiType, tHttpMethod::Post);
         EXPECT_EQ(e.Cgi2Type, tHttpMethod::Post);
     }},
    {"Cgi2TypeAfterCgiType", "cgitype=post\ncgi2type=get",
     [](const TEngine &e) {
         EXPECT_EQ(e.CgiType, tHttpMethod::Post);
         EXPECT_EQ(e.Cgi2Type, tHttpMethod::Get);
     }},
    {"Cgi2TypeBeforeCgiType", "cgi2type=get\ncgitype=post",
     [](const TEngine &e) {
         EXPECT_EQ(e.CgiType, tHttpMethod::Post);
         EXPECT_EQ(e.Cgi2Type, tHttpMethod::Get);
     }},
    {"NoCgi2TypeStaysUngiven", "url=x", [](const TEngine &e) { EXPECT_FALSE(e.Cgi2Type.has_value()); }},
    {"RegionNormalisedAndRegistered", "region= EUROPE",
     [](const TEngine &e) {
         EXPECT_EQ(e.Region, "Europe");
         EXPECT_EQ(e.Owner->Regions, std::vector<std::string>{"Europe"});
     }},
    {"CyrillicRegionNormalised", "region=РОССИЯ", [](const TEngine &e) { EXPECT_EQ(e.Region, "Россия"); }},
    {"EmptyRegionRegistersNothing", "region=  ",
     [](const TEngine &e) {
         EXPECT_EQ(e.Region, "");
         EXPECT_TRUE(e.Owner->Regions.empty());
     }},
    {"RandomUserAgent", "useragent=Random",
     [](const TEngine &e) {
         EXPECT_TRUE(e.RandomAgent);
         EXPECT_EQ(e.Agent, "");
     }},
    {"AgentKeyIsNotTrimmed", "agent= Bot/1",
     [](const TEngine &e) {
         EXPECT_FALSE(e.RandomAgent);
         EXPECT_EQ(e.Agent, " Bot/1");
     }},
    {"AgentRandomAnywhereInLine", "agent=RANDOMLY", [](const TEngine &e) { EXPECT_TRUE(e.RandomAgent); }},
    {"NumbersWithDefaults", "imageindex=abc\ncheckindex=2x",
     [](const TEngine &e) {
         EXPECT_EQ(e.ImageIndex, -1);
         EXPECT_EQ(e.CheckIndex, 1);
     }},
    {"NumbersRead", "imageindex=7\ncheckindex=$10",
     [](const TEngine &e) {
         EXPECT_EQ(e.ImageIndex, 7);
         EXPECT_EQ(e.CheckIndex, 16);
     }},
    {"FlagsExact", "noencode= 1\nacceptcookie=0\nrequiredpreref=yes 1\nimmediately=0\nrequiredcount=1",
     [](const TEngine &e) {
         EXPECT_FALSE(e.NoEncode);
         EXPECT_FALSE(e.AcceptCookie);
         EXPECT_TRUE(e.RequiredPreRef);
         EXPECT_FALSE(e.Immediately);
         EXPECT_TRUE(e.RequiredCount);
     }},
    {"EngineTypeAndCharset", "enginetype=Page\ncharset= KOI8R ",
     [](const TEngine &e) {
         EXPECT_EQ(e.EngineType, tEngineType::Page);
         EXPECT_EQ(e.Charset, tCharset::Koi8r);
     }},
    {"UnknownCharsetKeepsValue", "charset=utf8in\ncharset=latin1",
     [](const TEngine &e) { EXPECT_EQ(e.Charset, tCharset::Utf8In); }},
    {"UntrimmedTextKeys", "addlink= &x=1\nacceptpre= text/html\nacceptlanguage= ru",
     [](const TEngine &e) {
         EXPECT_EQ(e.AddLink, " &x=1");
         EXPECT_EQ(e.AcceptPre, " text/html");
         EXPECT_EQ(e.AcceptLanguage, " ru");
     }},
    {"ExampleQueryKept", "example= free software ", [](const TEngine &e) { EXPECT_EQ(e.Example, "free software"); }},
    {"ListBlocks",
     "category\n{\n1=web\n-1=news\n}\ncgi1\n{\n1=http://h/s\n}\ncgi2\n{\n-1=http://h/n\n}\n"
     "presearch\n{\n1=http://h/p\n}\ndescription\n{\nfirst\n\nthird\n}",
     [](const TEngine &e) {
         EXPECT_EQ(e.CategoryCodes, (TStrings{"1=web", "-1=news"}));
         EXPECT_EQ(e.Cgi1, TStrings{"1=http://h/s"});
         EXPECT_EQ(e.Cgi2, TStrings{"-1=http://h/n"});
         EXPECT_EQ(e.Presearch, TStrings{"1=http://h/p"});
         EXPECT_EQ(e.Description, (TStrings{"first", "", "third"}));
     }},
    {"BraceWithoutKeywordIsIgnored", "caption=A\n{\ncaption=B\nurl=http://inner\n}\nurl=http://outer",
     [](const TEngine &e) {
         EXPECT_EQ(e.Caption, "A");
         EXPECT_EQ(e.HomeUrl, "http://outer");
     }},
    {"CommentLines", "#caption=A\n  # url=x\ncaption=B#C",
     [](const TEngine &e) {
         EXPECT_EQ(e.Caption, "B#C");
         EXPECT_EQ(e.HomeUrl, "");
     }},
    {"CrLfLineEnds", "caption=A\r\nurl=http://h\r", [](const TEngine &e) {
         EXPECT_EQ(e.Caption, "A");
         EXPECT_EQ(e.HomeUrl, "http://h");
     }},
};

INSTANTIATE_TEST_SUITE_P(Keys, SiteKeysTest, ::testing::ValuesIn(kSiteKeyCases),
                         [](const auto &info) { return std::string(info.param.name); });

struct InputCase {
    const char *name;
    const char *inputBody;  // lines of one input block
    std::function<void(const TEngineInput &)> check;
};

class InputKeysTest : public SitesTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(InputKeysTest, ReadsTheKey) {
    const std::string body = std::string("inputs\n{\ninput\n{\n") + GetParam().inputBody + "\n}\n}";
    const TEngine &engine = ParseSite(body);
    ASSERT_EQ(engine.Inputs.size(), 1u);
    EXPECT_EQ(engine.Inputs[0]->Owner, &engine);
    GetParam().check(*engine.Inputs[0]);
}

const InputCase kInputCases[] = {
    {"SpacedNameIsNoKey", "name = q", [](const TEngineInput &i) { EXPECT_EQ(i.Name, ""); }},
    {"UppercaseKey", "NAME=q", [](const TEngineInput &i) { EXPECT_EQ(i.Name, "q"); }},
    {"HashInValue", "name=q#x", [](const TEngineInput &i) { EXPECT_EQ(i.Name, "q#x"); }},
    {"CommentedName", "#name=q", [](const TEngineInput &i) { EXPECT_EQ(i.Name, ""); }},
    {"KoeffWithPoint", "koeff=0.5", [](const TEngineInput &i) { EXPECT_EQ(i.Koeff, "0.5"); }},
    {"KoeffWithComma", "koeff= 0,5 ", [](const TEngineInput &i) { EXPECT_EQ(i.Koeff, "0.5"); }},
    {"TypeNotANumber", "type=two", [](const TEngineInput &i) { EXPECT_EQ(i.SendMode, 0); }},
    {"TypeAndRequired", "type=2\nrequired=1", [](const TEngineInput &i) {
         EXPECT_EQ(i.SendMode, 2);
         EXPECT_TRUE(i.Required);
     }},
    {"RequiredOnlyExactlyOne", "required=11", [](const TEngineInput &i) { EXPECT_FALSE(i.Required); }},
    {"RoleAnyCase", "inputtype= PageNum ", [](const TEngineInput &i) { EXPECT_EQ(i.InputType, tInputType::PageNum); }},
    {"UnknownRoleKeepsRole", "inputtype=query\ninputtype=bogus",
     [](const TEngineInput &i) { EXPECT_EQ(i.InputType, tInputType::Query); }},
    {"AffixKeysNotConfused", "nsuffix=ns\nsuffix=s\nnprefix=np\nprefix=p\ndebugdefault=dd\ndefault=d",
     [](const TEngineInput &i) {
         EXPECT_EQ(i.NSuffix, "ns");
         EXPECT_EQ(i.Suffix, "s");
         EXPECT_EQ(i.NPrefix, "np");
         EXPECT_EQ(i.Prefix, "p");
         EXPECT_EQ(i.DebugDefault, "dd");
         EXPECT_EQ(i.Default, "d");
     }},
    {"ValuesBlockKeepsEmptyLines", "name=m\n{\nand=+\n\nor=|\n}",
     [](const TEngineInput &i) { EXPECT_EQ(i.Values, (TStrings{"and=+", "", "or=|"})); }},
};

INSTANTIATE_TEST_SUITE_P(Keys, InputKeysTest, ::testing::ValuesIn(kInputCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(SitesTest, OutputTypesAndMarkers) {
    const TEngine &engine = ParseSite(
        "outputs\n{\noutput\n{\noutputtype= Result\n{\n1=<li>|</li>\n}\n}\n"
        "output\n{\noutputtype=results\n}\noutput\n{\nOUTPUTTYPE=presearch\n}\n}");
    ASSERT_EQ(engine.Outputs.size(), 3u);
    EXPECT_EQ(engine.Outputs[0]->OutputType, tOutputType::Result);
    EXPECT_EQ(engine.Outputs[0]->Markers, TStrings{"1=<li>|</li>"});
    EXPECT_EQ(engine.Outputs[1]->OutputType, tOutputType::None);
    EXPECT_EQ(engine.Outputs[2]->OutputType, tOutputType::Presearch);
}

TEST_F(SitesTest, GeneralSectionAndCategories) {
    auto &sdf = Parse(
        "general\n{\nid=web\nversion=1.4\nrequired=2.0\ndate=15 Mar 2003\n{\nAbout\n\nthese sites\n}\n}\n"
        "categories\n{\n1=;3;Web;Web pages\nnews=;4;News;News\n}\n");
    EXPECT_EQ(sdf.Id, "web");
    EXPECT_EQ(sdf.Version, "1.4");
    EXPECT_EQ(sdf.RequiredVersion, "2.0");
    EXPECT_EQ(sdf.Date, *text::TryEncodeDate(2003, 3, 15));
    EXPECT_EQ(sdf.Description, (TStrings{"About", "", "these sites"}));
    EXPECT_EQ(list_->Categories, (TStrings{"1=;3;Web;Web pages", "news=;4;News;News"}));
}

TEST_F(SitesTest, UnreadableDateIsZero) {
    auto &sdf = Parse("general\n{\ndate=someday\n}\n");
    EXPECT_EQ(sdf.Date, 0);
}

TEST_F(SitesTest, CaptionsMadeUniqueIgnoringCase) {
    auto &sdf = Parse(
        "sites\n{\nsite\n{\ncaption=Web\n}\nsite\n{\ncaption=Web\n}\nsite\n{\ncaption= Web \n}\n"
        "site\n{\ncaption=WEB\n}\nsite\n{\ncaption=Web_0x\n}\n}\n");
    std::vector<std::string> captions;
    for (const auto &engine : sdf.Engines) captions.push_back(engine->Caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"Web", "Web_0", "Web_1", "WEB_2", "Web_0x"}));
}

TEST_F(SitesTest, SiteIdsUniqueWithinFileId) {
    auto &sdf = Parse("general\n{\nid=f\n}\nsites\n{\nsite\n{\nid=a\n}\nsite\n{\nid=A\n}\nsite\n{\nid=a_0\n}\n}\n");
    ASSERT_EQ(sdf.Engines.size(), 3u);
    EXPECT_EQ(sdf.Engines[0]->Id, "a");
    EXPECT_EQ(sdf.Engines[1]->Id, "A_0");
    EXPECT_EQ(sdf.Engines[2]->Id, "a_0_0");
    EXPECT_EQ(TEngineList::EngineKey(*sdf.Engines[1]), "f:A_0");
}

TEST_F(SitesTest, EngineKeyFallsBackToCaption) {
    const TEngine &engine = ParseSite("caption=Wide Web", "w");
    EXPECT_EQ(TEngineList::EngineKey(engine), "w:Wide Web");
}

TEST_F(SitesTest, RequiredVersionAboveProgramSkipsSites) {
    auto &sdf = Parse(
        "general\n{\nid=new\nrequired=99.0\n{\nNeeds a newer program\n}\n}\n"
        "categories\n{\n7=;1;Seven;\n}\nsites\n{\nsite\n{\ncaption=Skipped\n}\n}\n");
    EXPECT_TRUE(sdf.Engines.empty());
    EXPECT_TRUE(list_->Engines.empty());
    EXPECT_EQ(list_->Categories, TStrings{"7=;1;Seven;"});
    EXPECT_EQ(sdf.Description, TStrings{"Needs a newer program"});
}

TEST_F(SitesTest, RequiredVersionNotAboveKeepsSites) {
    auto &sdf = Parse("general\n{\nrequired=3.2.0\n}\nsites\n{\nsite\n{\ncaption=Kept\n}\n}\n");
    ASSERT_EQ(sdf.Engines.size(), 1u);
    EXPECT_EQ(sdf.Engines[0]->Caption, "Kept");
}

TEST_F(SitesTest, ExtraClosingBraceReturnsToTop) {
    auto &sdf = Parse(
        "sites\n{\nsite\n{\ncaption=A\n}\n}\n}\n}\nurl=http://stray\n"
        "sites\n{\nsite\n{\ncaption=B\n}\n}\n");
    ASSERT_EQ(sdf.Engines.size(), 2u);
    EXPECT_EQ(sdf.Engines[0]->HomeUrl, "");
    EXPECT_EQ(sdf.Engines[1]->Caption, "B");
}

TEST_F(SitesTest, MissingClosingBraceKeepsRestInside) {
    auto &sdf = Parse("sites\n{\nsite\n{\ncaption=A\ncgi1\n{\n1=http://h\ncaption=B\n");
    ASSERT_EQ(sdf.Engines.size(), 1u);
    EXPECT_EQ(sdf.Engines[0]->Caption, "A");
    EXPECT_EQ(sdf.Engines[0]->Cgi1, (TStrings{"1=http://h", "caption=B"}));
}

TEST_F(SitesTest, KeywordsOutOfPlaceAreIgnored) {
    auto &sdf = Parse("site\n{\ncaption=X\n}\ngeneral\n{\nsites\n{\nsite\n{\ncaption=Y\n}\n}\n}\n");
    EXPECT_TRUE(sdf.Engines.empty());
}

TEST_F(SitesTest, SeveralInputsAndOutputsInFileOrder) {
    const TEngine &engine = ParseSite(
        "inputs\n{\ninput\n{\nname=q\n}\ninput\n{\nname=n\n}\n}\ncaption=After\n"
        "inputs\n{\ninput\n{\nname=third\n}\n}\n");
    ASSERT_EQ(engine.Inputs.size(), 3u);
    EXPECT_EQ(engine.Inputs[0]->Name, "q");
    EXPECT_EQ(engine.Inputs[1]->Name, "n");
    EXPECT_EQ(engine.Inputs[2]->Name, "third");
    EXPECT_EQ(engine.Caption, "After");
}

TEST_F(SitesTest, EnginesJoinTheListInOrder) {
    auto &sdf = Parse("sites\n{\nsite\n{\ncaption=A\n}\nsite\n{\ncaption=B\n}\n}\n");
    ASSERT_EQ(list_->Engines.size(), 2u);
    EXPECT_EQ(list_->Engines[1], sdf.Engines[1].get());
    EXPECT_EQ(list_->Engines[1]->Order, 1);
    EXPECT_EQ(list_->Engines[1]->Sdf, &sdf);
}

}  // namespace
}  // namespace trawler::core::testing
