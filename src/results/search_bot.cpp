#include "results/search_bot.h"

#include <chrono>

#include "results/check_answer.h"
#include "results/list_search_bot.h"
#include "support/text/case_folding.h"
#include "support/text/integer_text.h"
#include "support/text/string_toolkit.h"
#include "support/text/url.h"

namespace trawler::results {

namespace {

// libcurl's code for a request that ran out of time (CURLE_OPERATION_TIMEDOUT).
constexpr int kHttpErrorTimedOut = 28;

}  // namespace

tSearchBot::tSearchBot(tListSearchBot& owner, platform::EventLoop& loop)
    : FOwner(&owner), FLoop(loop) {}

tSearchBot::~tSearchBot() { StopTimer(); }

void tSearchBot::Check(const std::string& url) {
  Code.clear();
  Reason.clear();
  Location.clear();
  Server.clear();
  ContentType.clear();
  Size.clear();
  Date = 0;
  FBusy = true;
  Url = std::string(text::TrimBlanks(url));
  if (!Url.empty()) {
    const std::string scheme = text::UpperText(text::UrlScheme(Url));
    Code = "0";
    Reason = "Protocol " + scheme + " not supported";
    if (scheme == "HTTP" || scheme == "HTTPS") {
      if (Send()) return;
      Code.clear();
      Reason = kCheckConnectionFailed;
    }
  }
  Finish();
}

bool tSearchBot::Send() {
  if (!FHttp) {
    FHttp = std::make_unique<platform::HttpClient>(FLoop);
    FHttp->NoCache = true;
    // A redirect is what the check reports, not something to follow: the
    // target of a 301 becomes the result's address.
    FHttp->FollowRedirects = false;
  }
  const tListSearchBot& pool = *FOwner;
  FHttp->Url = Url;
  FHttp->UserAgent = pool.UserAgent;
  if (text::UrlMatchesMaskList(pool.ProxyBypass, Url)) {
    FHttp->ProxyHost.clear();
    FHttp->ProxyPort = 0;
    FHttp->ProxyUser.clear();
    FHttp->ProxyPassword.clear();
  } else {
    FHttp->ProxyHost = pool.Proxy;
    FHttp->ProxyPort = text::IntOfText(text::TrimBlanks(pool.ProxyPort), 0);
    FHttp->ProxyUser = pool.ProxyUser;
    FHttp->ProxyPassword = pool.ProxyPassword;
  }
  const std::uint64_t requestId = ++FRequestId;
  FHttp->OnRequestDone = [this, requestId](int error) { RequestDone(requestId, error); };
  StartTimer(requestId);
  if (FHttp->Head()) return true;
  StopTimer();
  ++FRequestId;
  return false;
}

void tSearchBot::RequestDone(std::uint64_t requestId, int error) {
  if (requestId != FRequestId || !FBusy) return;
  StopTimer();
  if (error == 0 && !FHttp->HeaderLines.empty()) {
    tBotResult answer;
    ReadCheckAnswer(FHttp->HeaderLines, FHttp->StatusCode, Url, answer);
    Code = answer.Code;
    Reason = answer.Reason;
    Server = answer.Server;
    ContentType = answer.ContentType;
    Location = answer.Location;
    Size = answer.Size;
    Date = answer.Date;
  } else {
    Code.clear();
    Reason = error == kHttpErrorTimedOut ? kCheckTimedOut : kCheckConnectionFailed;
  }
  Finish();
}

void tSearchBot::StartTimer(std::uint64_t requestId) {
  StopTimer();
  const int seconds = FOwner->Timeout;
  if (seconds <= 0) return;  // no time limit
  FTimer = FLoop.addTimer(std::chrono::milliseconds(std::int64_t{seconds} * 1000), false,
                          [this, requestId] { TimedOut(requestId); });
}

void tSearchBot::StopTimer() {
  if (FTimer != 0) FLoop.removeTimer(FTimer);
  FTimer = 0;
}

void tSearchBot::TimedOut(std::uint64_t requestId) {
  FTimer = 0;
  if (requestId != FRequestId || !FBusy) return;
  // The request is given up: whatever it may still report is not this
  // check's, and never the next address's either.
  ++FRequestId;
  if (FHttp) FHttp->Abort();
  Code.clear();
  Reason = kCheckTimedOut;
  Finish();
}

void tSearchBot::Abort() {
  StopTimer();
  ++FRequestId;
  if (FHttp) FHttp->Abort();
  FBusy = false;
}

void tSearchBot::Finish() {
  FBusy = false;
  if (OnDone) OnDone(*this);
}

tBotResult tSearchBot::Result() const {
  tBotResult result;
  result.Url = Url;
  result.Code = Code;
  result.Reason = Reason;
  result.Server = Server;
  result.ContentType = ContentType;
  result.Location = Location;
  result.Size = Size;
  result.Date = Date;
  return result;
}

}  // namespace trawler::results
