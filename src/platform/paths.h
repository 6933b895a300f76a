#pragma once

// Where the program keeps and finds its files on Linux.

#include <filesystem>
#include <string>
#include <vector>

namespace trawler::platform {

// $XDG_CONFIG_HOME/trawler (else ~/.config/trawler): the registry hives.
// Not created here.
std::filesystem::path ConfigDirectory();
// $XDG_DATA_HOME/trawler (else ~/.local/share/trawler): the writable overlay
// of the program directory, favourites. Not created here.
std::filesystem::path DataDirectory();
// $XDG_RUNTIME_DIR/trawler (else a private trawler-<uid> folder in the
// temporary directory): lock files and the single-instance socket.
// Created 0700 when missing; empty path when it cannot be made safely.
std::filesystem::path RuntimeDirectory();
// A private folder of this process (0700) in $TMPDIR (else /tmp), created on
// first use and removed with its contents when the process exits normally.
// Empty path when it cannot be created.
std::filesystem::path TempDirectory();

// The folder of the running executable (from /proc/self/exe).
std::filesystem::path ExecutableDirectory();

// Where the program's shipped data (sites/, languages/, ...) is read from
// and where updates write.
struct ProgramDirectories {
  // Directories to search, first match wins.
  std::vector<std::filesystem::path> Search;
  // The one that updates and exports write into.
  std::filesystem::path Writable;
};

// The rule: the executable's folder when it holds sites/ (a portable copy);
// a build tree (the executable sits below a CMakeCache.txt) uses the source
// folder it was built from when that holds sites/; otherwise the installed
// folder /usr/share/trawler for reading, with DataDirectory() as a writable
// overlay searched first.
ProgramDirectories ProgramDirectory();

// The same rule with every input given, so it can be checked.
ProgramDirectories ResolveProgramDirectories(const std::filesystem::path &executableDir,
                                             const std::filesystem::path &sourceDir,
                                             const std::filesystem::path &installedDir,
                                             const std::filesystem::path &dataDir);

// The first existing `relative` below the search directories, else the path
// below the writable one.
std::filesystem::path FindProgramFile(const ProgramDirectories &dirs,
                                      const std::filesystem::path &relative);

}  // namespace trawler::platform
