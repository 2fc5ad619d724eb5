#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "data/JetHeader.h"
#include "jet4/Jet4Writer.h"

using JetHeader::Verdict;

namespace {

QByteArray databaseWith(const QString& password, double date = 44568.5) {
    jet4::DatabaseDef database;
    database.password = password;
    database.creationDate = date;
    return jet4::writeDatabase(database);
}

JetHeader::Info inspect(const QByteArray& bytes) {
    return JetHeader::inspect(bytes.left(JetHeader::PageSize), bytes.size());
}

QByteArray maskOf(double date) {
    unsigned char mask[4];
    JetHeader::passwordMask(date, mask);
    return QByteArray(reinterpret_cast<const char*>(mask), 4);
}

}  // namespace

TEST(JetHeaderTest, KnownPasswordVectorDecodes) {
    // Date 44568.5 and password "Şifre1", as stored on disk.
    const QByteArray bytes = databaseWith(QStringLiteral("Şifre1"));
    EXPECT_EQ(bytes.mid(0x42, 16).toHex(' '), "c0 54 85 37 23 ea ee fa bb f0 19 e6 0b 18 8a 60");
    EXPECT_EQ(bytes.mid(0x72, 8).toHex(' '), "12 4f 4a 94 7c fd 85 66");

    QByteArray decoded = bytes.left(JetHeader::PageSize);
    JetHeader::applyHeaderMask(decoded.data());
    EXPECT_EQ(decoded.mid(0x72, 8).toHex(' '), "00 00 00 00 10 c3 e5 40");
    EXPECT_EQ(decoded.mid(0x42, 16).toHex(' '), "46 af 69 00 7e ae 72 00 7d ae 31 00 18 ae 00 00");

    const JetHeader::Info info = inspect(bytes);
    EXPECT_EQ(info.verdict, Verdict::Jet4);
    EXPECT_EQ(info.version, 1);
    EXPECT_EQ(info.creationDate, 44568.5);
    EXPECT_TRUE(info.hasPassword);
    EXPECT_EQ(info.password, QStringLiteral("Şifre1"));
}

TEST(JetHeaderTest, HeaderMaskIsTheRc4KeyStream) {
    QByteArray page(JetHeader::PageSize, '\0');
    JetHeader::applyHeaderMask(page.data());
    EXPECT_EQ(page.mid(0x18, 16).toHex(' '), "b5 6f 03 62 61 08 c2 55 eb a9 67 72 43 3f 00 9c");
    EXPECT_EQ(page.left(0x18), QByteArray(0x18, '\0'));
    EXPECT_EQ(page.mid(0x98), QByteArray(JetHeader::PageSize - 0x98, '\0'));
    JetHeader::applyHeaderMask(page.data());
    EXPECT_EQ(page, QByteArray(JetHeader::PageSize, '\0'));
}

TEST(JetHeaderTest, PasswordMaskTruncatesAndSaturates) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(maskOf(44568.5).toHex(' '), "18 ae 00 00");
    EXPECT_EQ(maskOf(44568.99).toHex(' '), "18 ae 00 00");
    EXPECT_EQ(maskOf(-1.5).toHex(' '), "ff ff ff ff");  // toward zero: -1
    EXPECT_EQ(maskOf(-0.5).toHex(' '), "00 00 00 00");
    EXPECT_EQ(maskOf(std::nan("")).toHex(' '), "00 00 00 00");
    EXPECT_EQ(maskOf(2147483647.9).toHex(' '), "ff ff ff 7f");
    EXPECT_EQ(maskOf(1e300).toHex(' '), "ff ff ff 7f");
    EXPECT_EQ(maskOf(inf).toHex(' '), "ff ff ff 7f");
    EXPECT_EQ(maskOf(-2147483648.5).toHex(' '), "00 00 00 80");
    EXPECT_EQ(maskOf(-inf).toHex(' '), "00 00 00 80");

    // Out-of-range dates still round-trip the password.
    for (double date : {1e300, -1e300, std::nan(""), -3.75}) {
        const JetHeader::Info info = inspect(databaseWith(QStringLiteral("Ağaç"), date));
        EXPECT_EQ(info.password, QStringLiteral("Ağaç")) << date;
    }
}

