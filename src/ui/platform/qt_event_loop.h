#pragma once

// The program's message loop seen through Qt: timers are QTimers, socket watches
// are QSocketNotifiers, posted callbacks are queued calls on the GUI thread. The
// core (engine list, HTTP client, link checker) runs on it unchanged.

#include <QObject>

#include <map>
#include <memory>

#include "platform/event_loop.h"

class QTimer;
class QSocketNotifier;

namespace trawler::ui {

class QtEventLoop : public QObject, public platform::EventLoop {
    Q_OBJECT
public:
    explicit QtEventLoop(QObject* parent = nullptr);
    ~QtEventLoop() override;

    void post(std::function<void()> fn) override;
    platform::TimerId addTimer(std::chrono::milliseconds delay, bool repeating,
                               std::function<void()> fn) override;
    void removeTimer(platform::TimerId id) override;
    platform::WatchId watchSocket(int fd, unsigned events,
                                  std::function<void(unsigned readyEvents)> fn) override;
    void updateWatch(platform::WatchId id, unsigned events) override;
    void removeWatch(platform::WatchId id) override;

private:
    struct Timer;
    struct Watch;
    platform::TimerId nextTimerId_ = 1;
    platform::WatchId nextWatchId_ = 1;
    std::map<platform::TimerId, std::unique_ptr<Timer>> timers_;
    std::map<platform::WatchId, std::unique_ptr<Watch>> watches_;
};

}  // namespace trawler::ui
