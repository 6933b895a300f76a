#include "core/view/result_list_page.h"

#include "core/view/html_escape.h"
#include "results/html_inline.h"
#include "results/url_result.h"
#include "support/text/dates.h"

namespace trawler::core::view {

std::vector<std::string> ResultListPage(const std::vector<const results::tUrlResult*>& rows) {
  std::vector<std::string> lines;
  lines.reserve(3 + rows.size() * 6);
  lines.emplace_back("<H1>Search results</H1>");
  lines.emplace_back("<table width=100%>");
  for (const results::tUrlResult* r : rows) {
    if (!r) continue;
    std::string engines;
    for (const std::string& key : r->Engines) engines += " " + EscapeHtmlText(key);
    lines.emplace_back("<tr>");
    lines.push_back("<td><a href=\"" + EscapeHtmlAttribute(r->MainUrl()) + "\">Link</a></td>");
    lines.push_back("<td><b>" + EscapeHtmlText(r->Title) + "</b></td></tr>");
    lines.push_back(r->Date > 0
                        ? "<tr><td>" + EscapeHtmlText(text::FormatLocaleShortDate(r->Date)) + "</td></tr>"
                        : std::string("<tr><td>&nbsp;</td></tr>"));
    lines.push_back(engines.empty() ? std::string("<td>&nbsp;</td></tr>")
                                    : "<td align=right>" + engines + "</td></tr>");
    lines.push_back("<tr><td colspan=2>" + results::SafeInlineHtml(r->Description) + "</td></tr>");
  }
  lines.emplace_back("</table>");
  return lines;
}

}  // namespace trawler::core::view
