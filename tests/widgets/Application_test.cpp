#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/RecordingBoxes.h"
#include "widgets/Application.h"
#include "widgets/FailureReporter.h"

namespace {

const QEvent::Type kThrowFailure = static_cast<QEvent::Type>(QEvent::User + 1);
const QEvent::Type kThrowAbort = static_cast<QEvent::Type>(QEvent::User + 2);
const QEvent::Type kThrowOther = static_cast<QEvent::Type>(QEvent::User + 3);
const QEvent::Type kCount = static_cast<QEvent::Type>(QEvent::User + 4);

// An event handler that fails on demand.
class FailingReceiver : public QObject {
public:
    int counted = 0;

    bool event(QEvent* event) override {
        switch (static_cast<int>(event->type())) {
            case kThrowFailure:
                throw EOleException("Veritabanı açılamadı", ResultCode::Fail);
            case kThrowAbort:
                throw EAbort();
            case kThrowOther:
                throw std::logic_error("beklenmedik");
            case kCount:
                ++counted;
                return true;
            default:
                return QObject::event(event);
        }
    }
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        application = dynamic_cast<Application*>(QCoreApplication::instance());
        ASSERT_NE(application, nullptr) << "the tests run under the program's Application";
        application->setFailureReporter(&reporter);
    }
    void TearDown() override {
        if (application) {
            application->setFailureReporter(nullptr);
        }
    }

    RecordingBoxes boxes;
    FailureReporter reporter{boxes, requestExit};
    ApplicationTitleScope title;
    Application* application = nullptr;
    FailingReceiver receiver;
};

TEST_F(ApplicationTest, FailureInAnEventHandlerIsReportedAndTheLoopGoesOn) {
    QEvent failing(kThrowFailure);
    EXPECT_TRUE(QCoreApplication::sendEvent(&receiver, &failing));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Veritabanı açılamadı.");
    EXPECT_EQ(boxes.shown[0].caption, "Tresvoli");

    // Queued: the failing events are reported one by one and the events after
    // them are still delivered.
    QCoreApplication::postEvent(&receiver, new QEvent(kCount));
    QCoreApplication::postEvent(&receiver, new QEvent(kThrowFailure));
    QCoreApplication::postEvent(&receiver, new QEvent(kThrowAbort));
    QCoreApplication::postEvent(&receiver, new QEvent(kCount));
    QCoreApplication::postEvent(&receiver, new QEvent(kThrowOther));
    QCoreApplication::postEvent(&receiver, new QEvent(kCount));
    QCoreApplication::sendPostedEvents(&receiver);
    EXPECT_EQ(receiver.counted, 3);
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_FALSE(boxes.shown[1].fatal);
    EXPECT_TRUE(boxes.shown[2].fatal);
    EXPECT_TRUE(boxes.shown[2].text.startsWith("Exception std::logic_error in module "));
}

TEST_F(ApplicationTest, WithoutAReporterTheFailureGoesToTheErrorOutput) {
    application->setFailureReporter(nullptr);
    QEvent failing(kThrowFailure);
    QEvent other(kThrowOther);
    QEvent abort(kThrowAbort);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(QCoreApplication::sendEvent(&receiver, &failing));
    EXPECT_TRUE(QCoreApplication::sendEvent(&receiver, &other));
    EXPECT_TRUE(QCoreApplication::sendEvent(&receiver, &abort));
    const std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(written,
              "EOleException: Veritabanı açılamadı\n"
              "std::logic_error: beklenmedik\n");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ApplicationTest, AFailingReportFallsBackToTheErrorOutput) {
    FailureReporter failingReporter(boxes, requestExit);
    failingReporter.setFailureHandler(
        [](QObject*, const Exception&) { throw std::runtime_error("kutu"); });
    application->setFailureReporter(&failingReporter);
    QEvent failing(kThrowFailure);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(QCoreApplication::sendEvent(&receiver, &failing));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "EOleException: Veritabanı açılamadı\n");
}

}  // namespace
