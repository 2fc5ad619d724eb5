#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <memory>
#include <stdexcept>

#include "support/RecordingBoxes.h"
#include "widgets/FailureReporter.h"

namespace {

using Icon = MessageBoxes::Icon;
using Buttons = MessageBoxes::Buttons;

class FailureReporterTest : public ::testing::Test {
protected:
    RecordingBoxes boxes;
    FailureReporter reporter{boxes, requestExit};
    ApplicationTitleScope title;

    // Raises `failure` and reports it from the catch point, as event handlers do.
    template <typename Failure>
    void raiseAndReport(const Failure& failure) {
        try {
            throw failure;
        } catch (...) {
            reporter.ReportFailure(nullptr);
        }
    }
};

QString moduleOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname) {
        return {};
    }
    return QString::fromLocal8Bit(info.dli_fname).section(QLatin1Char('/'), -1);
}

QString offsetInModule(const void* address) {
    Dl_info info{};
    dladdr(address, &info);
    const auto offset = reinterpret_cast<std::uintptr_t>(address) -
                        reinterpret_cast<std::uintptr_t>(info.dli_fbase);
    return QString::number(offset, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

TEST(MessageWithPeriodTest, AppendsAPeriodOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(messageWithPeriod("abc"), "abc.");
    EXPECT_EQ(messageWithPeriod("abc."), "abc.");
    EXPECT_EQ(messageWithPeriod("abc)"), "abc)");
    EXPECT_EQ(messageWithPeriod("abc'"), "abc'");
    EXPECT_EQ(messageWithPeriod("abc\""), "abc\"");
    EXPECT_EQ(messageWithPeriod("abc "), "abc ");
    EXPECT_EQ(messageWithPeriod("abc!"), "abc!");
    EXPECT_EQ(messageWithPeriod("abc,"), "abc,");
    EXPECT_EQ(messageWithPeriod("abc-"), "abc-");
    EXPECT_EQ(messageWithPeriod("abc/"), "abc/.");
    EXPECT_EQ(messageWithPeriod("abc7"), "abc7.");
    EXPECT_EQ(messageWithPeriod("Meslek Adı"), "Meslek Adı.");
    EXPECT_EQ(messageWithPeriod("İ"), "İ.");
    EXPECT_EQ(messageWithPeriod(QString()), "");
}

TEST_F(FailureReporterTest, ShowFailureUsesTheTitleTheErrorIconAndOneOkButton) {
    reporter.ShowFailure(EDatabaseError::named("meslekkoduQuery", "Field 'Meslek Kodu' not found"));
    reporter.ShowFailure(Exception(QString()));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "meslekkoduQuery: Field 'Meslek Kodu' not found.");
    EXPECT_EQ(boxes.shown[0].caption, "Tresvoli");
    EXPECT_EQ(boxes.shown[0].icon, Icon::Error);
    EXPECT_EQ(boxes.shown[0].buttons, Buttons::Ok);
    EXPECT_FALSE(boxes.shown[0].fatal);
    EXPECT_EQ(boxes.shown[1].text, "");
}

TEST_F(FailureReporterTest, ProviderDescriptionEndingInAQuotedNameKeepsNoPeriod) {
    raiseAndReport(EOleException("Could not find file 'C:\\Tresvoli\\AnaData\\MeslekAna.mdb'.\r\n",
                                 ResultCode::Fail));
    raiseAndReport(EOleException("Not a valid password.\r\n", ResultCode::Fail));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "Could not find file 'C:\\Tresvoli\\AnaData\\MeslekAna.mdb'");
    EXPECT_EQ(boxes.shown[1].text, "Not a valid password.");
}

TEST_F(FailureReporterTest, ReportFailureSortsWhatItCaught) {
    raiseAndReport(EAbort());
    EXPECT_TRUE(boxes.shown.empty());

    reporter.ReportFailure(nullptr);  // nothing is being handled
    EXPECT_TRUE(boxes.shown.empty());

    raiseAndReport(EOleSysError(QString(), ResultCode::NotRegistered));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Sınıf kayıtlı değil.");
    EXPECT_FALSE(boxes.shown[0].fatal);

    // Objects outside the family get the fatal report's box, and the program
    // goes on: the fake exit would have thrown.
    raiseAndReport(std::runtime_error("bozuk"));
    raiseAndReport(42);
    ASSERT_EQ(boxes.shown.size(), 3u);
    const QRegularExpression fatalText(
        "^Exception (.+) in module meslek_tests at [0-9A-F]{8,}\\.\r\n\r\n$");
    const auto runtime = fatalText.match(boxes.shown[1].text);
    ASSERT_TRUE(runtime.hasMatch()) << boxes.shown[1].text.toStdString();
    EXPECT_EQ(runtime.captured(1), "std::runtime_error");
    EXPECT_TRUE(boxes.shown[1].fatal);
    EXPECT_EQ(boxes.shown[1].caption, "Application Error");
    const auto unknown = fatalText.match(boxes.shown[2].text);
    ASSERT_TRUE(unknown.hasMatch()) << boxes.shown[2].text.toStdString();
    EXPECT_EQ(unknown.captured(1), "int");
}