TEST(JetHeaderTest, PasswordComparisonIsExact) {
    const QString full = QStringLiteral("İğneşÇöÜ0123456789ab");  // 20 units
    ASSERT_EQ(full.size(), 20);
    const JetHeader::Info info = inspect(databaseWith(full));
    EXPECT_EQ(info.password, full);
    EXPECT_TRUE(JetHeader::passwordMatches(info, full));
    for (const QString& wrong :
         {QStringLiteral("iğneşÇöÜ0123456789ab"), QStringLiteral("İĞNEŞÇÖÜ0123456789AB"),
          full.left(19), full + QLatin1Char('x'), QString(),
          QStringLiteral("İğneşÇöÜ0123456789aB")})
        EXPECT_FALSE(JetHeader::passwordMatches(info, wrong)) << wrong.toStdString();

    const JetHeader::Info turkish = inspect(databaseWith(QStringLiteral("ılık")));
    EXPECT_TRUE(JetHeader::passwordMatches(turkish, QStringLiteral("ılık")));
    EXPECT_FALSE(JetHeader::passwordMatches(turkish, QStringLiteral("ilik")));
    EXPECT_FALSE(JetHeader::passwordMatches(turkish, QStringLiteral("ILIK")));
}

TEST(JetHeaderTest, FileWithoutPasswordOpensWithAnyPassword) {
    const JetHeader::Info info = inspect(databaseWith(QString()));
    EXPECT_EQ(info.verdict, Verdict::Jet4);
    EXPECT_FALSE(info.hasPassword);
    EXPECT_TRUE(info.password.isEmpty());
    for (const QString& given : {QString(), QStringLiteral("herhangi"), QStringLiteral("Şifre1")})
        EXPECT_TRUE(JetHeader::passwordMatches(info, given));
}

TEST(JetHeaderTest, RecognisesOtherFormatsAndDamage) {
    const QByteArray good = databaseWith(QStringLiteral("p"));
    auto verdictOf = [](const QByteArray& bytes) { return inspect(bytes).verdict; };
    auto changed = [&](int offset, const QByteArray& with) {
        QByteArray bytes = good;
        bytes.replace(offset, with.size(), with);
        return bytes;
    };

    EXPECT_EQ(verdictOf(good), Verdict::Jet4);
    EXPECT_EQ(verdictOf(changed(JetHeader::VersionOffset, QByteArray(1, '\0'))), Verdict::Jet3);
    EXPECT_EQ(verdictOf(changed(JetHeader::VersionOffset, "\x02")), Verdict::NewerFormat);
    EXPECT_EQ(verdictOf(changed(JetHeader::VersionOffset, "\x05")), Verdict::NewerFormat);
    EXPECT_EQ(verdictOf(changed(4, "Standard ACE DB")), Verdict::NewerFormat);
    EXPECT_EQ(verdictOf(changed(4, "MSISAM Database")), Verdict::BadMagic);
    EXPECT_EQ(verdictOf(changed(4, "standard jet db")), Verdict::BadMagic);
    EXPECT_EQ(verdictOf(changed(0, "\x01")), Verdict::BadMagic);
    EXPECT_EQ(verdictOf(changed(1, QByteArray(1, '\0'))), Verdict::BadMagic);
    EXPECT_EQ(verdictOf(QByteArray(good.size(), '\0')), Verdict::BadMagic);

    EXPECT_EQ(verdictOf(QByteArray()), Verdict::TooSmall);
    EXPECT_EQ(verdictOf(good.left(JetHeader::PageSize - 1)), Verdict::TooSmall);
    EXPECT_EQ(verdictOf(good.left(JetHeader::PageSize + 100)), Verdict::TooSmall);
    EXPECT_EQ(verdictOf(good.left(0x40)), Verdict::TooSmall);
    EXPECT_EQ(verdictOf(good.left(JetHeader::PageSize)), Verdict::Jet4);
    // The caller may pass only the start of a file whose size is fine.
    EXPECT_EQ(JetHeader::inspect(good.left(0x98), good.size()).verdict, Verdict::Jet4);
    EXPECT_EQ(JetHeader::inspect(good.left(0x97), good.size()).verdict, Verdict::TooSmall);

    // Only a Jet 4 file can match a password.
    const JetHeader::Info jet3 = inspect(changed(JetHeader::VersionOffset, QByteArray(1, '\0')));
    EXPECT_FALSE(JetHeader::passwordMatches(jet3, QStringLiteral("p")));
}

TEST(JetHeaderTest, EveryVerdictHasItsOwnTurkishPhrase) {
    std::set<QString> phrases;
    for (Verdict v : {Verdict::Jet4, Verdict::TooSmall, Verdict::BadMagic, Verdict::Jet3,
                      Verdict::NewerFormat, Verdict::UnknownVersion}) {
        const QString phrase = JetHeader::describe(v);
        EXPECT_FALSE(phrase.isEmpty());
        phrases.insert(phrase);
    }
    EXPECT_EQ(phrases.size(), 6u);
    EXPECT_EQ(JetHeader::describe(Verdict::Jet3), QStringLiteral("Access 97 (Jet 3) biçiminde"));
    EXPECT_EQ(JetHeader::describe(Verdict::NewerFormat),
              QStringLiteral("Access 2007 ya da daha yeni biçimde"));
}
