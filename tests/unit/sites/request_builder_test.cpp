// Requests of one engine, prepared into its HTTP client and inspected there (nothing is sent).

#include <algorithm>
#include <set>

#include "core/request_builder.h"
#include "sites_env.h"

namespace trawler::core::testing {
namespace {

constexpr const char *kWebSite =
    "caption=Site\nurl=http://home.test/\n"
    "category\n{\n1=web\n2=news\n}\n"
    "cgi1\n{\n1=http://h.test/s\n}\n"
    "cgi2\n{\n-1=http://h.test/next\n}\n";

class RequestTest : public SitesTest {
protected:
    struct ErrorSeen {
        TEngine *engine = nullptr;
        int number = 0;
        std::string message;
    };

    RequestTest() {
        list_->Category = "web";
        list_->onSearchError = [this](TEngine *engine, int number, const std::string &message) {
            errors_.push_back({engine, number, message});
        };
        list_->onSearchQueue = [this](TEngine *) { ++queued_; };
    }

    // An engine of kWebSite with the given extra lines (inputs and keys).
    TEngine &Engine(const std::string &extra) {
        TEngine &engine = ParseSite(std::string(kWebSite) + extra);
        engine.Active = true;
        for (auto &input : engine.Inputs) input->CurrentName = input->Name;
        return engine;
    }

