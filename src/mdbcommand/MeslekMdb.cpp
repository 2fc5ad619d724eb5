#include "mdbcommand/MeslekMdb.h"

#include <QFile>

#include <sys/stat.h>

#include <cmath>
#include <exception>
#include <optional>

#include "cli/PasswordSource.h"
#include "data/ConnectionSettings.h"
#include "jetwriter/Jet4Writer.h"
#include "lists/Csv.h"
#include "lists/ListReaders.h"
#include "lists/OccupationList.h"
#include "text/ShownValue.h"

namespace jet4 {

namespace {

constexpr int MaxPasswordLength = 20;
constexpr double DefaultCreationDate = 44568.5;

const char* const UsageIntro =
    "Kullanım: meslek-mdb create ÇIKTI.mdb (--csv DOSYA | --xlsx DOSYA [--sheet SAYFA])\n"
    "                  [--password PAROLA | --password-file DOSYA] [--date GÜN] [--quiet]\n"
    "\n"
    "Bir meslek listesinden meslekler tablosunu içeren bir Access (Jet 4) veritabanı yazar.\n"
    "Bu yılın listesini almak için, kurumun yayımladığı çalışma kitabından:\n"
    "  meslek-mdb create AnaData/MeslekAna.mdb --xlsx meslekkodlari.xlsx\n"
    "\n"
    "  ÇIKTI.mdb           yazılacak veritabanı dosyası\n"
    "  --csv DOSYA         UTF-8 CSV dosyası; başlığı meslek_kodu,meslek_adi\n"
    "                      ya da meslek_kodu,meslek_adi,meslek_ana\n"
    "  --xlsx DOSYA        Excel çalışma kitabı (.xlsx); başlık satırı metinlerinden\n"
    "                      bulunur: \"kod\" geçen sütun kod, \"Meslek Adı\" ile başlayan\n"
    "                      sütun ad, varsa \"Meslek Ana\" ile başlayan sütun ana grup\n"
    "  --sheet SAYFA       --xlsx ile okunacak sayfa (verilmezse ilk sayfa)\n";

const char* const UsageRest =
    "                      Parola en çok 20 karakterdir; hiçbiri verilmezse programın\n"
    "                      yerleşik parolası kullanılır. Parola ya --password ya da\n"
    "                      --password-file ile verilir, ikisi birden verilemez; seçenek\n"
    "                      ortam değişkeninden önce gelir.\n"
    "  --date GÜN          oluşturma tarihi, 30.12.1899'dan bu yana gün\n"
    "                      (verilmezse 44568.5)\n"
    "  --quiet             sondaki özet satırını yazmaz\n"
    "  -h, --help          bu yardımı gösterir\n"
    "\n"
    "Liste yazılmadan önce denetlenir: sayı olarak saklanmış, boş ya da iki kez geçen\n"
    "kodlar, boş adlar ve başlığın altında hiç meslek olmaması hata sayılır, hiçbir dosya\n"
    "yazılmaz (çıkış kodu 1). NNNN.NN biçiminde olmayan kodlar uyarı olarak gösterilir.\n"
    "Değerler olduğu gibi yazılır.\n"
    "\n"
    "Girdi de ÇIKTI.mdb de (varsa) normal bir dosya olmalıdır; bir sembolik bağ gösterdiği\n"
    "dosyaya göre değerlendirilir ve veritabanı bağın gösterdiği dosyanın yerine yazılır.\n"
    "\n"
    "Jet 4 parolası şifreleme değildir: dosyayı eline geçiren herkes içeriğini okuyabilir.\n";

QString usage() {
    return QString::fromUtf8(QByteArray(UsageIntro) + PasswordOptionsHelp + UsageRest);
}

void write(QIODevice& device, const QString& text) { device.write(text.toUtf8()); }

struct Options {
    QString output;
    QString csvFile;
    QString xlsxFile;
    std::optional<QString> sheet;
    PasswordOptions password;
    double creationDate = DefaultCreationDate;
    bool quiet = false;

