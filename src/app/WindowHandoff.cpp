#include "app/WindowHandoff.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int HandoffTimeoutMs = 5000;

// A term cut to the length taken; a surrogate pair stays whole or goes whole.
QString cutTerm(const QString& term) {
    if (term.size() <= WindowHandoff::MaxTermLength) return term;
    qsizetype length = WindowHandoff::MaxTermLength;
    if (term.at(length - 1).isHighSurrogate()) --length;
    return term.first(length);
}

}  // namespace

namespace WindowHandoff {

bool handToRunning(const QString& folder, const QStringList& terms) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    const QString name = busNameFor(folder);
    if (!bus.interface()->isServiceRegistered(name).value()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        name, QLatin1String(ObjectPath), QLatin1String(Interface), QStringLiteral("Ara"));
    call << terms;
    // Never started by the bus: only a running window answers.
    call.setAutoStartService(false);
    return bus.call(call, QDBus::Block, HandoffTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

}  // namespace WindowHandoff

WindowHandoffService::WindowHandoffService(Take take, QObject* parent)
    : QObject(parent), take_(std::move(take)) {}

WindowHandoffService::~WindowHandoffService() {
    if (busName_.isEmpty()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(busName_);
    bus.unregisterObject(QLatin1String(WindowHandoff::ObjectPath));
}

bool WindowHandoffService::serve(const QString& folder) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    if (!bus.registerObject(QLatin1String(WindowHandoff::ObjectPath), this,
                            QDBusConnection::ExportScriptableSlots)) {
        return false;
    }
    const QString name = WindowHandoff::busNameFor(folder);
    if (!bus.registerService(name)) {
        bus.unregisterObject(QLatin1String(WindowHandoff::ObjectPath));
        return false;
    }
    busName_ = name;
    return true;
}

void WindowHandoffService::Ara(const QStringList& terms) {
    QStringList taken;
    for (qsizetype i = 0; i < std::min(terms.size(), WindowHandoff::MaxTerms); ++i) {
        taken.append(cutTerm(terms.at(i)));
    }
    QTimer::singleShot(0, this, [this, taken] { take_(taken); });
}
