// One checker of the link checker: sends a HEAD request for one address at a
// time and reads what the answer says about the page. Checkers belong to a
// tListSearchBot, which creates them, hands them addresses and receives
// their outcome through OnDone.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/event_loop.h"
#include "platform/http_client.h"
#include "results/bot_result.h"

namespace trawler::results {

class tListSearchBot;

class tSearchBot {
 public:
  ~tSearchBot();
  tSearchBot(const tSearchBot&) = delete;
  tSearchBot& operator=(const tSearchBot&) = delete;

  tListSearchBot* Owner() const { return FOwner; }

  // The address being checked (or last checked) and what its check found.
  std::string Url;
  text::TDateTime Date = 0;
  std::string Location;
  std::string Code;
  std::string Reason;
  std::string Server;
  std::string ContentType;
  std::string Size;

  // Raised when a check ends: answered, failed, timed out or finished at
  // once. It is the last thing the checker does, so the handler may free it.
  std::function<void(tSearchBot&)> OnDone;

  bool Busy() const { return FBusy; }

  // Starts checking url (trimmed). http and https addresses are asked with a
  // HEAD request and end later; any other address ends at once (code "0",
  // "Protocol FTP not supported"), as does a request that cannot be started.
  void Check(const std::string& url);
  // Ends the running check without an outcome (OnDone is not raised).
  void Abort();

  // The outcome of the last check.
  tBotResult Result() const;

 private:
  friend class tListSearchBot;
  tSearchBot(tListSearchBot& owner, platform::EventLoop& loop);

  bool Send();
  void RequestDone(std::uint64_t requestId, int error);
  void TimedOut(std::uint64_t requestId);
  void StartTimer(std::uint64_t requestId);
  void StopTimer();
  void Finish();

  tListSearchBot* FOwner;
  platform::EventLoop& FLoop;
  std::unique_ptr<platform::HttpClient> FHttp;  // made on the first request
  platform::TimerId FTimer = 0;
  // Every request gets a new id; a report carrying an older one belongs to
  // a request this checker gave up on and is dropped.
  std::uint64_t FRequestId = 0;
  bool FBusy = false;
};

}  // namespace trawler::results
