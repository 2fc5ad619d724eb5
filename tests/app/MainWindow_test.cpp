#include <QCheckBox>
#include <QDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

#include "app/ProgramEntry.h"
#include "app/TerminationSignal.h"
#include "app/TmeslekanaF.h"
#include "app/WindowHandoff.h"
#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/OccupationRecordSet.h"
#include "exceptions/Exceptions.h"
#include "grid/OccupationGrid.h"
#include "support/NamedChild.h"
#include "support/OccupationFixtures.h"
#include "support/ProgramRun.h"
#include "support/RecordSetWindow.h"
#include "support/RecordingBoxes.h"
#include "support/TempWorkDir.h"
#include "web/WebPanel.h"
#include "widgets/Application.h"
#include "widgets/FailureReporter.h"
#include "widgets/Fonts.h"
#include "widgets/MessageBoxes.h"
#include "widgets/TJvXPButton.h"
#include "widgets/TJvXPContainer.h"
#include "widgets/TtfXPButton.h"

namespace {

std::vector<jet4::OccupationRow> occupations() {
    return {{"7112.01", "Duvarcı", QString()},
            {"3112.04", "Katip", QString()},
            {"4110.02", "MAHKEME KÂTİBİ", QString()},
            {"5120.01", "Aşçı", QString()},
            {"9629.05", "Kat Görevlisi (Otel)", QString()},
            {"2142.01", "İnşaat Mühendisi", QString()},
            {"8160.03", "Paketleme İşçisi", QString()},
            {"1120.02", "KATLAMA MAKİNESİ OPERATÖRÜ", QString()}};
}

struct Started {
    RecordingBoxes boxes;
    std::unique_ptr<FailureReporter> reporter;
    std::unique_ptr<TmeslekanaF> window;
};

std::unique_ptr<Started> startWindow() {
    QCoreApplication::setApplicationName(QStringLiteral("Tresvoli"));
    registerTahoma();
    auto started = std::make_unique<Started>();
    started->reporter = std::make_unique<FailureReporter>(started->boxes);
    started->window = std::make_unique<TmeslekanaF>(*started->reporter, defaultConnectionFactory());
    started->window->resize(940, 500);
    started->window->show();
    return started;
}

// Whether a process has a handler for `signal`, from the SigCgt mask of /proc.
bool catches(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            const quint64 mask = line.mid(7).trimmed().toULongLong(nullptr, 16);
            return (mask >> (signal - 1)) & 1u;
        }
    }
    return false;
}

bool waitUntilCatching(qint64 pid, int signal) {
    for (int i = 0; i < 300; ++i) {
        if (catches(pid, signal)) return true;
        QTest::qWait(50);
    }
    return false;
}

// Starts the program in `directory`, off screen, once it catches SIGTERM.
bool startProgram(QProcess& program, const QString& directory) {
    program.setWorkingDirectory(directory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MESLEK_BUILD_DIR "/meslekana"), {});
    // The signal is sent once the program catches it, however long start-up takes.
    return program.waitForStarted(10000) && waitUntilCatching(program.processId(), SIGTERM);
}

Application& programApplication() {
    auto* application = dynamic_cast<Application*>(QCoreApplication::instance());
    EXPECT_NE(application, nullptr) << "the tests run under the program's Application";
    return *application;
}

// Ends the boxes still open after ten seconds, and the event loops, so that a
// test of the program's own start-up fails instead of waiting for ever.
struct ModalWatchdog {
    ModalWatchdog() {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            fired = true;
            for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i) {
                if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    dialog->done(0);
                }
            }
            QCoreApplication::exit(1);
        });
        timer.start(10000);
    }
    QTimer timer;
    bool fired = false;
};

// Counts the close requests that reach the windows it watches.
struct CloseRequestCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) ++count;
        return false;
    }
    int count = 0;
};

