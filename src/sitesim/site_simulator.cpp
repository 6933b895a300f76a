#include "sitesim/site_simulator.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace trawler::sitesim {

namespace {

// The log keeps the most recent requests only, so a long demo cannot grow it without end.
constexpr std::size_t kMaxLoggedRequests = 20000;

std::string ReasonFor(int status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    default: return "Status";
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string FormDecode(const std::string &text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

std::map<std::string, std::string> ParseForm(const std::string &text) {
  std::map<std::string, std::string> params;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t amp = text.find('&', pos);
    if (amp == std::string::npos) amp = text.size();
    std::string pair = text.substr(pos, amp - pos);
    auto eq = pair.find('=');
    if (!pair.empty()) {
      std::string name = FormDecode(pair.substr(0, eq));
      std::string value = eq == std::string::npos ? std::string() : FormDecode(pair.substr(eq + 1));
      params.emplace(name, value);  // the first of repeated names wins
    }
    pos = amp + 1;
  }
  return params;
}

std::string HttpDate(std::time_t t) {
  char buf[64];
  std::tm tm{};
  gmtime_r(&t, &tm);
  std::strftime(buf, sizeof buf, "%a, %d %b %Y %H:%M:%S GMT", &tm);
  return buf;
}

HttpResponse Status(int status, std::string body = {}) {
  HttpResponse r;
  r.status = status;
  r.reason = ReasonFor(status);
  r.body = body.empty() ? "<html><body>" + r.reason + "</body></html>\n" : std::move(body);
  return r;
}

}  // namespace

std::string RecordedRequest::header(const std::string &name) const {
  for (const auto &h : headers) {
    if (h.first.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < name.size() && same; ++i)
      same = std::tolower(static_cast<unsigned char>(h.first[i])) ==
             std::tolower(static_cast<unsigned char>(name[i]));
    if (same) return h.second;
  }
  return {};
}

SiteSimulator::SiteSimulator(std::vector<SimSite> sites)
    : sites_(std::move(sites)), server_([this](const HttpRequest &r) { return handle(r); }) {}

SiteSimulator::~SiteSimulator() { stop(); }

int SiteSimulator::start(int port) { return server_.start(port); }
void SiteSimulator::stop() { server_.stop(); }

std::string SiteSimulator::baseUrl() const {
  return "http://127.0.0.1:" + std::to_string(server_.port());
}

void SiteSimulator::updateSite(const SimSite &site) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto &s : sites_)
    if (s.id == site.id) s = site;
}

std::string SiteSimulator::siteFileText() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return SiteFileText(sites_, baseUrl());
}

bool SiteSimulator::writeSiteFiles(const std::string &dir, std::string *error) const {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const std::filesystem::path target = std::filesystem::path(dir) / "sitesim.sdf";
  const std::filesystem::path temp = std::filesystem::path(dir) / ".sitesim.sdf.tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << siteFileText();
    out.flush();
    if (!out) {
      if (error) *error = "Cannot write " + temp.string();
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    if (error) *error = "Cannot write " + target.string() + ": " + ec.message();
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

void SiteSimulator::setStatsStatus(int status) {
  std::lock_guard<std::mutex> lock(mutex_);
  statsStatus_ = status;
}

std::vector<RecordedRequest> SiteSimulator::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

std::vector<RecordedRequest> SiteSimulator::requestsTo(const std::string &pathPrefix) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<RecordedRequest> out;
  for (const auto &r : log_)
    if (r.target.compare(0, pathPrefix.size(), pathPrefix) == 0) out.push_back(r);
  return out;
}

void SiteSimulator::clearRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.clear();
  refreshSeen_.clear();
}

const SimSite *SiteSimulator::findSite(const std::string &id) const {
  for (const auto &s : sites_)
    if (s.id == id) return &s;
  return nullptr;
}

