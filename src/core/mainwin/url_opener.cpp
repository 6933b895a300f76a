#include "core/mainwin/url_opener.h"

#include "support/browsers/browsers.h"

namespace trawler::mainwin {

UrlOpener::UrlOpener()
    : UrlOpener(
          [](const std::string &browser, const std::string &url) {
            return browsers::LaunchUrl(browser, url);
          },
          [](const std::string &browser, const std::string &url) {
            return browsers::DdeOpenUrlAutoStart(browser, url, true, true);
          }) {}

UrlOpener::UrlOpener(Launch launch, Launch conversation)
    : FLaunch(std::move(launch)), FConversation(std::move(conversation)) {}

void UrlOpener::Open(const std::string &browser, const std::string &url,
                     const std::string &defaultBrowser, bool notUseDde) {
  if (url.empty()) return;
  const std::string &target = browser.empty() ? defaultBrowser : browser;
  if (FUseDde && !notUseDde) {
    FUseDde = FConversation(target, url);
  } else {
    FLaunch(target, url);
    FUseDde = true;
  }
}

}  // namespace trawler::mainwin
