#include "ui/platform/online_watcher.h"

#include <QHostAddress>
#include <QNetworkInterface>

namespace trawler::ui {
namespace {

// An address that reaches beyond this machine's link.
bool Routable(const QHostAddress& address) {
    return !address.isNull() && !address.isLoopback() && !address.isLinkLocal() && !address.isMulticast() &&
           address != QHostAddress::AnyIPv4 && address != QHostAddress::AnyIPv6;
}

}  // namespace

OnlineState StateOfInterfaces(const std::vector<InterfaceInfo>& interfaces) {
    QString firstV6;
    for (const InterfaceInfo& face : interfaces) {
        if (!face.Up || !face.Running || face.Loopback) continue;
        for (const QString& text : face.Addresses) {
            const QHostAddress address(text);
            if (!Routable(address)) continue;
            if (address.protocol() == QAbstractSocket::IPv4Protocol) return {true, address.toString()};
            if (firstV6.isEmpty()) firstV6 = address.toString();
        }
    }
    if (!firstV6.isEmpty()) return {true, firstV6};
    return {};
}

std::vector<InterfaceInfo> CurrentInterfaces() {
    std::vector<InterfaceInfo> result;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& face : interfaces) {
        InterfaceInfo info;
        const auto flags = face.flags();
        info.Up = flags.testFlag(QNetworkInterface::IsUp);
        info.Running = flags.testFlag(QNetworkInterface::IsRunning);
        info.Loopback = flags.testFlag(QNetworkInterface::IsLoopBack);
        for (const QNetworkAddressEntry& entry : face.addressEntries()) info.Addresses << entry.ip().toString();
        result.push_back(std::move(info));
    }
    return result;
}

OnlineWatcher::OnlineWatcher(QObject* parent, int intervalMs) : QObject(parent) {
    FState = StateOfInterfaces(CurrentInterfaces());
    connect(&FTimer, &QTimer::timeout, this, &OnlineWatcher::Poll);
    FTimer.start(intervalMs);
}

void OnlineWatcher::SetProbe(Probe probe) { FProbe = std::move(probe); }

void OnlineWatcher::Poll() {
    const OnlineState now = FProbe ? FProbe() : StateOfInterfaces(CurrentInterfaces());
    if (now == FState) return;
    FState = now;
    emit OnStatusChanged(FState.Online, FState.Address);
}

}  // namespace trawler::ui
