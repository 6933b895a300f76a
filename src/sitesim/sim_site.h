#pragma once
// What one simulated search site does. Every field has the value of a plain,
// well-behaved site; tests and the demo turn on the awkward behaviours one by one.

#include <string>
#include <vector>

namespace trawler::sitesim {

// How a site leads to its next result page.
enum class SimPaging {
  PageNumber,    // a "page" parameter counting 1, 2, 3 (pagenum input, koeff 0.1)
  Offset,        // a "start" parameter counting 0, 10, 20 (pagenum input, koeff 1)
  AbsoluteNext,  // a full next-page link in the page (NEXTPAGE)
  RelativeNext,  // a relative next-page link (BASENEXTPAGE)
  CgiBase,       // a form action that the next request adds its parameters to (BASENEXTCGI)
};

struct SimSite {
  std::string id;               // site id, also the path segment: /site/<id>/...
  std::string caption;
  std::vector<std::string> categoryKeys = {"0"};  // category keys the site serves
  std::string region = "World";
  std::string exampleQuery = "trawler";

  int hitsPerPage = 10;
  int total = 30;               // hits the site has for any query
  bool reportTotal = true;      // the page states the total
  SimPaging paging = SimPaging::PageNumber;

  // Share (0-100) of the hits that name pages every site returns for the same
  // query and rank, and the spelling this site uses for such shared pages:
  // 0 plain, 1 upper-case host, 2 without "www." and with ":80", 3 with user info.
  int overlapPercent = 50;
  int spelling = 0;

  bool dates = true;            // hits carry a date "dd.mm.yyyy"
  bool relevance = false;       // hits carry a relevance "NN%"
  bool immediately = false;

  int latencyMs = 0;            // delay before the answer's first byte
  int trickleBytes = 0;         // send the body in slices of this size...
  int trickleMs = 0;            // ...one every trickleMs

  bool presearch = false;       // search needs the hidden "sid" of /pre
  bool requireCookie = false;   // search needs the cookie /pre sets
  bool post = false;            // first request is a POST
  bool redirect = false;        // first request goes to /go, which redirects to the search
  int refreshCount = 0;         // answer with "Refresh:" this often first (-1: always)
  int errorStatus = 0;          // answer every search with this status (0: don't)
  bool hang = false;            // never answer a search
};

// The twenty sites of the offline demo: a mix of paging styles, spellings,
// dates and relevance, with a presearch site and a POST site among them.
std::vector<SimSite> DemoSites(int count = 20);

}  // namespace trawler::sitesim
