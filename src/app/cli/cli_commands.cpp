#include "app/cli/cli_commands.h"

#include <cstdio>

namespace trawler::cli {

int RunCommand(const CliOptions &options) {
  (void)options;
  // The search core is being assembled; until it is, say so plainly.
  std::fprintf(stderr, "trawler-cli: this command is not available in this build yet\n");
  return 3;
}

}  // namespace trawler::cli
