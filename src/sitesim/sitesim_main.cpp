// trawler-sitesim: serves the simulated search sites until interrupted.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "sitesim/site_simulator.h"

namespace {

volatile std::sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

const char *const kHelp =
    "Usage: trawler-sitesim [--port N] [--sites N] [--latency MS] [--total N] [--overlap P]\n"
    "                       [--write-sites DIR]\n"
    "\n"
    "Plays N simulated search sites (default 20) on 127.0.0.1:PORT (default: a free\n"
    "port) until interrupted. --write-sites writes DIR/sitesim.sdf describing them,\n"
    "so Trawler can search them offline. --latency delays every answer; --total sets\n"
    "the hits every site has for a query, --overlap the share (0-100) of them that\n"
    "name pages other sites return too.\n";

}  // namespace

int main(int argc, char **argv) {
  int port = 0, count = 20, latency = 0, total = 0, overlap = -1;
  std::string writeDir;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char *name) -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "trawler-sitesim: %s needs a value\n", name);
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--help" || a == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    } else if (a == "--port") {
      port = std::atoi(value("--port").c_str());
    } else if (a == "--sites") {
      count = std::atoi(value("--sites").c_str());
    } else if (a == "--latency") {
      latency = std::atoi(value("--latency").c_str());
    } else if (a == "--total") {
      total = std::atoi(value("--total").c_str());
    } else if (a == "--overlap") {
      overlap = std::atoi(value("--overlap").c_str());
    } else if (a == "--write-sites") {
      writeDir = value("--write-sites");
    } else {
      std::fprintf(stderr, "trawler-sitesim: unknown option \"%s\" (try --help)\n", a.c_str());
      return 2;
    }
  }
  if (count < 1 || count > 1000) {
    std::fprintf(stderr, "trawler-sitesim: --sites must be between 1 and 1000\n");
    return 2;
  }
  auto sites = trawler::sitesim::DemoSites(count);
  if (total < 0 || total > 100000 || overlap > 100) {
    std::fprintf(stderr, "trawler-sitesim: --total must be 0 to 100000, --overlap 0 to 100\n");
    return 2;
  }
  for (auto &s : sites) {
    s.latencyMs = latency;
    if (total > 0) s.total = total;
    if (overlap >= 0) s.overlapPercent = overlap;
  }
  trawler::sitesim::SiteSimulator sim(sites);
  if (!sim.start(port)) {
    std::fprintf(stderr, "trawler-sitesim: cannot listen on 127.0.0.1:%d\n", port);
    return 1;
  }
  if (!writeDir.empty()) {
    std::string error;
    if (!sim.writeSiteFiles(writeDir, &error)) {
      std::fprintf(stderr, "trawler-sitesim: %s\n", error.c_str());
      return 1;
    }
  }
  std::printf("trawler-sitesim: %d sites on %s\n", count, sim.baseUrl().c_str());
  std::fflush(stdout);
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  while (!gStop) pause();
  sim.stop();
  return 0;
}
