#include "jet4/MeslekMdb.h"

#include <QFile>

#include <cmath>
#include <exception>
#include <optional>

#include "cli/PasswordSource.h"
#include "data/ConnectionSettings.h"
#include "jet4/Csv.h"
#include "jet4/OccupationFixtures.h"

namespace jet4 {

namespace {

constexpr int CodeLength = 15;
constexpr int TextLength = 255;
constexpr int MaxPasswordLength = 20;
constexpr double DefaultCreationDate = 44568.5;

const char* const UsageIntro =
    "Kullanım: meslek-mdb create ÇIKTI.mdb --csv DOSYA\n"
    "                  [--password PAROLA | --password-file DOSYA] [--date GÜN]\n"
    "\n"
    "CSV listesinden meslekler tablosunu içeren bir Access (Jet 4) veritabanı yazar.\n"
    "\n"
    "  ÇIKTI.mdb           yazılacak veritabanı dosyası\n"
    "  --csv DOSYA         UTF-8 CSV dosyası; başlığı meslek_kodu,meslek_adi\n"
    "                      ya da meslek_kodu,meslek_adi,meslek_ana\n";

const char* const UsageRest =
    "                      Parola en çok 20 karakterdir; hiçbiri verilmezse programın\n"
    "                      yerleşik parolası kullanılır. Parola ya --password ya da\n"
    "                      --password-file ile verilir, ikisi birden verilemez; seçenek\n"
    "                      ortam değişkeninden önce gelir.\n"
    "  --date GÜN          oluşturma tarihi, 30.12.1899'dan bu yana gün\n"
    "                      (verilmezse 44568.5)\n"
    "  -h, --help          bu yardımı gösterir\n"
    "\n"
    "Jet 4 parolası şifreleme değildir: dosyayı eline geçiren herkes içeriğini okuyabilir.\n";

QString usage() {
    return QString::fromUtf8(QByteArray(UsageIntro) + PasswordOptionsHelp + UsageRest);
}

void write(QIODevice& device, const QString& text) { device.write(text.toUtf8()); }

struct Options {
    QString output;
    QString csvFile;
    PasswordOptions password;
    double creationDate = DefaultCreationDate;
};

// What is wrong with a password for the file, or an empty string.
QString passwordProblem(const QString& password) {
    if (password.size() > MaxPasswordLength)
        return QStringLiteral("parola en çok %1 karakter olabilir").arg(MaxPasswordLength);
    if (password.contains(QChar(0))) return QStringLiteral("parolada NUL karakteri olamaz");
    return QString();
}

// Returns an empty string when the arguments are usable, else what is wrong.
QString parseArguments(const QStringList& arguments, Options& options) {
    if (arguments.isEmpty()) return QStringLiteral("komut verilmedi");
    if (arguments.first() != QLatin1String("create"))
        return QStringLiteral("bilinmeyen komut: %1").arg(arguments.first());
    bool haveDate = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        QString passwordError;
        if (takePasswordOption(arguments, i, options.password, passwordError)) {
            if (!passwordError.isEmpty()) return passwordError;
            continue;
        }
        const bool isOption = arg == QLatin1String("--csv") || arg == QLatin1String("--date");
        if (isOption) {
            if (i + 1 >= arguments.size()) return QStringLiteral("%1 bir değer ister").arg(arg);
            const QString& value = arguments[++i];
            if (arg == QLatin1String("--csv")) {
                if (!options.csvFile.isEmpty())
                    return QStringLiteral("--csv birden çok kez verildi");
                if (value.isEmpty()) return QStringLiteral("--csv boş olamaz");
                options.csvFile = value;
            } else {
                if (haveDate) return QStringLiteral("--date birden çok kez verildi");
                bool ok = false;
                const double days = value.toDouble(&ok);
                if (!ok || !std::isfinite(days))
                    return QStringLiteral("--date bir sayı olmalı: %1").arg(value);
                options.creationDate = days;
                haveDate = true;
            }
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return QStringLiteral("bilinmeyen seçenek: %1").arg(arg);
        } else if (options.output.isEmpty() && !arg.isEmpty()) {
            options.output = arg;
        } else {
            return QStringLiteral("fazla argüman: %1").arg(arg);
        }
    }
    if (options.output.isEmpty()) return QStringLiteral("çıktı dosyası verilmedi");
    if (options.csvFile.isEmpty()) return QStringLiteral("--csv verilmedi");
    if (options.password.text) return passwordProblem(*options.password.text);
    return QString();
}

}  // namespace

