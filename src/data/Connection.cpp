#include "data/Connection.h"

#include <algorithm>

#include <QDir>

#include "data/ConnectionSettings.h"
#include "data/ConnectionString.h"
#include "data/RowOrder.h"
#include "exceptions/Exceptions.h"
#include "jet/JetFile.h"
#include "jet/JetHeader.h"
#include "jet/ProviderMessages.h"
#include "jet/TableReader.h"

namespace {

[[noreturn]] void raiseProvider(const QString& description) {
    throw EOleException(description, ResultCode::Fail);
}

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

}  // namespace

Connection::Connection() : wrongPasswordAdvice_(ProviderMessages::programFilePasswordAdvice()) {}

QString resolveDataSource(const QString& dataSource) {
    QString path = dataSource;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

JetFile openDatabaseFile(const QString& file, const QString& password,
                         const QString& passwordAdvice) {
    JetFile opened = JetFile::open(file);
    const JetHeader::Info header =
        JetHeader::inspect(opened.readHead(JetHeader::PageSize), opened.size());
    if (JetHeader::isDamage(header.verdict)) {
        raiseProvider(ProviderMessages::incompleteFile(opened.shownPath(),
                                                       JetHeader::describe(header.verdict)));
    }
    if (header.verdict != JetHeader::Verdict::Jet4) {
        raiseProvider(
            ProviderMessages::notJet4(opened.shownPath(), JetHeader::describe(header.verdict)));
    }
    if (!JetHeader::passwordMatches(header, password)) {
        raiseProvider(ProviderMessages::wrongPassword(opened.shownPath(), passwordAdvice));
    }
    return opened;
}

void Connection::open() {
    if (connected_) return;
    const ConnectionString parsed = ConnectionString::parse(connectionString_);
    checkProvider(effectiveProvider(provider_, parsed));
    const QString dataSource = parsed.value(QStringLiteral("Data Source"));
    if (dataSource.trimmed().isEmpty()) raiseProvider(ProviderMessages::missingDataSource());

    const QString file = resolveDataSource(dataSource);
    const QString password = parsed.value(QStringLiteral("Jet OLEDB:Database Password"));
    openDatabaseFile(file, password, wrongPasswordAdvice_);

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

void Connection::setValueColumns(const QStringList& columns) {
    if (columns == valueColumns_) return;
    valueColumns_ = columns;
    results_.clear();
}

namespace {

// Whether a column that one of `wanted` names came without its values.
bool lacksValues(const RawTable& table, const QStringList& wanted) {
    return std::any_of(wanted.begin(), wanted.end(), [&](const QString& name) {
        const int column = table.columnIndex(name);
        return column >= 0 && !table.columns[std::size_t(column)].valuesRead;
    });
}

}  // namespace

// The table, from the last read while the file is unchanged. Only the values
// of the value columns and of the ORDER BY column are read. The reader matches
// names by ASCII letter case alone; should it leave out a column that a
// statement's name matches by the wider rule used here, the whole table is
// read again, every value in it.
ResultCache::Table Connection::readTable(const JetFile& file, const QString& table,
                                         const QString& orderColumn) {
    QStringList wanted = valueColumns_;
    if (!wanted.isEmpty() && !orderColumn.isEmpty()) wanted.push_back(orderColumn);
    const auto read = [&](const QStringList& columns) {
        TableReaderOptions options;
        options.environment = readerEnvironment_;
        options.valueColumns = columns;
        return ::readTable(file, table, options);
    };
    ResultCache::Table result = results_.table(
        databaseFile_, table, [&] { return read(wanted); }, file.fd());
    if (lacksValues(*result.rows, wanted)) {
        results_.clear();
        result = results_.table(
            databaseFile_, table, [&] { return read({}); }, file.fd());
    }
    return result;
}

void Connection::requireConnected() const {
    if (!connected_) {
        raiseProvider(QStringLiteral("Veritabanı bağlantısı kapalı; önce bağlantıyı açın."));
    }
}

std::unique_ptr<ResultSet> Connection::execute(const QString& statementText) {
    requireConnected();
    return execute(parseSelectStatement(statementText));
}

std::unique_ptr<ResultSet> Connection::execute(const SelectStatement& statement) {
    requireConnected();
    // One open serves the checks and the read: the file checked is the file
    // read. An unchanged file answers from the last read, its orders kept.
    const JetFile file = openDatabaseFile(databaseFile_, password_, wrongPasswordAdvice_);
    const ResultCache::Table table = readTable(file, statement.table, statement.orderColumn);
    std::shared_ptr<const std::vector<std::uint32_t>> order;
    if (statement.orderColumn.isEmpty()) {
        order = std::make_shared<const std::vector<std::uint32_t>>(physicalOrder(*table.rows));
    } else {
        const int column = table.rows->columnIndex(statement.orderColumn);
        if (column < 0) {
            raiseProvider(ProviderMessages::unknownColumn(statement.orderColumn, statement.table));
        }
        order = table.orders->shared(column, statement.descending);
    }
    return std::make_unique<ResultSet>(table.rows, std::move(order));
}