// A termination request leaves every event loop for good; one run of the
// application's own loop makes later loops of this process work again.
void restartEventLoops() {
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

void expectPromptExitWithZero(QProcess& program) {
    ASSERT_TRUE(program.waitForFinished(20000)) << "the program did not end";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

}  // namespace

TEST(MainWindowTest, OpensWithEveryControlInPlaceAndTheWholeListInCodeOrder) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    auto started = startWindow();
    TmeslekanaF& window = *started->window;
    EXPECT_TRUE(started->boxes.shown.empty());
    EXPECT_EQ(window.windowTitle(), "Tresvoli Hızlı Arama Programı");

    auto* edit1 = namedChild<QLineEdit>(window, "Edit1");
    EXPECT_EQ(edit1->geometry(), QRect(4, 29, 197, 27));
    EXPECT_EQ(QFontInfo(edit1->font()).family(), "Tahoma");
    EXPECT_EQ(edit1->font().pointSize(), 12);
    EXPECT_EQ(namedChild<QLineEdit>(window, "Edit3")->geometry(), QRect(4, 85, 197, 27));
    EXPECT_FALSE(namedChild<QLineEdit>(window, "Edit2")->isVisible());
    auto* label1 = namedChild<QLabel>(window, "Label1");
    EXPECT_EQ(label1->text(), "ARANACAK MESLEĞİ GİRİN");
    EXPECT_EQ(QFontInfo(label1->font()).family(), "Tahoma");
    EXPECT_TRUE(QFontInfo(label1->font()).bold());
    EXPECT_EQ(namedChild<TJvXPButton>(window, "JvXPButton1")->text(), "ARA");
    EXPECT_EQ(namedChild<TJvXPButton>(window, "JvXPButton3")->text(), "YENİ ARAMA ");
    EXPECT_EQ(namedChild<TJvXPButton>(window, "JvXPButton4")->geometry(), QRect(206, 60, 106, 28));
    EXPECT_FALSE(namedChild<TJvXPButton>(window, "JvXPButton2")->isVisible());
    EXPECT_FALSE(namedChild<TJvXPButton>(window, "JvXPButton5")->isVisible());
    // The styled controls show the band's blue around them and the pictures
    // built into the program.
    const QImage ara = namedChild<TJvXPButton>(window, "JvXPButton1")->grab().toImage();
    EXPECT_EQ(ara.pixelColor(0, 0), QColor(106, 179, 232));
    EXPECT_EQ(ara.pixelColor(2, 1), QColor(Qt::white));
    auto* help = namedChild<TtfXPButton>(window, "tfXPButton1");
    EXPECT_EQ(help->geometry(), QRect(319, 32, 50, 50));
    EXPECT_EQ(help->glyph().size(), QSize(50, 50));
    EXPECT_EQ(help->focusPolicy(), Qt::NoFocus);
    auto* banner = namedChild<QLabel>(window, "Image1");
    EXPECT_EQ(banner->pixmap().size(), QSize(334, 159));
    EXPECT_EQ(banner->size(), QSize(337, 121));
    EXPECT_TRUE(namedChild<QCheckBox>(window, "CheckBox1")->isChecked());
    EXPECT_TRUE(namedChild<QRadioButton>(window, "RadioButton1")->isChecked());
    EXPECT_FALSE(namedChild<QRadioButton>(window, "RadioButton2")->isChecked());
    EXPECT_EQ(namedChild<TJvXPContainer>(window, "JvXPContainer1")->height(), 121);
    EXPECT_EQ(
        namedChild<TJvXPContainer>(window, "JvXPContainer1")->palette().color(QPalette::Window),
        QColor(106, 179, 232));
    EXPECT_EQ(namedChild<QWidget>(window, "meslekkoduGrid")->width(), 545);
    EXPECT_EQ(namedChild<QStatusBar>(window, "StatusBar1")->height(), 19);

    // Tab order: Edit1, ARA, Otomatik Ara, YENİ ARAMA, KOPYALA, Edit3, VE.
    QStringList chain;
    QWidget* w = edit1;
    for (int i = 0; i < 7; ++i, w = w->nextInFocusChain()) {
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible()) w = w->nextInFocusChain();
        chain << w->objectName();
    }
    EXPECT_EQ(chain, QStringList({"Edit1", "JvXPButton1", "CheckBox1", "JvXPButton3", "JvXPButton4",
                                  "Edit3", "RadioButton1"}));

    const Connection& connection = window.connection();
    EXPECT_EQ(connection.connectionTimeout(), 100);
    EXPECT_EQ(connection.commandTimeout(), 100);
    EXPECT_EQ(connection.mode(), 16);
    EXPECT_EQ(connection.cursorLocation(), 3);
    EXPECT_FALSE(connection.loginPrompt());
    EXPECT_EQ(connection.connectionString(), ConnectionSettings::connectionString());

    OccupationRecordSet& set = window.recordSet();
    ASSERT_TRUE(set.active());
    EXPECT_EQ(set.recordCount(), 8);
    EXPECT_EQ(shownCodes(set).first(), "1120.02");
    EXPECT_FALSE(set.filtered());
}

