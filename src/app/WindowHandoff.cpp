#include "app/WindowHandoff.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

constexpr int HandoffTimeoutMs = 5000;

QString canonicalFolder(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical;
}

}  // namespace

namespace WindowHandoff {

QString busNameFor(const QString& folder) {
    const QByteArray digest =
        QCryptographicHash::hash(canonicalFolder(folder).toUtf8(), QCryptographicHash::Sha256);
    // A bus name's element may not start with a digit.
    return QStringLiteral("io.github.meslekana.MeslekArama.Pencere.f") +
           QString::fromLatin1(digest.left(8).toHex());
}

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
    QTimer::singleShot(0, this, [this, terms] { take_(terms); });
}
