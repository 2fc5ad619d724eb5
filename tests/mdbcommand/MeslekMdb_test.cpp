#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "data/ConnectionSettings.h"
#include "jet/JetHeader.h"
#include "lists/Csv.h"
#include "mdbcommand/MeslekMdb.h"
#include "support/MdbTools.h"
#include "support/XlsxWriter.h"
#include "text/ShownValue.h"

namespace {

ProgramOutput meslekMdb(const QStringList& arguments) {
    return runInProcess(jet4::runMeslekMdb, arguments);
}

class MeslekMdbTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }

    QString csvFile(const QByteArray& text, const QString& name = QStringLiteral("liste.csv")) {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return f.fileName();
    }

    // Files other than the CSV inputs.
    QStringList outputs() const {
        QStringList names = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);
        names.removeIf([](const QString& n) { return n.endsWith(QLatin1String(".csv")); });
        return names;
    }

    // The type bits of what is at `file`, the link itself for a link.
    static mode_t fileType(const QString& file) {
        struct stat status {};
        return ::lstat(QFile::encodeName(file).constData(), &status) == 0 ? status.st_mode : 0;
    }

    JetHeader::Info header(const QString& file) const {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return JetHeader::inspect(f.read(JetHeader::PageSize), f.size());
    }

    QTemporaryDir dir_;
};

}  // namespace

TEST_F(MeslekMdbTest, BuildsTheOccupationTableFromCsv) {
    const QString csv = csvFile(
        "\xEF\xBB\xBFmeslek_kodu,meslek_adi,meslek_ana\r\n"
        "0110.00,Subaylar,Silahlı Kuvvetler\r\n"
        "\"2411.07\",\"Muhasebeci, Baş\",\"Mali \"\"Müşavir\"\"\"\r\n"
        "ÇĞİÖŞÜ,çğıöşü çalışanı,\"iki\r\nsatır\"\r\n"
        "\r\n"
        ",,\r\n"
        "123456789012345,Ad,");
    const QString out = path(QStringLiteral("MeslekAna.mdb"));
    const ProgramOutput run = meslekMdb({"create", out, "--csv", csv});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // Codes of one's own are written as they are, with a warning; the blank row is left out.
    EXPECT_EQ(run.err, QStringLiteral("meslek-mdb: %1: uyarı, 2 kod NNNN.NN biçiminde değil:\n"
                                      "  satır 4: ÇĞİÖŞÜ kodu NNNN.NN biçiminde değil\n"
                                      "  satır 8: 123456789012345 kodu NNNN.NN biçiminde değil\n"
                                      "meslek-mdb: 4 meslek yazıldı; ilk kod 0110.00, son kod "
                                      "ÇĞİÖŞÜ; 2 uyarı\n")
                           .arg(csv));

    EXPECT_EQ(mdbtools::tables(out), QStringList{QStringLiteral("meslekler")});
    const QString schema = mdbtools::schema(out);
    EXPECT_TRUE(schema.contains(QStringLiteral("[meslek_kodu]\t\t\tText (15)")));
    EXPECT_TRUE(schema.contains(QStringLiteral("[meslek_ana]\t\t\tText (255)")));
    const auto rows = mdbtools::exportTable(out, QStringLiteral("meslekler"));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], QStringList({"ID", "meslek_kodu", "meslek_adi", "meslek_ana"}));
    EXPECT_EQ(rows[1], QStringList({"1", "0110.00", "Subaylar", "Silahlı Kuvvetler"}));
    EXPECT_EQ(rows[2], QStringList({"2", "2411.07", "Muhasebeci, Baş", "Mali \"Müşavir\""}));
    EXPECT_EQ(rows[3], QStringList({"3", "ÇĞİÖŞÜ", "çğıöşü çalışanı", "iki\r\nsatır"}));
    EXPECT_EQ(rows[4], QStringList({"4", "123456789012345", "Ad", ""}));

    // The built-in password and the fixed creation date; the password is never printed.
    const JetHeader::Info info = header(out);
    EXPECT_EQ(info.verdict, JetHeader::Verdict::Jet4);
    EXPECT_EQ(info.password, ConnectionSettings::builtInDatabasePassword());
    EXPECT_EQ(info.creationDate, 44568.5);
    EXPECT_FALSE(run.out.contains(info.password));
    EXPECT_EQ(outputs(), QStringList{QStringLiteral("MeslekAna.mdb")});
}

