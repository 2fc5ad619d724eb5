#include "cli/MeslekAra.h"

#include <QString>

#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>
#include <vector>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/FieldBinding.h"
#include "data/OccupationRecordSet.h"
#include "exceptions/Exceptions.h"
#include "search/SearchCommands.h"
#include "text/ShownValue.h"

namespace {

constexpr int ExitDone = 0;
constexpr int ExitUnreadable = 1;
constexpr int ExitUsage = 2;

const char* const UsageIntro =
    "Kullanım: meslek-ara [--db DOSYA] [--password PAROLA | --password-file DOSYA]\n"
    "                     [--order-by SÜTUN] [--desc] [--or] [--ascii]\n"
    "                     [--format tsv|csv|json] [--] [TERİM1 [TERİM2]]\n"
    "\n"
    "Meslek listesini veritabanından okur ve her satırı meslek kodu ve meslek adı olarak\n"
    "yazar. Terim verilirse yalnızca aramaya uyan satırları yazar: adında (büyük/küçük harf\n"
    "Türkçe kurallarla eşlenerek) ya da kodunda (harfi harfine) terimi geçen meslekler.\n"
    "İki terimle her ikisi de adda ya da her ikisi de kodda geçmelidir (VE); --or ile\n"
    "birinin geçmesi yeter (VEYA). İlk terim boşsa bütün liste yazılır.\n"
    "\n"
    "  --db DOSYA          veritabanı dosyası (varsayılan: AnaData/MeslekAna.mdb)\n";

const char* const UsageOptions =
    "                      Hiçbiri verilmezse programın kendi parolası kullanılır. Parola\n"
    "                      ya --password ya da --password-file ile verilir, ikisi birden\n"
    "                      verilemez; seçenek ortam değişkeninden önce gelir.\n"
    "  --order-by SÜTUN    listeyi bu sütuna göre sıralar (varsayılan: meslek kodu)\n"
    "  --desc              --order-by ile: azalan sırada\n"
    "  --or                iki terimden birinin geçmesi yeter (VEYA)\n"
    "  --ascii             adda ve terimde Türkçe harfler de düz Latin harflerine\n"
    "                      indirilir (ç→c, ğ→g, ı ve i→i, ö→o, ş→s, ü→u): \"muhendis\"\n"
    "                      \"Mühendis\"i, \"isci\" \"İşçi\"yi bulur; kodlar olduğu gibi\n"
    "                      karşılaştırılır\n"
    "  --format BİÇİM      çıktı biçimi (UTF-8):\n"
    "                        tsv   satır başına kod, sekme, ad (varsayılan); değerlerdeki\n"
    "                              sekme ve satır sonları boşluk olur\n"
    "                        csv   RFC 4180: başlık meslek_kodu,meslek_adi; virgül, tırnak\n"
    "                              ya da satır sonu içeren alan tırnak içinde, satırlar CRLF\n"
    "                        json  {\"kod\": ..., \"ad\": ...} nesnelerinden bir dizi\n"
    "  --                  seçeneklerin sonu; ardından gelenler terimdir ('-' ile başlasa da)\n"
    "  -h, --help          bu yardımı gösterir\n"
    "\n"
    "Çıkış kodu: 0 tamam, 1 veritabanı ya da parola dosyası okunamadı ya da çıktı\n"
    "yazılamadı, 2 yanlış kullanım. Çıktıyı okuyan taraf erken kapanırsa (meslek-ara | head)\n"
    "program sessizce 141 ile biter, SIGPIPE ile sonlanan bir süzgeç gibi.\n"
    "\n"
    "Jet 4 parolası şifreleme değildir: dosyayı eline geçiren herkes içeriğini okuyabilir.\n";

QByteArray usageText() { return QByteArray(UsageIntro) + PasswordOptionsHelp + UsageOptions; }

struct UsageError {
    QString message;
};

std::optional<UsageError> addTerm(const QString& term, MeslekAraOptions& options) {
    if (options.terms.size() == 2) {
        return UsageError{
            QStringLiteral("en çok iki terim verilebilir: %1").arg(shownvalue::shown(term))};
    }
    options.terms.append(term);
    return std::nullopt;
}

std::optional<UsageError> parseOptions(const QStringList& args, MeslekAraOptions& options) {
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
            while (++i < args.size()) {
                if (auto error = addTerm(args.at(i), options)) return error;
            }
            break;
        }
        QString passwordError;
        if (takePasswordOption(args, i, options.password, passwordError)) {
            if (!passwordError.isEmpty()) return UsageError{passwordError};
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            options.help = true;
        } else if (arg == QLatin1String("--db")) {
            if (auto error = takeValue(options.database)) return error;
        } else if (arg == QLatin1String("--order-by")) {
            if (auto error = takeValue(options.orderBy)) return error;
            if (options.orderBy.isEmpty()) return UsageError{QStringLiteral("sütun adı boş")};
        } else if (arg == QLatin1String("--desc")) {
            options.descending = true;
        } else if (arg == QLatin1String("--or")) {
            options.orMode = true;
        } else if (arg == QLatin1String("--ascii")) {
            options.plainLatin = true;
        } else if (arg == QLatin1String("--format")) {
            QString name;
            if (auto error = takeValue(name)) return error;
            const std::optional<OutputFormat> format = outputFormatNamed(name);
            if (!format) {
                return UsageError{
                    QStringLiteral("bilinmeyen çıktı biçimi: %1 (tsv, csv ya da json)")
                        .arg(shownvalue::shown(name))};
            }
            options.format = *format;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return UsageError{QStringLiteral("bilinmeyen seçenek: %1").arg(shownvalue::shown(arg))};
        } else {
            if (auto error = addTerm(arg, options)) return error;
        }
    }
    if (options.descending && options.orderBy.isEmpty()) {
        return UsageError{QStringLiteral("--desc yalnızca --order-by ile kullanılabilir")};
    }
    return std::nullopt;
}