TEST_F(FailureReporterTest, ReportFailureLetsGoOfTheMouse) {
    QPushButton button("ARA");
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    button.grabMouse();
    button.setDown(true);
    ASSERT_EQ(QWidget::mouseGrabber(), &button);

    raiseAndReport(EAbort());  // even a silent failure lets go
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(button.isDown());
}

TEST_F(FailureReporterTest, GuardedPassesArgumentsAndReportsWithTheSender) {
    QObject sender;
    QObject* reportedFor = nullptr;
    reporter.setFailureHandler([&](QObject* from, const Exception&) { reportedFor = from; });
    int received = 0;
    auto handler = guarded(reporter, &sender, [&](int value) {
        received = value;
        if (value < 0) {
            throw EOleException("negatif", ResultCode::Fail);
        }
    });
    handler(5);
    EXPECT_EQ(received, 5);
    EXPECT_EQ(reportedFor, nullptr);
    handler(-1);
    EXPECT_EQ(received, -1);
    EXPECT_EQ(reportedFor, &sender);

    // As a slot that takes fewer arguments than its signal.
    reportedFor = nullptr;
    QObject::connect(&sender, &QObject::objectNameChanged, guarded(reporter, &sender, [] {
        throw EOleException("adsız", ResultCode::Fail);
    }));
    sender.setObjectName("Edit1");
    EXPECT_EQ(reportedFor, &sender);
}

TEST_F(FailureReporterTest, FatalReportNamesKindModuleAndOffsetThenExitsWithOne) {
    const void* raisedAt = nullptr;
    std::exception_ptr failure;
    try {
        EOleSysError raised("Dosya açılamadı", ResultCode::Fail);
        raisedAt = raised.raiseAddress();
        throw raised;
    } catch (...) {
        failure = std::current_exception();
    }
    ASSERT_EQ(moduleOf(raisedAt), "meslek_tests");
    ASSERT_EQ(moduleOf(raisedAt), moduleOf(reinterpret_cast<const void*>(&moduleOf)));

    try {
        reporter.ReportFatalFailure(failure, raisedAt);
        FAIL() << "the fatal report returned";
    } catch (const ExitRequested& exit) {
        EXPECT_EQ(exit.code, 1);
    }
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].fatal);
    EXPECT_EQ(boxes.shown[0].caption, "Application Error");
    EXPECT_EQ(boxes.shown[0].text, "Exception EOleSysError in module meslek_tests at " +
                                       offsetInModule(raisedAt) + ".\r\nDosya açılamadı.\r\n");
}

TEST_F(FailureReporterTest, FatalReportTextIsCutAfter1023Characters) {
    const QString message(2000, QLatin1Char('x'));
    try {
        reporter.ReportFatalFailure(std::make_exception_ptr(Exception(message)), nullptr);
    } catch (const ExitRequested&) {
    }
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.size(), 1023);
    EXPECT_TRUE(boxes.shown[0].text.startsWith("Exception Exception in module meslek_tests at "));
    EXPECT_TRUE(boxes.shown[0].text.endsWith("xxxx"));
}

TEST(FatalFailureTextTest, PeriodRuleModulesAndBuffer) {
    const Exception closed("Dosya 'x.mdb' açık (kilitli)");
    static const int inThisModule = 0;
    const void* address = &inThisModule;
    EXPECT_EQ(FatalFailureText(&closed, address), "Exception Exception in module meslek_tests at " +
                                                      offsetInModule(address) +
                                                      ".\r\nDosya 'x.mdb' açık (kilitli).\r\n");

    const Exception ended("Bitti.");
    EXPECT_TRUE(FatalFailureText(&ended, address).endsWith(".\r\nBitti.\r\n"));
    EXPECT_TRUE(FatalFailureText(nullptr, address)
                    .endsWith("Exception Exception in module "
                              "meslek_tests at " +
                              offsetInModule(address) + ".\r\n\r\n"));

    // A library: the module is named without its directory.
    const void* inLibrary = reinterpret_cast<const void*>(&qVersion);
    EXPECT_TRUE(FatalFailureText(&ended, inLibrary)
                    .startsWith("Exception Exception in module " + moduleOf(inLibrary) + " at " +
                                offsetInModule(inLibrary) + ".\r\n"));
    EXPECT_TRUE(moduleOf(inLibrary).startsWith("libQt6Core.so"));

    // An address in no module: the program's name and the address less 0x1000.
    const auto heap = std::make_unique<int>(0);
    const auto shown = QString::number(reinterpret_cast<std::uintptr_t>(heap.get()) - 0x1000, 16)
                           .toUpper()
                           .rightJustified(8, QLatin1Char('0'));
    EXPECT_EQ(FatalFailureText(&ended, heap.get()),
              "Exception Exception in module meslek_tests at " + shown + ".\r\nBitti.\r\n");

    char16_t buffer[16];
    const QString full = FatalFailureText(&ended, address);
    EXPECT_EQ(FatalFailureText(&ended, address, buffer, 16), 15);
    EXPECT_EQ(QString::fromUtf16(buffer), full.left(15));
    EXPECT_EQ(FatalFailureText(&ended, address, buffer, 1), 0);
    EXPECT_EQ(buffer[0], u'\0');
}

}  // namespace
