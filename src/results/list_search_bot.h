// The link checker: a queue of addresses and a small pool of checkers
// (tSearchBot) that ask each address's server with a HEAD request whether
// the page is still there. Every outcome goes to OnResult; the owner applies
// it to the result list (tResultsList::ApplyCheckResult).
//
// Everything runs on the loop's thread. A handler of OnResult may enqueue,
// dispatch, rebalance, clear the queue or stop the checker.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/event_loop.h"
#include "results/bot_result.h"
#include "results/search_bot.h"

namespace trawler::results {

class tListSearchBot {
 public:
  explicit tListSearchBot(platform::EventLoop& loop);
  ~tListSearchBot();
  tListSearchBot(const tListSearchBot&) = delete;
  tListSearchBot& operator=(const tListSearchBot&) = delete;

  // The pool grows to MaxBots + 1 checkers, so a limit of 0 still checks,
  // one address at a time.
  int MaxBots = 0;
  std::string Proxy;          // proxy host; empty for none
  std::string ProxyPort;      // as text
  std::string ProxyUser;
  std::string ProxyPassword;
  std::string ProxyBypass;    // ";"-separated host masks reached directly
  int Timeout = 0;            // seconds a check may take; 0 for no limit
  // Sent with every check; empty sends none. Some servers refuse requests
  // that do not name their program, so the owner may set the program's own.
  std::string UserAgent;

  // Receives every outcome.
  std::function<void(const tBotResult&)> OnResult;

  // Appends the trimmed address to the queue; false (and nothing queued)
  // when it is empty or the queue already holds it ignoring case.
  // Addresses being checked are not compared.
  bool Enqueue(const std::string& url);
  // Hands queued addresses to idle checkers until the queue is empty or
  // every checker is busy. A call while a dispatch runs does nothing (the
  // running one goes on).
  void Dispatch();
  // Brings the pool down to MaxBots checkers, putting the addresses of the
  // busy ones it frees back at the end of the queue, then dispatches.
  void Rebalance();
  void ClearQueue();
  // Aborts and frees every checker; their checks report nothing. The queue
  // stays.
  void Stop();

  bool Dispatching() const { return FDispatching; }
  const std::deque<std::string>& Queue() const { return FQueue; }
  int BotCount() const { return static_cast<int>(FBots.size()); }
  tSearchBot* Bots(int index) const;
  int BusyCount() const;
  // Nothing queued and no check running.
  bool Idle() const { return FQueue.empty() && BusyCount() == 0; }

 private:
  void BotDone(tSearchBot& bot);
  bool Append(const std::string& url);
  std::string TakeFirst();

  platform::EventLoop& FLoop;
  std::vector<std::unique_ptr<tSearchBot>> FBots;
  std::deque<std::string> FQueue;
  std::unordered_set<std::string> FQueued;  // folded forms of FQueue's addresses
  bool FDispatching = false;
  // Counts the calls of Stop, so that a dispatch can tell that a handler
  // stopped the checker and must not start it again.
  unsigned FStops = 0;
};

}  // namespace trawler::results