TEST_F(MeslekMdbTest, PasswordDateAndTwoColumnLists) {
    const QString csv = csvFile("meslek_kodu,meslek_adi\n1,Bir\n2,İki\n");
    const QString out = path(QStringLiteral("iki.mdb"));
    const ProgramOutput run =
        meslekMdb({"create", "--password", "Gizli-Şifre", out, "--date", "36526.25", "--csv", csv});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("Gizli")));
    const JetHeader::Info info = header(out);
    EXPECT_EQ(info.password, QStringLiteral("Gizli-Şifre"));
    EXPECT_EQ(info.creationDate, 36526.25);
    const auto rows = mdbtools::exportTable(out, QStringLiteral("meslekler"));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2], QStringList({"2", "2", "İki", ""}));
}

TEST_F(MeslekMdbTest, BadListsNameTheLineAndLeaveNoFile) {
    const QString name256 = QString(256, QChar(u'ş'));
    const struct {
        QByteArray csv;
        const char* message;
    } cases[] = {
        {"kod,ad\n1,a\n", "satır 1: başlık"},
        {"meslek_kodu,meslek_adi,meslek_ana,fazla\n", "satır 1: başlık"},
        {"", "satır 1: başlık satırı yok"},
        {"meslek_kodu,meslek_adi\n1,a\n2,b,c\n", "satır 3: 2 alan bekleniyordu, 3 alan var"},
        {"meslek_kodu,meslek_adi,meslek_ana\r\n1,a,b\r\n\"2\nx\",b,c\r\n3,c\r\n",
         "satır 5: 3 alan bekleniyordu, 2 alan var"},
        {"meslek_kodu,meslek_adi\n1,a\n1234567890123456,b\n",
         "satır 3: meslek kodu 15 karakterden uzun"},
        {"meslek_kodu,meslek_adi\n1,a\n2,b\n3," + name256.toUtf8() + "\n",
         "satır 4: meslek adı 255 karakterden uzun"},
        {"meslek_kodu,meslek_adi,meslek_ana\n1,a," + name256.toUtf8() + "\n",
         "satır 2: meslek ana grubu 255 karakterden uzun"},
        {"meslek_kodu,meslek_adi\n1,a\n2,\"b\n", "satır 3: tırnak işareti kapanmamış"},
        {"meslek_kodu,meslek_adi\n1,\"a\"b\n", "satır 2: kapanan tırnak"},
        {"meslek_kodu,meslek_adi\n1,a\"b\n", "satır 2: tırnak işareti yalnızca"},
        {"meslek_kodu,meslek_adi\n1,a\n2,\xC4\n", "satır 3: geçerli bir UTF-8"},
        {"meslek_kodu,meslek_adi\r\n",
         "listede 1 hata var, veritabanı yazılmadı:\n  başlık satırının altında hiç meslek yok\n"},
    };
    for (const auto& c : cases) {
        const QString csv = csvFile(c.csv);
        const ProgramOutput run =
            meslekMdb({"create", path(QStringLiteral("out.mdb")), "--csv", csv});
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(outputs().isEmpty()) << c.message;
    }

    // Unreadable input and an unwritable output fail the same way.
    ProgramOutput run = meslekMdb(
        {"create", path(QStringLiteral("out.mdb")), "--csv", path(QStringLiteral("yok.csv"))});
    EXPECT_EQ(run.exitCode, 1);
    run = meslekMdb({"create", path(QStringLiteral("yok/out.mdb")), "--csv",
                     csvFile("meslek_kodu,meslek_adi\n1,a\n")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("yazılamadı"))) << run.err.toStdString();
    EXPECT_TRUE(outputs().isEmpty());
}

