#include "cli/MeslekAra.h"

#include <QString>

#include <optional>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/FieldBinding.h"
#include "data/Statement.h"
#include "failure/Exceptions.h"

namespace {

constexpr int ExitDone = 0;
constexpr int ExitUnreadable = 1;
constexpr int ExitUsage = 2;

const char* const UsageText =
    "Kullanım: meslek-ara [--db DOSYA] [--password PAROLA] [--order-by SÜTUN] [--desc] [--]\n"
    "\n"
    "Meslek listesini veritabanından okur ve her satırı meslek kodu, bir sekme ve meslek\n"
    "adı olarak yazar.\n"
    "\n"
    "  --db DOSYA          veritabanı dosyası (varsayılan: AnaData/MeslekAna.mdb)\n"
    "  --password PAROLA   veritabanı parolası (varsayılan: programın kendi parolası)\n"
    "  --order-by SÜTUN    listeyi bu sütuna göre sıralar (varsayılan: meslek kodu)\n"
    "  --desc              --order-by ile: azalan sırada\n"
    "  -h, --help          bu yardımı gösterir\n";

struct Options {
    QString database;  // null: the built-in data source
    QString password;  // null: the built-in password
    QString orderBy;
    bool descending = false;
    bool help = false;
};

struct UsageError {
    QString message;
};

std::optional<UsageError> parseOptions(const QStringList& args, Options& options) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        auto takeValue = [&](QString& target) -> std::optional<UsageError> {
            if (i + 1 >= args.size()) {
                return UsageError{QStringLiteral("%1 bir değer ister").arg(arg)};
            }
            target = args.at(++i);
            return std::nullopt;
        };
        if (arg == QLatin1String("--")) {
            if (i + 1 < args.size()) {
                return UsageError{QStringLiteral("beklenmeyen argüman: %1").arg(args.at(i + 1))};
            }
            break;
        }
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            options.help = true;
        } else if (arg == QLatin1String("--db")) {
            if (auto error = takeValue(options.database)) return error;
        } else if (arg == QLatin1String("--password")) {
            if (auto error = takeValue(options.password)) return error;
        } else if (arg == QLatin1String("--order-by")) {
            if (auto error = takeValue(options.orderBy)) return error;
            if (options.orderBy.isEmpty()) return UsageError{QStringLiteral("sütun adı boş")};
        } else if (arg == QLatin1String("--desc")) {
            options.descending = true;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return UsageError{QStringLiteral("bilinmeyen seçenek: %1").arg(arg)};
        } else {
            return UsageError{QStringLiteral("beklenmeyen argüman: %1").arg(arg)};
        }
    }
    if (options.descending && options.orderBy.isEmpty()) {
        return UsageError{QStringLiteral("--desc yalnızca --order-by ile kullanılabilir")};
    }
    return std::nullopt;
}

QString statementFor(const Options& options) {
    if (options.orderBy.isEmpty()) {
        return joinStatementLines({ConnectionSettings::startupStatement()});
    }
    return joinStatementLines(
        {QStringLiteral("select * FROM meslekler ORDER BY ") + options.orderBy + QLatin1Char(' ') +
         (options.descending ? QStringLiteral("DESC") : QStringLiteral("ASC"))});
}

// One row per line: a tab or line break inside a value would break that.
void appendCleaned(QByteArray& buffer, const QString& text) {
    QString cleaned = text;
    for (QChar& c : cleaned) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            c = QLatin1Char(' ');
        }
    }
    buffer += cleaned.toUtf8();
}

void printRows(ResultSet& result, const std::vector<int>& columns, QIODevice& out) {
    const int codeColumn = columns[1];
    const int nameColumn = columns[2];
    QByteArray buffer;
    buffer.reserve(1 << 20);
    for (int position = 1; position <= result.recordCount(); ++position) {
        appendCleaned(buffer, result.valueAt(position, codeColumn));
        buffer += '\t';
        appendCleaned(buffer, result.valueAt(position, nameColumn));
        buffer += '\n';
        if (buffer.size() >= (1 << 20)) {
            out.write(buffer);
            buffer.clear();
        }
    }
    out.write(buffer);
}

}  // namespace

int runMeslekAra(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    Options options;
    if (const auto error = parseOptions(arguments, options)) {
        err.write(("meslek-ara: " + error->message + QLatin1Char('\n')).toUtf8());
        err.write(UsageText);
        return ExitUsage;
    }
    if (options.help) {
        out.write(UsageText);
        return ExitDone;
    }
    try {
        Connection connection;
        connection.setProvider(QLatin1String(ConnectionSettings::Provider));
        connection.setConnectionString(
            ConnectionSettings::connectionStringWith(options.database, options.password));
        connection.open();
        std::unique_ptr<ResultSet> result = connection.execute(statementFor(options));
        const std::vector<int> columns = bindFields(result->columns(), occupationFields(),
                                                    QLatin1String(OccupationRecordSetName));
        printRows(*result, columns, out);
        return ExitDone;
    } catch (const Exception& failure) {
        err.write(("meslek-ara: " + failure.message() + QLatin1Char('\n')).toUtf8());
        return ExitUnreadable;
    }
}
