// trawler-cli: the search core from a terminal.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_commands.h"
#include "app/cli/cli_options.h"
#include "platform/program_info.h"

int main(int argc, char **argv) {
  using namespace trawler::cli;
  std::vector<std::string> args(argv + 1, argv + argc);
  const ParseResult parsed = ParseCommandLine(args);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "trawler-cli: %s (try --help)\n", parsed.error.c_str());
    return 2;
  }
  switch (parsed.options.command) {
    case Command::Version:
      std::printf("trawler-cli %s\n", trawler::platform::ProgramVersion());
      return 0;
    case Command::None:
    case Command::Help:
      std::fputs(HelpText(), stdout);
      return 0;
    default:
      return RunCommand(parsed.options);
  }
}
