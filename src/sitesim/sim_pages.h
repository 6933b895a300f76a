#pragma once
// The pages and description files of the simulated sites: pure text generation,
// deterministic per (site, query, page), so tests can predict every hit.

#include <string>
#include <vector>

#include "sitesim/sim_site.h"

namespace trawler::sitesim {

struct SimHit {
  std::string url;          // as the site spells it
  std::string title;
  std::string description;
  std::string date;         // "dd.mm.yyyy" or empty
  int relevance = -1;       // -1: not shown
  bool shared = false;      // other sites return the same page at this rank
};

// Lowercased, trimmed, inner blanks collapsed: the form the hits depend on.
std::string NormalizeSimQuery(const std::string &query);

// The hit of a site at a 0-based rank for a query.
SimHit HitAt(const SimSite &site, const std::string &query, int rank);

// Hits of 1-based result page `page` (empty beyond the last hit).
std::vector<SimHit> HitsOnPage(const SimSite &site, const std::string &query, int page);

// The result page. `base` is "http://127.0.0.1:port"; it is used for next-page links.
std::string ResultPageHtml(const SimSite &site, const std::string &query, int page,
                           const std::string &base);

// The presearch page carrying the hidden session value.
std::string PresearchPageHtml(const SimSite &site, const std::string &sessionValue);

// The session value a site hands out (stable per site).
std::string SessionValueFor(const SimSite &site);

// One description file describing all sites, with addresses under `base`.
std::string SiteFileText(const std::vector<SimSite> &sites, const std::string &base);

}  // namespace trawler::sitesim
