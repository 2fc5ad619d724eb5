#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "data/ConnectionSettings.h"
#include "lists/Csv.h"
#include "support/OccupationFixtures.h"
#include "support/ProgramRun.h"
#include "support/TempWorkDir.h"

namespace {

ProgramOutput meslekAra(const QStringList& arguments, const RunOptions& options = {}) {
    return runExecutable(QStringLiteral(MESLEK_BUILD_DIR "/meslek-ara"), arguments, options);
}

std::vector<jet4::OccupationRow> rows() {
    return {{"8322.05", "Şoför (Kamyon)", "Şoförler"},
            {"2142.01", "İnşaat Mühendisi", "Mühendisler"},
            {"5120.02", "AŞÇI", QString()},
            {"3112.03", "Işık Teknisyeni", QString()}};
}

}  // namespace

TEST(MeslekAraTest, PrintsCodeTabNameInTheRequestedOrder) {
    TempWorkDir work;
    work.writeProgramDatabase(rows());
    ProgramOutput run = meslekAra({});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              "2142.01\tİnşaat Mühendisi\n3112.03\tIşık Teknisyeni\n5120.02\tAŞÇI\n"
              "8322.05\tŞoför (Kamyon)\n");

    run = meslekAra({"--order-by", "meslek_adi"});
    EXPECT_EQ(run.out.split('\n').first(), "5120.02\tAŞÇI");
    run = meslekAra({"--order-by", "meslek_adi", "--desc", "--"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.split('\n').first(), "8322.05\tŞoför (Kamyon)");
    EXPECT_EQ(run.out.split('\n').at(1), "2142.01\tİnşaat Mühendisi");
}

