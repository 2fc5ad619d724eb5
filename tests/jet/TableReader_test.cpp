#include "jet/TableReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

#include "exceptions/Exceptions.h"
#include "jet/ProviderMessages.h"
#include "jetwriter/Jet4Writer.h"
#include "support/OccupationFixtures.h"

namespace {

using jet4::ColumnType;

class TableReaderTest : public ::testing::Test {
protected:
    // The stand-in readers are handed this (empty) file.
    void SetUp() override { QFile(path(QStringLiteral("x.mdb"))).open(QIODevice::WriteOnly); }

    QString path(const QString& name) const { return dir_.filePath(name); }

    QString writeDatabase(const QString& name, std::vector<jet4::TableDef> tables) const {
        jet4::DatabaseDef database;
        database.tables = std::move(tables);
        const QString file = path(name);
        jet4::writeDatabaseFile(file, database);
        return file;
    }

    // A stand-in reader: a shell script with the given body.
    QString script(const QString& name, const QByteArray& body) const {
        const QString file = path(name);
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\n" + body + "\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file;
    }

    QString shown(const QString& file) const { return QDir::toNativeSeparators(file); }

    QTemporaryDir dir_;
};

// The message readTable fails with, or an empty string.
QString failure(const QString& file, const QString& table, const TableReaderOptions& options = {}) {
    try {
        readTable(file, table, options);
    } catch (const EOleException& e) {
        EXPECT_EQ(e.errorCode(), ResultCode::Fail);
        return e.message();
    }
    return {};
}

TableReaderOptions fakeReader(const QString& helper, int stallMs = 300) {
    TableReaderOptions options;
    options.helperPath = helper;
    options.stallTimeoutMs = stallMs;
    return options;
}

// Whether the process is still running (not gone, not a zombie) a moment later.
bool stillRunning(pid_t pid) {
    QElapsedTimer timer;
    timer.start();
    do {
        if (::kill(pid, 0) != 0 && errno == ESRCH) return false;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (stat.open(QIODevice::ReadOnly)) {
            const QByteArray text = stat.readAll();
            const qsizetype close = text.lastIndexOf(')');
            if (close >= 0 && text.mid(close + 2, 1) == "Z") return false;
        }
        QThread::msleep(10);
    } while (timer.elapsed() < 2000);
    return true;
}

pid_t readPid(const QString& file) {
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    return static_cast<pid_t>(f.readAll().trimmed().toInt());
}

}  // namespace

TEST_F(TableReaderTest, ReadsRowsInPhysicalOrderWithColumnKinds) {
    jet4::TableDef table;
    table.name = QStringLiteral("meslekler");
    table.columns = {{QStringLiteral("ID"), ColumnType::Long, 0, true},
                     {QStringLiteral("meslek_kodu"), ColumnType::Text, 15, false},
                     {QStringLiteral("meslek_adi"), ColumnType::Text, 255, false},
                     {QStringLiteral("aciklama"), ColumnType::Memo, 0, false},
                     {QStringLiteral("derece"), ColumnType::Integer, 0, false},
                     {QStringLiteral("oran"), ColumnType::Double, 0, false},
                     {QStringLiteral("tarih"), ColumnType::DateTime, 0, false}};
    table.rows = {
        {std::int64_t(3), QStringLiteral("7111.03"), QStringLiteral("Şoför"),
         QStringLiteral("Ağır vasıta ĞÜŞİÖÇ ğüşıöç"), std::int64_t(-2), 2.5, 44568.5},
        {std::int64_t(1), QStringLiteral("2611.01"), QStringLiteral("Avukat"), {}, {}, {}, {}},
        {std::int64_t(2), QString(), QStringLiteral("İnşaat işçisi"), {}, std::int64_t(7), {}, {}},
    };
    const QString file = writeDatabase(QStringLiteral("tablo.mdb"), {table});

    const RawTable raw = readTable(file, QStringLiteral("meslekler"));

    ASSERT_EQ(raw.columnCount(), 7u);
    const FieldKind kinds[] = {FieldKind::AutoInc,  FieldKind::WideString, FieldKind::WideString,
                               FieldKind::WideMemo, FieldKind::SmallInt,   FieldKind::Float,
                               FieldKind::DateTime};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(raw.columns[i].name, table.columns[i].name);
        EXPECT_EQ(raw.columns[i].kind, kinds[i]) << i;
    }
    EXPECT_EQ(raw.columns[1].size, 30);
    EXPECT_EQ(raw.columns[2].size, 510);
    EXPECT_FALSE(raw.columns[4].autoIncrement);

    ASSERT_EQ(raw.rowCount(), 3u);
    EXPECT_EQ(raw.cell(0, 0), QStringLiteral("3"));
    EXPECT_EQ(raw.cell(1, 0), QStringLiteral("1"));
    EXPECT_EQ(raw.cell(2, 0), QStringLiteral("2"));
    EXPECT_EQ(raw.cell(0, 2), QStringLiteral("Şoför"));
    EXPECT_EQ(raw.cell(0, 3), QStringLiteral("Ağır vasıta ĞÜŞİÖÇ ğüşıöç"));
    EXPECT_EQ(raw.cell(0, 4), QStringLiteral("-2"));
    EXPECT_EQ(raw.cell(0, 6), QStringLiteral("2022-01-07 12:00:00"));
    EXPECT_EQ(raw.cell(0, 5).toDouble(), 2.5);
    EXPECT_EQ(raw.cell(2, 2), QStringLiteral("İnşaat işçisi"));

    // Text cannot tell NULL from empty; other columns can.
    EXPECT_FALSE(raw.cell(2, 1).isNull());
    EXPECT_TRUE(raw.cell(2, 1).isEmpty());
    EXPECT_FALSE(raw.cell(1, 3).isNull());
    EXPECT_TRUE(raw.cell(1, 4).isNull());
    EXPECT_TRUE(raw.cell(1, 5).isNull());
    EXPECT_TRUE(raw.cell(1, 6).isNull());
}

