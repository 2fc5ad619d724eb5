#include "data/ConnectionSettings.h"

#include <QStringList>

#include "data/Connection.h"
#include "data/ConnectionString.h"

namespace ConnectionSettings {

QString connectionString() {
    static const QStringList pairs = {
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0"),
        QStringLiteral("User ID=Admin"),
        QStringLiteral("Data Source=AnaData\\MeslekAna.mdb"),
        QStringLiteral("Mode=Share Deny None"),
        QStringLiteral("Extended Properties=\"\""),
        QStringLiteral("Persist Security Info=False"),
        QStringLiteral("Jet OLEDB:System database=\"\""),
        QStringLiteral("Jet OLEDB:Registry Path=\"\""),
        QStringLiteral("Jet OLEDB:Database Password=k5mravt2PLQZB7N"),
        QStringLiteral("Jet OLEDB:Engine Type=5"),
        QStringLiteral("Jet OLEDB:Database Locking Mode=1"),
        QStringLiteral("Jet OLEDB:Global Partial Bulk Ops=2"),
        QStringLiteral("Jet OLEDB:Global Bulk Transactions=1"),
        QStringLiteral("Jet OLEDB:New Database Password=\"\""),
        QStringLiteral("Jet OLEDB:Create System Database=False"),
        QStringLiteral("Jet OLEDB:Encrypt Database=False"),
        QStringLiteral("Jet OLEDB:Don't Copy Locale on Compact=False"),
        QStringLiteral("Jet OLEDB:Compact Without Replica Repair=False"),
        QStringLiteral("Jet OLEDB:SFP=False"),
    };
    return pairs.join(QLatin1Char(';'));
}

namespace {

QString quotedIfNeeded(const QString& value) {
    const bool plain = !value.isEmpty() && !value.contains(QLatin1Char(';')) &&
                       !value.contains(QLatin1Char('"')) && value.trimmed() == value;
    if (plain) return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

}  // namespace

QString connectionStringWith(const QString& dataSource, const QString& password) {
    const ConnectionString parsed = ConnectionString::parse(connectionString());
    QStringList pairs;
    for (const auto& [key, value] : parsed.pairs()) {
        QString newValue = value;
        if (key == QLatin1String("Data Source") && !dataSource.isNull()) newValue = dataSource;
        if (key == QLatin1String("Jet OLEDB:Database Password") && !password.isNull()) {
            newValue = password;
        }
        pairs << key + QLatin1Char('=') + quotedIfNeeded(newValue);
    }
    return pairs.join(QLatin1Char(';'));
}

QString builtInDatabasePassword() {
    return ConnectionString::parse(connectionString())
        .value(QStringLiteral("Jet OLEDB:Database Password"));
}

void applyTo(Connection& connection, const QString& text) {
    connection.setProvider(QLatin1String(Provider));
    connection.setConnectionString(text);
    connection.setConnectionTimeout(ConnectionTimeoutSeconds);
    connection.setCommandTimeout(CommandTimeoutSeconds);
    connection.setMode(ModeShareDenyNone);
    connection.setCursorLocation(CursorLocationClient);
    connection.setLoginPrompt(false);
    connection.setKeepConnection(true);
}

QString startupStatement() {
    return QStringLiteral("select * FROM meslekler ORDER BY meslek_kodu;");
}

}  // namespace ConnectionSettings
