#pragma once
// What every command of trawler-cli works on: the settings store, the settings, the sites
// (the program's own, a directory given with --sites, or the simulated demo sites) and the
// engine list, on one event loop.

#include <memory>
#include <string>

#include "app/cli/cli_options.h"
#include "core/engine_list.h"
#include "platform/poll_event_loop.h"
#include "platform/registry.h"
#include "sitesim/site_simulator.h"
#include "support/settings/defaults_list.h"

namespace trawler::cli {

class CliSession {
 public:
  CliSession() = default;
  ~CliSession();
  CliSession(const CliSession &) = delete;
  CliSession &operator=(const CliSession &) = delete;

  // Opens the store, loads the settings and the sites and applies the settings to the
  // engine list. False with a one-line reason when that cannot be done.
  bool Open(const CliOptions &options, std::string &error);

  platform::PollEventLoop &Loop() { return loop_; }
  settings::tDefaultsList &Settings() { return settings_; }
  core::TEngineList &Engines() { return *engines_; }
  const std::string &SitesDir() const { return sitesDir_; }

 private:
  platform::PollEventLoop loop_;
  std::unique_ptr<platform::RegistryStore> store_;
  settings::tDefaultsList settings_;
  std::unique_ptr<sitesim::SiteSimulator> demo_;
  std::unique_ptr<core::TEngineList> engines_;
  std::string sitesDir_;
};

}  // namespace trawler::cli
