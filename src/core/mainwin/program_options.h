#pragma once
// The command line of the desktop program:
//   --demo             search simulated sites on this machine (offline)
//   --profile DIR      keep the settings in DIR instead of the user's config folder
//                      (also from the environment variable TRAWLER_PROFILE)
//   --sites DIR        read the site descriptions from DIR
//   --screenshot FILE  after start-up run a search for the query of --query (default
//                      "trawler"), save a picture of the window to FILE and close
//   --screenshot-tab T the page shown in the picture: "search", "engines" (default: the
//                      page the search leaves in front) or "properties"
//   --query TEXT       the query of the screenshot search
// Any other argument that does not start with "--" names a result-set file to open.

#include <optional>
#include <string>
#include <vector>

namespace trawler::mainwin {

struct ProgramOptions {
  bool Demo = false;
  std::string ProfileDir;
  std::string SitesDir;
  std::string Screenshot;
  std::string ScreenshotTab;
  std::string Query = "trawler";
  std::vector<std::string> Files;
  std::string Error;  // a bad command line; empty when it is good
};

// args without the program name; profileFromEnvironment is TRAWLER_PROFILE's value (or
// nothing), which --profile overrides.
ProgramOptions ParseProgramOptions(const std::vector<std::string> &args,
                                   const std::optional<std::string> &profileFromEnvironment);

}  // namespace trawler::mainwin
