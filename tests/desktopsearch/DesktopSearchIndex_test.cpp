#include <QFile>

#include <gtest/gtest.h>

#include "desktopsearch/DesktopSearchIndex.h"
#include "text/FoldSearchText.h"

namespace {

std::vector<DesktopSearchRow> rows(
    std::initializer_list<std::pair<const char*, const char*>> list) {
    std::vector<DesktopSearchRow> out;
    for (const auto& [code, name] : list) {
        out.push_back({QString::fromUtf8(code), QString::fromUtf8(name)});
    }
    return out;
}

const std::vector<DesktopSearchRow> Sample = rows({
    {"2142.01", "İnşaat Mühendisi"},
    {"3112.04", "Katip"},
    {"3434.01", "Aşçıbaşı"},
    {"5120.10", "Aşçı"},
    {"5120.22", "Aşçı Yardımcısı"},
    {"7113.09", "Taşçı"},
    {"8322.01", "Şoför"},
    {"8322.02", "Sofor Test"},
    {"9629.05", "Kat Görevlisi (Otel)"},
    {"9999.99", "IŞIK TEKNİSYENİ"},
});

QStringList codesFound(const DesktopSearchIndex& index, const QStringList& terms) {
    QStringList codes;
    for (const QString& id : index.search(terms)) codes << index.row(id).value().code;
    return codes;
}

// The national list as data/meslekler.csv holds it, in code order.
std::vector<DesktopSearchRow> nationalRows() {
    QFile file(QStringLiteral(MESLEK_SOURCE_DIR "/data/meslekler.csv"));
    std::vector<DesktopSearchRow> out;
    if (!file.open(QIODevice::ReadOnly)) return out;
    file.readLine();  // the header
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const qsizetype comma = line.indexOf(QLatin1Char(','));
        out.push_back({line.first(comma), line.sliced(comma + 1).remove(QLatin1Char('"'))});
    }
    return out;
}

const DesktopSearchIndex& nationalIndex() {
    static const DesktopSearchIndex index(nationalRows());
    return index;
}

QStringList codesForLine(const DesktopSearchIndex& index, const QString& line) {
    return codesFound(index, DesktopSearchIndex::termsOf(line));
}

}  // namespace

TEST(DesktopSearchIndexTest, MatchesNamesUnderTurkishCaseAndCodesAsTyped) {
    const DesktopSearchIndex index(Sample);
    EXPECT_EQ(codesFound(index, {"İNŞAAT"}), QStringList{"2142.01"});
    EXPECT_EQ(codesFound(index, {"ışık"}), QStringList{"9999.99"});
    EXPECT_EQ(codesFound(index, {"Işık"}), QStringList{"9999.99"});
    EXPECT_EQ(codesFound(index, {"teknisyeni"}), QStringList{"9999.99"});
    EXPECT_EQ(codesFound(index, {"3112"}), QStringList{"3112.04"});
    EXPECT_EQ(codesFound(index, {".22"}), QStringList{"5120.22"});
    EXPECT_TRUE(codesFound(index, {"zzz"}).isEmpty());
    EXPECT_TRUE(index.search({}).isEmpty());
    EXPECT_TRUE(index.search({"  "}).isEmpty());
}

TEST(DesktopSearchIndexTest, EveryTermMustMatchTheNameOrEveryTermTheCode) {
    const DesktopSearchIndex index(Sample);
    EXPECT_EQ(codesFound(index, {"kat", "otel"}), QStringList{"9629.05"});
    EXPECT_EQ(codesFound(index, {"aşçı", "yardım"}), QStringList{"5120.22"});
    EXPECT_EQ(codesFound(index, {"5120", ".10"}), QStringList{"5120.10"});
    // One term in the name and the other in the code is no match, as with "VE".
    EXPECT_TRUE(codesFound(index, {"aşçı", "5120"}).isEmpty());
    EXPECT_TRUE(codesFound(index, {"kat", "otel", "yok"}).isEmpty());
}

TEST(DesktopSearchIndexTest, TermsWithoutTurkishLettersAlsoFindTurkishNames) {
    const DesktopSearchIndex index(Sample);
    EXPECT_EQ(codesFound(index, {"muhendis"}), QStringList{"2142.01"});
    EXPECT_EQ(codesFound(index, {"insaat"}), QStringList{"2142.01"});
    EXPECT_EQ(codesFound(index, {"isik"}), QStringList{"9999.99"});
    EXPECT_EQ(codesFound(index, {"ISIK"}), QStringList{"9999.99"});
    EXPECT_EQ(codesFound(index, {"sofor"}), (QStringList{"8322.01", "8322.02"}));
    // A term typed with Turkish letters means them.
    EXPECT_EQ(codesFound(index, {"şoför"}), QStringList{"8322.01"});
    EXPECT_EQ(codesFound(index, {"ŞOFÖR"}), QStringList{"8322.01"});
}