TEST(MainWindowTest, OpensMaximizedOverACentredNormalSizeWithStatusPanelsSideBySide) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    QCoreApplication::setApplicationName(QStringLiteral("Tresvoli"));
    RecordingBoxes boxes;
    FailureReporter reporter(boxes);
    TmeslekanaF window(reporter, defaultConnectionFactory());
    window.showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.isMaximized());
    const QRect normal = window.normalGeometry();
    EXPECT_EQ(normal.size(), QSize(940, 500));
    EXPECT_EQ(normal.center(), window.screen()->availableGeometry().center());

    auto* bar = namedChild<QStatusBar>(window, "StatusBar1");
    QList<QLabel*> panels = bar->findChildren<QLabel*>();
    ASSERT_EQ(panels.size(), 4);
    QList<QRect> placed;
    for (QLabel* panel : panels) {
        placed << QRect(panel->mapTo(bar, QPoint(0, 0)), panel->size());
    }
    std::sort(placed.begin(), placed.end(),
              [](const QRect& a, const QRect& b) { return a.x() < b.x(); });
    EXPECT_EQ(placed, QList<QRect>({QRect(0, 0, 20, 19), QRect(20, 0, 200, 19),
                                    QRect(220, 0, 430, 19), QRect(650, 0, 50, 19)}));
}

TEST(MainWindowTest, TypingFiltersAsTheBoxesStandAndNewSearchBringsEverythingBack) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    auto started = startWindow();
    TmeslekanaF& window = *started->window;
    OccupationRecordSet& set = window.recordSet();
    auto* edit1 = namedChild<QLineEdit>(window, "Edit1");

    QTest::keyClicks(edit1, "kat");
    EXPECT_TRUE(set.filtered());
    EXPECT_EQ(shownCodes(set), QStringList({"1120.02", "3112.04", "9629.05"}));

    QTest::keyClick(edit1, Qt::Key_Backspace);
    QTest::keyClick(edit1, Qt::Key_Backspace);
    QTest::keyClick(edit1, Qt::Key_Backspace);
    EXPECT_FALSE(set.filtered());
    EXPECT_EQ(shownCodes(set).size(), 8);

    QTest::keyClicks(edit1, "KÂT");
    EXPECT_EQ(shownCodes(set), QStringList({"4110.02"}));
    QTest::mouseClick(namedChild<TJvXPButton>(window, "JvXPButton3"), Qt::LeftButton);
    EXPECT_TRUE(edit1->text().isEmpty());
    EXPECT_FALSE(set.filtered());
    EXPECT_EQ(shownCodes(set).size(), 8);

    QTest::keyClicks(namedChild<QLineEdit>(window, "Edit3"), "xyz");
    EXPECT_FALSE(set.filtered());
    EXPECT_TRUE(started->boxes.shown.empty());
}

// Terms handed to the window (its command line, a desktop search) search as
// ARA does, with "Otomatik Ara" on or off, and replace what the boxes held.
TEST(MainWindowTest, HandedTermsFillBothBoxesAndSearchAsAraDoes) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    auto started = startWindow();
    TmeslekanaF& window = *started->window;
    OccupationRecordSet& set = window.recordSet();
    auto* autoSearch = namedChild<QCheckBox>(window, "CheckBox1");

    for (const bool automatic : {false, true}) {
        autoSearch->setChecked(automatic);
        window.searchFor({"kat", "otel"});
        EXPECT_EQ(namedChild<QLineEdit>(window, "Edit1")->text(), "kat");
        EXPECT_EQ(namedChild<QLineEdit>(window, "Edit3")->text(), "otel");
        EXPECT_EQ(shownCodes(set), QStringList({"9629.05"})) << automatic;

        window.searchFor({"5120.01"});
        EXPECT_TRUE(namedChild<QLineEdit>(window, "Edit3")->text().isEmpty());
        EXPECT_EQ(shownCodes(set), QStringList({"5120.01"}));
        EXPECT_EQ(set.fieldText(OccupationRecordSet::MeslekAdi), "Aşçı");
    }
    // A search that fails is reported, as ARA's is.
    QFile::remove(work.path("AnaData/MeslekAna.mdb"));
    window.searchFor({"kat"});
    EXPECT_EQ(started->boxes.shown.size(), 1u);
}

