#pragma once

// Opening addresses in a web browser: the desktop's default handler
// ("System") or a named browser found on PATH. Browsers are started
// directly with the address as their one argument, never through a shell.
// The open operations always report true: an address that cannot be opened
// is simply not opened, and nothing here shows a message.

#include <filesystem>
#include <string>
#include <vector>

namespace trawler::browsers {

// What a browser name stands for after trimming and uppercasing.
struct BrowserTarget {
  bool System = false;   // the desktop's default handler
  std::string Program;   // program name for a named browser (DDE service name too)
  bool UseDde = false;   // whether a conversation is tried first
};

BrowserTarget MapBrowserName(const std::string &name);

// The program file of a browser found on PATH, or empty.
std::string BrowserPath(const std::string &name);

bool LaunchUrl(const std::string &browser, const std::string &address);
bool DdeOpenUrl(const std::string &browser, const std::string &address, bool noShellFallback,
                bool newWindow);
bool DdeOpenUrlAutoStart(const std::string &browser, const std::string &address,
                         bool noShellFallback, bool newWindow);

// The conversation item: the address in double quotes and the window argument.
std::string DdeOpenUrlItem(const std::string &address, bool newWindow);
std::string DdeAutoStartItem(const std::string &address, bool newWindow);

// The browsers this program knows by name, in the order they are offered.
const std::vector<std::string> &KnownBrowserNames();
bool IsBrowserInstalled(const std::string &name);
// "System" followed by every known browser that is installed.
std::vector<std::string> InstalledBrowsers();

// A "Favorites" folder in the user's data directory, created on demand;
// empty when it cannot be created.
std::filesystem::path FavoritesFolder();

}  // namespace trawler::browsers
