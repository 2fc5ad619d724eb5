#include <gtest/gtest.h>

#include "failure/Exceptions.h"

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