TableDef occupationTableFromCsv(const QByteArray& csv) {
    const std::vector<csv::Record> records = csv::parse(csv);
    if (records.empty())
        throw csv::ParseError{1, csv::atLine(1, QStringLiteral("başlık satırı yok"))};

    const csv::Record& header = records.front();
    const QStringList twoColumns = {QStringLiteral("meslek_kodu"), QStringLiteral("meslek_adi")};
    const QStringList threeColumns = twoColumns + QStringList{QStringLiteral("meslek_ana")};
    if (header.fields != twoColumns && header.fields != threeColumns)
        throw csv::ParseError{
            header.line,
            csv::atLine(header.line, QStringLiteral("başlık meslek_kodu,meslek_adi ya da "
                                                    "meslek_kodu,meslek_adi,meslek_ana olmalı"))};
    const qsizetype columns = header.fields.size();

    TableDef table = occupationTable({});
    table.rows.reserve(records.size() - 1);
    std::int64_t id = 0;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const csv::Record& record = records[r];
        auto error = [&](const QString& text) {
            return csv::ParseError{record.line, csv::atLine(record.line, text)};
        };
        if (record.fields.size() != columns)
            throw error(QStringLiteral("%1 alan bekleniyordu, %2 alan var")
                            .arg(columns)
                            .arg(record.fields.size()));
        const QString& code = record.fields[0];
        const QString& name = record.fields[1];
        if (code.size() > CodeLength)
            throw error(QStringLiteral("meslek kodu %1 karakterden uzun").arg(CodeLength));
        if (name.size() > TextLength)
            throw error(QStringLiteral("meslek adı %1 karakterden uzun").arg(TextLength));
        if (columns == 3 && record.fields[2].size() > TextLength)
            throw error(QStringLiteral("meslek ana grubu %1 karakterden uzun").arg(TextLength));

        std::vector<Value> row;
        row.reserve(4);
        row.emplace_back(++id);
        row.emplace_back(code);
        row.emplace_back(name);
        row.emplace_back(columns == 3 ? Value(record.fields[2]) : Value());
        table.rows.push_back(std::move(row));
    }
    return table;
}

int runMeslekMdb(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    if (arguments.size() == 1 && (arguments.first() == QLatin1String("--help") ||
                                  arguments.first() == QLatin1String("-h"))) {
        write(out, usage());
        return 0;
    }
    Options options;
    const QString problem = parseArguments(arguments, options);
    if (!problem.isEmpty()) {
        write(err, QStringLiteral("meslek-mdb: %1\n\n").arg(problem) + usage());
        return 2;
    }
    QString passwordError;
    const std::optional<QString> password =
        resolvePassword(options.password, qEnvironmentVariable(PasswordVariable), passwordError);
    if (!passwordError.isEmpty()) {
        write(err, QStringLiteral("meslek-mdb: %1\n").arg(passwordError));
        return 1;
    }
    if (password) {
        const QString problem = passwordProblem(*password);
        if (!problem.isEmpty()) {
            const QString source =
                options.password.file
                    ? QStringLiteral("--password-file %1").arg(*options.password.file)
                    : QLatin1String(PasswordVariable);
            write(err, QStringLiteral("meslek-mdb: %1 (%2)\n").arg(problem, source));
            return 2;
        }
    }

    QFile input(options.csvFile);
    if (!input.open(QIODevice::ReadOnly)) {
        write(err, QStringLiteral("meslek-mdb: %1 okunamadı: %2\n")
                       .arg(options.csvFile, input.errorString()));
        return 1;
    }
    const QByteArray text = input.readAll();
    input.close();

    DatabaseDef database;
    database.password = password.value_or(ConnectionSettings::builtInDatabasePassword());
    database.creationDate = options.creationDate;
    try {
        database.tables.push_back(occupationTableFromCsv(text));
    } catch (const csv::ParseError& e) {
        write(err, QStringLiteral("meslek-mdb: %1: %2\n").arg(options.csvFile, e.message));
        return 1;
    }
    const auto rows = database.tables.front().rows.size();
    try {
        writeDatabaseFile(options.output, database);
    } catch (const std::exception& e) {
        write(err, QStringLiteral("meslek-mdb: %1 yazılamadı: %2\n")
                       .arg(options.output, QString::fromUtf8(e.what())));
        return 1;
    }
    write(out, QStringLiteral("%1 yazıldı: %2 meslek\n").arg(options.output).arg(rows));
    return 0;
}

}  // namespace jet4