    std::vector<ErrorSeen> errors_;
    int queued_ = 0;
};

std::string Input(const std::string &lines, const std::string &values = "") {
    std::string text = "inputs\n{\ninput\n{\n" + lines + "\n";
    if (!values.empty()) text += "{\n" + values + "\n}\n";
    return text + "}\n}\n";
}

TEST_F(RequestTest, FirstRequestWithQueryAndFixedValues) {
    TEngine &engine = Engine(Input("name=q\ninputtype=query\nrequired=1", "andb=+") +
                             Input("name=hl\ndefault=en") + Input("name=cat\ninputtype=catalog", "1=w\n2=n"));
    list_->SearchWord = "a b";
    list_->PrepareEngine(engine);
    ASSERT_TRUE(engine.Http);
    EXPECT_EQ(engine.Http->Url, "http://h.test/s?q=%2Ba+%2Bb&hl=en&cat=w");
    EXPECT_EQ(engine.LastUrl, engine.Http->Url);
    EXPECT_EQ(engine.LastBase, "http://h.test/s");
    EXPECT_EQ(engine.LastQuery, "q=%2Ba+%2Bb&hl=en&cat=w");
    EXPECT_EQ(engine.LastStage, tStage::First);
    EXPECT_EQ(engine.Stage, tStage::First);
    EXPECT_EQ(engine.Inputs[0]->CurrentValue, "%2Ba+%2Bb");
    EXPECT_TRUE(engine.Http->NoCache);
    EXPECT_EQ(engine.Http->Accept, platform::HttpClient::kDefaultAccept);
    EXPECT_TRUE(errors_.empty());
    EXPECT_EQ(queued_, 2);  // once while preparing, once with the request ready
}

TEST_F(RequestTest, PrefixKeywordsAndSpaces) {
    struct Case {
        const char *prefix;
        const char *expected;  // the parameter as sent
    };
    const Case cases[] = {
        {"%20site:x%20", "q=+site:x+a"},        // keyword replacement, then %20 becomes a space
        {"%KEYWORDS%+", "q=a%2Ba"},             // the keyword is replaced ignoring case
        {"[%keywords%]", "q=[a]a"},
    };
    for (const auto &c : cases) {
        TEngine &engine = Engine(Input(std::string("name=q\ninputtype=query\nprefix=") + c.prefix));
        list_->SearchWord = "a";
        list_->BuildSearchRequest(engine);
        EXPECT_EQ(engine.Query, c.expected) << c.prefix;
    }
}

TEST_F(RequestTest, NoEncodeKeepsSpacesOnFirstPageOnly) {
    TEngine &engine = Engine("noencode=1\n" + Input("name=q\ninputtype=query"));
    list_->SearchWord = "a b";
    list_->BuildSearchRequest(engine);
    EXPECT_EQ(engine.Http->Url, "http://h.test/s?q=a b");
    ASSERT_TRUE(list_->BuildNextPageRequest(engine));
    EXPECT_EQ(engine.Http->Url, "http://h.test/next?q=a+b");
}

TEST_F(RequestTest, PageNumberBySendModeAndStep) {
    struct Case {
        const char *input;
        const char *first;   // query of the first request
        const char *second;  // of the next two pages
        const char *third;
    };
    const Case cases[] = {
        {"name=p\ninputtype=pagenum\ntype=2\nkoeff=1\ndefault=0", "q=x", "q=x&p=10", "q=x&p=20"},
        {"name=p\ninputtype=pagenum\ntype=2\nkoeff=0,1\ndefault=1", "q=x", "q=x&p=2", "q=x&p=3"},
        {"name=p\ninputtype=pagenum\ntype=1\ndefault=0", "q=x&p=0", "q=x", "q=x"},
        {"name=p\ninputtype=pagenum\nprefix=[\nsuffix=]\ndefault=5", "q=x&p=[5]", "q=x&p=[15]", "q=x&p=[25]"},
    };
    for (const auto &c : cases) {
        TEngine &engine = Engine(Input("name=q\ninputtype=query") + Input(c.input));
        list_->SearchWord = "x";
        list_->BuildSearchRequest(engine);
        EXPECT_EQ(engine.Query, c.first) << c.input;
        ASSERT_TRUE(list_->BuildNextPageRequest(engine));
        EXPECT_EQ(engine.Query, c.second) << c.input;
        EXPECT_EQ(engine.LastStage, tStage::Next);
        ASSERT_TRUE(list_->BuildNextPageRequest(engine));
        EXPECT_EQ(engine.Query, c.third) << c.input;
    }
}

TEST_F(RequestTest, ErrorsKeepEnginesOut) {
    struct Case {
        const char *name;
        std::string extra;
        const char *category;
        const char *words;
        tMatchMode mode;
        bool exact;
        int error;  // 0: the request is built
        bool activeAfter;
    };
    const Case cases[] = {
        {"NoAddressForCategory", "", "news", "x", mmAll, false, kErrorIncompatible, false},
        {"NoCategoryCode", "", "mp3", "x", mmAll, false, kErrorIncompatible, false},
        {"UnsupportedModeTwoWords", "boolean=1101\n", "web", "a b", mmExact, true, kErrorIncompatible, false},
        {"UnsupportedModeOneWord", "boolean=1101\n", "web", "a", mmExact, true, 0, true},
        {"UnsupportedModeNotExact", "boolean=1101\n", "web", "a b", mmExact, false, 0, true},
        {"QueryRequired", Input("name=q\ninputtype=query\nrequired=1"), "web", "", mmAll, false, kErrorNoKeywords, true},
        {"OtherRequired", Input("name=s\ninputtype=sort\nrequired=1"), "web", "x", mmAll, false,
         kErrorRequiredMissing, true},
        {"RequiredWithoutName", Input("inputtype=query\nrequired=1"), "web", "x", mmAll, false, kErrorRequiredMissing,
         true},
        {"RequiredButNotForThisCategory", Input("name=s\ninputtype=sort\nrequired=1\nexists=2#3"), "web", "x", mmAll,
         false, 0, true},
        {"RequiredNextPagesOnly", Input("name=s\ninputtype=sort\nrequired=1\ntype=2"), "web", "x", mmAll, false, 0,
         true},
    };
    for (const auto &c : cases) {
        errors_.clear();
        TEngine &engine = Engine(c.extra);
        list_->Category = c.category;
        list_->SearchWord = c.words;
        list_->Matchmode = c.mode;
        list_->ExactMode = c.exact;
        list_->BuildSearchRequest(engine);
        if (c.error == 0) {
            EXPECT_TRUE(errors_.empty()) << c.name;
            EXPECT_FALSE(engine.Http->Url.empty()) << c.name;
        } else {
            ASSERT_EQ(errors_.size(), 1u) << c.name;
            EXPECT_EQ(errors_[0].engine, &engine);
            EXPECT_EQ(errors_[0].number, c.error) << c.name;
            EXPECT_EQ(engine.Http->Url, "") << c.name;
            EXPECT_EQ(engine.Query, "") << c.name;
        }
        EXPECT_EQ(engine.Active, c.activeAfter) << c.name;
    }
    list_->Category = "web";
    list_->ExactMode = false;
    errors_.clear();
    TEngine &engine = Engine(Input("name=q\ninputtype=query\nrequired=1"));
    list_->SearchWord = "";
    list_->BuildSearchRequest(engine);
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0].message, "This query required keywords");
}

