// The Properties tab's description and the result list page built from
// hostile result fields: whatever a page sends, the HTML the program builds
// holds only its own tags, and every address stays inside its quotes.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/view/describe_result.h"
#include "core/view/result_list_page.h"
#include "results/results_list.h"
#include "support/lang/lang_list.h"

namespace {

constexpr std::string_view kOwnTags[] = {
    "<b>", "</b>", "<i>", "</i>", "<em>", "</em>", "<strong>", "</strong>", "<br>", "</a>",
    "<hr width=100% color=000000>", "<H1>", "</H1>", "<table width=100%>", "</table>", "<tr>",
    "</tr>", "<td>", "</td>", "<td align=right>", "<td colspan=2>"};

// Aborts when the HTML holds a tag the program does not write itself.
void CheckOwnTagsOnly(std::string_view html) {
  std::size_t i = 0;
  while ((i = html.find('<', i)) != std::string_view::npos) {
    const std::string_view rest = html.substr(i);
    bool known = false;
    for (std::string_view tag : kOwnTags) {
      if (rest.substr(0, tag.size()) == tag) {
        i += tag.size();
        known = true;
        break;
      }
    }
    if (known) continue;
    constexpr std::string_view kLink = "<a href=\"";
    if (rest.substr(0, kLink.size()) != kLink) std::abort();
    const std::size_t close = rest.find('"', kLink.size());
    if (close == std::string_view::npos) std::abort();
    constexpr std::string_view kTarget = " target=\"_blank\">";
    const std::string_view after = rest.substr(close + 1);
    if (after.substr(0, 1) == ">") {
      i += close + 2;
    } else if (after.substr(0, kTarget.size()) == kTarget) {
      i += close + 1 + kTarget.size();
    } else {
      std::abort();
    }
  }
}

std::vector<std::string> Fields(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> fields(7);
  std::size_t field = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0 && field + 1 < fields.size()) {
      ++field;
      continue;
    }
    fields[field] += static_cast<char>(data[i]);
  }
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  static const trawler::lang::tALanglist lang;
  const std::vector<std::string> f = Fields(data, size);

  trawler::results::tResultsList list;
  trawler::results::tUrlResult& r = list.CreateResult();
  r.AddUrl(f[0]);
  r.AddOtherUrl(f[1]);
  r.Title = f[2];
  r.Description = f[3];
  r.AddEngine(f[4]);
  r.Reason = f[5];
  r.Server = f[6];
  r.Code = size % 2 ? 404 : 200;
  r.Date = static_cast<double>(size % 50000);
  r.Relevance = static_cast<int>(size % 101);

  const trawler::core::view::EngineLookup engines =
      [&f](const std::string& key) -> std::optional<trawler::core::view::EngineLink> {
    if (key.size() % 2) return std::nullopt;
    return trawler::core::view::EngineLink{f[1], f[2]};
  };
  for (bool translit : {false, true}) {
    const trawler::core::view::DescribeOptions options{
        translit ? trawler::core::view::tDecoding::Koi8r : trawler::core::view::tDecoding::None, translit};
    CheckOwnTagsOnly(trawler::core::view::DescribeResult(r, f[5], options, lang, engines));
  }
  for (const std::string& line : trawler::core::view::ResultListPage({&r})) CheckOwnTagsOnly(line);
  return 0;
}
