#include "results/export_html.h"

#include "results/export_file.h"
#include "results/export_progress.h"
#include "results/html_inline.h"
#include "support/settings/service_addresses.h"
#include "support/text/dates.h"
#include "support/text/html_text.h"

namespace trawler::results {

namespace {

constexpr const char* kEol = "\r\n";

std::string Esc(std::string_view text) { return text::XmlEscape(text); }

std::string EngineTitles(const tResultsList& list, const tUrlResult& r) {
  std::string joined;
  for (std::size_t i = 0; i < r.Engines.size(); ++i) {
    std::string title = r.Engines[i];
    if (list.OnEngineTitle) list.OnEngineTitle(r.Engines[i], title);
    if (i > 0) joined += "; ";
    joined += Esc(title);
  }
  return joined;
}

std::string Details(const tUrlResult& r, bool plain) {
  std::string details = plain ? Esc(text::HtmlToText(r.Description)) : SafeInlineHtml(r.Description);
  if (!r.Server.empty()) details += " Server: " + Esc(r.Server);
  if (r.Code > 0) details += " Result: " + std::to_string(r.Code) + " " + Esc(r.Reason);
  if (!r.ContentType.empty()) details += " Content: " + Esc(r.ContentType) + " " + Esc(r.Size);
  return details;
}

std::string ResultLine(const tResultsList& list, const tUrlResult& r, bool plain) {
  std::string line = "   <DT>";
  if (IsLinkableUrl(r.MainUrl()))
    line += "<a href=\"" + Esc(r.MainUrl()) + "\" target=\"_blank\">" + Esc(r.Title) + "</a>";
  else
    line += Esc(r.Title);
  line += "<br><small>" + EngineTitles(list, r) + "</small>";
  if (r.Date > 0) line += " <small>" + Esc(text::FormatLocaleShortDate(r.Date)) + "</small>";
  if (r.Relevance > 0) line += " <small>" + std::to_string(r.Relevance) + "%</small>";
  const std::string details = Details(r, plain);
  if (!details.empty()) line += "<br><DD>" + details + "</DD>";
  line += "</DT>";
  return line;
}

std::string Page(tResultsList& list, bool plain, bool all, ExportProgress* progress) {
  const std::string when = Esc(text::FormatLocaleDateTime(list.SearchDate));
  const std::string keywords = Esc(list.Keywords);
  std::string page;
  auto line = [&page](const std::string& text) {
    page += text;
    page += kEol;
  };
  line("<!-- File created by Trawler at " + when + " from search in " + Esc(list.Category) +
       " by \"" + keywords + "\"-->");
  line("<html>");
  line("<head>");
  line("<meta charset=\"utf-8\">");
  line("<TITLE>Search results</TITLE>");
  line("<link rel=\"STYLESHEET\" type=\"text/css\" href=\"" +
       Esc(settings::ServiceSiteRoot() + "trawler.css") + "\">");
  line("</head>");
  line("<body>");
  line("<blockquote>");
  line("<H1>Search results</H1>");
  line("<p>Keywords: <em>" + keywords + "</em><br>Date: <em>" + when + "</em></p>");
  line("<DL><p>");
  for (int i = 0; i < list.Count(); ++i) {
    if (progress) progress->Before(i);
    const tUrlResult& r = *list.Items(i);
    if (!all && !r.Selected()) continue;
    line("<hr>");
    line(ResultLine(list, r, plain));
  }
  line("</DL><p>");
  line("<hr>");
  line("<p align=\"right\"><small><em>Page generate by <a href=\"" + Esc(settings::ProductHomePage()) +
       "\">Trawler</a></em></small></p>");
  line("</blockquote>");
  line("</body>");
  line("</html>");
  return page;
}

}  // namespace

std::string HtmlExportText(tResultsList& list, bool plain, bool all) {
  return Page(list, plain, all, nullptr);
}

void ExportHtml(tResultsList& list, const std::string& fileName, bool plain, bool all) {
  ExportProgress progress(list);
  const std::string page = Page(list, plain, all, &progress);
  WriteExport(fileName, page, true);
}

}  // namespace trawler::results