QString statementFor(const MeslekAraOptions& options) {
    if (options.orderBy.isEmpty()) return ConnectionSettings::startupStatement();
    return OccupationRecordSet::resortStatement(
        options.orderBy, options.descending ? QStringLiteral("DESC") : QStringLiteral("ASC"));
}

// The command line's search area: fixed terms and choice.
class FixedInputs : public SearchInputs {
public:
    explicit FixedInputs(const MeslekAraOptions& options) : options_(options) {}
    QString term1() const override { return options_.terms.value(0); }
    QString term2() const override { return options_.terms.value(1); }
    bool orChosen() const override { return options_.orMode; }
    bool plainLatin() const override { return options_.plainLatin; }
    bool autoSearchChecked() const override { return false; }
    void clearTerms() override {}

private:
    const MeslekAraOptions& options_;
};

// Rows are written through a fixed buffer in large pieces, or, without a
// device, kept whole in memory. Once a write fails, nothing more is written
// and failed() holds.
class RowWriter {
public:
    // `first`: whether the next row is the list's first.
    RowWriter(QIODevice* out, const ListFormat& format, bool first = true)
        : out_(out), format_(format), first_(first), buffer_(Capacity) {}
    ~RowWriter() { flush(); }
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    void row(QStringView code, QStringView name) {
        reserve(format_.rowBound(code, name));
        char* end = format_.row(buffer_.data() + used_, code, name, first_);
        used_ = static_cast<std::size_t>(end - buffer_.data());
        first_ = false;
    }

    void append(std::string_view bytes) {
        reserve(bytes.size());
        std::copy(bytes.begin(), bytes.end(), buffer_.data() + used_);
        used_ += bytes.size();
    }

    bool failed() const { return failed_; }
    // Whether the list has a row so far: one written here, or one before
    // this writer's first (`first` false).
    bool anyRows() const { return !first_; }

    void flush() {
        if (out_ != nullptr) writeTo(*out_);
    }

    // Writes what was kept in memory to `out`.
    void writeTo(QIODevice& out) {
        if (used_ > 0 && !failed_ &&
            out.write(buffer_.data(), static_cast<qint64>(used_)) != static_cast<qint64>(used_)) {
            failed_ = true;
        }
        used_ = 0;
    }

private:
    static constexpr std::size_t Capacity = 1 << 20;

    void reserve(std::size_t bytes) {
        if (used_ + bytes > buffer_.size()) makeRoom(bytes);
    }

    void makeRoom(std::size_t bytes) {
        if (out_ != nullptr) flush();
        if (used_ + bytes > buffer_.size())
            buffer_.resize(std::max(used_ + bytes, 2 * buffer_.size()));
    }