TEST_F(RequestTest, FallbackAddressServesEveryCategory) {
    TEngine &engine = ParseSite("category\n{\n1=web\n}\ncgi1\n{\n-1=http://any.test/\n}\n");
    for (const char *category : {"web", "images"}) {
        list_->Category = category;
        list_->BuildSearchRequest(engine);
        EXPECT_EQ(engine.Http->Url, "http://any.test/") << category;
    }
}

TEST_F(RequestTest, ExistsLimitsInputsToCodes) {
    TEngine &engine = Engine("cgi1\n{\n-1=http://h.test/any\n}\n" + Input("name=a\ndefault=1\nexists=1#2") +
                             Input("name=b\ndefault=2\nexists=2") + Input("name=c\ndefault=3\nexists= "));
    list_->BuildSearchRequest(engine);
    EXPECT_EQ(engine.Query, "a=1&c=3");
    list_->Category = "news";
    list_->BuildSearchRequest(engine);
    EXPECT_EQ(engine.Query, "a=1&b=2&c=3");
}

TEST_F(RequestTest, RolesReadTheSearchSettings) {
    list_->Matchmode = mmBoolean;
    list_->Language = "en";
    list_->Sort = "Date";  // the setting is not lowercased: no line matches
    list_->Dateb = *text::TryEncodeDate(2001, 3, 5);
    list_->Datee = *text::TryEncodeDate(2002, 4, 6);
    list_->NewsGroup = "comp lang";
    TEngine &engine = Engine(Input("name=m\ninputtype=match\ndefault=dflt", "and=all\nboolean=") +
                             Input("name=l\ninputtype=language", "EN=english\nen=second") +
                             Input("name=s\ninputtype=sort\ndefault=rel", "date=d") +
                             Input("name=d1\ninputtype=dateb") + Input("name=d2\ninputtype=datee\nformat=yyyy-mm-dd") +
                             Input("name=g\ninputtype=newsgroup", "and=.") + Input("inputtype=query\ndefault=unnamed"));
    list_->BuildSearchRequest(engine);
    EXPECT_EQ(engine.Query, "m=dflt&l=english&s=rel&d1=05%2F03%2F2001&d2=2002-04-06&g=comp+lang");
}

TEST_F(RequestTest, Koi8rSiteSendsKoi8rBytes) {
    TEngine &engine = Engine("charset=koi8r\n" + Input("name=q\ninputtype=query"));
    list_->SearchWord = "а б";
    list_->BuildSearchRequest(engine);
    EXPECT_EQ(engine.Query, "q=%C1+%C2");
}

TEST_F(RequestTest, PostRequestAndRepeat) {
    TEngine &engine = Engine("cgitype=post\n" + Input("name=q\ninputtype=query"));
    list_->SearchWord = "x";
    list_->BuildSearchRequest(engine);
    EXPECT_EQ(engine.Http->Url, "http://h.test/s");
    EXPECT_EQ(engine.Http->PostBody, "q=x");
    EXPECT_EQ(engine.LastMethod, tHttpMethod::Post);

    // The engine finished its search; the user repeats the last request.
    engine.Active = false;
    engine.Ready = false;
    engine.Http->Url.clear();
    engine.Http->PostBody.clear();
    TEngine *repeated = nullptr;
    list_->onSearchRepeat = [&](TEngine *sender) { repeated = sender; };
    ASSERT_TRUE(list_->RepeatLastRequest(engine));
    EXPECT_EQ(repeated, &engine);
    EXPECT_EQ(engine.Http->Url, "http://h.test/s");
    EXPECT_EQ(engine.Http->PostBody, "q=x");
    EXPECT_TRUE(engine.Active);
    EXPECT_EQ(engine.Stage, tStage::First);

    engine.Ready = true;  // a prepared request is waiting: nothing to repeat
    EXPECT_FALSE(list_->RepeatLastRequest(engine));
}

