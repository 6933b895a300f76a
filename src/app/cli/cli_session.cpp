#include "app/cli/cli_session.h"

#include <filesystem>

#include "platform/paths.h"
#include "platform/program_info.h"
#include "results/results_list.h"

namespace trawler::cli {

CliSession::~CliSession() {
  // The engines' clients must go before the loop, the simulator after the clients.
  engines_.reset();
  if (demo_) demo_->stop();
}

bool CliSession::Open(const CliOptions &options, std::string &error) {
  namespace fs = std::filesystem;
  store_ = options.profileDir.empty() ? std::make_unique<platform::RegistryStore>()
                                      : std::make_unique<platform::RegistryStore>(options.profileDir);
  settings_.Load(*store_);

  if (options.demo) {
    demo_ = std::make_unique<sitesim::SiteSimulator>(sitesim::DemoSites(20));
    if (!demo_->start()) {
      error = "cannot start the simulated sites on 127.0.0.1";
      return false;
    }
    const fs::path dir = platform::TempDirectory() / "demo-sites";
    if (!demo_->writeSiteFiles(dir.string(), &error)) return false;
    sitesDir_ = dir.string();
  } else if (!options.sitesDir.empty()) {
    sitesDir_ = options.sitesDir;
  } else {
    sitesDir_ = platform::FindProgramFile(platform::ProgramDirectory(), "sites").string();
  }

  engines_ = std::make_unique<core::TEngineList>(loop_, *store_);
  core::TEngineList &list = *engines_;
  list.RootKey = "\\software\\oxbow\\trawler";
  list.PrgVersion = platform::ProgramVersion();
  list.AgentVersion = std::string("Trawler/") + platform::ProgramVersion();
  const std::string loadError = list.LoadSites(sitesDir_);
  if (!loadError.empty()) {
    error = loadError;
    return false;
  }
  list.LoadRegions();

  // The settings a search runs with, as the desktop program applies them.
  list.MaxConnections = settings_.ConnectionsLimit;
  list.AcceptCookies = settings_.AllowCookie;
  list.PostStats = settings_.PostStats;
  list.ExactMode = settings_.ExactMode;
  list.MaxCountPerEngine = settings_.HitsPerEngine;
  list.MaxCountPerAll = settings_.HitsPerAll;
  list.MaxKBytesPerEngine = settings_.BytesPerEngine;
  list.MaxKBytesPerAll = settings_.BytesPerAll;
  list.AddQuery = settings_.UrlStatScript;
  list.IdentifyAs = settings_.IdentifyAs;
  list.Timeout = settings_.Timeout;
  list.Proxy = settings_.ProxyHost;
  list.ProxyPort = settings_.ProxyPort;
  list.ProxyUser = settings_.ProxyUser;
  list.ProxyPassword = settings_.ProxyPassword;
  list.ProxyOverride = settings_.OverrideProxy;
  list.ResultList->SetMarkInterval(-1);  // nothing is selected in a terminal
  return true;
}

}  // namespace trawler::cli
