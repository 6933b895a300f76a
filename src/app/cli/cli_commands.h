#pragma once
#include "app/cli/cli_options.h"

namespace trawler::cli {

// Runs search, sites, convert or check-sites; returns the exit code.
int RunCommand(const CliOptions &options);

}  // namespace trawler::cli
