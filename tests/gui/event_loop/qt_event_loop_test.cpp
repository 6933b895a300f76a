// The core's HTTP client and timers running on Qt's message loop, as they do
// in the desktop program: requests in parallel against a local server,
// callbacks in posting order, timers and socket watches that remove
// themselves from inside their own callbacks.

#include <sys/socket.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "platform/http_client.h"
#include "support/scripted_http_server.h"
#include "ui/platform/qt_event_loop.h"

using namespace std::chrono_literals;
using trawler::platform::HttpClient;
using trawler::testsupport::ScriptedHttpServer;
using trawler::ui::QtEventLoop;

namespace {

struct Fetch {
    std::unique_ptr<HttpClient> http;
    std::string body;
    std::vector<std::string> events;
    bool done = false;
    int error = -1;
};

struct SocketPair {
    int fd[2] = {-1, -1};
    SocketPair() { ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fd); }
    ~SocketPair() {
        for (int f : fd)
            if (f >= 0) ::close(f);
    }
};

}  // namespace

class QtEventLoopTest : public QObject {
    Q_OBJECT

private slots:
    void ParallelRequestsAllArriveWhole() {
        ScriptedHttpServer server;
        // Each answer waits until every request is in, so they can only all
        // arrive when the loop runs them at the same time.
        constexpr int kRequests = 6;
        server.Handle("/page", [&server](const ScriptedHttpServer::Request& request, ScriptedHttpServer::Connection& c) {
            for (int waited = 0; server.MaxSimultaneousConnections() < kRequests && waited < 1000; ++waited)
                c.Sleep(5ms);
            c.SendResponse(200, "OK", {"Content-Type: text/plain"}, "answer to " + request.target + std::string(20000, '.'));
        });
        QtEventLoop loop;
        std::vector<Fetch> fetches(kRequests);
        for (int i = 0; i < kRequests; ++i) {
            Fetch& f = fetches[static_cast<std::size_t>(i)];
            f.http = std::make_unique<HttpClient>(loop);
            f.http->Url = server.Url("/page?n=" + std::to_string(i));
            f.http->OnDocBegin = [&f] { f.events.push_back("begin"); };
            f.http->OnDocData = [&f](const char* data, std::size_t size) { f.body.append(data, size); };
            f.http->OnRequestDone = [&f](int error) {
                f.events.push_back("done");
                f.done = true;
                f.error = error;
            };
            QVERIFY(f.http->Get());
        }

        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(fetches.begin(), fetches.end(), [](const Fetch& f) { return f.done; }), 10000);

        QCOMPARE(server.MaxSimultaneousConnections(), kRequests);
        for (int i = 0; i < kRequests; ++i) {
            const Fetch& f = fetches[static_cast<std::size_t>(i)];
            QCOMPARE(f.error, 0);
            QCOMPARE(f.http->StatusCode, 200);
            QVERIFY(!f.http->Busy());
            QCOMPARE(f.body, "answer to /page?n=" + std::to_string(i) + std::string(20000, '.'));
            QCOMPARE(f.events, (std::vector<std::string>{"begin", "done"}));
        }
    }

    void AnAbortedRequestDeliversNothingMore() {
        ScriptedHttpServer server;
        server.Handle("/endless", ScriptedHttpServer::Endless());
        QtEventLoop loop;
        HttpClient http(loop);
        std::size_t received = 0;
        bool done = false;
        http.Url = server.Url("/endless");
        http.OnDocData = [&](const char*, std::size_t size) {
            received += size;
            if (received > 100000) http.Abort();
        };
        http.OnRequestDone = [&](int) { done = true; };
        QVERIFY(http.Get());
        QTRY_VERIFY_WITH_TIMEOUT(received > 100000, 10000);
        const std::size_t atAbort = received;
        QTest::qWait(200);
        QCOMPARE(received, atAbort);
        QVERIFY(!done);
        QVERIFY(!http.Busy());
    }

    void PostedCallbacksRunInOrderAndLaterPostsOnALaterTurn() {
        QtEventLoop loop;
        std::string trace;
        loop.post([&] {
            trace += "a";
            loop.post([&] { trace += "d"; });
        });
        loop.post([&] { trace += "b"; });
        loop.post([&] { trace += "c"; });
        QCOMPARE(trace, std::string());  // nothing runs before the loop does
        QTRY_COMPARE(trace, std::string("abcd"));
    }

    void CallbacksOfADestroyedLoopAreDropped() {
        bool ran = false;
        {
            QtEventLoop loop;
            loop.post([&] { ran = true; });
        }
        QTest::qWait(50);
        QVERIFY(!ran);
    }

    void TimersFireOnceOrRepeatAndMayRemoveThemselves() {
        QtEventLoop loop;
        int oneShot = 0;
        int repeating = 0;
        int cancelled = 0;
        loop.addTimer(10ms, false, [&] { ++oneShot; });
        trawler::platform::TimerId self = 0;
        self = loop.addTimer(5ms, true, [&] {
            if (++repeating == 3) loop.removeTimer(self);
        });
        const auto never = loop.addTimer(30ms, false, [&] { ++cancelled; });
        loop.removeTimer(never);
        loop.removeTimer(never);  // twice is harmless

        QTRY_COMPARE(repeating, 3);
        QTest::qWait(100);
        QCOMPARE(repeating, 3);
        QCOMPARE(oneShot, 1);
        QCOMPARE(cancelled, 0);
    }

    void AWatchMayRemoveItselfAndAddAnotherInItsCallback() {
        QtEventLoop loop;
        SocketPair pair;
        QVERIFY(pair.fd[0] >= 0);
        QCOMPARE(::write(pair.fd[1], "x", 1), 1);
        int first = 0;
        int second = 0;
        trawler::platform::WatchId watch = 0;
        watch = loop.watchSocket(pair.fd[0], trawler::platform::SocketRead, [&](unsigned events) {
            QVERIFY(events & trawler::platform::SocketRead);
            ++first;
            // The byte stays unread: only the removal keeps this from firing again.
            loop.removeWatch(watch);
            loop.watchSocket(pair.fd[0], trawler::platform::SocketRead, [&](unsigned) {
                char byte = 0;
                if (::read(pair.fd[0], &byte, 1) == 1) ++second;
            });
        });
        QTRY_COMPARE(second, 1);
        QTest::qWait(50);
        QCOMPARE(first, 1);
        QCOMPARE(second, 1);
    }

    void AWatchSwitchesBetweenReadAndWrite() {
        QtEventLoop loop;
        SocketPair pair;
        std::vector<unsigned> seen;
        trawler::platform::WatchId watch = 0;
        watch = loop.watchSocket(pair.fd[0], trawler::platform::SocketWrite, [&](unsigned events) {
            seen.push_back(events);
            if (events & trawler::platform::SocketWrite) loop.updateWatch(watch, trawler::platform::SocketRead);
            if (events & trawler::platform::SocketRead) loop.removeWatch(watch);
        });
        QTRY_COMPARE(seen.size(), std::size_t(1));
        QTest::qWait(30);
        QCOMPARE(seen.size(), std::size_t(1));  // writable still, but no longer watched for it
        QCOMPARE(::write(pair.fd[1], "y", 1), 1);
        QTRY_COMPARE(seen.size(), std::size_t(2));
        QCOMPARE(seen[0], unsigned(trawler::platform::SocketWrite));
        QCOMPARE(seen[1], unsigned(trawler::platform::SocketRead));
    }
};

QTEST_MAIN(QtEventLoopTest)
#include "qt_event_loop_test.moc"
