#include <gtest/gtest.h>

#include "search/SearchFilter.h"
#include "text/FoldSearchText.h"

namespace {

// Whether a row with this name (as stored) and code passes the filter; the
// test of a row in byte form must give the same answer.
bool accepts(const SearchCriteria& criteria, const QString& name, const QString& code) {
    const SearchFilter filter(criteria);
    const bool answer = filter.accepts(FoldSearchText(name), code);
    EXPECT_EQ(filter.acceptsRow(name, code), answer)
        << name.toStdString() << " / " << code.toStdString();
    return answer;
}

SearchCriteria one(const QString& term) { return {term, QString(), false}; }
SearchCriteria both(const QString& term1, const QString& term2) { return {term1, term2, false}; }
SearchCriteria either(const QString& term1, const QString& term2) { return {term1, term2, true}; }

}  // namespace

TEST(SearchFilterTest, ContainmentNeedsBothTextsAndAnExactRun) {
    EXPECT_TRUE(containsRun(u"katip", u"kat"));
    EXPECT_TRUE(containsRun(u"kat", u"kat"));
    EXPECT_FALSE(containsRun(u"ka", u"kat"));
    EXPECT_FALSE(containsRun(u"KAT", u"kat"));
    EXPECT_FALSE(containsRun(u"katip", u""));
    EXPECT_FALSE(containsRun(u"", u""));
    EXPECT_FALSE(containsRun(u"", u"a"));
    EXPECT_TRUE(containsRun(u"aaab", u"aab"));
}

TEST(SearchFilterTest, OneTermMatchesTheFoldedNameOrTheCodeAsStored) {
    EXPECT_TRUE(accepts(one("kat"), "KATİP", "4110.01"));
    EXPECT_TRUE(accepts(one("KAT"), "Zabıt Katibi", "4110.01"));
    EXPECT_FALSE(accepts(one("kat"), "Aşçı", "4110.01"));
    // Codes are neither folded nor trimmed.
    EXPECT_TRUE(accepts(one("kat"), "Aşçı", "xkatx"));
    EXPECT_FALSE(accepts(one("KAT"), "Aşçı", "xkatx"));
    EXPECT_TRUE(accepts(one("4110"), "Aşçı", "4110.01"));
    EXPECT_FALSE(accepts(one("4110 "), "Aşçı", "4110.01"));
    EXPECT_TRUE(accepts(one("4110 "), "Aşçı", "4110 01"));
    // Blanks around a term still match a name.
    EXPECT_TRUE(accepts(one("  aşçı "), "Baş Aşçı", "5120.01"));
    EXPECT_FALSE(accepts(one(""), "Aşçı", "5120.01"));
    EXPECT_FALSE(accepts(one("   "), "Aşçı", "5120.01"));
    EXPECT_FALSE(accepts(one("kat"), "", ""));
}

TEST(SearchFilterTest, DottedAndDotlessIStayApart) {
    EXPECT_EQ(SearchFilter(one("İŞÇİ")).foldedTerm1(), "işçi");
    for (const QString name : {"İNŞAAT İŞÇİSİ", "İnşaat İşçisi", "inşaat işçisi"}) {
        EXPECT_TRUE(accepts(one("İŞÇİ"), name, "9313.01")) << name.toStdString();
    }
    EXPECT_FALSE(accepts(one("İŞÇİ"), "IŞÇI", "9313.01"));
    EXPECT_TRUE(accepts(one("ISIK"), "ISIK", "1"));
    EXPECT_FALSE(accepts(one("ISIK"), "İSİK", "1"));
}

TEST(SearchFilterTest, AndWantsBothTermsInTheNameOrBothInTheCode) {
    EXPECT_TRUE(accepts(both("inşaat", "MÜHENDİS"), "İnşaat Mühendisi", "2142.01"));
    EXPECT_TRUE(accepts(both("2142", ".01"), "İnşaat Mühendisi", "2142.01"));
    EXPECT_FALSE(accepts(both("inşaat", "2142"), "İnşaat Mühendisi", "2142.01"));
    EXPECT_FALSE(accepts(both("inşaat", "harita"), "İnşaat Mühendisi", "2142.01"));
    EXPECT_FALSE(accepts(both("2142", "harita"), "İnşaat Mühendisi", "2142.01"));
    // A second term of blanks folds to nothing: no name passes any more.
    EXPECT_FALSE(accepts(both("inşaat", "  "), "İnşaat Mühendisi", "2142.01"));
    EXPECT_TRUE(accepts(both("2142", " "), "x", "2142 01"));
}

TEST(SearchFilterTest, OrWantsAnyTermInTheNameOrTheCode) {
    EXPECT_TRUE(accepts(either("inşaat", "2142"), "İnşaat Mühendisi", "2142.01"));
    EXPECT_TRUE(accepts(either("harita", "mühendis"), "İnşaat Mühendisi", "9999.99"));
    EXPECT_TRUE(accepts(either("yok", "2142"), "Aşçı", "2142.01"));
    EXPECT_FALSE(accepts(either("yok", "hiç"), "Aşçı", "2142.01"));
    // Blanks-only second term: the same as the first term alone, unless a code holds the blanks.
    EXPECT_TRUE(accepts(either("aşçı", "  "), "Aşçı", "5120.01"));
    EXPECT_FALSE(accepts(either("yok", "  "), "Aşçı", "5120.01"));
    EXPECT_TRUE(accepts(either("yok", "  "), "Aşçı", "51  20"));
    // An empty first term with a second one: the second still counts.
    EXPECT_TRUE(accepts(either("", "aşçı"), "Aşçı", "5120.01"));
    EXPECT_FALSE(accepts(both("", "aşçı"), "Aşçı", "5120.01"));
}
