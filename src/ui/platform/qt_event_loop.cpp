#include "ui/platform/qt_event_loop.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

namespace trawler::ui {

struct QtEventLoop::Timer {
    std::unique_ptr<QTimer> timer;
    std::function<void()> fn;
};

// One notifier per direction: Qt watches read and write readiness separately.
struct QtEventLoop::Watch {
    int fd = -1;
    std::unique_ptr<QSocketNotifier> read;
    std::unique_ptr<QSocketNotifier> write;
    std::function<void(unsigned)> fn;
};

QtEventLoop::QtEventLoop(QObject* parent) : QObject(parent) {}

QtEventLoop::~QtEventLoop() = default;

void QtEventLoop::post(std::function<void()> fn) {
    // A queued call on this object runs on its thread after the current event,
    // in posting order, and is dropped if the loop is gone by then.
    QMetaObject::invokeMethod(this, [fn = std::move(fn)] { fn(); }, Qt::QueuedConnection);
}

platform::TimerId QtEventLoop::addTimer(std::chrono::milliseconds delay, bool repeating,
                                        std::function<void()> fn) {
    const platform::TimerId id = nextTimerId_++;
    auto entry = std::make_unique<Timer>();
    entry->timer = std::make_unique<QTimer>();
    entry->timer->setSingleShot(!repeating);
    entry->timer->setTimerType(Qt::PreciseTimer);
    entry->timer->setInterval(static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, delay.count())));
    entry->fn = std::move(fn);
    QObject::connect(entry->timer.get(), &QTimer::timeout, this, [this, id, repeating] {
        auto it = timers_.find(id);
        if (it == timers_.end()) return;
        // Keep the callback alive while it runs: it may remove its own timer.
        auto fn = it->second->fn;
        if (!repeating) {
            // A one-shot timer is gone once it fired; free it after this signal.
            it->second->timer.release()->deleteLater();
            timers_.erase(it);
        }
        fn();
    });
    entry->timer->start();
    timers_.emplace(id, std::move(entry));
    return id;
}

void QtEventLoop::removeTimer(platform::TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->timer->stop();
    // The timer may be the one whose signal is being delivered right now.
    it->second->timer.release()->deleteLater();
    timers_.erase(it);
}

platform::WatchId QtEventLoop::watchSocket(int fd, unsigned events,
                                           std::function<void(unsigned)> fn) {
    const platform::WatchId id = nextWatchId_++;
    auto entry = std::make_unique<Watch>();
    entry->fd = fd;
    entry->fn = std::move(fn);
    auto makeNotifier = [this, id, fd](QSocketNotifier::Type type, unsigned bit) {
        auto notifier = std::make_unique<QSocketNotifier>(fd, type);
        notifier->setEnabled(false);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, this, [this, id, bit] {
            auto it = watches_.find(id);
            if (it == watches_.end()) return;
            auto fn = it->second->fn;
            fn(bit);
        });
        return notifier;
    };
    entry->read = makeNotifier(QSocketNotifier::Read, platform::SocketRead);
    entry->write = makeNotifier(QSocketNotifier::Write, platform::SocketWrite);
    watches_.emplace(id, std::move(entry));
    updateWatch(id, events);
    return id;
}

void QtEventLoop::updateWatch(platform::WatchId id, unsigned events) {
    auto it = watches_.find(id);
    if (it == watches_.end()) return;
    it->second->read->setEnabled((events & platform::SocketRead) != 0);
    it->second->write->setEnabled((events & platform::SocketWrite) != 0);
}

void QtEventLoop::removeWatch(platform::WatchId id) {
    auto it = watches_.find(id);
    if (it == watches_.end()) return;
    it->second->read->setEnabled(false);
    it->second->write->setEnabled(false);
    // The notifier may be delivering the signal that led here.
    it->second->read.release()->deleteLater();
    it->second->write.release()->deleteLater();
    watches_.erase(it);
}

}  // namespace trawler::ui