TEST_F(RequestTest, NextPagesUseTheirOwnMethod) {
    TEngine &engine = Engine("cgi2type=post\n" + Input("name=q\ninputtype=query"));
    list_->SearchWord = "x";
    list_->BuildSearchRequest(engine);
    EXPECT_EQ(engine.Http->Url, "http://h.test/s?q=x");
    ASSERT_TRUE(list_->BuildNextPageRequest(engine));
    EXPECT_EQ(engine.Http->Url, "http://h.test/next");
    EXPECT_EQ(engine.Http->PostBody, "q=x");
    EXPECT_EQ(engine.LastMethod, tHttpMethod::Post);
}

TEST_F(RequestTest, NextPageFromCapturedAddress) {
    TEngine &engine = ParseSite("category\n{\n1=web\n}\ncgi1\n{\n1=http://h.test/s\n}\n");
    list_->BuildSearchRequest(engine);
    const auto lastUrl = engine.LastUrl;
    engine.NextPageUrl = "http://h.test/page?n=2";
    ASSERT_TRUE(list_->BuildNextPageRequest(engine));
    EXPECT_EQ(engine.Http->Url, "http://h.test/page?n=2");
    EXPECT_EQ(engine.LastUrl, lastUrl);  // a captured address is not a built request
    EXPECT_EQ(engine.NextPageUrl, "");
    EXPECT_FALSE(list_->BuildNextPageRequest(engine));  // nothing captured: the search ends
}

TEST_F(RequestTest, MissingRequiredValueEndsPaging) {
    TEngine &engine = Engine(Input("name=q\ninputtype=query") + Input("name=sid\nrequired=1\ntype=2"));
    list_->SearchWord = "x";
    list_->BuildSearchRequest(engine);
    EXPECT_FALSE(list_->BuildNextPageRequest(engine));
    EXPECT_EQ(engine.Query, "");
    EXPECT_EQ(engine.Http->Url, "");
    engine.Inputs[1]->CurrentValue = "abc";  // as if captured from the page
    EXPECT_TRUE(list_->BuildNextPageRequest(engine));
    EXPECT_EQ(engine.Query, "q=x&sid=abc");
}

TEST_F(RequestTest, PresearchThenFirstRequest) {
    TEngine &engine = Engine("presearch\n{\n1=http://h.test/pre\n}\nacceptpre=text/html\n" +
                             Input("name=q\ninputtype=query") + Input("name=token"));
    list_->SearchWord = "x";
    list_->PrepareEngine(engine);
    EXPECT_EQ(engine.Http->Url, "http://h.test/pre");
    EXPECT_EQ(engine.Http->Accept, "text/html");
    EXPECT_EQ(engine.Stage, tStage::Presearch);
    EXPECT_EQ(engine.LastStage, tStage::Presearch);
    EXPECT_EQ(engine.LastBase, "http://h.test/pre");

    engine.Inputs[1]->CurrentValue = "t1";  // captured from the presearch page
    list_->BuildSearchRequest(engine);
    EXPECT_EQ(engine.Http->Url, "http://h.test/s?q=x&token=t1");
    EXPECT_EQ(engine.Http->Accept, platform::HttpClient::kDefaultAccept);
}