HttpResponse SiteSimulator::handle(const HttpRequest &req) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (log_.size() >= kMaxLoggedRequests) log_.erase(log_.begin(), log_.begin() + kMaxLoggedRequests / 2);
  log_.push_back({req.method, req.target, req.body, req.headers});

  const std::string &path = req.path;
  if (path == "/stats") return Status(statsStatus_, "<html><body>counted</body></html>\n");

  auto startsWith = [&](const char *prefix) { return path.rfind(prefix, 0) == 0; };
  if (startsWith("/doc/")) {
    HttpResponse r = Status(200, "<html><body>A document of the simulator.</body></html>\n");
    r.headers.push_back({"Last-Modified", HttpDate(1700000000)});
    r.headers.push_back({"Accept-Ranges", "bytes"});
    r.headers.push_back({"Server", "trawler-sitesim"});
    return r;
  }
  if (startsWith("/gone/")) return Status(404);
  if (startsWith("/moved/") || startsWith("/found/")) {
    HttpResponse r = Status(startsWith("/moved/") ? 301 : 302);
    r.headers.push_back({"Location", "/doc/" + path.substr(path.find('/', 1) + 1)});
    return r;
  }

  if (!startsWith("/site/")) return Status(404);
  const std::size_t idEnd = path.find('/', 6);
  const std::string id = path.substr(6, idEnd == std::string::npos ? std::string::npos : idEnd - 6);
  const std::string action = idEnd == std::string::npos ? std::string() : path.substr(idEnd + 1);
  const SimSite *site = findSite(id);
  if (!site) return Status(404);

  if (action == "pre") {
    HttpResponse r = Status(200, PresearchPageHtml(*site, SessionValueFor(*site)));
    r.headers.push_back({"Set-Cookie", "simsid=" + SessionValueFor(*site) + "; Path=/site/" + id});
    return r;
  }
  if (action == "go") {
    HttpResponse r = Status(302);
    r.headers.push_back(
        {"Location", "/site/" + id + "/search" + (req.query.empty() ? "" : "?" + req.query)});
    return r;
  }
  if (action == "search" || action == "more") return handleSearch(*site, req);
  if (action.empty()) return Status(200, "<html><body>" + site->caption + "</body></html>\n");
  return Status(404);
}

HttpResponse SiteSimulator::handleSearch(const SimSite &site, const HttpRequest &req) {
  auto params = ParseForm(req.query);
  if (req.method == "POST")
    for (auto &[name, value] : ParseForm(req.body)) params.emplace(name, value);

  HttpResponse r;
  if (site.hang) {
    r.hang = true;
    return r;
  }
  if (site.errorStatus) {
    r = Status(site.errorStatus);
    r.latency = std::chrono::milliseconds(site.latencyMs);
    return r;
  }
  if (site.presearch) {
    const std::string session = SessionValueFor(site);
    const bool cookieOk =
        !site.requireCookie || req.header("Cookie").find("simsid=" + session) != std::string::npos;
    if (params["sid"] != session || !cookieOk) return Status(403);
  }
  const std::string query = params["q"];
  int page = 1;
  if (params.count("page")) page = std::atoi(params["page"].c_str());
  else if (params.count("start") && site.hitsPerPage > 0)
    page = std::atoi(params["start"].c_str()) / site.hitsPerPage + 1;

  if (site.refreshCount != 0) {
    int &seen = refreshSeen_[site.id + "|" + NormalizeSimQuery(query) + "|" + std::to_string(page)];
    if (site.refreshCount < 0 || seen < site.refreshCount) {
      ++seen;
      r = Status(200, "<html><body>Please wait.</body></html>\n");
      r.headers.push_back({"Refresh", "0; url=" + req.target});
      return r;
    }
  }
  r = Status(200, ResultPageHtml(site, query, page, baseUrl()));
  r.latency = std::chrono::milliseconds(site.latencyMs);
  r.trickleBytes = static_cast<std::size_t>(site.trickleBytes > 0 ? site.trickleBytes : 0);
  r.trickleInterval = std::chrono::milliseconds(site.trickleMs);
  return r;
}

}  // namespace trawler::sitesim
