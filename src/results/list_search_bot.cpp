#include "results/list_search_bot.h"

#include <algorithm>

#include "support/text/case_folding.h"
#include "support/text/string_toolkit.h"

namespace trawler::results {

tListSearchBot::tListSearchBot(platform::EventLoop& loop) : FLoop(loop) {}

tListSearchBot::~tListSearchBot() {
  OnResult = nullptr;
  Stop();
}

tSearchBot* tListSearchBot::Bots(int index) const {
  if (index < 0 || index >= BotCount()) return nullptr;
  return FBots[static_cast<std::size_t>(index)].get();
}

int tListSearchBot::BusyCount() const {
  return static_cast<int>(
      std::count_if(FBots.begin(), FBots.end(), [](const auto& bot) { return bot->Busy(); }));
}

bool tListSearchBot::Append(const std::string& url) {
  if (url.empty() || !FQueued.insert(text::FoldText(url)).second) return false;
  FQueue.push_back(url);
  return true;
}

bool tListSearchBot::Enqueue(const std::string& url) {
  return Append(std::string(text::TrimBlanks(url)));
}

std::string tListSearchBot::TakeFirst() {
  std::string url = std::move(FQueue.front());
  FQueue.pop_front();
  FQueued.erase(text::FoldText(url));
  return url;
}

void tListSearchBot::ClearQueue() {
  FQueue.clear();
  FQueued.clear();
}

void tListSearchBot::Dispatch() {
  if (FDispatching) return;
  FDispatching = true;
  const std::size_t wanted = static_cast<std::size_t>(std::max(MaxBots, 0)) + 1;
  while (FBots.size() < wanted) {
    FBots.push_back(std::unique_ptr<tSearchBot>(new tSearchBot(*this, FLoop)));
    FBots.back()->OnDone = [this](tSearchBot& bot) { BotDone(bot); };
  }
  // A check that ends at once (an ftp address, say) leaves its checker idle
  // during this dispatch; another pass gives it the next address, or the
  // rest of the queue would wait for some unrelated check to end.
  const unsigned stops = FStops;
  bool handedOut = true;
  while (handedOut && !FQueue.empty() && stops == FStops) {
    handedOut = false;
    // By index: a handler of OnResult may free checkers while we walk.
    for (std::size_t i = 0; i < FBots.size() && !FQueue.empty() && stops == FStops; ++i) {
      tSearchBot* bot = FBots[i].get();
      if (bot->Busy()) continue;
      handedOut = true;
      bot->Check(TakeFirst());
    }
  }
  FDispatching = false;
}

void tListSearchBot::Rebalance() {
  const std::size_t limit = static_cast<std::size_t>(std::max(MaxBots, 0));
  while (FBots.size() > limit) {
    std::unique_ptr<tSearchBot> bot = std::move(FBots.front());
    FBots.erase(FBots.begin());
    // Only an address still being checked goes back; an idle checker's
    // address was checked already.
    if (bot->Busy()) Append(bot->Url);
    bot->Abort();
  }
  Dispatch();
}

void tListSearchBot::Stop() {
  ++FStops;
  std::vector<std::unique_ptr<tSearchBot>> bots = std::move(FBots);
  FBots.clear();
  for (auto& bot : bots) bot->Abort();
}

void tListSearchBot::BotDone(tSearchBot& bot) {
  const tBotResult result = bot.Result();
  const unsigned stops = FStops;
  // The checker may be freed by the handler; nothing below touches it.
  if (OnResult) OnResult(result);
  if (!FDispatching && stops == FStops) Dispatch();
}

}  // namespace trawler::results
