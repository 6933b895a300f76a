#include "sitesim/sim_pages.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

namespace trawler::sitesim {

namespace {

std::uint64_t Fnv1a(const std::string &text) {
  std::uint64_t h = 1469598103934665603ULL;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ULL;
  }
  return h;
}

std::string HtmlEscape(const std::string &text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// Form encoding of a query value for links the site writes itself.
std::string FormEncode(const std::string &text) {
  static const char *hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string SpellUrl(int spelling, const std::string &hostCore, const std::string &path) {
  switch (spelling) {
    case 1: {
      std::string host = "www." + hostCore;
      std::transform(host.begin(), host.end(), host.begin(),
                     [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
      return "http://" + host + path;
    }
    case 2: return "http://" + hostCore + ":80" + path;
    case 3: return "http://guest@www." + hostCore + path;
    default: return "http://www." + hostCore + path;
  }
}

std::string PageLink(const SimSite &site, const std::string &query, int page) {
  return "/site/" + site.id + "/search?q=" + FormEncode(query) + "&page=" + std::to_string(page);
}

}  // namespace

std::string NormalizeSimQuery(const std::string &query) {
  std::string out;
  bool blank = false;
  for (unsigned char c : query) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += static_cast<char>(std::tolower(c));
  }
  return out;
}

SimHit HitAt(const SimSite &site, const std::string &rawQuery, int rank) {
  const std::string query = NormalizeSimQuery(rawQuery);
  SimHit hit;
  hit.shared = static_cast<int>(Fnv1a(query + "/share/" + std::to_string(rank)) % 100) <
               site.overlapPercent;
  std::uint64_t h;
  if (hit.shared) {
    h = Fnv1a(query + "#" + std::to_string(rank));
    std::string core = "d" + std::to_string(h % 1000) + ".example";
    hit.url = SpellUrl(site.spelling, core, "/q/" + std::to_string(h % 1000003) + ".html");
    hit.title = "Page about " + query + " number " + std::to_string(h % 10007);
    hit.description = "A page about " + query + " that several sites know.";
  } else {
    h = Fnv1a(site.id + "|" + query + "#" + std::to_string(rank));
    hit.url = "http://www." + site.id + ".example/" + std::to_string(h % 1000003) + ".html";
    hit.title = site.caption + " page " + std::to_string(rank + 1) + " about " + query;
    hit.description = "Only " + site.caption + " lists this page about " + query + ".";
  }
  if (site.dates) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", static_cast<int>(1 + h % 28),
                  static_cast<int>(1 + (h / 28) % 12), static_cast<int>(2000 + (h / 336) % 25));
    hit.date = buf;
  }
  if (site.relevance) hit.relevance = std::max(1, 99 - rank);
  return hit;
}

std::vector<SimHit> HitsOnPage(const SimSite &site, const std::string &query, int page) {
  std::vector<SimHit> hits;
  if (page < 1 || site.hitsPerPage < 1) return hits;
  const long first = static_cast<long>(page - 1) * site.hitsPerPage;
  for (long r = first; r < first + site.hitsPerPage && r < site.total; ++r)
    hits.push_back(HitAt(site, query, static_cast<int>(r)));
  return hits;
}

std::string ResultPageHtml(const SimSite &site, const std::string &rawQuery, int page,
                           const std::string &base) {
  const std::string query = NormalizeSimQuery(rawQuery);
  const auto hits = HitsOnPage(site, query, page);
  std::string html = "<html><head><title>" + HtmlEscape(site.caption) + ": " + HtmlEscape(query) +
                     "</title></head>\n<body>\n<h1>" + HtmlEscape(site.caption) + "</h1>\n";
  if (site.reportTotal)
    html += "<div class=\"stats\">About <b class=\"total\">" + std::to_string(site.total) +
            "</b> results</div>\n";
  html += "<ol>\n";
  for (const auto &hit : hits) {
    html += "<li class=\"hit\"><a href=\"" + HtmlEscape(hit.url) + "\">" + HtmlEscape(hit.title) +
            "</a> <span class=\"date\">" + hit.date + "</span> <span class=\"rel\">" +
            (hit.relevance >= 0 ? std::to_string(hit.relevance) + "%" : std::string()) +
            "</span><p class=\"desc\">" + HtmlEscape(hit.description) + "</p></li>\n";
  }
  html += "</ol>\n";
  const bool more = static_cast<long>(page) * site.hitsPerPage < site.total && !hits.empty();
  if (more) {
    if (site.paging == SimPaging::AbsoluteNext)
      html += "<a class=\"next\" href=\"" + HtmlEscape(base + PageLink(site, query, page + 1)) +
              "\">Next</a>\n";
    else if (site.paging == SimPaging::RelativeNext)
      html += "<a class=\"next\" href=\"" + HtmlEscape(PageLink(site, query, page + 1)) +
              "\">Next</a>\n";
  }
  if (site.paging == SimPaging::CgiBase)
    html += "<form class=\"more\" action=\"/site/" + site.id + "/more\"></form>\n";
  html += "</body></html>\n";
  return html;
}

std::string SessionValueFor(const SimSite &site) {
  return "S" + std::to_string(Fnv1a("session:" + site.id) % 100000000);
}

std::string PresearchPageHtml(const SimSite &site, const std::string &sessionValue) {
  return "<html><body><form action=\"/site/" + site.id +
         "/search\">\n<input type=\"hidden\" name=\"sid\" value=\"" + sessionValue +
         "\">\n<input name=\"q\"></form></body></html>\n";
}

namespace {

void AppendSite(std::string &out, const SimSite &site, const std::string &base) {
  const std::string root = base + "/site/" + site.id;
  out += "  site\n  {\n";
  out += "    caption=" + site.caption + "\n";
  out += "    id=" + site.id + "\n";
  out += "    region=" + site.region + "\n";
  out += "    url=" + root + "/\n";
  out += "    example=" + site.exampleQuery + "\n";
  if (site.dates) out += "    dateformat=dd|.|mm|.|yyyy\n";
  if (site.post) out += "    cgitype=post\n";
  if (site.immediately) out += "    immediately=1\n";
  out += "    category\n    {\n";
  for (std::size_t i = 0; i < site.categoryKeys.size(); ++i)
    out += "      c" + std::to_string(i) + "=" + site.categoryKeys[i] + "\n";
  out += "    }\n";
  out += "    description\n    {\n      A simulated search site played by trawler-sitesim.\n    }\n";
  if (site.presearch) out += "    presearch\n    {\n      -1=" + root + "/pre\n    }\n";
  out += "    cgi1\n    {\n      -1=" + root + (site.redirect ? "/go" : "/search") + "\n    }\n";
  if (site.paging == SimPaging::PageNumber || site.paging == SimPaging::Offset)
    out += "    cgi2\n    {\n      -1=" + root + "/search\n    }\n";

  out += "    inputs\n    {\n";
  out += "      input\n      {\n        name=q\n        inputtype=query\n        type=0\n"
         "        required=1\n        {\n          exactbe=\"\n        }\n      }\n";
  switch (site.paging) {
    case SimPaging::PageNumber:
      out += "      input\n      {\n        name=page\n        inputtype=pagenum\n        type=0\n"
             "        default=1\n        koeff=0.1\n      }\n";
      break;
    case SimPaging::Offset:
      out += "      input\n      {\n        name=start\n        inputtype=pagenum\n        type=2\n"
             "        default=0\n        koeff=" + std::to_string(site.hitsPerPage / 10) + "." +
             std::to_string(site.hitsPerPage % 10) + "\n      }\n";
      break;
    case SimPaging::CgiBase:
      out += "      input\n      {\n        name=page\n        inputtype=pagenum\n        type=2\n"
             "        default=1\n        koeff=0.1\n      }\n";
      break;
    default:
      break;
  }
  if (site.presearch)
    out += "      input\n      {\n        name=sid\n        type=0\n        required=1\n      }\n";
  out += "    }\n";

  out += "    outputs\n    {\n      output\n      {\n        outputtype=result\n        {\n";
  out += "          -1=<li class=\"hit\"><a href=\"%URL%\">%TITLE%</a> <span class=\"date\">"
         "%DATEMODIFIED%</span> <span class=\"rel\">%RELEVANCE%</span><p class=\"desc\">"
         "%DESCRIPTION%</p></li>\n";
  if (site.reportTotal) out += "          -1=<b class=\"total\">%COUNT%</b>\n";
  if (site.paging == SimPaging::AbsoluteNext)
    out += "          -1=<a class=\"next\" href=\"%NEXTPAGE%\">\n";
  if (site.paging == SimPaging::RelativeNext)
    out += "          -1=<a class=\"next\" href=\"%BASENEXTPAGE%\">\n";
  if (site.paging == SimPaging::CgiBase)
    out += "          -1=<form class=\"more\" action=\"%BASENEXTCGI%\">\n";
  out += "        }\n      }\n";
  if (site.presearch)
    out += "      output\n      {\n        outputtype=presearch\n        {\n"
           "          -1=<input type=\"hidden\" name=\"sid\" value=\"%sid%\">\n        }\n      }\n";
  out += "    }\n  }\n";
}

}  // namespace

std::string SiteFileText(const std::vector<SimSite> &sites, const std::string &base) {
  std::string out =
      "# Sites played by trawler-sitesim on this machine (" + base + ").\n"
      "# Every site answers with a list of <li class=\"hit\"> items; the markers below\n"
      "# read the link, title, date, relevance and description of each, the total from\n"
      "# <b class=\"total\">, and the next page by the site's own paging style.\n"
      "general\n{\n  id=sitesim\n  version=1.0\n  date=10 dec 2026\n  {\n"
      "    Simulated sites for tests and the offline demo.\n  }\n}\n"
      "categories\n{\n  0=;0;Common search;Every general web site\n"
      "  5=;1;Search engines;Web search engines\n}\nsites\n{\n";
  for (const auto &site : sites) AppendSite(out, site, base);
  out += "}\n";
  return out;
}

std::vector<SimSite> DemoSites(int count) {
  static const char *names[] = {"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf",
                                "Hotel", "India", "Juliett", "Kilo", "Lima", "Mike", "November",
                                "Oscar", "Papa", "Quebec", "Romeo", "Sierra", "Tango"};
  std::vector<SimSite> sites;
  for (int i = 0; i < count; ++i) {
    SimSite s;
    char id[16];
    std::snprintf(id, sizeof id, "s%02d", i + 1);
    s.id = id;
    s.caption = std::string("Sim ") + names[i % 20] + (i >= 20 ? " " + std::to_string(i / 20 + 1) : "");
    if (i % 4 == 3) s.categoryKeys.push_back("5");
    s.paging = static_cast<SimPaging>(i % 5);
    s.spelling = i % 4;
    s.relevance = i % 3 == 0;
    s.dates = i % 2 == 0;
    s.total = 30 + 10 * (i % 3);
    s.presearch = i == 5;
    s.requireCookie = i == 5;
    s.post = i == 6;
    s.redirect = i == 7;
    sites.push_back(s);
  }
  return sites;
}

}  // namespace trawler::sitesim
