#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/TmeslekanaF.h"
#include "data/OccupationRecordSet.h"
#include "exceptions/Exceptions.h"
#include "help/TyardimF.h"
#include "support/OccupationFixtures.h"
#include "support/RecordingBoxes.h"
#include "support/TempWorkDir.h"
#include "web/Browser.h"
#include "web/OwnStartPage.h"
#include "web/PageViewPanel.h"
#include "web/WebPanel.h"
#include "web/WebProfile.h"
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

const MakerSite Site{QStringLiteral("www.tresvoli.example"), QStringLiteral("tresvoli.example"),
                     QStringLiteral("www.tresvoli.example  -  bilgi@tresvoli.example")};
const std::string Start = "http://www.tresvoli.example/personel.htm";
const std::string Download = "http://www.tresvoli.example/download/Dermansa.exe";
const std::string Closing = "http://tresvoli.example/Online_Bordro_Ucret_Maas_Hesaplama.htm";

// The own page as the build made it, beside the test program.
QString builtPage() { return QStringLiteral(MESLEK_BUILD_DIR "/baslangic.html"); }
std::string builtPageAddress() { return QUrl::fromLocalFile(builtPage()).toString().toStdString(); }

// Every text the window shows in its labels and status bars.
QStringList shownTexts(const QWidget& window) {
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisibleTo(&window)) texts << label->text() << label->accessibleName();
    }
    return texts;
}

