#include <gtest/gtest.h>

#include "data/ConnectionSettings.h"
#include "jet4/OccupationFixtures.h"
#include "support/ProgramRun.h"
#include "support/TempWorkDir.h"

namespace {

ProgramOutput meslekAra(const QStringList& arguments) {
    return runExecutable(QStringLiteral(MESLEK_BUILD_DIR "/meslek-ara"), arguments);
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
          QStringList{"-x", "terim"}}) {
        const ProgramOutput run = meslekAra(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("Kullanım: meslek-ara")) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    const ProgramOutput help = meslekAra({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Kullanım: meslek-ara"));
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