    QIODevice* out_;
    const ListFormat& format_;
    bool first_;
    bool failed_ = false;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

// Stops early when the writer fails or `stop` is set.
void encodeRows(const ResultSet& result, int first, int last, int codeColumn, int nameColumn,
                RowWriter& writer, const std::atomic<bool>* stop = nullptr) {
    for (int position = first;
         position <= last && !writer.failed() && !(stop && stop->load(std::memory_order_relaxed));
         ++position) {
        result.prefetchBookkeeping(position + ResultSet::BookkeepingAhead);
        result.prefetchText(position + ResultSet::TextAhead, codeColumn);
        writer.row(result.viewAt(position, codeColumn), result.viewAt(position, nameColumn));
    }
}

// The rows the filter accepts, in order, walked through the record set.
void printAcceptedRows(OccupationRecordSet& records, const ListFormat& format, QIODevice& out) {
    RowWriter writer(&out, format);
    writer.append(format.opening());
    if (!records.isEmpty()) {
        do {
            writer.row(records.fieldView(OccupationRecordSet::MeslekKodu),
                       records.fieldView(OccupationRecordSet::MeslekAdi));
            records.next();
        } while (!records.eof() && !writer.failed());
    }
    writer.append(format.closing(writer.anyRows()));
}

// Long lists are encoded on two threads at once, a block each: the time goes
// to waiting on memory, since rows in statement order lie all over it. The
// block of the second thread waits in memory while the first goes out, then
// follows it; blocks of an eighth of the list keep what waits small.
void printRows(const ResultSet& result, const std::vector<int>& columns, const ListFormat& format,
               QIODevice& out) {
    const int codeColumn = columns[1];
    const int nameColumn = columns[2];
    const int count = result.recordCount();
    const std::string_view closing = format.closing(count > 0);
    if (count < 50000) {
        RowWriter writer(&out, format);
        writer.append(format.opening());
        encodeRows(result, 1, count, codeColumn, nameColumn, writer);
        writer.append(closing);
        return;
    }
    constexpr int Blocks = 8;
    const int block = (count + Blocks - 1) / Blocks;
    RowWriter writer(&out, format);
    writer.append(format.opening());
    for (int first = 1; first <= count && !writer.failed(); first += 2 * block) {
        const int middle = std::min(count, first + block - 1);
        const int last = std::min(count, first + 2 * block - 1);
        // A failed output (a closed pipe) ends the other thread's work too.
        std::atomic<bool> failed = false;
        RowWriter later(nullptr, format, false);
        std::thread worker;
        if (middle < last) {
            worker = std::thread([&] {
                encodeRows(result, middle + 1, last, codeColumn, nameColumn, later, &failed);
            });
        }
        encodeRows(result, first, middle, codeColumn, nameColumn, writer);
        writer.flush();
        failed = writer.failed();
        if (worker.joinable()) worker.join();
        if (!failed) later.writeTo(out);
        if (later.failed()) break;
    }
    writer.append(closing);
}

}  // namespace

QString parseMeslekAraOptions(const QStringList& arguments, MeslekAraOptions& options) {
    const auto error = parseOptions(arguments, options);
    return error ? error->message : QString();
}

int runMeslekAra(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    MeslekAraOptions options;
    if (const auto error = parseOptions(arguments, options)) {
        err.write(("meslek-ara: " + error->message + QLatin1Char('\n')).toUtf8());
        err.write(usageText());
        return ExitUsage;
    }
    if (options.help) {
        out.write(usageText());
        return ExitDone;
    }
    QString passwordError;
    const std::optional<QString> password =
        resolvePassword(options.password, qEnvironmentVariable(PasswordVariable), passwordError);
    if (!passwordError.isEmpty()) {
        err.write(("meslek-ara: " + passwordError + QLatin1Char('\n')).toUtf8());
        return ExitUnreadable;
    }
    try {
        Connection connection;
        ConnectionSettings::applyTo(
            connection, ConnectionSettings::connectionStringWith(options.database,
                                                                 password.value_or(QString())));
        connection.setWrongPasswordAdvice(QStringLiteral(
            "doğru parolayı meslek-ara'ya verin: --password, --password-file ya da "
            "MESLEKANA_PASSWORD ile (büyük/küçük harf ayrımı vardır; hiçbiri verilmezse "
            "programın kendi parolası denenir)"));
        connection.setReaderEnvironment(environmentWithoutPassword());
        OccupationRecordSet records(connection, QLatin1String(OccupationRecordSetName));
        records.setSql({statementFor(options)});
        FixedInputs inputs(options);
        SearchCommands commands(records, inputs);
        // One pass over the rows: testing each row as it comes needs no
        // search texts in memory, which pay off only over many key presses.
        records.setOnFilterRecord(commands.filterRecord());
        commands.search();
        const ListFormat format(options.format);
        if (records.filtered()) {
            printAcceptedRows(records, format, out);
        } else {
            printRows(*records.result(), records.boundColumns(), format, out);
        }
        return ExitDone;
    } catch (const Exception& failure) {
        err.write(("meslek-ara: " + failure.message() + QLatin1Char('\n')).toUtf8());
        return ExitUnreadable;
    }
}