TEST_F(TableReaderTest, ReadsManyPagesAndMatchesTableNamesIgnoringAsciiCase) {
    const auto rows = jet4::syntheticOccupations(3000, 5);
    jet4::DatabaseDef database = jet4::occupationDatabase(rows, QString());
    const QString file = path(QStringLiteral("buyuk.mdb"));
    jet4::writeDatabaseFile(file, database);

    const RawTable raw = readTable(file, QStringLiteral("MESLEKLER"));
    ASSERT_EQ(raw.rowCount(), rows.size());
    EXPECT_EQ(raw.columns[0].kind, FieldKind::AutoInc);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(raw.cell(i, 0), QString::number(i + 1));
        ASSERT_EQ(raw.cell(i, 1), rows[i].code);
        ASSERT_EQ(raw.cell(i, 2), rows[i].name);
        ASSERT_EQ(raw.cell(i, 3), rows[i].parent.isNull() ? QString("") : rows[i].parent);
    }
}

TEST_F(TableReaderTest, MissingAndEmptyTables) {
    jet4::TableDef other = jet4::occupationTable({});
    other.name = QStringLiteral("baska");
    const QString file =
        writeDatabase(QStringLiteral("bos.mdb"), {jet4::occupationTable({}), other});

    const RawTable empty = readTable(file, QStringLiteral("meslekler"));
    EXPECT_EQ(empty.columnCount(), 4u);
    EXPECT_EQ(empty.rowCount(), 0u);

    EXPECT_EQ(failure(file, QStringLiteral("meslekler_yok")),
              TrimMessageEnd(
                  ProviderMessages::tableMissing(QStringLiteral("meslekler_yok"), shown(file))));
    // Non-ASCII letters are not folded.
    EXPECT_FALSE(failure(file, QStringLiteral("BAŞKA")).isEmpty());
}

TEST_F(TableReaderTest, FilesThatAreMissingOrNotDatabases) {
    const QString missing = path(QStringLiteral("yok.mdb"));
    EXPECT_EQ(failure(missing, QStringLiteral("meslekler")),
              TrimMessageEnd(ProviderMessages::missingFile(shown(missing))));

    EXPECT_EQ(failure(dir_.path(), QStringLiteral("meslekler")),
              TrimMessageEnd(ProviderMessages::notAFile(shown(dir_.path()), "bir klasör")));

    // An empty file would open in libmdb and fail at the catalog: it is named incomplete.
    const QString empty = path(QStringLiteral("bos.mdb"));
    QFile(empty).open(QIODevice::WriteOnly);
    const QString message = failure(empty, QStringLiteral("meslekler"));
    EXPECT_TRUE(message.startsWith(
        ProviderMessages::incompleteFile(shown(empty), QString()).section(QLatin1Char('('), 0, 0)))
        << message.toStdString();
}