TEST_F(MeslekMdbTest, WrongUsageExitsWithTwo) {
    const QString csv = csvFile("meslek_kodu,meslek_adi\n1,a\n");
    const QString out = path(QStringLiteral("out.mdb"));
    for (const QStringList& args :
         {QStringList{}, QStringList{"yap", out, "--csv", csv}, QStringList{"create", out},
          QStringList{"create", "--csv", csv}, QStringList{"create", out, "--csv"},
          QStringList{"create", out, "--csv", csv, "--date", "dün"},
          QStringList{"create", out, "--csv", csv, "--bilinmeyen"},
          QStringList{"create", out, "fazla.mdb", "--csv", csv},
          QStringList{"create", out, "--csv", csv, "--password", QString(21, QChar(u'ş'))},
          QStringList{"create", out, "--csv", csv, "--xlsx", csv},
          QStringList{"create", out, "--csv", csv, "--sheet", "Sayfa1"},
          QStringList{"create", out, "--xlsx", csv, "--sheet", ""}}) {
        const ProgramOutput run = meslekMdb(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Kullanım: meslek-mdb create")));
        EXPECT_FALSE(run.err.contains(QString(21, QChar(u'ş'))));
        EXPECT_TRUE(outputs().isEmpty());
    }
    // A hostile argument comes back cut and escaped.
    const QString hostile = QStringLiteral("\u202E") + QString(1 << 20, QLatin1Char('9'));
    for (const QStringList& args : {QStringList{"create", out, hostile, "--csv", csv},
                                    QStringList{"create", out, "--csv", csv, "--date", hostile}}) {
        const ProgramOutput run = meslekMdb(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_LT(run.err.size(), 8192);
        EXPECT_TRUE(run.err.contains(QStringLiteral(": \\u202E999")))
            << run.err.left(200).toStdString();
        EXPECT_FALSE(run.err.contains(QChar(0x202E)));
    }
    const ProgramOutput help = meslekMdb({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Kullanım: meslek-mdb")));
}

TEST_F(MeslekMdbTest, ProgramReportsThroughItsExitCode) {
    const QString program = QStringLiteral(MESLEK_BUILD_DIR "/meslek-mdb");
    const QString out = path(QStringLiteral("örnek.mdb"));
    ProgramOutput r = runExecutable(
        program, {"create", out, "--csv", QStringLiteral(MESLEK_SOURCE_DIR "/data/meslekler.csv")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_GT(mdbtools::exportTable(out, QStringLiteral("meslekler")).size(), 100u);

    r = runExecutable(program, {"create", path(QStringLiteral("kötü.mdb")), "--csv",
                                csvFile("meslek_kodu,meslek_adi\n1\n")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("satır 2")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("kötü.mdb"))));
    EXPECT_EQ(runExecutable(program, {}).exitCode, 2);
}

TEST_F(MeslekMdbTest, ValuesFromTheListAreShownCutAndEscaped) {
    // Thirty repeats of a code of a megabyte: each finding shows the code's start.
    const QByteArray huge = "5120." + QByteArray(1 << 20, '1');
    QByteArray csv = "meslek_kodu,meslek_adi\n";
    for (int i = 0; i < 30; ++i) csv += huge + ",Aşçı\n";
    const QString out = path(QStringLiteral("out.mdb"));
    ProgramOutput run = meslekMdb({"create", out, "--csv", csvFile(csv)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_LT(run.err.size(), 16 * 1024);
    const QString cut =
        QString::fromLatin1(huge.left(shownvalue::MaxShownCharacters)) + QChar(0x2026);
    EXPECT_TRUE(run.err.contains(QStringLiteral("  satır 3: %1 kodu ikinci kez geçiyor").arg(cut)))
        << run.err.left(2000).toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("  satır 2: %1 kodu NNNN.NN").arg(cut)));

    // A code that would move the cursor and turn the text around, given twice, then once.
    const QString code = QStringLiteral("\u009B2J\u202E0110.01");
    const QString escaped = QStringLiteral("\\u009B2J\\u202E0110.01");
    const QByteArray row = code.toUtf8() + ",Subay\n";
    run = meslekMdb({"create", out, "--csv", csvFile("meslek_kodu,meslek_adi\n" + row + row)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("  satır 3: %1 kodu ikinci kez geçiyor (ilki satır 2)").arg(escaped)))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("  satır 2: %1 kodu NNNN.NN").arg(escaped)));
    run = meslekMdb({"create", out, "--csv", csvFile("meslek_kodu,meslek_adi\n" + row)});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("ilk kod %1, son kod %1;").arg(escaped)))
        << run.err.toStdString();
    for (const char16_t raw : {u'\u009B', u'\u202E'}) EXPECT_FALSE(run.err.contains(QChar(raw)));
    // The value itself is written as it is.
    EXPECT_EQ(mdbtools::exportTable(out, QStringLiteral("meslekler"))[1][1], code);
}

TEST_F(MeslekMdbTest, OnlyRegularFilesAreReadOrReplaced) {
    const QString fifo = path(QStringLiteral("boru"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString toFifo = path(QStringLiteral("boruya.mdb"));
    const QString toDevice = path(QStringLiteral("aygita.xlsx"));
    const QString folder = path(QStringLiteral("dizin.mdb"));
    ASSERT_TRUE(QFile::link(fifo, toFifo));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), toDevice));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString out = path(QStringLiteral("out.mdb"));

    // The output is judged before anything is read: this list's own error is not reached.
    const QString broken = csvFile("kod,ad\n", QStringLiteral("bozuk.csv"));
    const struct {
        QStringList args;
        QString message;
    } cases[] = {
        {{"create", fifo, "--csv", broken}, fifo + " yazılamadı: normal bir dosya değil, bir FIFO"},
        {{"create", toFifo, "--csv", broken},
         toFifo + " yazılamadı: normal bir dosya değil, bir FIFO"},
        {{"create", folder, "--csv", broken},
         folder + " yazılamadı: normal bir dosya değil, bir dizin"},
        {{"create", out, "--csv", "/dev/null"},
         "/dev/null okunamadı: normal bir dosya değil, bir aygıt"},
        {{"create", out, "--xlsx", toDevice},
         toDevice + " okunamadı: normal bir dosya değil, bir aygıt"},
        {{"create", out, "--csv", folder},
         folder + " okunamadı: normal bir dosya değil, bir dizin"},
    };
    for (const auto& c : cases) {
        const ProgramOutput run = meslekMdb(c.args);
        EXPECT_EQ(run.exitCode, 1) << c.message.toStdString();
        EXPECT_EQ(run.err.toStdString(),
                  QStringLiteral("meslek-mdb: %1\n").arg(c.message).toStdString());
    }
    EXPECT_TRUE(S_ISFIFO(fileType(fifo)));
    EXPECT_TRUE(S_ISLNK(fileType(toFifo)));
    EXPECT_TRUE(S_ISDIR(fileType(folder)));
    EXPECT_FALSE(QFile::exists(out));

    // A FIFO would keep open() waiting for a writer; the program says why at once.
    const ProgramOutput run = runExecutable(QStringLiteral(MESLEK_BUILD_DIR "/meslek-mdb"),
                                            {"create", out, "--xlsx", fifo});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.toStdString(),
              QStringLiteral("meslek-mdb: %1 okunamadı: normal bir dosya değil, bir FIFO\n")
                  .arg(fifo)
                  .toStdString());
}