TEST(DesktopSearchIndexTest, CodesThenTheWholeNameThenNamesStartingWithTheTermThenTheRest) {
    const DesktopSearchIndex index(Sample);
    // The name that is the term, then those that start with it, the shorter
    // first, then the one that only holds it.
    EXPECT_EQ(codesFound(index, {"asci"}),
              (QStringList{"5120.10", "3434.01", "5120.22", "7113.09"}));
    const DesktopSearchIndex numbered(rows({
        {"0090.00", "51 Usta Numaralı"},
        {"0100.00", "51 Numaralı Usta"},
        {"1000.51", "Birinci"},
        {"5100.00", "Ad 51 ile"},
        {"5101.00", "İkinci"},
        {"7000.00", "51'inci Kalfa"},
    }));
    EXPECT_EQ(codesFound(numbered, {"51"}),
              (QStringList{"5100.00", "5101.00", "7000.00", "0090.00", "0100.00", "1000.51"}));
    // The name that is the terms, a space between, before one as long that
    // holds them all.
    for (const QString line : {"51 numaralı usta", "51 NUMARALI Usta", "51 numarali usta"}) {
        EXPECT_EQ(codesForLine(numbered, line), (QStringList{"0100.00", "0090.00"}))
            << line.toStdString();
    }
}

TEST(DesktopSearchIndexTest, AtMostTwentyResultsTheBestOnesFirst) {
    std::vector<DesktopSearchRow> many;
    // Forty names holding the term, then thirty codes starting with it.
    for (int i = 0; i < 40; ++i) {
        many.push_back({QStringLiteral("1%1.00").arg(i, 3, 10, QLatin1Char('0')),
                        QStringLiteral("Usta 77 %1").arg(i)});
    }
    for (int i = 0; i < 30; ++i) {
        many.push_back({QStringLiteral("77%1.00").arg(i, 2, 10, QLatin1Char('0')),
                        QStringLiteral("Meslek %1").arg(i)});
    }
    const DesktopSearchIndex index(many);
    const QStringList codes = codesFound(index, {"77"});
    ASSERT_EQ(codes.size(), DesktopSearchIndex::MaxResults);
    for (int i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(codes[i], QStringLiteral("77%1.00").arg(i, 2, 10, QLatin1Char('0')));
    }
    // No code starts with the term: the names fill the results, shortest first.
    const QStringList names = codesFound(index, {"usta"});
    ASSERT_EQ(names.size(), DesktopSearchIndex::MaxResults);
    EXPECT_EQ(names.front(), "1000.00");
    EXPECT_EQ(names.back(), "1019.00");
}

TEST(DesktopSearchIndexTest, IdsNameARowOfThisListOnlyEvenWhenCodesRepeat) {
    const std::vector<DesktopSearchRow> repeated =
        rows({{"5120.10", "Aşçı"}, {"5120.10", "Aşçı (İkinci Kayıt)"}, {"7113.09", "Taşçı"}});
    const DesktopSearchIndex index(repeated);
    const QStringList ids = index.search({"5120.10"});
    ASSERT_EQ(ids.size(), 2);
    EXPECT_NE(ids[0], ids[1]);
    EXPECT_EQ(index.row(ids[0])->name, "Aşçı");
    EXPECT_EQ(index.row(ids[1])->name, "Aşçı (İkinci Kayıt)");

    // The same content read again keeps its ids.
    EXPECT_EQ(DesktopSearchIndex(repeated).row(ids[1])->name, "Aşçı (İkinci Kayıt)");
    // A changed list: the old ids name nothing.
    std::vector<DesktopSearchRow> changed = repeated;
    changed[1].name = QStringLiteral("Aşçı (Düzeltildi)");
    const DesktopSearchIndex after(changed);
    EXPECT_FALSE(after.row(ids[0]).has_value());
    EXPECT_FALSE(after.row(ids[1]).has_value());

    const QString tag = ids[0].mid(ids[0].indexOf(QLatin1Char('-')));
    for (const QString& bad : {QStringLiteral("0") + tag, QStringLiteral("4") + tag,
                               QStringLiteral("x") + tag, tag, QStringLiteral("1"), QString()}) {
        EXPECT_FALSE(index.row(bad).has_value()) << bad.toStdString();
    }
}

TEST(DesktopSearchIndexTest, AQueryLineSplitsIntoTermsAtWhiteSpace) {
    EXPECT_EQ(DesktopSearchIndex::termsOf(QStringLiteral("  kat \t otel\n")),
              (QStringList{"kat", "otel"}));
    EXPECT_TRUE(DesktopSearchIndex::termsOf(QStringLiteral("   ")).isEmpty());
}

