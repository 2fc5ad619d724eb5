#include "data/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "data/ConnectionSettings.h"
#include "data/ConnectionString.h"
#include "data/RowOrder.h"
#include "data/Statement.h"
#include "failure/Exceptions.h"
#include "jet/JetHeader.h"
#include "jet/ProviderMessages.h"
#include "jet/TableReader.h"

namespace {

[[noreturn]] void raiseProvider(const QString& description) {
    throw EOleException(description, ResultCode::Fail);
}

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

QString effectiveProvider(const QString& property, const ConnectionString& parsed) {
    const QString fromString = parsed.value(QStringLiteral("Provider"));
    return fromString.isNull() ? property : fromString;
}

void checkProvider(const QString& provider) {
    if (provider.trimmed().compare(QLatin1String(ConnectionSettings::Provider),
                                   Qt::CaseInsensitive) != 0) {
        raiseProvider(ProviderMessages::providerNotFound(provider));
    }
}

QString readFailureReason(const QFile& file) {
    if (file.error() == QFileDevice::PermissionsError) {
        return QStringLiteral("okuma izni yok");
    }
    return file.errorString();
}

}  // namespace

Connection::Connection() = default;

QString resolveDataSource(const QString& dataSource) {
    QString path = dataSource;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

void checkDatabaseFile(const QString& file, const QString& password) {
    const QFileInfo info(file);
    if (!info.exists()) {
        const QFileInfo folder(info.absolutePath());
        if (!folder.isDir()) {
            raiseProvider(
                ProviderMessages::missingFolder(shown(folder.absoluteFilePath()), shown(file)));
        }
        raiseProvider(ProviderMessages::missingFile(shown(file)));
    }
    if (!info.isFile()) raiseProvider(ProviderMessages::notAFile(shown(file)));

    QFile handle(file);
    if (!handle.open(QIODevice::ReadOnly)) {
        raiseProvider(ProviderMessages::cannotOpenFile(shown(file), readFailureReason(handle)));
    }
    const QByteArray firstPage = handle.read(JetHeader::PageSize);
    const JetHeader::Info header = JetHeader::inspect(firstPage, handle.size());
    switch (header.verdict) {
        case JetHeader::Verdict::Jet4:
            break;
        case JetHeader::Verdict::TooSmall:
            raiseProvider(
                ProviderMessages::damagedFile(shown(file), JetHeader::describe(header.verdict)));
        default:
            raiseProvider(
                ProviderMessages::notJet4(shown(file), JetHeader::describe(header.verdict)));
    }
    if (!JetHeader::passwordMatches(header, password)) {
        raiseProvider(ProviderMessages::wrongPassword(shown(file)));
    }
}

void Connection::open() {
    if (connected_) return;
    const ConnectionString parsed = ConnectionString::parse(connectionString_);
    checkProvider(effectiveProvider(provider_, parsed));
    const QString dataSource = parsed.value(QStringLiteral("Data Source"));
    if (dataSource.trimmed().isEmpty()) raiseProvider(ProviderMessages::missingDataSource());

    const QString file = resolveDataSource(dataSource);
    const QString password = parsed.value(QStringLiteral("Jet OLEDB:Database Password"));
    checkDatabaseFile(file, password);

    databaseFile_ = file;
    password_ = password;
    connected_ = true;
}

void Connection::close() {
    connected_ = false;
    results_.clear();
    databaseFile_.clear();
    password_.clear();
}

std::unique_ptr<ResultSet> Connection::execute(const QString& statementText) {
    if (!connected_) {
        raiseProvider(QStringLiteral("Veritabanı bağlantısı kapalı; önce bağlantıyı açın."));
    }
    const SelectStatement statement = parseSelectStatement(statementText);
    checkDatabaseFile(databaseFile_, password_);

    // An unchanged file answers from the last read, its orders kept.
    const ResultCache::Table table = results_.table(
        databaseFile_, statement.table, [&] { return readTable(databaseFile_, statement.table); });
    std::vector<std::uint32_t> order;
    if (statement.orderColumn.isEmpty()) {
        order = physicalOrder(*table.rows);
    } else {
        const int column = table.rows->columnIndex(statement.orderColumn);
        if (column < 0) {
            raiseProvider(ProviderMessages::unknownColumn(statement.orderColumn, statement.table));
        }
        order = table.orders->by(column, statement.descending);
    }
    return std::make_unique<ResultSet>(table.rows, std::move(order));
}