    const QString& input() const { return csvFile.isEmpty() ? xlsxFile : csvFile; }
};

// What is wrong with a password for the file, or an empty string.
QString passwordProblem(const QString& password) {
    if (password.size() > MaxPasswordLength)
        return QStringLiteral("parola en çok %1 karakter olabilir").arg(MaxPasswordLength);
    if (password.contains(QChar(0))) return QStringLiteral("parolada NUL karakteri olamaz");
    return QString();
}

// Takes the value of a file option given at most once; an empty string when usable.
QString takeFileValue(const QString& option, const QString& value, QString& into) {
    if (!into.isEmpty()) return QStringLiteral("%1 birden çok kez verildi").arg(option);
    if (value.isEmpty()) return QStringLiteral("%1 boş olamaz").arg(option);
    into = value;
    return QString();
}

// Takes the value of --csv, --xlsx, --sheet or --date; an empty string when usable.
QString takeValueOption(const QString& arg, const QString& value, Options& options,
                        bool& haveDate) {
    if (arg == QLatin1String("--csv")) return takeFileValue(arg, value, options.csvFile);
    if (arg == QLatin1String("--xlsx")) return takeFileValue(arg, value, options.xlsxFile);
    if (arg == QLatin1String("--sheet")) {
        if (options.sheet) return QStringLiteral("--sheet birden çok kez verildi");
        if (value.isEmpty()) return QStringLiteral("--sheet boş olamaz");
        options.sheet = value;
        return QString();
    }
    if (haveDate) return QStringLiteral("--date birden çok kez verildi");
    bool ok = false;
    const double days = value.toDouble(&ok);
    if (!ok || !std::isfinite(days))
        return QStringLiteral("--date bir sayı olmalı: %1").arg(shownvalue::shown(value));
    options.creationDate = days;
    haveDate = true;
    return QString();
}

// What is wrong with the options taken together, or an empty string.
QString combinationProblem(const Options& options) {
    if (options.output.isEmpty()) return QStringLiteral("çıktı dosyası verilmedi");
    if (options.csvFile.isEmpty() && options.xlsxFile.isEmpty())
        return QStringLiteral("--csv ya da --xlsx verilmedi");
    if (!options.csvFile.isEmpty() && !options.xlsxFile.isEmpty())
        return QStringLiteral("ya --csv ya da --xlsx verilir, ikisi birden verilemez");
    if (options.sheet && options.xlsxFile.isEmpty())
        return QStringLiteral("--sheet yalnızca --xlsx ile verilir");
    if (options.password.text) return passwordProblem(*options.password.text);
    return QString();
}

// Returns an empty string when the arguments are usable, else what is wrong.
QString parseArguments(const QStringList& arguments, Options& options) {
    if (arguments.isEmpty()) return QStringLiteral("komut verilmedi");
    if (arguments.first() != QLatin1String("create"))
        return QStringLiteral("bilinmeyen komut: %1").arg(shownvalue::shown(arguments.first()));
    bool haveDate = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        QString passwordError;
        if (takePasswordOption(arguments, i, options.password, passwordError)) {
            if (!passwordError.isEmpty()) return passwordError;
            continue;
        }
        if (arg == QLatin1String("--quiet")) {
            options.quiet = true;
            continue;
        }
        const bool isOption = arg == QLatin1String("--csv") || arg == QLatin1String("--xlsx") ||
                              arg == QLatin1String("--sheet") || arg == QLatin1String("--date");
        if (isOption) {
            if (i + 1 >= arguments.size()) return QStringLiteral("%1 bir değer ister").arg(arg);
            const QString problem = takeValueOption(arg, arguments[++i], options, haveDate);
            if (!problem.isEmpty()) return problem;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return QStringLiteral("bilinmeyen seçenek: %1").arg(shownvalue::shown(arg));
        } else if (options.output.isEmpty() && !arg.isEmpty()) {
            options.output = arg;
        } else {
            return QStringLiteral("fazla argüman: %1").arg(shownvalue::shown(arg));
        }
    }
    return combinationProblem(options);
}

// What `path` names when it is there and is not a regular file ("FIFO"),
// links followed; an empty string otherwise.
QString irregularKind(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return QString();
    if (S_ISDIR(status.st_mode)) return QStringLiteral("bir dizin");
    if (S_ISFIFO(status.st_mode)) return QStringLiteral("bir FIFO");
    if (S_ISSOCK(status.st_mode)) return QStringLiteral("bir soket");
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) return QStringLiteral("bir aygıt");
    return QStringLiteral("başka türden bir dosya");
}

// Writes why when `path` is there and is not a regular file; true when it may be used.
// `failed` is "okunamadı" or "yazılamadı".
bool isUsablePath(const QString& path, const char* failed, QIODevice& err) {
    const QString kind = irregularKind(path);
    if (kind.isEmpty()) return true;
    write(err, QStringLiteral("meslek-mdb: %1 %2: normal bir dosya değil, %3\n")
                   .arg(path, QString::fromUtf8(failed), kind));
    return false;
}

