#include <gtest/gtest.h>

#include <vector>

#include "exceptions/Exceptions.h"

TEST(TrimMessageEndTest, DropsTrailingControlsBlanksAndPeriodsRepeatedly) {
    EXPECT_EQ(TrimMessageEnd("abc"), "abc");
    EXPECT_EQ(TrimMessageEnd("abc. \r\n.\t."), "abc");
    EXPECT_EQ(TrimMessageEnd("dosya \"x.mdb\".\r\n"), "dosya \"x.mdb\"");
    EXPECT_EQ(TrimMessageEnd(" . \n"), "");
    EXPECT_EQ(TrimMessageEnd(QString()), "");
    EXPECT_EQ(TrimMessageEnd("a.b"), "a.b");
    EXPECT_EQ(TrimMessageEnd(QString("abc") + QChar(0x00A0)), QString("abc") + QChar(0x00A0));
}

TEST(FailureFamilyTest, KindsMessagesAndFallbackTexts) {
    EOleException provider("Dosya bulunamadı.\r\n", ResultCode::Fail, "Jet");
    EXPECT_EQ(provider.message(), "Dosya bulunamadı");
    EXPECT_STREQ(provider.className(), "EOleException");
    EXPECT_EQ(provider.errorCode(), ResultCode::Fail);

    // A description that trims to nothing falls back to the code's text.
    EOleException blank(" . ", static_cast<std::int32_t>(0x8000FFFFu));
    EXPECT_EQ(blank.message(), "OLE error 8000FFFF");
    EOleSysError system(QString(), static_cast<std::int32_t>(0x800A0001u));
    EXPECT_EQ(system.message(), "OLE error 800A0001");

    EXPECT_EQ(EAbort().message(), "Operation aborted");
    EXPECT_EQ(EDatabaseError::named("meslekkoduQuery", "x").message(), "meslekkoduQuery: x");

    const Exception& base = provider;
    EXPECT_STREQ(base.className(), "EOleException");
    EXPECT_NE(base.raiseAddress(), nullptr);
    EXPECT_STREQ(base.what(), "Dosya bulunamadı");
}

namespace {

// Raises every kind of the family twice, each at a site of its own, and
// returns where each one says it was raised.
__attribute__((noinline)) std::vector<const void*> raiseEachKindTwice() {
    std::vector<const void*> at;
    at.push_back(Exception("a").raiseAddress());
    at.push_back(Exception("b").raiseAddress());
    at.push_back(EAbort().raiseAddress());
    at.push_back(EAbort().raiseAddress());
    at.push_back(EOleError("a").raiseAddress());
    at.push_back(EOleError("b").raiseAddress());
    at.push_back(EOleSysError("a", ResultCode::Fail).raiseAddress());
    at.push_back(EOleSysError("b", ResultCode::Fail).raiseAddress());
    at.push_back(EOleException("a", ResultCode::Fail).raiseAddress());
    at.push_back(EOleException("b", ResultCode::Fail).raiseAddress());
    at.push_back(EDatabaseError("a").raiseAddress());
    at.push_back(EDatabaseError("b").raiseAddress());
    at.push_back(EDatabaseError::named("q", "a").raiseAddress());
    at.push_back(EDatabaseError::named("q", "b").raiseAddress());
    return at;
}

}  // namespace

// A constructor that recorded its own return address would give the same
// address for both raises of a kind, and one outside the raising function.
TEST(RaiseAddressTest, EveryKindRecordsTheCodeThatRaisedIt) {
    const std::vector<const void*> at = raiseEachKindTwice();
    const auto* begin = reinterpret_cast<const char*>(&raiseEachKindTwice);
    for (std::size_t i = 0; i < at.size(); ++i) {
        SCOPED_TRACE(i);
        const auto* address = static_cast<const char*>(at[i]);
        EXPECT_GT(address, begin);
        // The raising function is a few kilobytes long; sanitized builds make
        // it several times larger.
        EXPECT_LT(address, begin + 65536);
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_NE(at[i], at[j]) << "raise " << j;
        }
    }
}