TEST_F(RequestTest, HeadersFromSiteAndSettings) {
    struct Case {
        const char *keys;
        const char *identifyAs;
        const char *referer;    // of the presearch request
        const char *userAgent;  // nullptr: one of the twelve
    };
    const Case cases[] = {
        {"referrer=http://ref.test/\nagent=Bot/1", "Trawler", "http://ref.test/", "Bot/1"},
        {"", "Trawler", "http://home.test/", "Trawler"},
        {"useragent=random", "Trawler", "http://home.test/", nullptr},
        {"referrer=http://a.test/\rX-Evil: 1", "Trawler\r\nX-Evil: 2", "http://a.test/X-Evil: 1", "TrawlerX-Evil: 2"},
    };
    for (const auto &c : cases) {
        TEngine &engine = Engine(std::string("presearch\n{\n-1=http://h.test/pre\n}\nacceptlanguage=ru\r\n") + c.keys);
        list_->IdentifyAs = c.identifyAs;
        list_->PrepareEngine(engine);
        EXPECT_EQ(engine.Http->Referer, c.referer) << c.keys;
        EXPECT_EQ(engine.Http->AcceptLanguage, "ru");
        if (c.userAgent) {
            EXPECT_EQ(engine.Http->UserAgent, c.userAgent) << c.keys;
        } else {
            const auto &agents = list_->UserAgents;
            EXPECT_NE(std::find(agents.begin(), agents.end(), engine.Http->UserAgent), agents.end());
        }
        for (const auto *header : {&engine.Http->Referer, &engine.Http->UserAgent, &engine.Http->AcceptLanguage}) {
            EXPECT_EQ(header->find_first_of("\r\n"), std::string::npos) << c.keys;
        }
    }
}

TEST_F(RequestTest, FirstRequestRefererAfterPresearch) {
    TEngine &engine = Engine("referrer=http://ref.test/\n");
    list_->PrepareEngine(engine);
    EXPECT_EQ(engine.Http->Referer, "http://ref.test/");  // a new client has fetched nothing
    engine.Http->FinalUrl = "http://h.test/landed";
    list_->BuildSearchRequest(engine);
    EXPECT_EQ(engine.Http->Referer, "http://h.test/landed");
    engine.RequiredPreRef = true;
    list_->BuildSearchRequest(engine);
    EXPECT_EQ(engine.Http->Referer, "http://ref.test/");
}

TEST_F(RequestTest, RandomAgentIsSpreadOverAllTwelve) {
    ASSERT_EQ(list_->UserAgents.size(), 12u);
    EXPECT_EQ(list_->UserAgents.front(), "Mozilla/4.0 (compatible; MSIE 5.01; Windows 98)");
    EXPECT_EQ(list_->UserAgents.back(), "Mozilla/4.72 (Windows NT 4.0;US) Opera 4.0 Beta 4 [en]");
    TEngine &engine = Engine("useragent=random\n");
    std::set<std::string> seen;
    for (int i = 0; i < 600; ++i) {
        list_->PrepareEngine(engine);
        seen.insert(engine.Http->UserAgent);
    }
    EXPECT_EQ(seen.size(), 12u);
}

TEST_F(RequestTest, ProxyUnlessBypassed) {
    list_->Proxy = "127.0.0.1";
    list_->ProxyPort = 3128;
    list_->ProxyUser = "u";
    list_->ProxyPassword = "p";
    struct Case {
        const char *override;
        bool direct;
    };
    const Case cases[] = {{"", false}, {"*.test", true}, {"other.test;h.test", true}, {"h.*", true}, {"x.test", false}};
    for (const auto &c : cases) {
        list_->ProxyOverride = c.override;
        TEngine &engine = Engine("");
        list_->BuildSearchRequest(engine);
        EXPECT_EQ(engine.Http->ProxyHost, c.direct ? "" : "127.0.0.1") << c.override;
        EXPECT_EQ(engine.Http->ProxyPort, c.direct ? 0 : 3128) << c.override;
        EXPECT_EQ(engine.Http->ProxyUser, c.direct ? "" : "u") << c.override;
    }
}

}  // namespace
}  // namespace trawler::core::testing