// Reads the list; on failure writes why and returns nothing.
std::optional<lists::OccupationList> readList(const Options& options, QIODevice& err) {
    // A FIFO would hold open() until a writer comes.
    if (!isUsablePath(options.input(), "okunamadı", err)) return std::nullopt;
    QFile input(options.input());
    if (!input.open(QIODevice::ReadOnly)) {
        write(err, QStringLiteral("meslek-mdb: %1 okunamadı: %2\n")
                       .arg(options.input(), input.errorString()));
        return std::nullopt;
    }
    try {
        if (!options.xlsxFile.isEmpty())
            return lists::listFromWorkbook(input, options.sheet.value_or(QString()));
        return lists::listFromCsv(input.readAll());
    } catch (const csv::ParseError& e) {
        write(err, QStringLiteral("meslek-mdb: %1: %2\n").arg(options.input(), e.message));
    } catch (const xlsx::Error& e) {
        write(err, QStringLiteral("meslek-mdb: %1: %2\n").arg(options.input(), e.message));
    }
    return std::nullopt;
}

// "  B17: ..." for each listed finding, then how many more there are.
QString listing(const QStringList& shown, std::size_t count) {
    QString text;
    for (const QString& line : shown) text += QStringLiteral("  %1\n").arg(line);
    if (count > static_cast<std::size_t>(shown.size()))
        text += QStringLiteral("  ... ve %1 tane daha\n").arg(count - shown.size());
    return text;
}

// Shows the warnings and the errors; true when the list may be written.
bool reportCheck(const Options& options, const lists::ListCheck& check, QIODevice& err) {
    if (check.warningCount > 0)
        write(err, QStringLiteral("meslek-mdb: %1: uyarı, %2 kod NNNN.NN biçiminde değil:\n")
                           .arg(options.input())
                           .arg(check.warningCount) +
                       listing(check.warnings, check.warningCount));
    if (check.errorCount == 0) return true;
    write(err, QStringLiteral("meslek-mdb: %1: listede %2 hata var, veritabanı yazılmadı:\n")
                       .arg(options.input())
                       .arg(check.errorCount) +
                   listing(check.errors, check.errorCount));
    return false;
}

// The password to write, nothing for the built-in one; `exitCode` is set when it cannot be had.
std::optional<QString> takePassword(const Options& options, QIODevice& err, int& exitCode) {
    QString error;
    const std::optional<QString> password =
        resolvePassword(options.password, qEnvironmentVariable(PasswordVariable), error);
    if (!error.isEmpty()) {
        write(err, QStringLiteral("meslek-mdb: %1\n").arg(error));
        exitCode = 1;
        return std::nullopt;
    }
    const QString problem = password ? passwordProblem(*password) : QString();
    if (problem.isEmpty()) return password;
    const QString source = options.password.file
                               ? QStringLiteral("--password-file %1").arg(*options.password.file)
                               : QLatin1String(PasswordVariable);
    write(err, QStringLiteral("meslek-mdb: %1 (%2)\n").arg(problem, source));
    exitCode = 2;
    return std::nullopt;
}

// Writes the database; on failure writes why and returns false.
bool writeList(const Options& options, const std::optional<QString>& password,
               const lists::OccupationList& list, QIODevice& err) {
    DatabaseDef database;
    database.password = password.value_or(ConnectionSettings::builtInDatabasePassword());
    database.creationDate = options.creationDate;
    database.tables.push_back(lists::occupationTable(list));
    try {
        writeDatabaseFile(options.output, database);
    } catch (const std::exception& e) {
        write(err, QStringLiteral("meslek-mdb: %1 yazılamadı: %2\n")
                       .arg(options.output, QString::fromUtf8(e.what())));
        return false;
    }
    return true;
}

}  // namespace

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
    // QSaveFile renames its file over the path, so a device there would be replaced.
    if (!isUsablePath(options.output, "yazılamadı", err)) return 1;
    int exitCode = 0;
    const std::optional<QString> password = takePassword(options, err, exitCode);
    if (exitCode != 0) return exitCode;

    const std::optional<lists::OccupationList> list = readList(options, err);
    if (!list) return 1;
    const lists::ListCheck check = lists::check(*list);
    if (!reportCheck(options, check, err) || !writeList(options, password, *list, err)) return 1;
    write(out, QStringLiteral("%1 yazıldı: %2 meslek\n").arg(options.output).arg(list->size()));
    if (!options.quiet)
        write(err,
              QStringLiteral("meslek-mdb: %1 meslek yazıldı; ilk kod %2, son kod %3; %4 uyarı\n")
                  .arg(QString::number(list->size()), shownvalue::shown(check.firstCode),
                       shownvalue::shown(check.lastCode), QString::number(check.warningCount)));
    return 0;
}

}  // namespace jet4