// A call of any size is answered from its first eight terms, each up to its
// 256th character (a character outside the BMP is kept whole or dropped).
TEST(DesktopSearchIndexTest, OnlyTheFirstEightTermsCountEachUpToItsFirst256Characters) {
    const QString k256(256, QLatin1Char('k'));
    const QString emoji = QString::fromUtf8("\xF0\x9F\x8D\xB3");  // two UTF-16 units
    const DesktopSearchIndex index(rows({{"5120.10", "Aşçı"}}));
    const QString k255 = k256.first(255);
    const DesktopSearchIndex longNames(
        {{"1111.01", k255 + QStringLiteral("x")}, {"2222.02", k255 + QStringLiteral("z")}});

    QStringList huge(8, QStringLiteral("aşçı"));
    huge.append(QStringList(1000000, QStringLiteral("yok")));
    EXPECT_EQ(codesFound(index, huge), QStringList{"5120.10"});
    QString line = QStringLiteral("a ş ç ı aş şç çı aşçı");
    line += QStringLiteral(" yok").repeated(1000000);
    const QStringList words = DesktopSearchIndex::termsOf(line);
    EXPECT_EQ(words.size(), DesktopSearchIndex::MaxTerms);
    EXPECT_EQ(codesFound(index, words), QStringList{"5120.10"});

    EXPECT_EQ(codesFound(longNames, {k255 + QStringLiteral("xy")}), QStringList{"1111.01"});
    EXPECT_EQ(DesktopSearchIndex::termsOf(k256 + QStringLiteral("yyy kat")),
              (QStringList{k256, "kat"}));
    EXPECT_EQ(DesktopSearchIndex::termsOf(k255 + emoji), QStringList{k255});
    EXPECT_EQ(DesktopSearchIndex::takenTerms({k255.first(254) + emoji + QStringLiteral("y")}),
              QStringList{k255.first(254) + emoji});
}

TEST(DesktopSearchNationalListTest, TheNameThatIsTheTermsComesFirst) {
    const DesktopSearchIndex& index = nationalIndex();
    ASSERT_GT(index.size(), 7000);
    for (const QString line : {"aşçı", "AŞÇI", "asci"}) {
        EXPECT_EQ(codesForLine(index, line).value(0), "5120.10") << line.toStdString();
    }
    for (const QString line : {"kaynakçı", "Kaynakci"}) {
        EXPECT_EQ(codesForLine(index, line).value(0), "7212.07") << line.toStdString();
    }
    // "Türk Halk Müziği Sanatçısı" holds every term too, and is shorter.
    for (const QString line : {"türk sanat müziği sanatçısı", "turk sanat muzigi sanatcisi",
                               "TÜRK Sanat muzigi sanatçısı"}) {
        EXPECT_EQ(codesForLine(index, line).mid(0, 2), (QStringList{"2652.39", "2652.38"}))
            << line.toStdString();
    }
}

TEST(DesktopSearchNationalListTest, NamesStartingWithTheTermComeShortestFirstUpToTwenty) {
    const DesktopSearchIndex& index = nationalIndex();
    ASSERT_GT(index.size(), 7000);
    // Aşçı, Aşçıbaşı, Aşçı Yardımcısı, Aşçı (Özel Hizmet), Aşçıbaşı Yardımcısı,
    // Aşçı Yamağı (Çırağı), Aşçı (Yöresel Mutfak), then names that only hold it.
    EXPECT_EQ(codesForLine(index, "aşçı").mid(0, 8),
              (QStringList{"5120.10", "3434.01", "5120.22", "5120.03", "3434.05", "9412.01",
                           "5120.13", "2359.32"}));
    // Ateşe, Atıcı, Atlet, Arıcı: one length, in code order.
    const QStringList found = codesForLine(index, "a");
    EXPECT_EQ(found.mid(0, 5),
              (QStringList{"5120.10", "1112.01", "3421.11", "3421.14", "6123.01"}));

    // The twenty are the shortest of all the names starting with "a".
    ASSERT_EQ(found.size(), DesktopSearchIndex::MaxResults);
    const qsizetype longest = index.row(index.search({"a"}).back())->name.size();
    for (const DesktopSearchRow& row : nationalRows()) {
        if (found.contains(row.code)) continue;
        if (!toPlainLatin(FoldSearchText(row.name)).startsWith(QLatin1Char('a'))) continue;
        EXPECT_GE(row.name.size(), longest) << row.code.toStdString();
    }
}

TEST(DesktopSearchNationalListTest, CodesStartingWithTheTermStayFirstInCodeOrder) {
    const DesktopSearchIndex& index = nationalIndex();
    ASSERT_GT(index.size(), 7000);
    EXPECT_EQ(codesForLine(index, "5120"),
              (QStringList{"5120.03", "5120.04", "5120.05", "5120.06", "5120.07", "5120.08",
                           "5120.09", "5120.10", "5120.11", "5120.12", "5120.13", "5120.14",
                           "5120.15", "5120.20", "5120.22"}));
    EXPECT_EQ(codesForLine(index, "5120.1"),
              (QStringList{"5120.10", "5120.11", "5120.12", "5120.13", "5120.14", "5120.15"}));
    // More codes start with these than there are places: the first twenty in
    // code order, before codes that hold the term elsewhere ("1112.01") and
    // names that start with it ("3D Üretim Uzmanı").
    for (const QString term : {"12", "3"}) {
        QStringList expected;
        for (const DesktopSearchRow& row : nationalRows()) {
            if (row.code.startsWith(term) && expected.size() < DesktopSearchIndex::MaxResults) {
                expected << row.code;
            }
        }
        EXPECT_EQ(codesForLine(index, term), expected) << term.toStdString();
    }
}