TEST(MainWindowTest, TheCommandLineTakesAtMostTwoTermsAfterAnOptionalSeparator) {
    QStringList terms;
    EXPECT_TRUE(parseWindowArguments({}, terms).isEmpty());
    EXPECT_TRUE(terms.isEmpty());
    EXPECT_TRUE(parseWindowArguments({"--", "-kat", "otel"}, terms).isEmpty());
    EXPECT_EQ(terms, QStringList({"-kat", "otel"}));
    EXPECT_TRUE(parseWindowArguments({"aşçı"}, terms).isEmpty());
    EXPECT_EQ(terms, QStringList({"aşçı"}));
    EXPECT_FALSE(parseWindowArguments({"a", "b", "c"}, terms).isEmpty());
    EXPECT_TRUE(terms.isEmpty());

    // The program itself refuses a third term before any window opens.
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MESLEK_BUILD_DIR "/meslekana"), {"a", "b", "c"});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(program.readAllStandardError().contains("TERİM1"));
}

// A folder is one folder however it is written: the window of "dir" and a
// start in "dir/." or through a link meet under one bus name.
TEST(WindowHandoffTest, AFolderHasOneBusNameHoweverItIsWritten) {
    TempWorkDir work;
    ASSERT_TRUE(QDir().mkpath(work.path("liste")));
    ASSERT_TRUE(QFile::link(work.path("liste"), work.path("baglanti")));
    const QString name = WindowHandoff::busNameFor(work.path("liste"));
    for (const QString& same : {work.path("liste/."), work.path("liste/"), work.path("baglanti"),
                                work.path("liste/../liste"), QStringLiteral("liste")}) {
        EXPECT_EQ(WindowHandoff::busNameFor(same), name) << same.toStdString();
    }
    EXPECT_NE(WindowHandoff::busNameFor(work.path()), name);
}

// A hand-over of any size: the window takes the first eight terms, each up to
// its 256th character.
TEST(WindowHandoffTest, TheWindowTakesTheFirstEightTermsEachCut) {
    QList<QStringList> taken;
    WindowHandoffService service([&taken](const QStringList& terms) { taken.append(terms); });
    QStringList handed(1000000, QStringLiteral("kat"));
    handed.prepend(QString(1000, QLatin1Char('o')));
    service.Ara(handed);
    ASSERT_TRUE(QTest::qWaitFor([&taken] { return !taken.isEmpty(); }, 5000));
    QStringList expected(7, QStringLiteral("kat"));
    expected.prepend(QString(256, QLatin1Char('o')));
    EXPECT_EQ(taken.value(0), expected);
}

// A box in front blocks the window's input through its modality alone: the
// window keeps its look, black grid text and ARA's dark blue border.
TEST(MainWindowTest, AMessageBoxLeavesTheWindowBehindItInItsOwnColours) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    auto started = startWindow();
    TmeslekanaF& window = *started->window;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto countBlack = [](const QImage& image) {
        int black = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) black += image.pixelColor(x, y) == Qt::black;
        return black;
    };
    auto* ara = namedChild<TJvXPButton>(window, "JvXPButton1");
    const int blackBefore = countBlack(window.grid().viewport()->grab().toImage());
    ASSERT_GT(blackBefore, 100) << "the grid's text is black";

    WidgetMessageBoxes boxes;
    QImage gridShot, araShot;
    QTimer::singleShot(300, [&] {
        gridShot = window.grid().viewport()->grab().toImage();
        araShot = ara->grab().toImage();
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->done(0);
    });
    boxes.applicationMessageBox("Bilgi", "Tresvoli", MessageBoxes::Icon::Information,
                                MessageBoxes::Buttons::Ok);
    ASSERT_FALSE(gridShot.isNull());
    EXPECT_EQ(countBlack(gridShot), blackBefore);
    EXPECT_EQ(araShot.pixelColor(2, 0), TJvXPButton::BorderColor);
    EXPECT_EQ(araShot.pixelColor(0, araShot.height() / 2), TJvXPButton::BorderColor);
}

