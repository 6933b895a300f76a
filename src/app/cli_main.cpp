// trawler-cli: the search core from a terminal.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/program_info.h"

namespace {

const char *const kHelp =
    "Usage: trawler-cli [--version] [--help] COMMAND [ARGS...]\n"
    "\n"
    "Trawler sends one query to many search sites at once and merges the hits\n"
    "into one list in which every page appears once, with the sites that found it.\n"
    "\n"
    "Options:\n"
    "  --version   print the program version and exit\n"
    "  --help      print this help and exit\n";

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  const std::string arg = argv[1];
  if (arg == "--version") {
    std::printf("trawler-cli %s\n", trawler::platform::ProgramVersion());
    return 0;
  }
  if (arg == "--help" || arg == "-h") {
    std::fputs(kHelp, stdout);
    return 0;
  }
  std::fprintf(stderr, "trawler-cli: unknown command or option \"%s\" (try --help)\n", arg.c_str());
  return 2;
}