class WebSideTest : public ::testing::Test {
protected:
    // The window of a program built for the maker's site, or without a site.
    void start(bool withDatabase = true, WebProfile profile = WebProfile::forSite(Site),
               bool realPanel = false) {
        if (withDatabase) work.writeProgramDatabase(jet4::syntheticOccupations(30));
        reporter = std::make_unique<FailureReporter>(boxes);
        WebSide web;
        web.browser = &browser;
        web.profile = profile;
        if (!realPanel) {
            web.panel = [this](QWidget* parent) {
                return new RecordingPanel(log, stopFails, parent);
            };
        }
        window = std::make_unique<TmeslekanaF>(*reporter, defaultConnectionFactory(), web);
        window->resize(940, 500);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void startWithoutSite(bool realPanel = false) {
        start(true, WebProfile::withoutSite(builtPage()), realPanel);
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

TEST(WebProfile, ASitesAddressesAreSchemeHostAndPathOnly) {
    const WebProfile web = WebProfile::forSite(Site);
    EXPECT_TRUE(web.hasSite());
    EXPECT_EQ(web.panelPage().toString().toStdString(), Start);
    EXPECT_EQ(web.labelAddress().toString().toStdString(), Start);
    EXPECT_EQ(web.bannerAddress().toString().toStdString(), Download);
    EXPECT_EQ(web.closingPage().toString().toStdString(), Closing);
    EXPECT_EQ(web.makerNotice(), "Tresvoli Yazılım Hizmetleri");
    EXPECT_EQ(web.siteNotice(), Site.notice);
}

// Without a site everything leads to the own page, a close to nothing; a
// missing page file leaves the panel the built-in copy and the links nothing.
TEST(WebProfile, WithoutASiteEverythingLeadsToTheOwnPage) {
    const WebProfile web = WebProfile::withoutSite(builtPage());
    EXPECT_FALSE(web.hasSite());
    EXPECT_EQ(web.panelPage().toString().toStdString(), builtPageAddress());
    EXPECT_EQ(web.labelAddress(), web.panelPage());
    EXPECT_EQ(web.bannerAddress(), web.panelPage());
    EXPECT_TRUE(web.closingPage().isEmpty());
    EXPECT_EQ(web.makerNotice(), "Meslek Arama 0.1");
    EXPECT_EQ(web.siteNotice(), "Programla gelen ulusal meslek listesi: 7.764 meslek");

    const WebProfile missing = WebProfile::withoutSite(QString());
    EXPECT_EQ(missing.panelPage(), builtInStartPage());
    EXPECT_TRUE(missing.labelAddress().isEmpty());
    EXPECT_TRUE(missing.bannerAddress().isEmpty());
    EXPECT_TRUE(missing.closingPage().isEmpty());
}

// The build's configuration decides: the test tree of a site build is built
// with the same MESLEK_SITE_* values as the program.
TEST(WebProfile, TheBuiltInProfileIsTheBuildsSiteOrTheOwnPageBesideTheProgram) {
    const MakerSite site = builtInSite();
    EXPECT_EQ(site.host, QStringLiteral(MESLEK_TEST_SITE_HOST));
    EXPECT_EQ(site.domain, QStringLiteral(MESLEK_TEST_SITE_DOMAIN));
    const WebProfile web = WebProfile::builtIn();
    EXPECT_EQ(web.hasSite(), site.exists());
    if (!site.exists()) {
        EXPECT_EQ(web.panelPage().toString().toStdString(), builtPageAddress());
    }
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

TEST_F(WebSideTest, WithoutASiteThePanelShowsTheOwnPage) {
    startWithoutSite(true);
    auto* panel = window->findChild<PageViewPanel*>(QStringLiteral("WebBrowser2"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->view()->documentTitle(), "Meslek Arama: programın sayfası");
    EXPECT_TRUE(panel->view()->toPlainText().contains(QStringLiteral("7.764 meslek")));
}

TEST_F(WebSideTest, WithoutASiteBannerAndLabelOpenTheOwnPageAndACloseOpensNothing) {
    startWithoutSite();
    EXPECT_EQ(log, Log({"navigate " + builtPageAddress()}));
    log.clear();
    clickIn("Image1");
    clickIn("Label2");
    EXPECT_EQ(log, Log({"open " + builtPageAddress(), "open " + builtPageAddress()}));

    log.clear();
    ReleaseLog releases(log, window->recordSet());
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(window->programEnding());
    EXPECT_EQ(log, Log({"release", "stop"}));
}

// Nothing names the maker's site, its program or a made-up address: not the
// labels, not the status bars of either window, not what a screen reader hears.
TEST_F(WebSideTest, WithoutASiteNoTextNamesASite) {
    startWithoutSite();
    const WebProfile web = WebProfile::withoutSite(builtPage());
    TyardimF help(*reporter, web);
    const QStringList texts = shownTexts(*window) + shownTexts(help);
    EXPECT_TRUE(texts.contains(QStringLiteral("Meslek Arama 0.1")));
    EXPECT_TRUE(
        texts.contains(QStringLiteral("Programla gelen ulusal meslek listesi: 7.764 meslek")));
    for (const QString& text : texts) {
        for (const char* word : {"http", "www.", "example", "Dermansa", "Tresvoli", "@"}) {
            EXPECT_FALSE(text.contains(QLatin1String(word), Qt::CaseInsensitive))
                << text.toStdString();
        }
    }
    // The site's build names its own.
    TyardimF siteHelp(*reporter, WebProfile::forSite(Site));
    EXPECT_TRUE(shownTexts(siteHelp).contains(Site.notice));
}

// The own banner: drawn at 334 by 159 from the corner, something to see in
// the 121 rows the band shows, and not the maker's picture.
TEST_F(WebSideTest, WithoutASiteTheBannerIsTheProgramsOwnPicture) {
    startWithoutSite();
    auto* banner = window->findChild<QLabel*>(QStringLiteral("Image1"));
    const QImage own = banner->pixmap().toImage();
    EXPECT_EQ(own.size(), QSize(334, 159));
    EXPECT_NE(own, QPixmap(QStringLiteral(":/web/banner.png")).toImage());
    EXPECT_EQ(banner->accessibleName(), "Program sayfasını aç");
    int whiteInShownRows = 0;
    for (int y = 0; y < 121; ++y) {
        for (int x = 0; x < 334; ++x) whiteInShownRows += own.pixel(x, y) == qRgb(255, 255, 255);
    }
    EXPECT_GT(whiteInShownRows, 500) << "no text or card in the rows the window shows";
}

}  // namespace
