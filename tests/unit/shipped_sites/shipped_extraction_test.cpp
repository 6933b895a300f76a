// Each shipped site's description, run over a fixture page written to the documented
// structure of that site's answer: the request built from the site's example query, the hits
// the real extraction code cuts from the page (title, absolute address, description, date),
// the total, and the request for the next page.

#include <gtest/gtest.h>

#include <set>

#include "core/extraction.h"
#include "shipped_env.h"
#include "support/text/dates.h"

namespace trawler::core::testing {
namespace {

struct ExpectedHit {
    std::string title, url, description;
    int year = 0, month = 0, day = 0;  // year 0: no date
};

struct SiteCase {
    std::string key, category, fixture;
    std::string firstUrl, firstBody;  // body only for POST
    std::vector<ExpectedHit> hits;
    int total = 0;
    std::string nextUrl, nextBody;  // empty: the site has no next page here
    std::string presearchUrl = {}, presearchFixture = {};
};

const std::vector<SiteCase> &Cases() {
    static const std::vector<SiteCase> cases = {
        {"duckduckgo:html", "0", "duckduckgo-html.html", "https://html.duckduckgo.com/html/",
         "q=python+programming+language&kl=wt-wt",
         {// The advertisement is skipped; inline tags become spaces. Addresses are the
          // redirector's, whose percent-encoded target stays as it is.
          {"Welcome to Python .org", "https://duckduckgo.com/l/?uddg=https%3A%2F%2Fwww.python.org%2F&rut=7f3c",
           "The official home of the Python Programming Language ."},
          {"Python (programming language) - Wikipedia",
           "https://duckduckgo.com/l/?uddg=https%3A%2F%2Fen.wikipedia.org%2Fwiki%2FPython_(programming_language)&rut=91ab",
           "Python is a high-level, general-purpose programming language."},
          {"The Python Tutorial \u2014 Python 3 documentation",
           "https://duckduckgo.com/l/?uddg=https%3A%2F%2Fdocs.python.org%2F3%2Ftutorial%2Findex.html%3Fhighlight%3Dloop&rut=c0de",
           "Python is an easy to learn, powerful programming language."}},
         0, "https://html.duckduckgo.com/html/",
         "q=python+programming+language&kl=wt-wt&s=10&dc=11&v=l&o=json&api=d.js&vqd=4-31415926535897932384"},
        {"duckduckgo:lite", "5", "duckduckgo-lite.html", "https://lite.duckduckgo.com/lite/",
         "q=python+programming+language&kl=wt-wt",
         {{"Welcome to Python.org", "https://duckduckgo.com/l/?uddg=https%3A%2F%2Fwww.python.org%2F&rut=7f3c",
           "The official home of the Python Programming Language."},
          {"Python Tutorial - W3Schools",
           "https://duckduckgo.com/l/?uddg=https%3A%2F%2Fwww.w3schools.com%2Fpython%2F&rut=55aa",
           "Well organized and easy to understand Web building tutorials."},
          {"Real Python Tutorials", "https://duckduckgo.com/l/?uddg=https%3A%2F%2Frealpython.com%2F&rut=9911",
           "Learn Python online: tutorials, courses and quizzes."}},
         0, "https://lite.duckduckgo.com/lite/",
         "q=python+programming+language&kl=wt-wt&s=23&dc=24&o=json&api=d.js&vqd=4-27182818284590452353",
         "https://lite.duckduckgo.com/lite/", "duckduckgo-lite-home.html"},
        {"mojeek:web", "0", "mojeek.html", "https://www.mojeek.com/search?q=python+programming+language", "",
         {{"Welcome to Python.org", "https://www.python.org/",
           "The official home of the Python Programming Language."},
          {"Python (programming language) - Wikipedia",
           "https://en.wikipedia.org/wiki/Python_(programming_language)",
           "Python is a high-level, general-purpose programming language & more."},
          {"The Python Tutorial", "https://docs.python.org/3/tutorial/",
           "Python is an easy to learn, powerful programming language."}},
         0, "https://www.mojeek.com/search?q=python+programming+language&s=10", ""},
        {"bing:web", "5", "bing.html", "https://www.bing.com/search?q=python+programming+language&first=1", "",
         {{"Welcome to Python.org", "https://www.python.org/",
           "The official home of the Python Programming Language."},
          // A wrapped address stays the wrapper (it still leads to the page).
          {"Python (programming language) - Wikipedia",
           "https://www.bing.com/ck/a?!&&p=5d1e&u=a1aHR0cHM6Ly9lbi53aWtpcGVkaWEub3Jn&ntb=1",
           "Python is a high-level, general-purpose programming language."},
          {"The Python Tutorial \u2014 Python 3 documentation", "https://docs.python.org/3/tutorial/",
           "Python is an easy to learn, powerful programming language."}},
         1230000, "https://www.bing.com/search?q=python+programming+language&first=11", ""},
        {"bing:news", "10", "bing-news.xml", "https://www.bing.com/news/search?q=climate&format=RSS&first=1", "",
         {{"Climate talks end with a new deal on \"loss and damage\"",
           "http://www.bing.com/news/apiclick.aspx?ref=FexRss&aid=&tid=6757ab"
           "&url=https%3a%2f%2fwww.example-news.com%2fworld%2fclimate-talks-deal&c=1234567890&mkt=en-us",
           "Delegates agreed on a fund for countries hit hardest by storms & floods.", 2026, 12, 8},
          {"Glaciers are shrinking faster than expected", 
           "http://www.bing.com/news/apiclick.aspx?ref=FexRss&aid=&tid=6757ac"
           "&url=https%3a%2f%2fscience.example.org%2fglaciers%3fid%3d42&c=987&mkt=en-us",
           "A new survey of alpine glaciers shows losses doubling.", 2026, 12, 7},
          {"Cities plant trees to cool streets",
           "http://www.bing.com/news/apiclick.aspx?ref=FexRss&aid=&tid=6757ad&url=https%3a%2f%2fcity.example.net%2ftrees"
           "&c=55&mkt=en-us",
           "Urban forests lower summer temperatures.", 2026, 12, 6}},
         0, "https://www.bing.com/news/search?q=climate&format=RSS&first=11", ""},
        {"yahoo:web", "0", "yahoo.html", "https://search.yahoo.com/search?p=python+programming+language&b=1", "",
         {{"Welcome to Python.org",
           "https://r.search.yahoo.com/_ylt=AwrFQ;_ylu=Y29sbwNi/RV=2/RE=1765400000/RO=10"
           "/RU=https%3a%2f%2fwww.python.org%2f/RK=2/RS=abcDEF-",
           "The official home of the Python Programming Language."},
          {"Python (programming language) - Wikipedia",
           "https://r.search.yahoo.com/_ylt=AwrFR;_ylu=Y29sbwNi/RV=2/RE=1765400000/RO=10"
           "/RU=https%3a%2f%2fen.wikipedia.org%2fwiki%2fPython_(programming_language)/RK=2/RS=ghiJKL-",
           "Python is a high-level, general-purpose programming language."},
          {"The Python Tutorial",
           "https://r.search.yahoo.com/_ylt=AwrFS;_ylu=Y29sbwNi/RV=2/RE=1765400000/RO=10"
           "/RU=https%3a%2f%2fdocs.python.org%2f3%2ftutorial%2f/RS=mnoPQR-",
           "Python is an easy to learn, powerful programming language."}},
         0, "https://search.yahoo.com/search?p=python+programming+language&b=8", ""},
        {"google:news", "10", "google-news.xml",
         "https://news.google.com/rss/search?q=climate&hl=en-US&gl=US&ceid=US:en", "",
         {{"Climate summit reaches late deal - Example Times",
           "https://news.google.com/rss/articles/CBMiVWh0dHBzOi8vZXhhbXBsZQ?oc=5", "Example Times", 2026, 12, 9},
          {"Heat records broken across Europe - Daily Example",
           "https://news.google.com/rss/articles/CBMiQmh0dHBzOi8vZGFpbHk?oc=5", "Daily Example", 2026, 12, 8},
          {"What the new climate fund means - Example Radio",
           "https://news.google.com/rss/articles/CBMiRmh0dHBzOi8vcmFkaW8?oc=5", "Example Radio", 2026, 12, 7}},
         0, "", ""},
        {"wikimedia:enwiki", "30", "wikipedia-en.html",
         "https://en.wikipedia.org/wiki/Special:Search?search=metasearch+engine&fulltext=1&ns0=1&limit=20&offset=0", "",
         {{"Metasearch engine", "https://en.wikipedia.org/wiki/Metasearch_engine",
           "A metasearch engine (or search aggregator) is an online information retrieval tool.", 2026, 12, 3},
          {"Search engine", "https://en.wikipedia.org/wiki/Search_engine",
           "A search engine is a software system that provides hyperlinks to web pages.", 2026, 11, 28},
          {"Dogpile", "https://en.wikipedia.org/wiki/Dogpile",
           "Dogpile is a metasearch engine for information on the World Wide Web & more.", 2025, 5, 5}},
         2345,
         "https://en.wikipedia.org/wiki/Special:Search?search=metasearch+engine&fulltext=1&ns0=1&limit=20&offset=20", ""},
        {"wikimedia:enwiktionary", "30", "wiktionary-en.html",
         "https://en.wiktionary.org/wiki/Special:Search?search=serendipity&fulltext=1&ns0=1&limit=20&offset=0", "",
         {{"serendipity", "https://en.wiktionary.org/wiki/serendipity",
           "English Etymology Coined by Horace Walpole in 1754. Noun serendipity (countable and uncountable)",
           2026, 10, 1},
          {"serendipitous", "https://en.wiktionary.org/wiki/serendipitous",
           "Adjective: by happy chance; fortunate.", 2025, 2, 14},
          {"Serendip", "https://en.wiktionary.org/wiki/Serendip", "An old name of Sri Lanka.", 2024, 6, 30}},
         87,
         "https://en.wiktionary.org/wiki/Special:Search?search=serendipity&fulltext=1&ns0=1&limit=20&offset=20", ""},
        {"wikimedia:dewiki", "30", "wikipedia-de.xml",
         "https://de.wikipedia.org/w/api.php?action=query&format=xml&generator=search&gsrsearch=Suchmaschine"
         "&gsrlimit=20&prop=info%7Cextracts&inprop=url&exintro=1&explaintext=1&exsentences=2&exlimit=20", "",
         {{"Suchmaschine", "https://de.wikipedia.org/wiki/Suchmaschine",
           "Eine Suchmaschine ist ein Programm zur Recherche von Dokumenten.", 2026, 12, 1},
          {"Metasuchmaschine", "https://de.wikipedia.org/wiki/Metasuchmaschine",
           "Eine Metasuchmaschine leitet Suchanfragen an mehrere Suchmaschinen weiter & fasst die Ergebnisse zusammen.",
           2026, 11, 15},
          {"Suchmaschinenoptimierung", "https://de.wikipedia.org/wiki/Suchmaschinenoptimierung",
           "Suchmaschinenoptimierung bezeichnet Ma\u00dfnahmen, die der Sichtbarkeit dienen.", 2025, 6, 30}},
         0,
         // The continuation values captured from the page carry the query on.
         "https://de.wikipedia.org/w/api.php?action=query&format=xml&generator=search&gsrsearch=Suchmaschine"
         "&gsrlimit=20&prop=info%7Cextracts&inprop=url&exintro=1&explaintext=1&exsentences=2&exlimit=20"
         "&gsroffset=20&continue=gsroffset%7C%7C", ""},
        {"dictorg:dict", "50", "dictorg.html",
         "https://www.dict.org/bin/Dict?Form=Dict2&Database=*&Query=serendipity", "",
         // A page engine: each dictionary's answer is an entry of the answer page, titled
         // with the word and kept apart from the other entries.
         {{"serendipity", "https://www.dict.org/bin/Dict?Form=Dict2&Database=*&Query=serendipity",
           "From The Collaborative International Dictionary of English v.0.48 [gcide]:\n\n"
           "  Serendipity \\Ser`en*dip\"i*ty\\, n.\n"
           "     The faculty of making fortunate and unexpected discoveries by\n"
           "     accident."},
          {"serendipity", "https://www.dict.org/bin/Dict?Form=Dict2&Database=*&Query=serendipity",
           "From WordNet (r) 3.0 (2006) [wn]:\n\n"
           "  serendipity\n"
           "      n 1: good luck in making unexpected and fortunate discoveries"}},
         0, "", ""},
        {"arxiv:papers", "40", "arxiv.xml",
         "https://export.arxiv.org/api/query?search_query=all:neural+AND+all:network&sortBy=relevance"
         "&max_results=20&start=0", "",
         {{"Deep Neural Networks for Small Data", "http://arxiv.org/abs/2101.00001v2",
           "We study how deep neural networks behave when trained on very small data\nsets &amp; propose a remedy.",
           2021, 1, 1},
          {"Graph Neural Network Survey", "http://arxiv.org/abs/1905.12345v1",
           "A survey of graph neural network models.", 2019, 5, 29},
          {"Spiking Network Models of Memory", "http://arxiv.org/abs/2312.09999v3",
           "Spiking networks store patterns in synaptic weights.", 2023, 12, 15}},
         48211,
         "https://export.arxiv.org/api/query?search_query=all:neural+AND+all:network&sortBy=relevance"
         "&max_results=20&start=20", ""},
        {"crossref:works", "40", "crossref.json", "https://api.crossref.org/works?query=neural+network&rows=20&offset=0", "",
         {{"Neural network training on small data", "https://doi.org/10.1000/jen.2021.001", "", 2021, 3, 15},
          // Only a year and a month: no day, so no date.
          {"A network of neural models", "https://doi.org/10.2000/os.77", ""},
          {"Networks & Neurons: a primer", "https://doi.org/10.3000/x.9", "", 2018, 1, 2}},
         1250431, "https://api.crossref.org/works?query=neural+network&rows=20&offset=20", ""},
        {"debian:packages", "20", "debian.html",
         "https://packages.debian.org/search?keywords=python3&searchon=names&suite=stable&section=all", "",
         {{"python3", "https://packages.debian.org/bookworm/python3",
           "interactive high-level object-oriented language (default python3 version)"},
          {"python3-requests", "https://packages.debian.org/bookworm/python3-requests",
           "elegant and simple HTTP library for Python3, built for human beings"},
          {"python3-yaml", "https://packages.debian.org/bookworm/python3-yaml", "YAML parser & emitter for Python3"}},
         1234, "", ""},
        {"npm:packages", "20", "npm.json", "https://registry.npmjs.org/-/v1/search?text=http+client&size=20&from=0", "",
         {{"axios", "https://www.npmjs.com/package/axios", "Promise based HTTP client for the browser and node.js",
           2024, 12, 4},
          {"got", "https://www.npmjs.com/package/got", "Human-friendly and powerful HTTP request library for Node.js",
           2024, 11, 21},
          {"@hapi/wreck", "https://www.npmjs.com/package/%40hapi%2Fwreck", "HTTP client utilities", 2024, 3, 15}},
         2817, "https://registry.npmjs.org/-/v1/search?text=http+client&size=20&from=20", ""},
        {"alpine:packages", "20", "alpine.html", "https://pkgs.alpinelinux.org/packages?name=*curl*&branch=edge", "",
         {{"curl", "https://pkgs.alpinelinux.org/package/edge/main/x86_64/curl", "8.11.1-r0", 2024, 12, 11},
          {"curl-dev", "https://pkgs.alpinelinux.org/package/edge/main/x86_64/curl-dev", "8.11.1-r0", 2024, 12, 11},
          {"curlftpfs", "https://pkgs.alpinelinux.org/package/edge/community/aarch64/curlftpfs", "0.9.2-r3",
           2023, 7, 4}},
         0, "https://pkgs.alpinelinux.org/packages?name=*curl*&branch=edge&page=2", ""},
        {"github:repositories", "20", "github.json",
         "https://api.github.com/search/repositories?q=http+client&per_page=20&page=1", "",
         {{"curl/curl", "https://github.com/curl/curl",
           "A command line tool and library for transferring data with URL syntax", 2026, 12, 9},
          {"psf/requests", "https://github.com/psf/requests", "A simple, yet elegant, HTTP library.", 2026, 12, 8},
          // "description": null: title and address only.
          {"someone/tiny-http", "https://github.com/someone/tiny-http", ""}},
         4321, "https://api.github.com/search/repositories?q=http+client&per_page=20&page=2", ""},
        {"archive:audio", "61", "archive-audio.xml",
         "https://archive.org/advancedsearch.php?q=beethoven+AND+mediatype:audio&fl[]=identifier&fl[]=title"
         "&fl[]=description&fl[]=publicdate&rows=50&page=1&output=rss", "",
         {{"Beethoven - Symphony No. 9", "https://archive.org/details/beethoven-symphony-9",
           "Symphony No. 9 in D minor, Op. 125, performed live & recorded in 1951.", 2011, 3, 3},
          {"Moonlight Sonata (78rpm)", "https://archive.org/details/78_moonlight-sonata_gbia0001234",
           "Piano Sonata No. 14, transferred from a 78rpm disc.", 2021, 6, 5},
          {"Fur Elise", "https://archive.org/details/fur-elise-public-domain", "A public domain recording.",
           2007, 12, 31}},
         0,
         "https://archive.org/advancedsearch.php?q=beethoven+AND+mediatype:audio&fl[]=identifier&fl[]=title"
         "&fl[]=description&fl[]=publicdate&rows=50&page=2&output=rss", ""},
        {"archive:movies", "80", "archive-films.xml",
         "https://archive.org/advancedsearch.php?q=apollo+AND+mediatype:movies&fl[]=identifier&fl[]=title"
         "&fl[]=description&fl[]=publicdate&rows=50&page=1&output=rss", "",
         {{"Apollo 11 Launch", "https://archive.org/details/apollo-11-launch",
           "NASA footage of the Apollo 11 launch, July 1969.", 2016, 7, 20},
          {"Apollo 13: Houston, We've Got a Problem", "https://archive.org/details/HoustonWeveGotAProblem",
           "NASA documentary film (1970).", 2009, 4, 14},
          {"Apollo Missions Overview", "https://archive.org/details/apollo-missions",
           "An overview of the Apollo programme.", 2010, 1, 1}},
         0,
         "https://archive.org/advancedsearch.php?q=apollo+AND+mediatype:movies&fl[]=identifier&fl[]=title"
         "&fl[]=description&fl[]=publicdate&rows=50&page=2&output=rss", ""},
        {"stackexchange:stackoverflow", "70", "stackoverflow.json",
         "https://api.stackexchange.com/2.3/search/advanced?q=utf-8+decoding&site=stackoverflow&order=desc"
         "&sort=relevance&pagesize=20&page=1", "",
         // The asker's own "link" comes first in each question and is not taken.
         {{"UnicodeDecodeError, invalid continuation byte",
           "https://stackoverflow.com/questions/5552555/unicodedecodeerror-invalid-continuation-byte", ""},
          {"Converting UTF-8 to ISO-8859-1 in Java: how to keep it as \"single byte\" (it's wide)",
           "https://stackoverflow.com/questions/655891/converting-utf-8-to-iso-8859-1-in-java", ""},
          {"UTF-8 decoding in C without a library", "https://stackoverflow.com/questions/123456/utf-8-decoding-in-c",
           ""}},
         0,
         "https://api.stackexchange.com/2.3/search/advanced?q=utf-8+decoding&site=stackoverflow&order=desc"
         "&sort=relevance&pagesize=20&page=2", ""},
        {"stackexchange:superuser", "70", "superuser.json",
         "https://api.stackexchange.com/2.3/search/advanced?q=bluetooth+headset&site=superuser&order=desc"
         "&sort=relevance&pagesize=20&page=1", "",
         {{"Bluetooth headset microphone not working",
           "https://superuser.com/questions/1700001/bluetooth-headset-microphone-not-working", ""},
          {"Headset sound is choppy", "https://superuser.com/questions/1700002/headset-sound-is-choppy", ""}},
         0,
         "https://api.stackexchange.com/2.3/search/advanced?q=bluetooth+headset&site=superuser&order=desc"
         "&sort=relevance&pagesize=20&page=2", ""},
    };
    return cases;
}

class ShippedExtractionTest : public ShippedSitesTest {
protected:
    // The state the search driver gives an engine at the start of a search.
    void StartFresh(TEngine &e, const std::string &category) {
        list_->ResultList->Clear();
        list_->Category = category;
        list_->SearchWord = e.Example;
        list_->Matchmode = mmAll;
        e.Active = true;
        e.HitCount = e.PageHits = e.TotalCount = 0;
        e.NextCgi.clear();
        e.NextPageUrl.clear();
        for (auto &input : e.Inputs) {
            input->CurrentValue.clear();
            input->CurrentName = input->Name;
        }
    }
};

TEST_F(ShippedExtractionTest, EverySiteHasAFixtureCase) {
    std::set<std::string> shipped, tested;
    for (const TEngine *e : list_->Engines) shipped.insert(TEngineList::EngineKey(*e));
    for (const auto &c : Cases()) tested.insert(c.key);
    EXPECT_EQ(shipped, tested);
}

TEST_F(ShippedExtractionTest, RulesReadEachSiteFixture) {
    for (const auto &c : Cases()) {
        SCOPED_TRACE(c.key);
        TEngine *e = list_->FindEngine(c.key);
        ASSERT_NE(e, nullptr);
        StartFresh(*e, c.category);
        list_->PrepareEngine(*e);
        auto &http = list_->HttpOf(*e);
        if (!c.presearchFixture.empty()) {
            // The page read first gives the address the query is posted to.
            EXPECT_EQ(http.Url, c.presearchUrl);
            http.FinalUrl = http.Url;
            e->PageText = ReadFixture(c.presearchFixture);
            ReadPresearchPage(*list_, *e);
            list_->BuildSearchRequest(*e);
        }
        EXPECT_EQ(http.Url, c.firstUrl);
        EXPECT_EQ(http.PostBody, c.firstBody);

        http.FinalUrl = http.Url;
        e->PageText = ReadFixture(c.fixture);
        ReadResultPage(*list_, *e);
        auto &results = *list_->ResultList;
        ASSERT_EQ(results.Count(), static_cast<int>(c.hits.size()));
        for (std::size_t i = 0; i < c.hits.size(); ++i) {
            const auto &want = c.hits[i];
            const auto *got = results.Items(static_cast<int>(i));
            EXPECT_EQ(got->Title, want.title) << "hit " << i;
            EXPECT_EQ(got->MainUrl(), want.url) << "hit " << i;
            EXPECT_EQ(got->Description, want.description) << "hit " << i;
            const text::TDateTime date =
                want.year ? *text::TryEncodeDate(want.year, want.month, want.day) : 0;
            EXPECT_EQ(got->Date, date) << "hit " << i;
            EXPECT_EQ(got->Separate, e->EngineType == tEngineType::Page) << "hit " << i;
        }
        EXPECT_EQ(e->TotalCount, c.total);

        const bool more = list_->BuildNextPageRequest(*e);
        EXPECT_EQ(more ? http.Url : "", c.nextUrl);
        EXPECT_EQ(more ? http.PostBody : "", c.nextBody);
    }
}

// The next-page values of the DuckDuckGo endpoints come only from the page's "Next" form:
// a last page (no such form) ends the paging instead of asking for page one again.
TEST_F(ShippedExtractionTest, DuckDuckGoStopsWithoutANextForm) {
    for (const char *key : {"duckduckgo:html", "duckduckgo:lite"}) {
        SCOPED_TRACE(key);
        TEngine *e = list_->FindEngine(key);
        ASSERT_NE(e, nullptr);
        StartFresh(*e, "0");
        e->NextCgi = "https://lite.duckduckgo.com/lite/";
        list_->BuildSearchRequest(*e);
        auto &http = list_->HttpOf(*e);
        http.FinalUrl = http.Url;
        std::string page = ReadFixture(std::string(key) == "duckduckgo:html" ? "duckduckgo-html.html"
                                                                             : "duckduckgo-lite.html");
        page = page.substr(0, page.rfind("<form action="));
        e->PageText = page;
        ReadResultPage(*list_, *e);
        EXPECT_EQ(list_->ResultList->Count(), 3);
        EXPECT_FALSE(list_->BuildNextPageRequest(*e));
    }
}

}  // namespace
}  // namespace trawler::core::testing
