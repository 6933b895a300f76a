#pragma once
// How the main window opens an address: the first one after start is launched directly;
// later ones go through the browser's conversation service (which starts the browser by
// itself when the conversation fails), unless the user turned conversations off.

#include <functional>
#include <string>

namespace trawler::mainwin {

class UrlOpener {
 public:
  using Launch = std::function<bool(const std::string &browser, const std::string &url)>;

  // Defaults: the browser layer (LaunchUrl and DdeOpenUrlAutoStart).
  UrlOpener();
  UrlOpener(Launch launch, Launch conversation);

  // browser "" means defaultBrowser. An empty address does nothing.
  void Open(const std::string &browser, const std::string &url, const std::string &defaultBrowser,
            bool notUseDde);

  bool UseDde() const { return FUseDde; }

 private:
  Launch FLaunch;
  Launch FConversation;
  bool FUseDde = false;
};

}  // namespace trawler::mainwin
