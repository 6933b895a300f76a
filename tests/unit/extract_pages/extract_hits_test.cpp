#include <gtest/gtest.h>

#include "core/extraction.h"
#include "extract_env.h"
#include "support/text/dates.h"

namespace trawler::core::testing {
namespace {

TEST_F(ExtractTest, ReadsTheDocumentedExamplePage) {
    TEngine &e = Site("-1=<li>%BASEURL%'>%TITLE%</a>%DESCRIPTION%</li>");
    Read(e, "<li><a href='/p1.html'>One</a> first</li><li><a href='/p2.html'>Two</a> second</li>");
    ASSERT_EQ(Results().Count(), 2);
    EXPECT_EQ(Results().Items(0)->MainUrl(), "http://h/p1.html");
    EXPECT_EQ(Results().Items(0)->Title, "One");
    EXPECT_EQ(Results().Items(0)->Description, "first");
    EXPECT_EQ(Results().Items(1)->MainUrl(), "http://h/p2.html");
    EXPECT_EQ(Results().Items(1)->Title, "Two");
    EXPECT_EQ(Results().Items(1)->Description, "second");
    EXPECT_EQ(e.HitCount, 2);
    EXPECT_EQ(e.PageHits, 2);
    EXPECT_EQ(list_->OverallResults, 2);
}

struct PageCase {
    const char *name, *rules, *page;
    std::vector<std::pair<std::string, std::string>> hits;  // url, title
};

TEST_F(ExtractTest, SpecsAndPagesTable) {
    const PageCase cases[] = {
        // Both markers empty: no block is ever formed.
        {"empty markers", "-1=%URL%", "http://h/a", {}},
        // No literal text between two fields: the second is never read, the hit has no URL.
        {"fields without text between", "-1=<b>%TITLE%%URL%</b>", "<b>T http://h/a</b>", {}},
        // "?" as after-text cuts at the first "?", as before-text takes what follows it.
        {"question mark delimiters", "-1=<i>%URL%?%ADDTITLE%</i>", "<i>http://h/a?x=1</i>",
         {{"http://h/a", "x=1"}}},
        // Markers ignore case, "?" stands for one character.
        {"markers ignore case", "-1=<TD?<a href=\"%URL%\">%TITLE%</A>",
         "<td><a href=\"http://h/1\">One</a><td class=x><a href=\"http://h/2\">Two</a>",
         {{"http://h/1", "One"}}},
        {"wildcard marker", "-1=<TD?><a href=\"%URL%\">%TITLE%</A>",
         "<td ><a href=\"http://h/1\">One</a><tdx><a href=\"http://h/2\">Two</a>",
         {{"http://h/1", "One"}, {"http://h/2", "Two"}}},
        // HTTPURL adds the scheme unless the value has one in any case.
        {"httpurl", "-1=<u>%HTTPURL%</u>", "<u>www.h/a</u><u>HTTP://h/b</u>",
         {{"http://www.h/a", "http://www.h/a"}, {"HTTP://h/b", "HTTP://h/b"}}},
        // A title without a URL field makes no hit on an engine that lists links.
        {"title only", "-1=<t>%TITLE%</t>", "<t>lonely</t>", {}},
        // Sub-rule: the field's value is read again with the line named like it.
        {"sub-rule", "-1=<ul>%block%</ul>\nblock=<li>%URL%</li>",
         "<ul><li>http://h/1</li><li>http://h/2</li></ul>", {{"http://h/1", "http://h/1"}, {"http://h/2", "http://h/2"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        list_->ResultList->Clear();
        TEngine &e = Site(c.rules);
        Read(e, c.page);
        ASSERT_EQ(Results().Count(), static_cast<int>(c.hits.size()));
        for (std::size_t i = 0; i < c.hits.size(); ++i) {
            EXPECT_EQ(Results().Items(static_cast<int>(i))->MainUrl(), c.hits[i].first);
            EXPECT_EQ(Results().Items(static_cast<int>(i))->Title, c.hits[i].second);
        }
    }
}

TEST_F(ExtractTest, FirstCountWinsAndKeepsEveryDigit) {
    TEngine &e = Site("-1=<p>%COUNT%</p>");
    Read(e, "<p>Results 1-10 of about 1,234</p><p>99</p>");
    EXPECT_EQ(e.TotalCount, 1101234);
}

TEST(RelevanceEstimate, FallsAsTheSiteHitsAccumulate) {
    const struct {
        int hitCount, total, maxPerEngine, expected;
    } cases[] = {
        {0, 200, 0, 100}, {50, 200, 0, 75}, {199, 200, 0, 1}, {250, 200, 0, 1},
        {10, 0, 100, 90},  {-3, 0, 100, 100},
        // No limit and no total: estimated against 100 instead of dividing by zero.
        {10, 0, 0, 90}, {10, 0, -5, 90},
    };
    for (const auto &c : cases)
        EXPECT_EQ(EstimateRelevance(c.hitCount, c.total, c.maxPerEngine), c.expected)
            << c.hitCount << " of " << c.total << " max " << c.maxPerEngine;
}

TEST_F(ExtractTest, TopUrlHitsRankFirstAndAreNotCounted) {
    TEngine &e = Site("-1=<top>%TOPURL%</top>");
    Read(e, "<top>http://h/top</top>");
    ASSERT_EQ(Results().Count(), 1);
    EXPECT_EQ(Results().Items(0)->Relevance, 100);
    EXPECT_EQ(e.HitCount, 0);
    EXPECT_EQ(list_->OverallResults, 0);
}

TEST_F(ExtractTest, RelevanceFromThePageIsBounded) {
    TEngine &e = Site("-1=<r>%RELEVANCE%|%URL%</r>");
    Read(e, "<r>250%|http://h/a</r><r>0|http://h/b</r><r>n/a|http://h/c</r>");
    ASSERT_EQ(Results().Count(), 3);
    EXPECT_EQ(Results().Items(0)->Relevance, 100);
    EXPECT_EQ(Results().Items(1)->Relevance, 1);
    EXPECT_EQ(Results().Items(2)->Relevance, 1);
}

TEST_F(ExtractTest, CapturedNamesAndValuesFeedTheNextRequests) {
    TEngine &e = Site("-1=x", "", "input\n{\nname=sid\ntype=0\nnprefix=s_\nnsuffix=_x\n}\ninput\n{\nname=tok\n}\n");
    for (auto &input : e.Inputs) input->CurrentName = input->Name;
    e.PageText = "<form><input name=\"sid\" value=\"a b&c\"></form>";
    ReadPresearchPage(*list_, e);
    EXPECT_EQ(e.Inputs[0]->CurrentValue, "a+b%26c") << "a captured value is query-encoded";
    // A "&" field renames the input instead.
    auto &out = *e.Outputs[1];
    ExtractHits(*list_, e, out, "<n>abc</n>", "<n>%&sid%</n>");
    EXPECT_EQ(e.Inputs[0]->CurrentName, "s_abc_x");
}

TEST_F(ExtractTest, NextPageAddressesAndPageReference) {
    TEngine &e = Site("-1=<a class=next href=\"%BASENEXTPAGE%\">\n-1=<base href=\"%PAGEREF%\">\n"
                      "-1=<i>%BASEURL%</i>\n-1=<form action=\"%NEXTCGI%\">");
    Read(e, "<base href=\"http://other/dir/\"><i>p.html</i><a class=next href=\"/s?q=x&amp;p=2\">"
            "<form action=\"/more\">");
    // Rules run in order: the next-page address is resolved against the page as fetched,
    // the later BASEURL against the page reference.
    EXPECT_EQ(e.NextPageUrl, "http://h/s?q=x&p=2");
    EXPECT_EQ(list_->HttpOf(e).FinalUrl, "http://other/dir/");
    ASSERT_EQ(Results().Count(), 1);
    EXPECT_EQ(Results().Items(0)->MainUrl(), "http://other/dir/p.html");
    EXPECT_EQ(e.NextCgi, "/more");
}

TEST_F(ExtractTest, DatesByTheSitePatternFromFieldOrDescription) {
    TEngine &e = Site("-1=<h>%URL%|%DATEMODIFIED%|%DESCRIPTION%</h>", "dateformat=dd|.|mm|.|yyyy");
    Read(e, "<h>http://h/a|05.03.2001|x</h><h>http://h/b||posted 7.4.2002</h><h>http://h/c||none</h>");
    ASSERT_EQ(Results().Count(), 3);
    EXPECT_EQ(Results().Items(0)->Date, *text::TryEncodeDate(2001, 3, 5));
    EXPECT_EQ(Results().Items(1)->Date, *text::TryEncodeDate(2002, 4, 7));
    EXPECT_EQ(Results().Items(2)->Date, 0);
}

TEST_F(ExtractTest, PageEnginesMakeOneHitOfTheAnswerPage) {
    TEngine &e = Site("-1=<div>%DESCRIPTION%</div>", "enginetype=page");
    list_->SearchWord = "word";
    Read(e, "<div>a translation</div>");
    ASSERT_EQ(Results().Count(), 1);
    EXPECT_EQ(Results().Items(0)->Title, "word");
    EXPECT_EQ(Results().Items(0)->MainUrl(), "http://h/s?q=x");
    EXPECT_TRUE(Results().Items(0)->Separate);
}

TEST_F(ExtractTest, SelfNamedSubSpecsStopAtTheDepthLimit) {
    TEngine &e = Site("-1=<x>%x%</x>\nx=<x>%x%</x>\nx=<x>%URL%</x>");
    std::string page = "http://h/deep";
    for (int i = 0; i < 40; ++i) page = "<x>" + page + "</x>";
    Read(e, page);  // must end; how many levels yield hits is bounded
    EXPECT_LE(Results().Count(), 1);
}

TEST_F(ExtractTest, StoppedEngineReadsNoFurther) {
    TEngine &e = Site("-1=<li>%URL%</li>");
    e.Active = false;
    Read(e, "<li>http://h/a</li>");
    EXPECT_EQ(Results().Count(), 0);
}

TEST_F(ExtractTest, ChunksWithZeroBytesArriveWhole) {
    TEngine &e = Site("-1=<li>%URL%</li>");
    e.PageText.clear();
    list_->OnDocData(e, "<li>http://h/a\0b</li>", 21);
    EXPECT_EQ(e.PageText, std::string("<li>http://h/a\0b</li>", 21));
    EXPECT_EQ(e.BytesReceived, 21);
    EXPECT_EQ(list_->OverallBytes, 21);
}

TEST_F(ExtractTest, CountsByMergeStatus) {
    TEngine &e = Site("-1=<li>%URL%</li>");
    Read(e, "<li>http://h/a</li><li>http://WWW.h/a</li><li>http://h/a</li><li>http://h/b</li>");
    // New, merged under another spelling, identical (not counted), new.
    EXPECT_EQ(Results().Count(), 2);
    EXPECT_EQ(list_->OverallResults, 2);
    EXPECT_EQ(e.HitCount, 3);
    EXPECT_EQ(e.PageHits, 3);
}

}  // namespace
}  // namespace trawler::core::testing
