#include "platform/poll_event_loop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <utility>
#include <vector>

namespace trawler::platform {

PollEventLoop::PollEventLoop() {
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) throw std::runtime_error("eventfd failed");
}

PollEventLoop::~PollEventLoop() {
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void PollEventLoop::post(std::function<void()> fn) {
    if (!fn) return;
    bool wasEmpty;
    {
        std::lock_guard<std::mutex> lock(postMutex_);
        wasEmpty = posted_.empty();
        posted_.push_back(std::move(fn));
    }
    // A non-empty queue is either about to be taken by the loop or has already woken it.
    if (wasEmpty) wake();
}

void PollEventLoop::wake() {
    std::uint64_t one = 1;
    // A full counter only means a wake-up is already pending.
    [[maybe_unused]] auto n = ::write(wakeFd_, &one, sizeof one);
}

void PollEventLoop::drainWakeups() {
    std::uint64_t value;
    [[maybe_unused]] auto n = ::read(wakeFd_, &value, sizeof value);
}

TimerId PollEventLoop::addTimer(std::chrono::milliseconds delay, bool repeating,
                                std::function<void()> fn) {
    if (delay.count() < 0) delay = std::chrono::milliseconds(0);
    // A repeating timer of 0 ms would starve everything else; it runs once per turn at most
    // anyway, so give it the smallest real interval.
    auto interval = (repeating && delay.count() == 0) ? std::chrono::milliseconds(1) : delay;
    TimerId id = nextId_++;
    timers_.emplace(id, Timer{Clock::now() + delay, interval, repeating,
                              std::make_shared<std::function<void()>>(std::move(fn))});
    return id;
}

void PollEventLoop::removeTimer(TimerId id) { timers_.erase(id); }

WatchId PollEventLoop::watchSocket(int fd, unsigned events,
                                   std::function<void(unsigned)> fn) {
    WatchId id = nextId_++;
    watches_.emplace(id, Watch{fd, events, false,
                               std::make_shared<std::function<void(unsigned)>>(std::move(fn))});
    return id;
}

void PollEventLoop::updateWatch(WatchId id, unsigned events) {
    auto it = watches_.find(id);
    if (it != watches_.end()) it->second.events = events;
}

void PollEventLoop::removeWatch(WatchId id) { watches_.erase(id); }

void PollEventLoop::quit() {
    quitRequested_ = true;
    wake();
}

void PollEventLoop::run() {
    quitRequested_ = false;
    while (!quitRequested_) runOnce(std::chrono::hours(1));
    quitRequested_ = false;
}

bool PollEventLoop::runUntil(const std::function<bool()>& predicate,
                             std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!predicate()) {
        auto now = Clock::now();
        if (now >= deadline) return false;
        runOnce(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) +
                std::chrono::milliseconds(1));
    }
    return true;
}

void PollEventLoop::runFor(std::chrono::milliseconds duration) {
    const auto deadline = Clock::now() + duration;
    for (auto now = Clock::now(); now < deadline; now = Clock::now())
        runOnce(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) +
                std::chrono::milliseconds(1));
}

void PollEventLoop::runOnce(std::chrono::milliseconds maxWait) {
    dispatchWatches(maxWait);
    dispatchTimers();
    dispatchPosted();
}

void PollEventLoop::dispatchWatches(std::chrono::milliseconds maxWait) {
    auto wait = maxWait;
    {
        std::lock_guard<std::mutex> lock(postMutex_);
        if (!posted_.empty()) wait = std::chrono::milliseconds(0);
    }
    const auto now = Clock::now();
    for (const auto& [id, timer] : timers_) {
        auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(timer.due - now);
        if (untilDue < wait) wait = std::max(untilDue, std::chrono::milliseconds(0));
    }

    std::vector<pollfd> fds;
    std::vector<WatchId> ids;
    fds.reserve(watches_.size() + 1);
    fds.push_back(pollfd{wakeFd_, POLLIN, 0});
    for (const auto& [id, watch] : watches_) {
        short events = 0;
        if (watch.events & SocketRead) events |= POLLIN;
        if (watch.events & SocketWrite) events |= POLLOUT;
        fds.push_back(pollfd{watch.closed ? -1 : watch.fd, events, 0});
        ids.push_back(id);
    }

    int timeoutMs = wait.count() > 1000 * 60 * 60 ? 1000 * 60 * 60 : static_cast<int>(wait.count());
    int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    if (ready <= 0) return;  // time-out, or EINTR: the timers and posts still run
    if (fds[0].revents) drainWakeups();

    for (std::size_t i = 1; i < fds.size(); ++i) {
        if (!fds[i].revents) continue;
        // An earlier callback of this turn may have removed or changed the watch.
        auto it = watches_.find(ids[i - 1]);
        if (it == watches_.end() || it->second.closed) continue;
        unsigned readyEvents = 0;
        if (fds[i].revents & POLLIN) readyEvents |= SocketRead;
        if (fds[i].revents & POLLOUT) readyEvents |= SocketWrite;
        if (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) readyEvents |= SocketError;
        // A closed descriptor would be reported on every turn; report it once.
        if (fds[i].revents & POLLNVAL) it->second.closed = true;
        auto fn = it->second.fn;  // keeps the callback alive if it removes its own watch
        (*fn)(readyEvents);
    }
}

void PollEventLoop::dispatchTimers() {
    const auto now = Clock::now();
    std::vector<TimerId> due;
    for (const auto& [id, timer] : timers_)
        if (timer.due <= now) due.push_back(id);
    for (TimerId id : due) {
        auto it = timers_.find(id);
        if (it == timers_.end()) continue;  // removed by an earlier timer of this turn
        auto fn = it->second.fn;
        if (it->second.repeating)
            it->second.due = now + it->second.interval;
        else
            timers_.erase(it);
        (*fn)();
    }
}

void PollEventLoop::dispatchPosted() {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard<std::mutex> lock(postMutex_);
        batch.swap(posted_);
    }
    for (auto& fn : batch) fn();
}

}  // namespace trawler::platform
