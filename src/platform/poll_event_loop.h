#pragma once

// EventLoop over poll(2), for trawler-cli and the tests.
//
//   PollEventLoop loop;
//   HttpClient http(loop);  ...  http.Get();
//   loop.runUntil([&] { return !http.Busy(); }, 5s);
//
// One turn of the loop: wait in poll() for the nearest timer or a socket (no wait when
// callbacks are posted), call the ready socket watches, the due timers, then the callbacks
// that were posted before the turn began (those they post run on the next turn).

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/event_loop.h"

namespace trawler::platform {

class PollEventLoop final : public EventLoop {
public:
    PollEventLoop();
    ~PollEventLoop() override;
    PollEventLoop(const PollEventLoop&) = delete;
    PollEventLoop& operator=(const PollEventLoop&) = delete;

    void post(std::function<void()> fn) override;
    TimerId addTimer(std::chrono::milliseconds delay, bool repeating,
                     std::function<void()> fn) override;
    void removeTimer(TimerId id) override;
    WatchId watchSocket(int fd, unsigned events,
                        std::function<void(unsigned readyEvents)> fn) override;
    void updateWatch(WatchId id, unsigned events) override;
    void removeWatch(WatchId id) override;

    // Runs turns until quit() is called (from a callback or another thread).
    void run();
    // Makes the innermost run() return after the current turn.
    void quit();
    // Runs turns until predicate() is true (checked before the first turn and after each one)
    // or `timeout` has passed. Returns whether the predicate became true.
    bool runUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout);
    // Runs turns for `duration`.
    void runFor(std::chrono::milliseconds duration);
    // One turn, waiting at most `maxWait` for something to happen. Lets a long operation hand
    // control to the loop between its items.
    void runOnce(std::chrono::milliseconds maxWait = std::chrono::milliseconds(0));

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        Clock::time_point due;
        std::chrono::milliseconds interval;
        bool repeating;
        std::shared_ptr<std::function<void()>> fn;
    };
    struct Watch {
        int fd;
        unsigned events;
        bool closed;  // poll reported the descriptor invalid; no longer polled
        std::shared_ptr<std::function<void(unsigned)>> fn;
    };

    void wake();
    void drainWakeups();
    void dispatchWatches(std::chrono::milliseconds maxWait);
    void dispatchTimers();
    void dispatchPosted();

    std::mutex postMutex_;
    std::deque<std::function<void()>> posted_;
    int wakeFd_ = -1;  // eventfd: lets post() from another thread end a poll() wait

    std::map<TimerId, Timer> timers_;
    std::map<WatchId, Watch> watches_;
    std::uint64_t nextId_ = 1;
    std::atomic<bool> quitRequested_{false};
};

}  // namespace trawler::platform
