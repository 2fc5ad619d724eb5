#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/TmeslekanaF.h"
#include "data/OccupationRecordSet.h"
#include "exceptions/Exceptions.h"
#include "jet4/OccupationFixtures.h"
#include "support/RecordingBoxes.h"
#include "support/TempWorkDir.h"
#include "web/Browser.h"
#include "web/WebPanel.h"
#include "web/WebSite.h"
#include "widgets/FailureReporter.h"

namespace {

// What the browser and the panel were asked to do, in order.
using Log = std::vector<std::string>;

class RecordingBrowser : public Browser {
public:
    explicit RecordingBrowser(Log& log) : log_(log) {}
    void open(const QUrl& address) override {
        log_.push_back("open " + address.toString().toStdString());
    }

private:
    Log& log_;
};

class RecordingPanel : public WebPanel {
public:
    RecordingPanel(Log& log, bool& stopFails, QWidget* parent)
        : WebPanel(parent), log_(log), stopFails_(stopFails) {}
    void navigate(const QUrl& address) override {
        log_.push_back("navigate " + address.toString().toStdString());
    }
    void stop() override {
        log_.push_back("stop");
        if (stopFails_) throw Exception(QStringLiteral("Durdurulamadı"));
    }

private:
    Log& log_;
    bool& stopFails_;
};

// Logs the moment the list is released.
class ReleaseLog : public RecordSetObserver {
public:
    ReleaseLog(Log& log, OccupationRecordSet& set) : log_(log), set_(set) {
        set_.addObserver(this);
    }
    ~ReleaseLog() override { set_.removeObserver(this); }
    void recordSetStateChanged() override {
        if (!set_.active()) log_.push_back("release");
    }

private:
    Log& log_;
    OccupationRecordSet& set_;
};

const std::string Start = "http://www.tresvoli.example/personel.htm";
const std::string Download = "http://www.tresvoli.example/download/Dermansa.exe";
const std::string Closing = "http://tresvoli.example/Online_Bordro_Ucret_Maas_Hesaplama.htm";

class WebSideTest : public ::testing::Test {
protected:
    void start(bool withDatabase = true) {
        if (withDatabase) work.writeProgramDatabase(jet4::syntheticOccupations(30));
        reporter = std::make_unique<FailureReporter>(boxes);
        WebSide web;
        web.browser = &browser;
        web.panel = [this](QWidget* parent) { return new RecordingPanel(log, stopFails, parent); };
        window = std::make_unique<TmeslekanaF>(*reporter, defaultConnectionFactory(), web);
        window->resize(940, 500);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void clickIn(const char* name, QPoint at = QPoint(-1, -1)) {
        auto* area = window->findChild<QLabel*>(QLatin1String(name));
        ASSERT_NE(area, nullptr);
        if (at.x() < 0) at = area->rect().center();
        QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, at);
    }

    TempWorkDir work;
    Log log;
    bool stopFails = false;
    RecordingBrowser browser{log};
    RecordingBoxes boxes;
    std::unique_ptr<FailureReporter> reporter;
    std::unique_ptr<TmeslekanaF> window;
};

TEST(WebSite, AddressesAreSchemeHostAndPathOnly) {
    EXPECT_EQ(WebSite::startPage().toString().toStdString(), Start);
    EXPECT_EQ(WebSite::downloadAddress().toString().toStdString(), Download);
    EXPECT_EQ(WebSite::closingPage().toString().toStdString(), Closing);
    EXPECT_EQ(WebSite::notice(), "www.tresvoli.example  -  bilgi@tresvoli.example");
}

TEST_F(WebSideTest, ThePanelLoadsItsStartPageOnceAfterTheListOpened) {
    start();
    EXPECT_TRUE(window->recordSet().active());
    EXPECT_EQ(log, Log({"navigate " + Start}));
}

TEST_F(WebSideTest, WithoutADatabaseThePanelStaysBlank) {
    start(false);
    EXPECT_FALSE(window->recordSet().active());
    EXPECT_TRUE(log.empty());
}

TEST_F(WebSideTest, BannerAndLabelHandTheirAddressesToTheBrowser) {
    start();
    log.clear();
    clickIn("Image1");
    // The strip at the right end where no picture is drawn counts too.
    auto* banner = window->findChild<QLabel*>(QStringLiteral("Image1"));
    clickIn("Image1", QPoint(banner->width() - 1, 5));
    clickIn("Label2");
    EXPECT_EQ(log, Log({"open " + Download, "open " + Download, "open " + Start}));
    // The right button and a release outside the area are no clicks.
    QTest::mouseClick(banner, Qt::RightButton, Qt::NoModifier, banner->rect().center());
    QTest::mouseRelease(banner, Qt::LeftButton, Qt::NoModifier, QPoint(banner->width() + 5, 5));
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(WebSideTest, CloseRequestOpensTheClosingPageThenReleasesTheListThenStopsThePanel) {
    start();
    log.clear();
    ReleaseLog releases(log, window->recordSet());
    EXPECT_TRUE(window->close());
    EXPECT_EQ(log, Log({"open " + Closing, "release", "stop"}));

    // Granted once per shutdown: the program's end or another close adds nothing.
    EXPECT_TRUE(window->programEnding());
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(log.size(), 3u);
}

// The steps run when the program really ends: the application quitting (as it
// does at the session's end) runs them once; nothing before it does.
TEST_F(WebSideTest, TheApplicationQuittingRunsTheCloseRequestOnce) {
    start();
    log.clear();
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    EXPECT_EQ(log, Log({"open " + Closing, "stop"}));
    EXPECT_TRUE(window->close());
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(WebSideTest, AFailedStopIsReportedAndTheWindowStaysOpen) {
    start();
    log.clear();
    stopFails = true;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Durdurulamadı.");
    EXPECT_FALSE(window->recordSet().active());
    // The next request is a request of its own, and this time it is granted.
    stopFails = false;
    EXPECT_TRUE(window->close());
    EXPECT_EQ(log, Log({"open " + Closing, "stop", "open " + Closing, "stop"}));
}

}  // namespace
