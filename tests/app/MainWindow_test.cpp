#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

#include "app/Application.h"
#include "app/Fonts.h"
#include "app/TmeslekanaF.h"
#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/OccupationRecordSet.h"
#include "failure/FailureReporter.h"
#include "grid/OccupationGrid.h"
#include "jet4/OccupationFixtures.h"
#include "support/RecordingBoxes.h"
#include "support/TempWorkDir.h"

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

QStringList shownCodes(OccupationRecordSet& set) {
    QStringList codes;
    for (int i = 0; i < set.windowCount(); ++i) {
        codes << set.windowFieldText(i, OccupationRecordSet::MeslekKodu);
    }
    return codes;
}

template <typename T>
T* child(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
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

}  // namespace

TEST(MainWindowTest, OpensWithEveryControlInPlaceAndTheWholeListInCodeOrder) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    auto started = startWindow();
    TmeslekanaF& window = *started->window;
    EXPECT_TRUE(started->boxes.shown.empty());
    EXPECT_EQ(window.windowTitle(), "Tresvoli Hızlı Arama Programı");

    auto* edit1 = child<QLineEdit>(window, "Edit1");
    EXPECT_EQ(edit1->geometry(), QRect(4, 29, 197, 27));
    EXPECT_EQ(QFontInfo(edit1->font()).family(), "Tahoma");
    EXPECT_EQ(edit1->font().pointSize(), 12);
    EXPECT_EQ(child<QLineEdit>(window, "Edit3")->geometry(), QRect(4, 85, 197, 27));
    EXPECT_FALSE(child<QLineEdit>(window, "Edit2")->isVisible());
    auto* label1 = child<QLabel>(window, "Label1");
    EXPECT_EQ(label1->text(), "ARANACAK MESLEĞİ GİRİN");
    EXPECT_EQ(QFontInfo(label1->font()).family(), "Tahoma");
    EXPECT_TRUE(QFontInfo(label1->font()).bold());
    EXPECT_EQ(child<QPushButton>(window, "JvXPButton1")->text(), "ARA");
    EXPECT_EQ(child<QPushButton>(window, "JvXPButton3")->text(), "YENİ ARAMA ");
    EXPECT_EQ(child<QPushButton>(window, "JvXPButton4")->geometry(), QRect(206, 60, 106, 28));
    EXPECT_FALSE(child<QPushButton>(window, "JvXPButton2")->isVisible());
    EXPECT_FALSE(child<QPushButton>(window, "JvXPButton5")->isVisible());
    EXPECT_TRUE(child<QCheckBox>(window, "CheckBox1")->isChecked());
    EXPECT_TRUE(child<QRadioButton>(window, "RadioButton1")->isChecked());
    EXPECT_FALSE(child<QRadioButton>(window, "RadioButton2")->isChecked());
    EXPECT_EQ(child<QWidget>(window, "JvXPContainer1")->height(), 121);
    EXPECT_EQ(child<QWidget>(window, "JvXPContainer1")->palette().color(QPalette::Window),
              QColor(106, 179, 232));
    EXPECT_EQ(child<QWidget>(window, "meslekkoduGrid")->width(), 545);
    EXPECT_EQ(child<QStatusBar>(window, "StatusBar1")->height(), 19);

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

TEST(MainWindowTest, TypingFiltersAsTheBoxesStandAndNewSearchBringsEverythingBack) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    auto started = startWindow();
    TmeslekanaF& window = *started->window;
    OccupationRecordSet& set = window.recordSet();
    auto* edit1 = child<QLineEdit>(window, "Edit1");

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
    QTest::mouseClick(child<QPushButton>(window, "JvXPButton3"), Qt::LeftButton);
    EXPECT_TRUE(edit1->text().isEmpty());
    EXPECT_FALSE(set.filtered());
    EXPECT_EQ(shownCodes(set).size(), 8);

    QTest::keyClicks(child<QLineEdit>(window, "Edit3"), "xyz");
    EXPECT_FALSE(set.filtered());
    EXPECT_TRUE(started->boxes.shown.empty());
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
    QTest::mouseClick(child<QPushButton>(*started->window, "JvXPButton1"), Qt::LeftButton);
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
    QTest::mouseClick(child<QPushButton>(window, "JvXPButton3"), Qt::LeftButton);
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

TEST(MainWindowTest, ProgramEndsWithZeroOnATerminationRequest) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    QProcess program;
    program.setWorkingDirectory(work.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MESLEK_BUILD_DIR "/meslekana"), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    // The signal is sent once the program catches it, however long start-up takes.
    ASSERT_TRUE(waitUntilCatching(program.processId(), SIGTERM))
        << program.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}
