#include "cli/MeslekAra.h"

#include <QString>

#include <algorithm>
#include <optional>
#include <thread>
#include <vector>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/FieldBinding.h"
#include "data/OccupationRecordSet.h"
#include "failure/Exceptions.h"
#include "search/SearchCommands.h"

namespace {

constexpr int ExitDone = 0;
constexpr int ExitUnreadable = 1;
constexpr int ExitUsage = 2;

const char* const UsageText =
    "Kullanım: meslek-ara [--db DOSYA] [--password PAROLA] [--order-by SÜTUN] [--desc] [--or]\n"
    "                     [--] [TERİM1 [TERİM2]]\n"
    "\n"
    "Meslek listesini veritabanından okur ve her satırı meslek kodu, bir sekme ve meslek\n"
    "adı olarak yazar. Terim verilirse yalnızca aramaya uyan satırları yazar: adında\n"
    "(büyük/küçük harf Türkçe kurallarla eşlenerek) ya da kodunda (harfi harfine) terimi\n"
    "geçen meslekler. İki terimle her ikisi de adda ya da her ikisi de kodda geçmelidir\n"
    "(VE); --or ile birinin geçmesi yeter (VEYA). İlk terim boşsa bütün liste yazılır.\n"
    "\n"
    "  --db DOSYA          veritabanı dosyası (varsayılan: AnaData/MeslekAna.mdb)\n"
    "  --password PAROLA   veritabanı parolası (varsayılan: programın kendi parolası)\n"
    "  --order-by SÜTUN    listeyi bu sütuna göre sıralar (varsayılan: meslek kodu)\n"
    "  --desc              --order-by ile: azalan sırada\n"
    "  --or                iki terimden birinin geçmesi yeter (VEYA)\n"
    "  --                  seçeneklerin sonu; ardından gelenler terimdir ('-' ile başlasa da)\n"
    "  -h, --help          bu yardımı gösterir\n";

struct Options {
    QString database;  // null: the built-in data source
    QString password;  // null: the built-in password
    QString orderBy;
    bool descending = false;
    bool orMode = false;
    bool help = false;
    QStringList terms;  // at most two
};

struct UsageError {
    QString message;
};

std::optional<UsageError> addTerm(const QString& term, Options& options) {
    if (options.terms.size() == 2) {
        return UsageError{QStringLiteral("en çok iki terim verilebilir: %1").arg(term)};
    }
    options.terms.append(term);
    return std::nullopt;
}

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
            while (++i < args.size()) {
                if (auto error = addTerm(args.at(i), options)) return error;
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
        } else if (arg == QLatin1String("--or")) {
            options.orMode = true;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return UsageError{QStringLiteral("bilinmeyen seçenek: %1").arg(arg)};
        } else {
            if (auto error = addTerm(arg, options)) return error;
        }
    }
    if (options.descending && options.orderBy.isEmpty()) {
        return UsageError{QStringLiteral("--desc yalnızca --order-by ile kullanılabilir")};
    }
    return std::nullopt;
}

QString statementFor(const Options& options) {
    if (options.orderBy.isEmpty()) return ConnectionSettings::startupStatement();
    return OccupationRecordSet::resortStatement(
        options.orderBy, options.descending ? QStringLiteral("DESC") : QStringLiteral("ASC"));
}

// The command line's search area: fixed terms and choice.
class FixedInputs : public SearchInputs {
public:
    explicit FixedInputs(const Options& options) : options_(options) {}
    QString term1() const override { return options_.terms.value(0); }
    QString term2() const override { return options_.terms.value(1); }
    bool orChosen() const override { return options_.orMode; }
    bool autoSearchChecked() const override { return false; }
    void clearTerms() override {}

private:
    const Options& options_;
};