TEST_F(MeslekMdbTest, LinksToRegularFilesAreFollowed) {
    // The link stays; the database replaces the file it names.
    const QString target = csvFile("eski", QStringLiteral("hedef.mdb"));
    const QString link = path(QStringLiteral("bag.mdb"));
    const QString listLink = path(QStringLiteral("liste-bagi"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(QFile::link(csvFile("meslek_kodu,meslek_adi\n0110.00,Subay\n"), listLink));
    const ProgramOutput run = meslekMdb({"create", link, "--csv", listLink, "--quiet"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(S_ISLNK(fileType(link)));
    EXPECT_EQ(header(target).verdict, JetHeader::Verdict::Jet4);
}

TEST_F(MeslekMdbTest, PasswordFromFileOrEnvironment) {
    const QString program = QStringLiteral(MESLEK_BUILD_DIR "/meslek-mdb");
    const QString csv = csvFile("meslek_kodu,meslek_adi\n1,a\n");
    const QString out = path(QStringLiteral("out.mdb"));
    const QString file = path(QStringLiteral("parola.txt"));
    const QString tooLong(21, QChar(u'ş'));
    const struct {
        QByteArray file;  // written to parola.txt
        QStringList environment;
        QStringList args;
        int exitCode;
        QString password;  // in the file written, or a fragment of the message
    } cases[] = {
        {"Dosya-Şifre\r\nikinci\n", {}, {"--password-file", file}, 0, "Dosya-Şifre"},
        {{}, {"MESLEKANA_PASSWORD=Ortam-Şifre"}, {}, 0, "Ortam-Şifre"},
        {"Dosya\n", {"MESLEKANA_PASSWORD=Ortam"}, {"--password-file", file}, 0, "Dosya"},
        {{}, {"MESLEKANA_PASSWORD=Ortam"}, {"--password", ""}, 0, ""},
        {{}, {"MESLEKANA_PASSWORD="}, {}, 0, ConnectionSettings::builtInDatabasePassword()},
        {tooLong.toUtf8(), {}, {"--password-file", file}, 2, "en çok 20 karakter"},
        {{}, {"MESLEKANA_PASSWORD=" + tooLong}, {}, 2, "(MESLEKANA_PASSWORD)"},
        {{}, {}, {"--password-file", file}, 1, "parola dosyası okunamadı"},
        {"a\n", {}, {"--password-file", file, "--password", "b"}, 2, "ya --password ya da"},
    };
    for (const auto& c : cases) {
        QFile::remove(file);
        if (!c.file.isNull()) csvFile(c.file, QStringLiteral("parola.txt"));
        RunOptions options;
        options.environment = c.environment;
        const ProgramOutput run =
            runExecutable(program, QStringList{"create", out, "--csv", csv} + c.args, options);
        const std::string name = (c.args + c.environment).join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << name << ": " << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(tooLong)) << name;
        if (c.exitCode == 0) {
            EXPECT_EQ(header(out).password, c.password) << name;
        } else {
            EXPECT_TRUE(run.err.contains(c.password)) << run.err.toStdString();
            EXPECT_FALSE(QFile::exists(out)) << name;
        }
        QFile::remove(out);
    }
}

TEST_F(MeslekMdbTest, WorkbooksInBothLayoutsMakeTheDatabaseTheirCsvMakes) {
    const QString bundled = QStringLiteral(MESLEK_SOURCE_DIR "/data/meslekler.csv");
    QFile bundledFile(bundled);
    ASSERT_TRUE(bundledFile.open(QIODevice::ReadOnly));
    std::vector<QStringList> rows;
    for (const csv::Record& r : csv::parse(bundledFile.readAll())) rows.push_back(r.fields);
    rows.front() = QStringList{"meslek kodları", "MESLEK Adı"};
    // As the agency's export: header in row 1 over A and B.
    const QString first = path(QStringLiteral("meslekkodlari.xlsx"));
    xlsx::writeWorkbook(first,
                        xlsx::listWorkbook(rows, 1, 1, QStringLiteral("RaporPrmMeslekKodu")));
    // Sorted by name, header over B and C in row 4 under a title, a second sheet before it.
    std::vector<QStringList> byName(rows.begin() + 1, rows.end());
    std::sort(byName.begin(), byName.end(), [](auto& a, auto& b) { return a[1] < b[1]; });
    std::vector<QStringList> sheet = {
        {"", "Meslek Listesi"}, {}, {}, {"", "ISCO-08 KODU", "MESLEK ADI"}};
    for (const QStringList& row : byName) sheet.push_back(QStringList{QString()} + row);
    std::vector<xlsx::Part> parts = xlsx::listWorkbook(sheet, 1, 1, QStringLiteral("Liste"));
    const QString second = path(QStringLiteral("ada-gore.xlsx"));
    xlsx::writeWorkbook(second, parts);

    const QString fromCsv = path(QStringLiteral("csv.mdb"));
    const QString fromFirst = path(QStringLiteral("ilk.mdb"));
    const QString fromSecond = path(QStringLiteral("ikinci.mdb"));
    ASSERT_EQ(meslekMdb({"create", fromCsv, "--csv", bundled, "--quiet"}).exitCode, 0);
    const ProgramOutput run = meslekMdb({"create", fromFirst, "--xlsx", first});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, QStringLiteral("meslek-mdb: 7764 meslek yazıldı; ilk kod 0110.00, son kod "
                                      "9901.07; 0 uyarı\n"));
    ASSERT_EQ(
        meslekMdb({"create", fromSecond, "--xlsx", second, "--sheet", "liste", "--quiet"}).err,
        QString());

    // meslek-ara lists each in code order: the same rows, each value as published.
    const QString ara = QStringLiteral(MESLEK_BUILD_DIR "/meslek-ara");
    const ProgramOutput expected = runExecutable(ara, {"--db", fromCsv});
    ASSERT_EQ(expected.exitCode, 0) << expected.err.toStdString();
    EXPECT_EQ(expected.out.count(QLatin1Char('\n')), 7764);
    EXPECT_TRUE(expected.out.contains(
        QStringLiteral("3111.26\tWaelz Prosesi Laboratuvar Görevlisi     \n")));
    EXPECT_EQ(runExecutable(ara, {"--db", fromFirst}).out, expected.out);
    EXPECT_EQ(runExecutable(ara, {"--db", fromSecond}).out, expected.out);
    // The stored order is the workbook's: the first row of the name-sorted sheet comes first.
    EXPECT_EQ(mdbtools::exportTable(fromSecond, QStringLiteral("meslekler"))[1][2], byName[0][1]);
}

TEST_F(MeslekMdbTest, RefusedWorkbooksNameTheCellOrCauseAndLeaveNoFile) {
    auto workbook = [&](const QString& name, const QByteArray& sheetData) {
        const QString file = path(name);
        xlsx::writeWorkbook(file, xlsx::workbookParts({{QStringLiteral("Sayfa1"), sheetData}}));
        return file;
    };
    const QByteArray header =
        "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Meslek Kodu</t></is></c>"
        "<c r=\"B1\" t=\"inlineStr\"><is><t>Meslek Adı</t></is></c></row>";
    QByteArray numbers = header;
    for (int row = 2; row <= 30; ++row)
        numbers += "<row r=\"" + QByteArray::number(row) + "\"><c r=\"A" + QByteArray::number(row) +
                   "\"><v>" + QByteArray::number(5120 + row) + ".1</v></c></row>";
    QFile notZip(path(QStringLiteral("liste.csv.xlsx")));
    ASSERT_TRUE(notZip.open(QIODevice::WriteOnly));
    notZip.write("meslek_kodu,meslek_adi\n");
    notZip.close();
    const struct {
        QString file;
        const char* message;
    } cases[] = {
        {workbook("sayilar.xlsx", numbers),
         "listede 58 hata var, veritabanı yazılmadı:\n"
         "  A2: meslek kodu sayı olarak saklanmış (5122.1)"},
        {workbook("sayilar.xlsx", numbers), "  ... ve 38 tane daha\n"},
        {workbook("basliksiz.xlsx", header.left(header.indexOf("<c r=\"B1\"")) + "</row>"),
         "başlık satırı bulunamadı"},
        {workbook("bos.xlsx", header),
         "listede 1 hata var, veritabanı yazılmadı:\n  başlık satırının altında hiç meslek yok\n"},
        {notZip.fileName(), "zip dosyası olarak açılamadı"},
        {path(QStringLiteral("yok.xlsx")), "yok.xlsx okunamadı"},
    };
    for (const auto& c : cases) {
        const QString out = path(QStringLiteral("out.mdb"));
        const ProgramOutput run = meslekMdb({"create", out, "--xlsx", c.file});
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("meslek-mdb: %1").arg(c.file)))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << c.message;
    }
}