TEST(MainWindowTest, MissingDatabaseIsReportedTwiceThenSearchFillsTheGridOnceItIsThere) {
    TempWorkDir work;
    auto started = startWindow();
    ASSERT_EQ(started->boxes.shown.size(), 2u);
    for (const auto& box : started->boxes.shown) {
        EXPECT_EQ(box.caption, "Tresvoli");
        EXPECT_TRUE(box.text.startsWith("Veritabanı klasörü bulunamadı")) << box.text.toStdString();
    }
    OccupationRecordSet& set = started->window->recordSet();
    EXPECT_FALSE(set.active());

    work.writeProgramDatabase(occupations());
    QTest::mouseClick(namedChild<TJvXPButton>(*started->window, "JvXPButton1"), Qt::LeftButton);
    EXPECT_TRUE(set.active());
    EXPECT_EQ(set.recordCount(), 8);
    EXPECT_EQ(started->boxes.shown.size(), 2u);
}

TEST(MainWindowTest, CloseReleasesTheRecordSetAndALaterCommandReopensIt) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    auto started = startWindow();
    TmeslekanaF& window = *started->window;
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(window.recordSet().active());
    QTest::mouseClick(namedChild<TJvXPButton>(window, "JvXPButton3"), Qt::LeftButton);
    EXPECT_TRUE(window.recordSet().active());
}

TEST(MainWindowTest, FailureToCreateTheConnectionIsFatal) {
    QCoreApplication::setApplicationName(QStringLiteral("Tresvoli"));
    RecordingBoxes boxes;
    FailureReporter reporter(boxes, requestExit);
    const ConnectionFactory failing = []() -> std::unique_ptr<Connection> {
        throw Exception(QStringLiteral(
            "Error creating object.  Please verify that the Microsoft Data Access Components "
            "2.1 (or later) have been properly installed"));
    };
    int exitCode = -1;
    try {
        TmeslekanaF window(reporter, failing);
        ADD_FAILURE() << "window was built";
    } catch (const Exception& e) {
        try {
            reporter.ReportFatalFailure(std::current_exception(), e.raiseAddress());
        } catch (const ExitRequested& exit) {
            exitCode = exit.code;
        }
    }
    EXPECT_EQ(exitCode, 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Application Error");
    const QString text = boxes.shown[0].text;
    EXPECT_TRUE(text.startsWith("Exception Exception in module ")) << text.toStdString();
    EXPECT_TRUE(
        text.endsWith(".\r\nError creating object.  Please verify that the Microsoft "
                      "Data Access Components 2.1 (or later) have been properly "
                      "installed.\r\n"))
        << text.toStdString();
}

TEST(MainWindowTest, ProgramGivesTheDesktopItsApplicationIdAndItsIcon) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    Application& application = programApplication();
    RecordingBoxes boxes;
    ProgramSeams seams;
    seams.boxes = &boxes;
    seams.runEventLoop = false;
    EXPECT_EQ(runProgram(application, seams), 0);
    EXPECT_TRUE(boxes.shown.empty());
    // The launcher, the AppStream component and the icon are named by it.
    EXPECT_EQ(QGuiApplication::desktopFileName(), "io.github.meslekana.MeslekArama");
    EXPECT_EQ(QApplication::windowIcon().availableSizes(),
              QList<QSize>({{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
}

TEST(MainWindowTest, ProgramEndsWithZeroOnATerminationRequest) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    QProcess program;
    ASSERT_TRUE(startProgram(program, work.path())) << program.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    expectPromptExitWithZero(program);
}

// A request in the first moments of start-up, before the application exists,
// is recorded and acted on once it does: the program ends with 0, not killed.
TEST(MainWindowTest, ATerminationRequestDuringStartUpIsActedOnOnceTheApplicationExists) {
    recordEarlyTermination();
    ASSERT_EQ(::raise(SIGTERM), 0);  // the process lives on
    {
        TerminationSignal termination;
        EXPECT_TRUE(termination.requested());
        // Gone with the block: an exit() with no loop running would end the
        // next loop of a later test at once.
        QObject scope;
        QTimer::singleShot(5000, &scope, [] { QCoreApplication::exit(7); });
        EXPECT_EQ(QCoreApplication::exec(), 0) << "the recorded request ends the event loop";
    }
    restartEventLoops();

    // Started for real, with the request sent the moment the program catches it.
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    QProcess program;
    program.setWorkingDirectory(work.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MESLEK_BUILD_DIR "/meslekana"), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    for (int i = 0; i < 20000 && !catches(program.processId(), SIGTERM); ++i) ::usleep(100);
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    expectPromptExitWithZero(program);
}

TEST(MainWindowTest, ATerminationRequestEndsTheBoxThatStartUpWaitsOn) {
    TempWorkDir work;  // no database: start-up stops at its first box
    QProcess program;
    ASSERT_TRUE(startProgram(program, work.path())) << program.readAllStandardError().toStdString();
    // Idle, as the program is only while the box waits for an answer.
    ASSERT_TRUE(waitUntilIdle(program.processId()));
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    expectPromptExitWithZero(program);
}

TEST(MainWindowTest, ATerminationRequestWhileRunningEndsTheOpenBoxAndTheProgram) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    Application& application = programApplication();
    int answer = -1;
    ModalWatchdog watchdog;
    CloseRequestCounter closeRequests;
    // Once the program runs, a handler opens a box, and the request comes
    // while the box waits.
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == "meslekanaF") window->installEventFilter(&closeRequests);
        }
        QTimer::singleShot(200, [] { ::raise(SIGTERM); });
        answer = application.failureReporter()->ApplicationMessageBox(
            "Devam edilsin mi?", "Tresvoli", MessageBoxes::Icon::Question,
            MessageBoxes::Buttons::YesNo);
    });
    const int code = runProgram(application);
    EXPECT_FALSE(watchdog.fired);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(answer, MessageBoxes::No);
    EXPECT_EQ(closeRequests.count, 1);
    restartEventLoops();
}

