#pragma once

// Starting other programs: a browser with an address, or the desktop's
// default handler. Arguments are passed as they stand, never through a
// shell, so an address holding ";" or "$()" stays one argument.

#include <filesystem>
#include <string>
#include <vector>

namespace trawler::platform {

// The full path of `program`: itself when it contains a "/" and is an
// executable file, else the first executable match on PATH; empty when none.
std::filesystem::path FindExecutable(const std::string &program);

// Starts `program` (a path or a name looked up on PATH) with `args`, without
// waiting for it to end. The child is reaped in the background so no zombie
// remains. False when it could not be started.
bool StartProgram(const std::string &program, const std::vector<std::string> &args,
                  const std::filesystem::path &workingDirectory = {});

// Opens `target` (an address or a file) with the desktop's default handler
// ("xdg-open"). False when no handler could be started.
bool ShellOpen(const std::string &target);

}  // namespace trawler::platform
