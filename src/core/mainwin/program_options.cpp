#include "core/mainwin/program_options.h"

namespace trawler::mainwin {

ProgramOptions ParseProgramOptions(const std::vector<std::string> &args,
                                   const std::optional<std::string> &profileFromEnvironment) {
  ProgramOptions options;
  if (profileFromEnvironment) options.ProfileDir = *profileFromEnvironment;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string &arg = args[i];
    auto value = [&](std::string &target) {
      if (i + 1 >= args.size()) {
        options.Error = arg + " needs a value";
        return;
      }
      target = args[++i];
    };
    if (arg == "--demo") options.Demo = true;
    else if (arg == "--profile") value(options.ProfileDir);
    else if (arg == "--sites") value(options.SitesDir);
    else if (arg == "--screenshot") value(options.Screenshot);
    else if (arg == "--screenshot-tab") value(options.ScreenshotTab);
    else if (arg == "--query") value(options.Query);
    else if (arg.rfind("--", 0) == 0) options.Error = "unknown option " + arg;
    else options.Files.push_back(arg);
    if (!options.Error.empty()) break;
  }
  if (options.Error.empty() && !options.ScreenshotTab.empty() &&
      options.ScreenshotTab != "search" && options.ScreenshotTab != "engines" &&
      options.ScreenshotTab != "properties")
    options.Error = "--screenshot-tab takes search, engines or properties";
  return options;
}

}  // namespace trawler::mainwin
