// The online watcher: which interfaces count as online, and that a change is
// reported once, from its own timer.

#include <QSignalSpy>
#include <QTest>

#include "ui/platform/online_watcher.h"

using trawler::ui::InterfaceInfo;
using trawler::ui::OnlineState;
using trawler::ui::OnlineWatcher;
using trawler::ui::StateOfInterfaces;

class OnlineWatcherTest : public QObject {
    Q_OBJECT

private slots:
    void InterfacesDecideTheState() {
        const InterfaceInfo loopback{true, true, true, {"127.0.0.1", "::1"}};
        struct Case {
            const char* name;
            std::vector<InterfaceInfo> interfaces;
            OnlineState expected;
        };
        const Case cases[] = {
            {"nothing", {}, {}},
            {"loopback only", {loopback}, {}},
            {"a link-local address only", {loopback, {true, true, false, {"fe80::1", "169.254.3.4"}}}, {}},
            {"interface down", {{false, false, false, {"192.168.1.5"}}}, {}},
            {"up but no carrier", {{true, false, false, {"192.168.1.5"}}}, {}},
            {"IPv4", {loopback, {true, true, false, {"fe80::1", "192.168.1.5"}}}, {true, "192.168.1.5"}},
            {"IPv4 before an earlier IPv6",
             {{true, true, false, {"2001:db8::7"}}, {true, true, false, {"10.0.0.2"}}},
             {true, "10.0.0.2"}},
            {"IPv6 alone", {{true, true, false, {"2001:db8::7"}}}, {true, "2001:db8::7"}},
        };
        for (const Case& c : cases) {
            const OnlineState state = StateOfInterfaces(c.interfaces);
            QVERIFY2(state == c.expected, qPrintable(QString("%1: %2 %3").arg(c.name).arg(state.Online).arg(state.Address)));
        }
    }

    void AChangeIsReportedOnceByThePoll() {
        OnlineWatcher watcher(nullptr, 20);
        OnlineState forced{false, "0.0.0.0"};
        watcher.SetProbe([&forced] { return forced; });
        QSignalSpy changes(&watcher, &OnlineWatcher::OnStatusChanged);
        watcher.Poll();
        changes.clear();

        forced = {true, "192.0.2.8"};
        QTRY_COMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0).at(0).toBool(), true);
        QCOMPARE(changes.at(0).at(1).toString(), QString("192.0.2.8"));
        QVERIFY(watcher.Online());
        QCOMPARE(watcher.Address(), QString("192.0.2.8"));

        QTest::qWait(100);  // several polls of the same state
        QCOMPARE(changes.size(), 1);

        forced = {};
        QTRY_COMPARE(changes.size(), 2);
        QVERIFY(!watcher.Online());
        QCOMPARE(watcher.Address(), QString("0.0.0.0"));
    }
};

QTEST_MAIN(OnlineWatcherTest)
#include "online_watcher_test.moc"
