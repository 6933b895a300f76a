#pragma once
// trawler-sitesim: one local HTTP server that plays many search sites.
//
//   /site/<id>/search   result pages (GET or POST; q=, page= or start=, sid=)
//   /site/<id>/more     the same, for sites that hand out a base address (BASENEXTCGI)
//   /site/<id>/go       302 to /site/<id>/search with the same parameters
//   /site/<id>/pre      presearch page with a hidden "sid" and a "simsid" cookie
//   /stats              records the statistics requests; answers statsStatus
//   /doc/<x>            200 page (for link checks), /gone/<x> 404, /moved/<x> 301 to /doc/<x>,
//   /found/<x>          302 to /doc/<x>
//
// It runs on its own thread, so a test can drive its client's event loop while
// the simulator answers.

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sitesim/mini_http_server.h"
#include "sitesim/sim_pages.h"
#include "sitesim/sim_site.h"

namespace trawler::sitesim {

struct RecordedRequest {
  std::string method, target, body;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string header(const std::string &name) const;
};

class SiteSimulator {
 public:
  explicit SiteSimulator(std::vector<SimSite> sites);
  ~SiteSimulator();

  int start(int port = 0);  // 0 = a free port; returns the port (0 on failure)
  void stop();
  int port() const { return server_.port(); }
  std::string baseUrl() const;  // "http://127.0.0.1:<port>"

  const std::vector<SimSite> &sites() const { return sites_; }
  // Changes a site while the server runs (tests switch behaviours between searches).
  void updateSite(const SimSite &site);

  // The description file of all sites, and writing it as DIR/sitesim.sdf.
  std::string siteFileText() const;
  bool writeSiteFiles(const std::string &dir, std::string *error = nullptr) const;

  void setStatsStatus(int status);

  // Observations.
  int maxOpenConnections() const { return server_.maxOpenConnections(); }
  void resetMaxOpenConnections() { server_.resetMaxOpenConnections(); }
  std::vector<RecordedRequest> requests() const;
  std::vector<RecordedRequest> requestsTo(const std::string &pathPrefix) const;
  void clearRequests();

 private:
  HttpResponse handle(const HttpRequest &req);
  HttpResponse handleSearch(const SimSite &site, const HttpRequest &req);
  const SimSite *findSite(const std::string &id) const;

  mutable std::mutex mutex_;
  std::vector<SimSite> sites_;
  std::vector<RecordedRequest> log_;
  std::map<std::string, int> refreshSeen_;
  int statsStatus_ = 200;
  MiniHttpServer server_;
};

}  // namespace trawler::sitesim