TEST(BundledDatabaseTest, HoldsExactlyTheRowsOfTheNationalList) {
    // The database the build made from data/meslekler.csv, as meslek-ara
    // lists it from the build directory: code order, each value as published.
    QFile list(QStringLiteral(MESLEK_SOURCE_DIR "/data/meslekler.csv"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    std::vector<QStringList> rows;
    for (const csv::Record& r : csv::parse(list.readAll())) rows.push_back(r.fields);
    ASSERT_EQ(rows.front(), QStringList({"meslek_kodu", "meslek_adi"}));
    rows.erase(rows.begin());
    std::sort(rows.begin(), rows.end());
    QString expected;
    for (const QStringList& row : rows)
        expected += row[0] + QLatin1Char('\t') + row[1] + QLatin1Char('\n');

    const ProgramOutput run =
        runExecutable(QStringLiteral(MESLEK_BUILD_DIR "/meslek-ara"),
                      {"--db", QStringLiteral(MESLEK_BUILD_DIR "/AnaData/MeslekAna.mdb")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(rows.size(), 7764u);
    EXPECT_EQ(rows.front()[0], QStringLiteral("0110.00"));
    EXPECT_EQ(rows.back()[0], QStringLiteral("9901.07"));
    EXPECT_TRUE(run.out == expected);
}