TEST(MeslekAraTest, DatabaseAndPasswordCanBeReplaced) {
    TempWorkDir work;
    work.writeDatabase("liste.mdb", jet4::occupationDatabase(rows(), "Gizli-Şifre"));
    ProgramOutput run = meslekAra({"--db", work.path("liste.mdb"), "--password", "Gizli-Şifre"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count('\n'), 4);

    run = meslekAra({"--db", "liste.mdb", "--password", "gizli-şifre"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("parolası geçersiz")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("--password")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("Gizli-Şifre") || run.err.contains("gizli-şifre"));
}

TEST(MeslekAraTest, UnreadableDatabasesExitWithOne) {
    TempWorkDir work;
    ProgramOutput run = meslekAra({});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Veritabanı klasörü bulunamadı")) << run.err.toStdString();

    jet4::DatabaseDef wrongKind = jet4::occupationDatabase(rows(), "p");
    wrongKind.tables[0].columns[1].type = jet4::ColumnType::Long;
    for (auto& row : wrongKind.tables[0].rows) row[1] = std::int64_t{7};
    work.writeDatabase("kind.mdb", wrongKind);
    run = meslekAra({"--db", "kind.mdb", "--password", "p"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(
        run.err.contains("meslekkoduQuery: Type mismatch for field 'Meslek Kodu', "
                         "expecting: WideString actual: Integer"))
        << run.err.toStdString();

    jet4::DatabaseDef otherTable = jet4::occupationDatabase(rows(), "p");
    otherTable.tables[0].name = "eski_meslekler";
    work.writeDatabase("table.mdb", otherTable);
    run = meslekAra({"--db", "table.mdb", "--password", "p"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("\"meslekler\" tablosu")) << run.err.toStdString();

    run = meslekAra({"--db", "kind.mdb", "--password", "p", "--order-by", "yok"});
    EXPECT_EQ(run.exitCode, 1);
}

TEST(MeslekAraTest, WrongUsageExitsWithTwoAndExplains) {
    for (const QStringList& args :
         {QStringList{"--desc"}, QStringList{"--db"}, QStringList{"--bilinmeyen"},
          QStringList{"bir", "iki", "üç"}, QStringList{"--", "bir", "iki", "--or"},
          QStringList{"-x", "terim"}, QStringList{"--format"}, QStringList{"--format", "xml"},
          QStringList{"--format", "JSON"}, QStringList{"--password-file"},
          QStringList{"--password-file", ""},
          QStringList{"--password", "a", "--password-file", "f"},
          QStringList{"--password-file", "f", "--password", "a"},
          QStringList{"--password", "a", "--password", "b"}}) {
        const ProgramOutput run = meslekAra(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("Kullanım: meslek-ara")) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    const ProgramOutput help = meslekAra({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Kullanım: meslek-ara"));
    for (const char* topic : {"--format", "csv", "json", "--password-file", "MESLEKANA_PASSWORD"}) {
        EXPECT_TRUE(help.out.contains(QLatin1String(topic))) << topic;
    }
    EXPECT_TRUE(meslekAra({"--format", "xml"}).err.contains("bilinmeyen çıktı biçimi: xml"));
    EXPECT_TRUE(meslekAra({"--password", "a", "--password-file", "f"})
                    .err.contains("ya --password ya da --password-file"));
    // The toolkit's own options are terms here like any other: none is taken
    // out of the command line before the program reads it.
    for (const char* option : {"-qmljsdebugger=port:4000", "--qmljsdebugger=port:4000"}) {
        const ProgramOutput third = meslekAra({"--", "bir", "iki", option});
        EXPECT_EQ(third.exitCode, 2) << option;
        EXPECT_TRUE(third.err.contains(
            QStringLiteral("en çok iki terim verilebilir: %1").arg(QLatin1String(option)).toUtf8()))
            << third.err.toStdString();
    }
}

// A value a message repeats (a term, an option, a format's name, a password
// file's path) stays on the message's line: control and bidi characters
// escaped, a long one cut.
TEST(MeslekAraTest, MessagesRepeatValuesEscapedAndCut) {
    TempWorkDir work;
    const QString forged = QStringLiteral("x\nmeslek-ara: sahte\x1b[2J\u202E");
    const QString shown = QStringLiteral("x\\nmeslek-ara: sahte\\u001B[2J\\u202E");
    const struct {
        QStringList args;
        QString line;
    } cases[] = {
        {{"bir", "iki", forged}, "meslek-ara: en çok iki terim verilebilir: " + shown},
        {{"bir", "iki", QString(1000, QLatin1Char('k'))},
         "meslek-ara: en çok iki terim verilebilir: " + QString(80, QLatin1Char('k')) + "…"},
        {{"-" + forged}, "meslek-ara: bilinmeyen seçenek: -" + shown},
        {{"--format", forged},
         "meslek-ara: bilinmeyen çıktı biçimi: " + shown + " (tsv, csv ya da json)"},
        {{"--password-file", forged},
         "meslek-ara: parola dosyası okunamadı: " + shown + ": böyle bir dosya yok"},
    };
    for (const auto& c : cases) {
        const ProgramOutput run = meslekAra(c.args);
        EXPECT_EQ(run.err.section(QLatin1Char('\n'), 0, 0), c.line);
        EXPECT_FALSE(run.err.contains(QStringLiteral("\nmeslek-ara: sahte")));
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(MeslekAraTest, EachFormatWritesExactBytesThatParseBack) {
    TempWorkDir work;
    const std::vector<jet4::OccupationRow> written = {{"8322.05", "Şoför\tKamyon", QString()},
                                                      {"5120.02", "Aşçı, \"Usta\"", QString()},
                                                      {"2142.01", "İnşaat Mühendisi", QString()}};
    work.writeProgramDatabase(written);
    const struct {
        QStringList args;
        QByteArray bytes;
    } cases[] = {
        {{}, "2142.01\tİnşaat Mühendisi\n5120.02\tAşçı, \"Usta\"\n8322.05\tŞoför Kamyon\n"},
        {{"--format", "tsv", "kamyon"}, "8322.05\tŞoför Kamyon\n"},
        {{"--format", "csv"},
         "meslek_kodu,meslek_adi\r\n2142.01,İnşaat Mühendisi\r\n"
         "5120.02,\"Aşçı, \"\"Usta\"\"\"\r\n8322.05,Şoför\tKamyon\r\n"},
        {{"--format", "csv", "zzz"}, "meslek_kodu,meslek_adi\r\n"},
        {{"--format", "json"},
         "[\n{\"kod\":\"2142.01\",\"ad\":\"İnşaat Mühendisi\"},\n"
         "{\"kod\":\"5120.02\",\"ad\":\"Aşçı, \\\"Usta\\\"\"},\n"
         "{\"kod\":\"8322.05\",\"ad\":\"Şoför\\tKamyon\"}\n]\n"},
        {{"--format", "json", "usta", "--or", "şoför"},
         "[\n{\"kod\":\"5120.02\",\"ad\":\"Aşçı, \\\"Usta\\\"\"},\n"
         "{\"kod\":\"8322.05\",\"ad\":\"Şoför\\tKamyon\"}\n]\n"},
        {{"--format", "json", "zzz"}, "[]\n"},
    };
    for (const auto& c : cases) {
        const ProgramOutput run = meslekAra(c.args);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.toUtf8(), c.bytes) << c.args.join(' ').toStdString();
    }

    // CSV and JSON give back every value as stored, the tab included.
    const std::vector<csv::Record> records =
        csv::parse(meslekAra({"--format", "csv"}).out.toUtf8());
    QJsonParseError error;
    const QJsonDocument json =
        QJsonDocument::fromJson(meslekAra({"--format", "json"}).out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    ASSERT_EQ(records.size(), 4u);
    ASSERT_EQ(json.array().size(), 3);
    for (int i = 0; i < 3; ++i) {
        const jet4::OccupationRow& row = written[2 - i];
        EXPECT_EQ(records[i + 1].fields, QStringList({row.code, row.name}));
        EXPECT_EQ(json.array()[i].toObject(), QJsonObject({{"kod", row.code}, {"ad", row.name}}));
    }
}

TEST(MeslekAraTest, LongListsInEveryFormatAndTheirOutputFailures) {
    // Past the size at which the list is encoded in two halves at once.
    TempWorkDir work;
    constexpr int Rows = 50001;
    std::vector<jet4::OccupationRow> list = jet4::syntheticOccupations(Rows);
    work.writeProgramDatabase(list);
    // Every row once, in code order, ties in file order, whichever thread
    // encoded its block.
    std::stable_sort(list.begin(), list.end(),
                     [](const auto& a, const auto& b) { return a.code < b.code; });
    QString expected;
    for (const auto& row : list)
        expected += row.code + QLatin1Char('\t') + row.name + QLatin1Char('\n');
    EXPECT_TRUE(meslekAra({}).out == expected);
    ProgramOutput run = meslekAra({"--format", "json"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QJsonParseError error;
    EXPECT_EQ(QJsonDocument::fromJson(run.out.toUtf8(), &error).array().size(), Rows)
        << error.errorString().toStdString();
    run = meslekAra({"--format", "csv"});
    EXPECT_EQ(run.out.count(QLatin1String("\r\n")), Rows + 1);
    EXPECT_EQ(meslekAra({}).out.count('\n'), Rows);

    // A full disk is reported; a reader that goes away is not, in the window's
    // order and in the search's alike.
    for (const QStringList& args :
         {QStringList{}, QStringList{"--format", "json"}, QStringList{"a", "--or", "e"}}) {
        const std::string name = args.join(' ').toStdString();
        RunOptions full;
        full.outputFile = QStringLiteral("/dev/full");
        run = meslekAra(args, full);
        EXPECT_EQ(run.exitCode, 1) << name;
        EXPECT_EQ(run.err, "meslek-ara: çıktı yazılamadı: aygıtta yer kalmadı\n") << name;

        RunOptions closed;
        closed.closeOutput = true;
        run = meslekAra(args, closed);
        EXPECT_EQ(run.exitCode, 141) << name;
        EXPECT_EQ(run.err, "") << name;
    }
    RunOptions full;
    full.outputFile = QStringLiteral("/dev/full");
    EXPECT_EQ(meslekAra({"--help"}, full).exitCode, 1);
}

TEST(MeslekAraTest, PasswordFromFileOrEnvironment) {
    TempWorkDir work;
    work.writeDatabase("liste.mdb", jet4::occupationDatabase(rows(), "Gizli-Şifre"));
    work.writeDatabase("acik.mdb", jet4::occupationDatabase(rows(), ""));
    const QString secret = QStringLiteral("Gizli-Şifre");
    const struct {
        QByteArray file;  // written to parola.txt
        QStringList environment;
        QStringList args;
        int exitCode;
        const char* message;
    } cases[] = {
        {{}, {"MESLEKANA_PASSWORD=Gizli-Şifre"}, {}, 0, ""},
        {"Gizli-Şifre\n", {}, {"--password-file", "parola.txt"}, 0, ""},
        {"Gizli-Şifre\r\nikinci satır\n", {}, {"--password-file", "parola.txt"}, 0, ""},
        {"\xEF\xBB\xBFGizli-Şifre", {}, {"--password-file", "parola.txt"}, 0, ""},
        // An option comes before the environment.
        {"Gizli-Şifre\n", {"MESLEKANA_PASSWORD=yanlış"}, {"--password-file", "parola.txt"}, 0, ""},
        {{}, {"MESLEKANA_PASSWORD=yanlış"}, {"--password", "Gizli-Şifre"}, 0, ""},
        {"gizli-şifre\n", {}, {"--password-file", "parola.txt"}, 1, "parolası geçersiz"},
        {" Gizli-Şifre\n", {}, {"--password-file", "parola.txt"}, 1, "parolası geçersiz"},
        {{}, {"MESLEKANA_PASSWORD=yanlış"}, {}, 1, "parolası geçersiz"},
        // An empty variable counts as unset: the built-in password does not open the file.
        {{}, {"MESLEKANA_PASSWORD="}, {}, 1, "parolası geçersiz"},
        {{},
         {},
         {"--password-file", "yok.txt"},
         1,
         "meslek-ara: parola dosyası okunamadı: yok.txt: böyle bir dosya yok\n"},
        {{}, {}, {"--password-file", "."}, 1, "parola dosyası okunamadı: .: bir klasör"},
        {"\xC4\n", {}, {"--password-file", "parola.txt"}, 1, "geçerli bir UTF-8 metni değil"},
        {QByteArray(5000, 'x'), {}, {"--password-file", "parola.txt"}, 1, "bayttan uzun"},
        {"Gizli-Şifre\n",
         {},
         {"--password-file", "parola.txt", "--password", "Gizli-Şifre"},
         2,
         "ya --password ya da --password-file"},
    };
    for (const auto& c : cases) {
        QFile::remove(work.path("parola.txt"));
        if (!c.file.isNull()) TempWorkDir::writeAll(work.path("parola.txt"), c.file);
        RunOptions options;
        options.environment = c.environment;
        const ProgramOutput run = meslekAra(QStringList{"--db", "liste.mdb"} + c.args, options);
        const std::string name = (c.args + c.environment).join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << name << ": " << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(secret)) << name;
        EXPECT_EQ(run.out.count('\n'), c.exitCode == 0 ? 4 : 0) << name;
    }

    // An empty first line is an empty password.
    TempWorkDir::writeAll(work.path("bos.txt"), "\nGizli-Şifre\n");
    const ProgramOutput run = meslekAra({"--db", "acik.mdb", "--password-file", "bos.txt"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();

    // A named pipe: read once a writer gives the line; with no writer, given up
    // after ten seconds instead of waiting for ever.
    const QByteArray fifo = QFile::encodeName(work.path("parola.fifo"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    std::thread writer([&fifo] {
        const int fd = ::open(fifo.constData(), O_WRONLY);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        (void)!::write(fd, "Gizli-Şifre\n", qstrlen("Gizli-Şifre\n"));
        ::close(fd);
    });
    const ProgramOutput piped = meslekAra({"--db", "liste.mdb", "--password-file", "parola.fifo"});
    writer.join();
    EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    QElapsedTimer waited;
    waited.start();
    const ProgramOutput unwritten =
        meslekAra({"--db", "liste.mdb", "--password-file", "parola.fifo"});
    EXPECT_EQ(unwritten.exitCode, 1);
    EXPECT_TRUE(unwritten.err.contains(
        QStringLiteral("parola.fifo: parola dosyasından 10 saniye içinde bir satır gelmedi")))
        << unwritten.err.toStdString();
    EXPECT_GE(waited.elapsed(), 9000);

    // The reading process needs no password and gets none: a stand-in reader
    // beside a copy of the program writes down its own environment.
    QDir().mkpath(work.path("bin"));
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(MESLEK_BUILD_DIR "/meslek-ara"), work.path("bin/meslek-ara")));
    const QString environFile = work.path("reader-environ");
    TempWorkDir::writeAll(
        work.path("bin/meslek-reader"),
        "#!/bin/sh\ntr '\\0' '\\n' < /proc/$$/environ > '" + environFile.toUtf8() + "'\nexit 3\n");
    QFile::setPermissions(work.path("bin/meslek-reader"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    RunOptions options;
    options.environment = {"MESLEKANA_PASSWORD=Gizli-Şifre", "MESLEK_TEST_MARK=var"};
    const ProgramOutput stood =
        runExecutable(work.path("bin/meslek-ara"), {"--db", "liste.mdb"}, options);
    EXPECT_EQ(stood.exitCode, 1) << stood.err.toStdString();
    QFile environ(environFile);
    ASSERT_TRUE(environ.open(QIODevice::ReadOnly)) << "the stand-in reader did not run";
    const QByteArrayList entries = environ.readAll().split('\n');
    EXPECT_TRUE(entries.contains("MESLEK_TEST_MARK=var"));
    for (const QByteArray& entry : entries) EXPECT_FALSE(entry.startsWith("MESLEKANA_PASSWORD="));
}

TEST(MeslekAraTest, TermsPrintTheRowsTheSearchShows) {
    TempWorkDir work;
    work.writeProgramDatabase(rows());
    ProgramOutput run = meslekAra({"IŞIK"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "3112.03\tIşık Teknisyeni\n");

    run = meslekAra({"aşçı", "--or", "mühendis"});
    EXPECT_EQ(run.out, "2142.01\tİnşaat Mühendisi\n5120.02\tAŞÇI\n");
    run = meslekAra({"aşçı", "mühendis"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    run = meslekAra({"--order-by", "meslek_kodu", "--desc", "i", "e"});
    EXPECT_EQ(run.out, "3112.03\tIşık Teknisyeni\n2142.01\tİnşaat Mühendisi\n");
    // Codes are matched as stored, and after "--" a term may start with '-'.
    run = meslekAra({"2142"});
    EXPECT_EQ(run.out, "2142.01\tİnşaat Mühendisi\n");
    run = meslekAra({"--", "-", "--or"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "");

    // An empty first term shows everything, as the window's search does.
    run = meslekAra({"", "şoför"});
    EXPECT_EQ(run.out.count('\n'), 4);
    run = meslekAra({"zzz"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.isEmpty());
    // Blanks alone are a term that no name holds, not an empty one.
    run = meslekAra({"  "});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.isEmpty());

    // A lone "-" is a term, not an option.
    work.writeProgramDatabase(
        {{"7233.01", "Bakım-Onarımcı", QString()}, {"7233.02", "Tamirci", QString()}});
    run = meslekAra({"-"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "7233.01\tBakım-Onarımcı\n");
}

TEST(MeslekAraTest, AsciiFindsTurkishLettersWithTheirPlainForms) {
    TempWorkDir work;
    work.writeProgramDatabase({{"2142.01", "İnşaat Mühendisi", QString()},
                               {"8160.03", "Paketleme İşçisi", QString()},
                               {"3112.03", "Işık Teknisyeni", QString()},
                               {"5120.02", "AŞÇI", QString()},
                               {"7111.01", "Çağrı Görevlisi", QString()}});
    // Without the option the exact rule stays.
    EXPECT_EQ(meslekAra({"muhendis"}).out, "");
    EXPECT_EQ(meslekAra({"--ascii", "muhendis"}).out, "2142.01\tİnşaat Mühendisi\n");
    EXPECT_EQ(meslekAra({"--ascii", "isci"}).out, "8160.03\tPaketleme İşçisi\n");
    // Dotless and dotted i alike, capitals too, on both sides.
    EXPECT_EQ(meslekAra({"--ascii", "isik"}).out, "3112.03\tIşık Teknisyeni\n");
    EXPECT_EQ(meslekAra({"--ascii", "ISIK"}).out, "3112.03\tIşık Teknisyeni\n");
    EXPECT_EQ(meslekAra({"--ascii", "asci"}).out, "5120.02\tAŞÇI\n");
    EXPECT_EQ(meslekAra({"--ascii", "Çağrı", "gorev"}).out, "7111.01\tÇağrı Görevlisi\n");
    // Codes are matched as stored.
    EXPECT_EQ(meslekAra({"--ascii", "8160"}).out, "8160.03\tPaketleme İşçisi\n");
    EXPECT_TRUE(meslekAra({"--help"}).out.contains("--ascii"));
}
