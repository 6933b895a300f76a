#include "support/browsers/browsers.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "platform/dde.h"
#include "platform/paths.h"
#include "platform/shell.h"

namespace trawler::browsers {

namespace {

struct KnownBrowser {
  const char *Name;
  std::vector<const char *> Programs;  // tried in order on PATH
};

const std::vector<KnownBrowser> &KnownBrowsers() {
  static const std::vector<KnownBrowser> list = {
      {"Firefox", {"firefox", "firefox-esr"}},
      {"Chromium", {"chromium", "chromium-browser"}},
      {"Google Chrome", {"google-chrome", "google-chrome-stable"}},
      {"Opera", {"opera"}},
      {"Brave", {"brave-browser", "brave"}},
      {"Epiphany", {"epiphany", "epiphany-browser"}},
  };
  return list;
}

std::string Trim(const std::string &s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::string Upper(std::string s) {
  for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

const KnownBrowser *FindKnown(const std::string &upperName) {
  for (const auto &b : KnownBrowsers())
    if (Upper(b.Name) == upperName) return &b;
  return nullptr;
}

// The default handler's program: the desktop's opener when present.
std::string SystemHandlerProgram() { return platform::FindExecutable("xdg-open").string(); }

void StartWith(const std::string &program, const std::string &address) {
  const std::filesystem::path p(program);
  platform::StartProgram(program, {address}, p.has_parent_path() ? p.parent_path() : std::filesystem::path());
}

// The common ending of both conversation paths when no conversation carried
// the address: start the browser, or hand the address to the default handler.
void OpenWithoutDde(const std::string &browser, const std::string &address, bool noShellFallback) {
  if (!browser.empty()) {
    const std::string path = platform::FindExecutable(browser).string();
    if (!path.empty()) {
      StartWith(path, address);
      return;
    }
    // A named browser that is not installed falls back like LaunchUrl does,
    // unless the caller asked for no default-handler fallback.
  }
  if (!noShellFallback) platform::ShellOpen(address);
}

}  // namespace

BrowserTarget MapBrowserName(const std::string &name) {
  const std::string upper = Upper(Trim(name));
  BrowserTarget t;
  if (upper.empty() || upper == "SYSTEM") {
    t.System = true;
    return t;
  }
  if (const KnownBrowser *k = FindKnown(upper)) {
    t.Program = k->Programs.front();
  } else {
    t.Program = Trim(name);
  }
  t.UseDde = upper != "NETCAPTOR";
  return t;
}

std::string BrowserPath(const std::string &name) {
  const std::string trimmed = Trim(name);
  if (trimmed.empty()) return {};
  const std::string upper = Upper(trimmed);
  const KnownBrowser *k = FindKnown(upper);
  if (!k) {
    // Accept the program name a known browser maps to as well.
    for (const auto &b : KnownBrowsers())
      for (const char *p : b.Programs)
        if (Upper(p) == upper) k = &b;
  }
  if (k) {
    for (const char *p : k->Programs) {
      const auto found = platform::FindExecutable(p);
      if (!found.empty()) return found.string();
    }
    return {};
  }
  // A name containing "/" is only accepted as an executable path.
  return platform::FindExecutable(trimmed).string();
}

bool LaunchUrl(const std::string &browser, const std::string &address) {
  const BrowserTarget t = MapBrowserName(browser);
  std::string p;
  if (!t.System) p = BrowserPath(browser);
  if (p.empty()) p = SystemHandlerProgram();
  if (p.empty())
    platform::ShellOpen(address);
  else
    StartWith(p, address);
  return true;
}

std::string DdeOpenUrlItem(const std::string &address, bool newWindow) {
  return "\"" + Trim(address) + "\"" + (newWindow ? ",,0x0,0,,," : ",,-1x0,0x3,,,");
}

std::string DdeAutoStartItem(const std::string &address, bool newWindow) {
  return "\"" + address + "\"" + (newWindow ? ",,0" : ",,-1");
}

bool DdeOpenUrl(const std::string &browser, const std::string &address, bool noShellFallback,
                bool newWindow) {
  const BrowserTarget t = MapBrowserName(browser);
  std::string target;
  bool dde = false;
  if (t.System) {
    target = SystemHandlerProgram();  // the default handler has no conversation server
  } else {
    target = t.Program;
    dde = t.UseDde;
  }
  if (dde) {
    platform::DdeConversation activate(target, "WWW_ACTIVATE");
    if (activate.Open()) {
      activate.Close();
      platform::DdeConversation open(target, "WWW_OPENURL");
      if (open.Open()) {
        open.Request(DdeOpenUrlItem(address, newWindow));
        open.Close();
      }
      return true;
    }
    target = BrowserPath(browser);  // not running: start it instead
  } else if (!t.System) {
    target = BrowserPath(browser);
  }
  OpenWithoutDde(target, address, noShellFallback);
  return true;
}

bool DdeOpenUrlAutoStart(const std::string &browser, const std::string &address,
                         bool noShellFallback, bool newWindow) {
  const BrowserTarget t = MapBrowserName(browser);
  std::string target = t.System ? SystemHandlerProgram() : BrowserPath(browser);
  if (!t.System && t.UseDde) {
    platform::DdeConversation conv(t.Program, "WWW_OPENURL");
    if (conv.Open()) {
      const std::string answer = conv.Request(DdeAutoStartItem(address, newWindow));
      conv.Close();
      if (!answer.empty()) return true;
    }
  }
  OpenWithoutDde(target, address, noShellFallback);
  return true;
}

const std::vector<std::string> &KnownBrowserNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const auto &b : KnownBrowsers()) n.emplace_back(b.Name);
    return n;
  }();
  return names;
}

bool IsBrowserInstalled(const std::string &name) { return !BrowserPath(name).empty(); }

std::vector<std::string> InstalledBrowsers() {
  std::vector<std::string> out{"System"};
  for (const auto &n : KnownBrowserNames())
    if (IsBrowserInstalled(n)) out.push_back(n);
  return out;
}

std::filesystem::path FavoritesFolder() {
  const std::filesystem::path dir = platform::DataDirectory() / "Favorites";
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec || !std::filesystem::is_directory(dir, ec)) return {};
  return dir;
}

}  // namespace trawler::browsers
