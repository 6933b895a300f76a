#include "support/update/updates.h"

#include "support/text/url.h"

namespace trawler::update {

namespace {
// libcurl's code for a connection that could not be made (refused, or no
// server on that port): the next address is tried. Any other transport
// failure means the network is not usable and ends the check.
constexpr int kCouldNotConnect = 7;
}  // namespace

tUpdates::tUpdates(platform::EventLoop &loop) : FHttp(loop) {
  FHttp.NoCache = true;
  FHttp.TimeoutSeconds = 60;
  FHttp.MaxBodyBytes = kMaxDescriptorBytes;
  FHttp.OnDocData = [this](const char *data, std::size_t len) { FBody.append(data, len); };
  FHttp.OnRequestDone = [this](int error) { RequestDone(error); };
}

tUpdates::~tUpdates() { FHttp.Abort(); }

bool tUpdates::Busy() const { return FHttp.Busy(); }

void tUpdates::Cancel() { FHttp.Abort(); }

void tUpdates::CheckForUpdates() {
  FHttp.Abort();
  FSuccess = false;
  FAddresses = UpdateUrls;
  FIndex = 0;
  TryAddress();
}

void tUpdates::TryAddress() {
  while (FIndex < FAddresses.size()) {
    const std::string &url = FAddresses[FIndex];
    FBody.clear();
    FHttp.Url = url;
    const bool proxied = !Proxy.empty() && !text::UrlMatchesMaskList(ProxyOverride, url);
    FHttp.ProxyHost = proxied ? Proxy : std::string();
    FHttp.ProxyPort = proxied ? ProxyPort : 0;
    FHttp.ProxyUser = proxied ? ProxyUser : std::string();
    FHttp.ProxyPassword = proxied ? ProxyPassword : std::string();
    FHttp.UserAgent = proxied ? UserAgent : std::string();
    if (FHttp.Get()) return;
    ++FIndex;  // an address that cannot even be requested is skipped
  }
  Finish();
}

void tUpdates::RequestDone(int error) {
  if (error != 0 && error != kCouldNotConnect) {
    Finish();
    return;
  }
  if (error == 0 && FHttp.StatusCode < 400) {
    UpdateDescriptor d;
    if (ParseUpdateDescriptor(FBody, d)) {
      FDescriptor = std::move(d);
      if (!FDescriptor.updateUrls.empty()) UpdateUrls = FDescriptor.updateUrls;
      FSuccess = true;
      Finish();
      return;
    }
  }
  ++FIndex;
  TryAddress();
}

void tUpdates::Finish() {
  FBody.clear();
  if (OnCheck) OnCheck();
}

}  // namespace trawler::update
