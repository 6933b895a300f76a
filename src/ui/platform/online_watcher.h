// The online watcher (`wip`): every second it looks whether the machine is
// online and at which address, and reports a change. Online means an
// interface that is up and running, is not the loopback, and holds an address
// that reaches beyond the link; the address shown is the first such one,
// IPv4 before IPv6. Offline is reported with the address "0.0.0.0".
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

namespace trawler::ui {

struct OnlineState {
    bool Online = false;
    QString Address = QStringLiteral("0.0.0.0");
    bool operator==(const OnlineState&) const = default;
};

// What the watcher needs to know of one network interface.
struct InterfaceInfo {
    bool Up = false;
    bool Running = false;
    bool Loopback = false;
    QStringList Addresses;  // textual IPv4 and IPv6 addresses
};

// The state the interfaces amount to (see above).
OnlineState StateOfInterfaces(const std::vector<InterfaceInfo>& interfaces);
// The machine's interfaces now.
std::vector<InterfaceInfo> CurrentInterfaces();

class OnlineWatcher : public QObject {
    Q_OBJECT

public:
    using Probe = std::function<OnlineState()>;

    // Starts polling at once; the first state is read in the constructor.
    explicit OnlineWatcher(QObject* parent = nullptr, int intervalMs = 1000);

    bool Online() const { return FState.Online; }
    QString Address() const { return FState.Address; }
    OnlineState State() const { return FState; }

    // Replaces what is polled (tests force a state this way); an empty probe
    // goes back to the machine's interfaces. Takes effect at the next poll.
    void SetProbe(Probe probe);
    // Polls now; raises OnStatusChanged when the state changed.
    void Poll();

signals:
    void OnStatusChanged(bool online, const QString& address);

private:
    Probe FProbe;
    OnlineState FState;
    QTimer FTimer;
};

}  // namespace trawler::ui