TEST_F(TableReaderTest, ReaderThatHangsIsStoppedAndReaped) {
    const QString pidFile = path(QStringLiteral("pid"));
    const QString hang =
        script(QStringLiteral("hang.sh"), "echo $$ > '" + pidFile.toUtf8() + "'\nexec sleep 30");
    QElapsedTimer timer;
    timer.start();
    const QString message = failure(path("x.mdb"), QStringLiteral("meslekler"), fakeReader(hang));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(message, TrimMessageEnd(ProviderMessages::damagedFile(
                           shown(path("x.mdb")),
                           QStringLiteral("okuyucu 300 milisaniye içinde ilerleme göstermedi"))));
    EXPECT_FALSE(stillRunning(readPid(pidFile)));

    // A reader that leaves a process of its own holding the pipe: both are stopped.
    const QString grandchild = script(QStringLiteral("child.sh"),
                                      "sleep 30 &\necho $! > '" + pidFile.toUtf8() + "'\nexit 0");
    EXPECT_TRUE(failure(path("x.mdb"), QStringLiteral("meslekler"), fakeReader(grandchild))
                    .contains(QStringLiteral("ilerleme göstermedi")));
    EXPECT_FALSE(stillRunning(readPid(pidFile)));

    // One that closes its streams (the second is fd 4) but does not exit.
    const QString lingering =
        script(QStringLiteral("linger.sh"),
               "exec >&- 4>&-\necho $$ > '" + pidFile.toUtf8() + "'\nexec sleep 30");
    EXPECT_TRUE(failure(path("x.mdb"), QStringLiteral("meslekler"), fakeReader(lingering))
                    .contains(QStringLiteral("sonlanmadı")));
    EXPECT_FALSE(stillRunning(readPid(pidFile)));
}

TEST_F(TableReaderTest, ReaderThatCrashesOrSendsGarbageMeansADamagedFile) {
    const QString file = path(QStringLiteral("x.mdb"));
    const struct {
        const char* body;
        const char* reason;
    } cases[] = {
        {"kill -SEGV $$", "okuyucu beklenmedik biçimde sonlandı (sinyal 11)"},
        {"exit 3", "okuyucu beklenmedik biçimde sonlandı (çıkış kodu 3)"},
        {"printf 'Unable to read table MSysObjects'", "okuyucunun gönderdiği veri bozuk"},
        {"exit 0", "okuyucunun gönderdiği veri bozuk"},
        // A valid header and the start of a column record, then a crash.
        {"printf 'MKTS\\r\\n\\032\\n\\001\\000C\\001'; kill -SEGV $$", "(sinyal 11)"},
        // A table-not-found record, but a successful exit.
        {"printf 'MKTS\\r\\n\\032\\n\\001\\000X\\007\\000\\000'", "veri bozuk"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString reader = script(QStringLiteral("r%1.sh").arg(n++), c.body);
        const QString message =
            failure(file, QStringLiteral("meslekler"), fakeReader(reader, 5000));
        EXPECT_TRUE(
            message.startsWith(QStringLiteral("\"%1\" veritabanı dosyası bozuk").arg(shown(file))))
            << c.body << ": " << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.reason)))
            << c.body << ": " << message.toStdString();
    }

    // The same error record with exit status 1 is taken at its word.
    const QString notFound =
        script(QStringLiteral("notfound.sh"),
               "printf 'MKTS\\r\\n\\032\\n\\001\\000X\\007\\000\\000'; exit 1");
    EXPECT_EQ(failure(file, QStringLiteral("tablo"), fakeReader(notFound)),
              TrimMessageEnd(ProviderMessages::tableMissing(QStringLiteral("tablo"), shown(file))));
}

TEST_F(TableReaderTest, MissingReader) {
    const QString missing = path(QStringLiteral("meslek-reader"));
    EXPECT_EQ(failure(path("x.mdb"), QStringLiteral("meslekler"), fakeReader(missing)),
              TrimMessageEnd(ProviderMessages::readerMissing(shown(missing))));
}