// Rows are written through a fixed buffer in large pieces, or, without a
// device, kept whole in memory.
class RowWriter {
public:
    explicit RowWriter(QIODevice* out) : out_(out), buffer_(Capacity) {}
    ~RowWriter() { flush(); }
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    // Appends `text` as UTF-8. A tab or line break inside a value would break
    // the one-row-per-line form, so those become blanks; a lone surrogate
    // becomes U+FFFD.
    void appendCleaned(QStringView text) {
        reserve(static_cast<std::size_t>(text.size()) * 3);
        char* w = buffer_.data() + used_;
        const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
        const char16_t* end = p + text.size();
        while (p < end) {
            char32_t c = *p++;
            if (c < 0x80) {
                *w++ = (c == '\t' || c == '\n' || c == '\r') ? ' ' : static_cast<char>(c);
                continue;
            }
            if (c >= 0xD800 && c <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00);
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                c = 0xFFFD;
            }
            if (c < 0x800) {
                *w++ = static_cast<char>(0xC0 | (c >> 6));
            } else {
                if (c < 0x10000) {
                    *w++ = static_cast<char>(0xE0 | (c >> 12));
                } else {
                    *w++ = static_cast<char>(0xF0 | (c >> 18));
                    *w++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                }
                *w++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            }
            *w++ = static_cast<char>(0x80 | (c & 0x3F));
        }
        used_ = static_cast<std::size_t>(w - buffer_.data());
    }

    void append(char c) {
        if (used_ == buffer_.size()) makeRoom(1);
        buffer_[used_++] = c;
    }

    void flush() {
        if (out_ == nullptr) return;
        if (used_ > 0) out_->write(buffer_.data(), static_cast<qint64>(used_));
        used_ = 0;
    }

    // Writes what was kept in memory to `out`.
    void writeTo(QIODevice& out) {
        out.write(buffer_.data(), static_cast<qint64>(used_));
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
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

void encodeRows(const ResultSet& result, int first, int last, int codeColumn, int nameColumn,
                RowWriter& writer) {
    constexpr int cellAhead = 16;
    constexpr int textAhead = 8;
    for (int position = first; position <= last; ++position) {
        result.prefetchCell(position + cellAhead, codeColumn);
        result.prefetchCell(position + cellAhead, nameColumn);
        result.prefetchText(position + textAhead, codeColumn);
        result.prefetchText(position + textAhead, nameColumn);
        writer.appendCleaned(result.valueAt(position, codeColumn));
        writer.append('\t');
        writer.appendCleaned(result.valueAt(position, nameColumn));
        writer.append('\n');
    }
}

// The rows the filter accepts, in order, walked through the record set.
void printAcceptedRows(OccupationRecordSet& records, QIODevice& out) {
    RowWriter writer(&out);
    if (records.isEmpty()) return;
    do {
        writer.appendCleaned(records.fieldView(OccupationRecordSet::MeslekKodu));
        writer.append('\t');
        writer.appendCleaned(records.fieldView(OccupationRecordSet::MeslekAdi));
        writer.append('\n');
        records.next();
    } while (!records.eof());
}

// Long lists are encoded in two halves at once: the time goes to waiting on
// memory, since rows in statement order lie all over it.
void printRows(const ResultSet& result, const std::vector<int>& columns, QIODevice& out) {
    const int codeColumn = columns[1];
    const int nameColumn = columns[2];
    const int count = result.recordCount();
    if (count < 50000) {
        RowWriter writer(&out);
        encodeRows(result, 1, count, codeColumn, nameColumn, writer);
        return;
    }
    const int half = count / 2;
    RowWriter secondHalf(nullptr);
    std::thread worker(
        [&] { encodeRows(result, half + 1, count, codeColumn, nameColumn, secondHalf); });
    {
        RowWriter firstHalf(&out);
        encodeRows(result, 1, half, codeColumn, nameColumn, firstHalf);
    }
    worker.join();
    secondHalf.writeTo(out);
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
        ConnectionSettings::applyTo(connection, ConnectionSettings::connectionStringWith(
                                                    options.database, options.password));
        connection.setWrongPasswordAdvice(
            QStringLiteral("doğru parolayı meslek-ara'ya --password ile verin (büyük/küçük harf "
                           "ayrımı vardır; verilmezse programın kendi parolası denenir)"));
        OccupationRecordSet records(connection, QLatin1String(OccupationRecordSetName));
        records.setSql({statementFor(options)});
        FixedInputs inputs(options);
        SearchCommands commands(records, inputs);
        commands.search();
        if (records.filtered()) {
            printAcceptedRows(records, out);
        } else {
            printRows(*records.result(), records.boundColumns(), out);
        }
        return ExitDone;
    } catch (const Exception& failure) {
        err.write(("meslek-ara: " + failure.message() + QLatin1Char('\n')).toUtf8());
        return ExitUnreadable;
    }
}