// A panel whose stop fails: the last of the closing steps.
class FailingStopPanel : public WebPanel {
public:
    using WebPanel::WebPanel;
    void navigate(const QUrl&) override {}
    void stop() override { throw Exception(QStringLiteral("Durdurulamadı.")); }
};

// After a termination request no box waits for anyone: the failure report of
// a closing step that fails on the way out answers at once, so the program
// ends instead of waiting for a click (a log-out would hang).
TEST(MainWindowTest, AFailingClosingStepAfterATerminationRequestWaitsForNoOne) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    Application& application = programApplication();
    ProgramSeams seams;
    seams.webPanel = [](QWidget* parent) -> WebPanel* { return new FailingStopPanel(parent); };
    ModalWatchdog watchdog;
    QTimer::singleShot(200, [] { ::raise(SIGTERM); });
    const int code = runProgram(application, seams);
    EXPECT_FALSE(watchdog.fired) << "a box waited after the request";
    EXPECT_EQ(code, 0);
    restartEventLoops();
}

TEST(MainWindowTest, ATerminationRequestDuringTheFatalReportEndsTheProgramWithZero) {
    Application& application = programApplication();
    ProgramSeams seams;
    seams.connectionFactory = []() -> std::unique_ptr<Connection> {
        throw Exception(QStringLiteral("Error creating object"));
    };
    seams.exitProcess = requestExit;
    ModalWatchdog watchdog;
    // The fatal box runs the first event loop; the request comes while it waits.
    QTimer::singleShot(200, [] { ::raise(SIGTERM); });
    int exitCode = -1;
    try {
        runProgram(application, seams);
    } catch (const ExitRequested& exit) {
        exitCode = exit.code;
    }
    application.setFailureReporter(nullptr);
    EXPECT_FALSE(watchdog.fired);
    EXPECT_EQ(exitCode, 0);
    restartEventLoops();
}