TEST_F(TableReaderTest, ReaderIsFoundBesideTheProgramOrInTheInstalledFolder) {
    // The installed layout: bin/ and the reader's folder beside it.
    QDir root(path(QStringLiteral("usr")));
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin")));
    ASSERT_TRUE(root.mkpath(QStringLiteral("bin/") + QLatin1String(InstalledReaderDirectory)));
    const QString program = root.filePath(QStringLiteral("bin/meslek-ara"));
    const QString installed = QDir::cleanPath(root.filePath(
        QStringLiteral("bin/%1/meslek-reader").arg(QLatin1String(InstalledReaderDirectory))));

    // Neither there: the installed path, for the message.
    EXPECT_EQ(readerExecutablePathFor(program), installed);
    script(QDir(dir_.path()).relativeFilePath(installed), "exit 0");
    EXPECT_EQ(readerExecutablePathFor(program), installed);

    // A file beside the program that cannot run is not the reader.
    const QString beside = root.filePath(QStringLiteral("bin/meslek-reader"));
    QFile plain(beside);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    EXPECT_EQ(readerExecutablePathFor(program), installed);

    // As in the build tree: beside the program comes first.
    plain.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readerExecutablePathFor(program), beside);
}

// A table of many pages is read in two halves at once, through two streams:
// the rows come back whole and in file order, as one stream gives them.
TEST_F(TableReaderTest, ALargeTableReadInTwoHalvesJoinsUpInFileOrder) {
    std::vector<jet4::OccupationRow> rows = jet4::syntheticOccupations(40000, 5);
    for (std::size_t i = 0; i < rows.size(); i += 97)
        rows[i].parent = QStringLiteral("Üst %1").arg(i);
    const QString file = writeDatabase(QStringLiteral("large.mdb"), {jet4::occupationTable(rows)});
    ASSERT_GT(QFileInfo(file).size(), 600 * 4096) << "too few pages for two halves";
    const RawTable table = readTable(file, QStringLiteral("meslekler"));
    ASSERT_EQ(table.rowCount(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(table.cell(i, 0), QString::number(i + 1)) << i;
        ASSERT_EQ(table.cell(i, 1), rows[i].code) << i;
        ASSERT_EQ(table.cell(i, 2), rows[i].name) << i;
        ASSERT_EQ(table.cell(i, 3), rows[i].parent) << i;
    }

    // Only the columns named (in any ASCII case) keep their values, in both
    // halves; the others keep their definitions and come as nulls.
    TableReaderOptions some;
    some.valueColumns = {QStringLiteral("MESLEK_KODU"), QStringLiteral("meslek_adi")};
    const RawTable part = readTable(file, QStringLiteral("meslekler"), some);
    ASSERT_EQ(part.rowCount(), rows.size());
    ASSERT_EQ(part.columns.size(), 4u);
    const std::vector<bool> read = {false, true, true, false};
    for (std::size_t column = 0; column < read.size(); ++column) {
        EXPECT_EQ(part.columns[column].valuesRead, read[column]) << column;
        EXPECT_EQ(part.columns[column].kind, table.columns[column].kind) << column;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_TRUE(part.isNull(i, 0)) << i;
        ASSERT_EQ(part.cell(i, 1), rows[i].code) << i;
        ASSERT_EQ(part.cell(i, 2), rows[i].name) << i;
        ASSERT_TRUE(part.isNull(i, 3)) << i;
    }
}

TEST_F(TableReaderTest, ASecondStreamThatIsGarbageOrCutMeansADamagedFile) {
    const QString file = writeDatabase(QStringLiteral("small.mdb"),
                                       {jet4::occupationTable(jet4::syntheticOccupations(10, 1))});
    // The whole table in the first stream, as the real reader sends it; then
    // something else in the second.
    const QByteArray real = QFile::encodeName(readerExecutablePath());
    const struct {
        const char* second;
        const char* reason;
    } cases[] = {
        {"printf 'garbage' >&4", "okuyucunun gönderdiği veri bozuk"},
        {"printf 'MKTS\\r\\n\\032\\n\\001\\000' >&4", "okuyucunun gönderdiği veri bozuk"},
        {"exec 4>&-", "okuyucunun gönderdiği veri bozuk"},
        // The second half ran out of memory: said as such.
        {"printf 'MKTS\\r\\n\\032\\n\\001\\000X\\011\\000\\000' >&4", "okuyucunun belleği yetmedi"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString reader = script(QStringLiteral("half%1.sh").arg(n++),
                                      "'" + real + "' \"$1\" \"$2\" 3<&3 || exit $?\n" + c.second);
        const QString message =
            failure(file, QStringLiteral("meslekler"), fakeReader(reader, 5000));
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.reason)))
            << c.second << ": " << message.toStdString();
    }
}
