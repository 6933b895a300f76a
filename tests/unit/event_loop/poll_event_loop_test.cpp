#include "platform/poll_event_loop.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using trawler::platform::PollEventLoop;
using trawler::platform::SocketError;
using trawler::platform::SocketRead;
using trawler::platform::SocketWrite;
using trawler::platform::TimerId;
using trawler::platform::WatchId;

namespace {

struct SocketPair {
    int fd[2];
    SocketPair() { EXPECT_EQ(0, ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fd)); }
    ~SocketPair() {
        if (fd[0] >= 0) ::close(fd[0]);
        if (fd[1] >= 0) ::close(fd[1]);
    }
};

TEST(PollEventLoop, PostedCallbacksRunInOrderAndThoseTheyPostRunOnALaterTurn) {
    PollEventLoop loop;
    std::string trace;
    loop.post([&] {
        trace += "a";
        loop.post([&] { trace += "c"; });
    });
    loop.post([&] { trace += "b"; });
    loop.runOnce();
    EXPECT_EQ("ab", trace);
    loop.runOnce();
    EXPECT_EQ("abc", trace);
}

TEST(PollEventLoop, PostFromAnotherThreadWakesAWaitingLoop) {
    PollEventLoop loop;
    bool ran = false;
    auto start = std::chrono::steady_clock::now();
    std::thread other([&] {
        std::this_thread::sleep_for(50ms);
        loop.post([&] { ran = true; });
    });
    EXPECT_TRUE(loop.runUntil([&] { return ran; }, 5s));
    other.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

TEST(PollEventLoop, TimersFireByDueTimeAndOneShotOnlyOnce) {
    PollEventLoop loop;
    std::string trace;
    loop.addTimer(60ms, false, [&] { trace += "late "; });
    loop.addTimer(10ms, false, [&] { trace += "early "; });
    loop.addTimer(0ms, false, [&] { trace += "now "; });
    loop.runFor(150ms);
    EXPECT_EQ("now early late ", trace);
}

TEST(PollEventLoop, RepeatingTimerRepeatsUntilItRemovesItself) {
    PollEventLoop loop;
    int count = 0;
    TimerId id = 0;
    id = loop.addTimer(5ms, true, [&] {
        if (++count == 3) loop.removeTimer(id);
    });
    loop.runFor(100ms);
    EXPECT_EQ(3, count);
}

TEST(PollEventLoop, ATimerRemovedByAnEarlierCallbackOfTheSameTurnDoesNotRun) {
    PollEventLoop loop;
    bool secondRan = false;
    TimerId second = 0;
    // Both are due on the same turn; the first removes the second.
    loop.addTimer(5ms, false, [&] { loop.removeTimer(second); });
    second = loop.addTimer(5ms, false, [&] { secondRan = true; });
    loop.runFor(50ms);
    EXPECT_FALSE(secondRan);
    loop.removeTimer(second);  // already gone: nothing happens
    loop.removeTimer(0);
}

TEST(PollEventLoop, TimerAddedInsideACallbackRuns) {
    PollEventLoop loop;
    bool inner = false;
    loop.addTimer(1ms, false, [&] { loop.addTimer(1ms, false, [&] { inner = true; }); });
    EXPECT_TRUE(loop.runUntil([&] { return inner; }, 1s));
}

TEST(PollEventLoop, SocketWatchReportsReadabilityAndCanBeUpdatedAndRemoved) {
    PollEventLoop loop;
    SocketPair pair;
    std::vector<unsigned> seen;
    WatchId id = loop.watchSocket(pair.fd[0], SocketRead, [&](unsigned ready) {
        seen.push_back(ready);
        char buffer[16];
        if (ready & SocketRead) {
            [[maybe_unused]] auto n = ::read(pair.fd[0], buffer, sizeof buffer);
        }
    });
    loop.runFor(20ms);
    EXPECT_TRUE(seen.empty()) << "nothing to read yet";

    ASSERT_EQ(1, ::write(pair.fd[1], "x", 1));
    ASSERT_TRUE(loop.runUntil([&] { return !seen.empty(); }, 1s));
    EXPECT_EQ(SocketRead, seen[0]);

    seen.clear();
    loop.updateWatch(id, SocketRead | SocketWrite);
    ASSERT_TRUE(loop.runUntil([&] { return !seen.empty(); }, 1s));
    EXPECT_TRUE(seen[0] & SocketWrite);

    loop.removeWatch(id);
    seen.clear();
    ASSERT_EQ(1, ::write(pair.fd[1], "y", 1));
    loop.runFor(30ms);
    EXPECT_TRUE(seen.empty());
}

TEST(PollEventLoop, WatchMayRemoveItselfAndAnotherWatchOfTheSameTurn) {
    PollEventLoop loop;
    SocketPair a, b;
    int calls = 0;
    WatchId first = 0, second = 0;
    auto handler = [&](unsigned) {
        ++calls;
        loop.removeWatch(first);
        loop.removeWatch(second);
    };
    first = loop.watchSocket(a.fd[0], SocketWrite, handler);
    second = loop.watchSocket(b.fd[0], SocketWrite, handler);
    loop.runFor(30ms);
    EXPECT_EQ(1, calls);
}

TEST(PollEventLoop, HangUpIsReportedAsError) {
    PollEventLoop loop;
    SocketPair pair;
    unsigned ready = 0;
    WatchId id = loop.watchSocket(pair.fd[0], SocketRead, [&](unsigned r) {
        ready = r;
        loop.removeWatch(id);
    });
    ::close(pair.fd[1]);
    pair.fd[1] = -1;
    ASSERT_TRUE(loop.runUntil([&] { return ready != 0; }, 1s));
    EXPECT_TRUE(ready & (SocketError | SocketRead));
}

TEST(PollEventLoop, RunEndsOnQuitAndRunUntilReportsTimeOut) {
    PollEventLoop loop;
    loop.addTimer(10ms, false, [&] { loop.quit(); });
    loop.run();  // returns only because of quit()

    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(loop.runUntil([] { return false; }, 50ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);
    EXPECT_TRUE(loop.runUntil([] { return true; }, 0ms));
}

}  // namespace
