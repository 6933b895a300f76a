#pragma once

// The program's single-threaded message loop, seen as an interface.
//
// Everything in Trawler runs on one thread; asynchronous work (HTTP transfers, timers)
// reports back by having the loop call a callback. Two implementations exist: PollEventLoop
// (poll(2); trawler-cli and the tests) and a Qt one in the desktop program.
//
// Rules every implementation keeps:
// - Callbacks run on the loop's thread, one at a time, never nested inside another callback
//   of the same loop (unless a callback itself drives the loop, as tests do).
// - A callback may add or remove timers and watches, its own included, while it runs;
//   a removed timer or watch is never called afterwards, even if it was already due.
// - Ids are never reused during the life of a loop; 0 is never a valid id, and removing
//   an unknown or already removed id does nothing.

#include <chrono>
#include <cstdint>
#include <functional>

namespace trawler::platform {

using TimerId = std::uint64_t;
using WatchId = std::uint64_t;

// Socket readiness bits for watchSocket/updateWatch and for the ready mask handed to a watch.
enum SocketEvents : unsigned {
    SocketRead = 1,
    SocketWrite = 2,
    SocketError = 4,  // only in the ready mask: error or hang-up on the socket
};

class EventLoop {
public:
    virtual ~EventLoop() = default;

    // Queues fn to run on the loop's thread after the current callback returns. Callbacks run
    // in the order they were posted. Safe to call from any thread (it wakes the loop).
    virtual void post(std::function<void()> fn) = 0;

    // Calls fn after `delay`, once or every `delay` until removed. A delay of 0 runs on the
    // next turn of the loop.
    virtual TimerId addTimer(std::chrono::milliseconds delay, bool repeating,
                             std::function<void()> fn) = 0;
    virtual void removeTimer(TimerId id) = 0;

    // Calls fn(readyEvents) whenever fd is ready for any of `events` (SocketRead|SocketWrite).
    // Errors and hang-ups are reported with SocketError set. The loop never closes fd.
    virtual WatchId watchSocket(int fd, unsigned events,
                                std::function<void(unsigned readyEvents)> fn) = 0;
    virtual void updateWatch(WatchId id, unsigned events) = 0;
    virtual void removeWatch(WatchId id) = 0;
};

}  // namespace trawler::platform
