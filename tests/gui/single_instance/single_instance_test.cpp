// One copy per user: a second process hands its arguments to the first, a
// copy that was killed leaves nothing that stops the next, and the socket
// takes no harm from what a stranger writes into it.
//
// The test program doubles as the other copy: started with "--copy NAME
// send ARGS..." it tries to become primary and otherwise sends ARGS (exit 0
// when the primary took them, 1 when not, 2 when it became primary itself);
// with "--copy NAME hold" it becomes primary and waits to be killed.

#include <signal.h>

#include <QApplication>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <iostream>

#include "ui/platform/activation_request.h"
#include "ui/platform/single_instance.h"

using trawler::ui::SingleInstance;

namespace {

QString TestName() { return "trawler-test-" + QString::number(QCoreApplication::applicationPid()); }

int RunCopy(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();  // program --copy name mode args...
    SingleInstance instance(args.value(2));
    if (args.value(3) == "hold") {
        if (!instance.TryBecomePrimary()) return 1;
        std::cout << "primary" << std::endl;
        return application.exec();
    }
    if (instance.TryBecomePrimary()) return 2;
    return instance.SendToPrimary(args.mid(4)) ? 0 : 1;
}

// Starts this program as another copy.
std::unique_ptr<QProcess> StartCopy(const QString& name, const QStringList& args) {
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QCoreApplication::applicationFilePath(), QStringList{"--copy", name} + args);
    return process;
}

// Runs a copy that sends args while this process serves the socket.
int SendFromCopy(const QString& name, const QStringList& args) {
    auto process = StartCopy(name, QStringList{"send"} + args);
    if (!process->waitForStarted(5000)) return -1;
    QElapsedTimer clock;
    clock.start();
    while (process->state() != QProcess::NotRunning && clock.elapsed() < 20000) QTest::qWait(10);
    return process->state() == QProcess::NotRunning ? process->exitCode() : -1;
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void SecondProcessHandsItsArgumentsToTheFirst() {
        SingleInstance first(TestName());
        QVERIFY(first.TryBecomePrimary());
        QSignalSpy requests(&first, &SingleInstance::activationRequested);
        const QStringList args{"/home/u/Suche über Öl.twf", "", "--demo"};

        QCOMPARE(SendFromCopy(TestName(), args), 0);

        QTRY_COMPARE(requests.size(), 1);
        QCOMPARE(requests.at(0).at(0).toStringList(), args);
    }

    void OnlyOneCopyIsPrimaryEvenInOneProcess() {
        SingleInstance first(TestName());
        SingleInstance second(TestName());
        QVERIFY(first.TryBecomePrimary());
        QVERIFY(!second.TryBecomePrimary());
        QVERIFY(first.TryBecomePrimary());
    }

    void WithoutAPrimaryNothingIsSent() {
        SingleInstance lone(TestName() + "-lone");
        QVERIFY(!lone.SendToPrimary({"x"}, 500));
    }

    void AKilledCopyLeavesTheWayFree() {
        const QString name = TestName() + "-killed";
        auto holder = StartCopy(name, {"hold"});
        QVERIFY(holder->waitForReadyRead(10000));
        QCOMPARE(holder->readLine().trimmed(), QByteArray("primary"));
        SingleInstance later(name);
        QVERIFY(!later.TryBecomePrimary());
        QVERIFY(QFile::exists(later.ServerPath()));

        ::kill(static_cast<pid_t>(holder->processId()), SIGKILL);
        QVERIFY(holder->waitForFinished(5000));
        QVERIFY(QFile::exists(later.ServerPath()));  // the dead copy's socket file stays

        QVERIFY(later.TryBecomePrimary());
        QSignalSpy requests(&later, &SingleInstance::activationRequested);
        QCOMPARE(SendFromCopy(name, {"after the crash"}), 0);
        QTRY_COMPARE(requests.size(), 1);
    }

    void MalformedRequestsAreDroppedAndTheServerGoesOn() {
        SingleInstance primary(TestName());
        QVERIFY(primary.TryBecomePrimary());
        QSignalSpy requests(&primary, &SingleInstance::activationRequested);
        const QByteArray tooLong = QByteArray::fromStdString(trawler::ui::EncodeActivation({std::string(70000, 'x')}));
        const QByteArray hugeLength("\xff\xff\xff\xff" "abc", 7);
        const QByteArray noFinalZero("\x00\x00\x00\x03" "abc", 7);
        for (const QByteArray& request : {tooLong, hugeLength, noFinalZero}) {
            QLocalSocket socket;
            socket.connectToServer(primary.ServerPath());
            QVERIFY(socket.waitForConnected(2000));
            socket.write(request);
            socket.flush();
            QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        }
        QCOMPARE(requests.size(), 0);
        QCOMPARE(SendFromCopy(TestName(), {"still serving"}), 0);
        QTRY_COMPARE(requests.size(), 1);
    }

    void RequestsRoundTripAndMalformedOnesAreRefused() {
        using Args = std::vector<std::string>;
        const Args cases[] = {{}, {""}, {"a", "b"}, {"Страница", "x y", ""}};
        for (const Args& args : cases)
            QVERIFY(trawler::ui::DecodeActivation(trawler::ui::EncodeActivation(args)) == args);
        const std::string_view malformed[] = {
            std::string_view("\0\0", 2),                      // no whole length
            std::string_view("\0\0\0\5" "ab\0", 7),          // shorter than it says
            std::string_view("\0\0\0\2" "ab\0", 7),          // longer than it says
            std::string_view("\0\0\0\3" "abc", 7),           // no final zero byte
        };
        for (std::string_view data : malformed) QVERIFY(!trawler::ui::DecodeActivation(data));
    }
};

int main(int argc, char** argv) {
    if (argc > 2 && qstrcmp(argv[1], "--copy") == 0) return RunCopy(argc, argv);
    QApplication application(argc, argv);
    SingleInstanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "single_instance_test.moc"
