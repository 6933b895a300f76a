// The shipped site descriptions load cleanly and describe usable sites: every line is one
// the loader understands, every site can take part in a search (a region, a category that
// exists, a search address) and can be checked later (an example query).

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "core/categories.h"
#include "core/name_value_list.h"
#include "shipped_env.h"
#include "site_file_lint.h"

namespace trawler::core::testing {
namespace {

// The field names of a rule: the texts between pairs of "%".
std::vector<std::string> FieldNames(std::string_view rule) {
    std::vector<std::string> names;
    for (std::size_t open = rule.find('%'); open != std::string_view::npos;) {
        const std::size_t close = rule.find('%', open + 1);
        if (close == std::string_view::npos) break;
        names.emplace_back(rule.substr(open + 1, close - open - 1));
        open = rule.find('%', close + 1);
    }
    return names;
}

bool SameAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The names that fill a hit or steer paging (each also in its twin ending in "1").
bool IsHitField(std::string name) {
    static const std::set<std::string> names{
        "TITLE", "ADDTITLE", "COUNT", "RELEVANCE", "NEXTPAGE", "BASENEXTPAGE", "PAGEREF", "NEXTCGI",
        "BASENEXTCGI", "URL", "TOPURL", "HTTPURL", "HTTPTOPURL", "LONGURL", "LONGTOPURL", "ADDURL",
        "ADDTOPURL", "BASEURL", "BASETOPURL", "BASEADDURL", "BASEADDTOPURL", "DATEMODIFIED",
        "DESCRIPTION", "CDESCRIPTION"};
    for (char &c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name.size() > 1 && name.back() == '1') name.pop_back();
    return names.count(name) > 0;
}

TEST(SiteFileLint, ReportsWhatTheLoaderWouldIgnore) {
    const struct {
        const char *name, *text;
        std::size_t problems;
    } cases[] = {
        {"clean", "general\n{\nid=x\n{\nfree text\n}\n}\ncategories\n{\n0=;0;Web;Hint\n}\n"
                  "sites\n{\nsite\n{\ncaption=A\nexample=q\ncategory\n{\nw=0\n}\ninputs\n{\ninput\n{\n"
                  "name=q\n{\nor=%20OR%20\n}\n}\n}\noutputs\n{\noutput\n{\noutputtype=result\n{\n"
                  "-1=<b>%URL%</b>\n}\n}\n}\n}\n}\n",
         0},
        {"misspelt site key", "sites\n{\nsite\n{\ndateformt=dd\n}\n}\n", 1},
        {"spaced key", "sites\n{\nsite\n{\ncaption = A\n}\n}\n", 1},
        {"input key on a site", "sites\n{\nsite\n{\nkoeff=1\n}\n}\n", 1},
        {"unknown output type", "sites\n{\nsite\n{\noutputs\n{\noutput\n{\noutputtype=results\n}\n}\n}\n}\n", 1},
        {"unannounced block", "sites\n{\nsite\n{\n{\nx=1\n}\n}\n}\n", 1},
        {"open block", "sites\n{\nsite\n{\n", 1},
        {"stray brace", "}\n", 1},
        {"misspelt block keyword", "sites\n{\nsite\n{\ncgi3\n{\n-1=http://h/\n}\n}\n}\n", 2},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LintSiteFile(c.text).size(), c.problems) << c.name;
}

TEST_F(ShippedSitesTest, EveryLineIsOneTheLoaderUnderstands) {
    int files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(ShippedSitesDir())) {
        if (entry.path().extension() != ".sdf") continue;
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        for (const auto &problem : LintSiteFile(text.str()))
            ADD_FAILURE() << entry.path().filename().string() << " " << problem;
    }
    EXPECT_EQ(load_error_, "");
    EXPECT_EQ(static_cast<int>(list_->SDFList.Items.size()), files);
}

TEST_F(ShippedSitesTest, CategoriesKeepTheirKeysAndLoadFirst) {
    ASSERT_FALSE(list_->Categories.empty());
    EXPECT_EQ(NameOfLine(list_->Categories.front()), "0") << "the categories file loads first";
    // The quick-search templates name 0, 5 and 61; the others are ours to keep stable.
    const std::map<std::string, std::string> expected{
        {"0", "Common search"},   {"5", "Search engines"},
        {"10", "News"},           {"20", "Software and packages"},
        {"30", "Encyclopaedia and reference"}, {"40", "Science and papers"},
        {"50", "Dictionaries"},   {"61", "MP3 / audio"},
        {"70", "Questions and forums"}, {"80", "Media and archives"}};
    EXPECT_EQ(list_->Categories.size(), expected.size());
    for (const auto &[key, name] : expected) {
        EXPECT_TRUE(list_->IsBuiltInCategory(key)) << key;
        const auto info = list_->CategoryInfo(key);
        EXPECT_EQ(info.Name, name) << key;
        EXPECT_FALSE(info.Hint.empty()) << key;
    }
}

TEST_F(ShippedSitesTest, EverySiteCanBeSearchedAndChecked) {
    ASSERT_GE(list_->Engines.size(), 20u);
    std::set<std::string> served;
    for (const TEngine *e : list_->Engines) {
        SCOPED_TRACE(TEngineList::EngineKey(*e));
        EXPECT_FALSE(e->Region.empty()) << "a site without a region is never searched";
        EXPECT_FALSE(e->Example.empty());
        EXPECT_FALSE(e->HomeUrl.empty());
        EXPECT_FALSE(e->Description.empty());
        EXPECT_NE(e->Charset, tCharset::None);
        EXPECT_FALSE(e->Id.empty());
        // A caption or id the loader had to make unique means two sites collided.
        EXPECT_EQ(e->Caption.find('_'), std::string::npos) << e->Caption;
        EXPECT_EQ(e->Id.find("_0"), std::string::npos) << e->Id;
        ASSERT_FALSE(e->CategoryCodes.empty());
        for (const auto &line : e->CategoryCodes) {
            const std::string key(ValueOfLine(line));
            EXPECT_TRUE(list_->IsBuiltInCategory(key)) << line;
            served.insert(key);
            list_->Category = key;
            EXPECT_FALSE(list_->CategoryUrl(*e, e->Presearch).empty() &&
                         list_->CategoryUrl(*e, e->Cgi1).empty())
                << "no search address in category " << key;
        }
        const bool hasResultRules = std::any_of(e->Outputs.begin(), e->Outputs.end(), [](const auto &o) {
            return o->OutputType == tOutputType::Result && !o->Markers.empty();
        });
        EXPECT_TRUE(hasResultRules);
        for (const auto &input : e->Inputs) {
            if (input->InputType != tInputType::PageNum) continue;
            EXPECT_FALSE(input->Koeff.empty()) << input->Name << ": the page step must be stated";
        }
        // A field named like an input also stores its value in that input for the next
        // request: an input "title" would be sent with the last hit's title.
        for (const auto &output : e->Outputs) {
            for (const auto &line : output->Markers) {
                for (const auto &field : FieldNames(ValueOfLine(line))) {
                    if (!IsHitField(field)) continue;
                    for (const auto &input : e->Inputs) {
                        EXPECT_FALSE(SameAscii(input->Name, field))
                            << "field " << field << " would overwrite input " << input->Name;
                    }
                }
            }
        }
    }
    for (const auto &line : list_->Categories)
        EXPECT_TRUE(served.count(std::string(NameOfLine(line)))) << "no site serves category " << line;
    const std::set<std::string> wanted{"0", "5", "10", "20", "30", "40", "50", "61", "70", "80"};
    EXPECT_EQ(served, wanted);
}

}  // namespace
}  // namespace trawler::core::testing
