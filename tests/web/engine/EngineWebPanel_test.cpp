// The web panel on the real engine, against pages served by the test itself
// on 127.0.0.1: nothing leaves the machine.
#include <QAccessible>
#include <QFile>
#include <QPlatformSurfaceEvent>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <QWindow>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "app/ProgramEntry.h"
#include "exceptions/Exceptions.h"
#include "support/RecordingBoxes.h"
#include "web/engine/EngineWebPanel.h"
#include "web/engine/WebEngineStart.h"
#include "widgets/Application.h"

namespace {

// Serves "/sayfa.htm" as a whole page and "/yavas.htm" as a page whose body
// never ends, and counts the requests.
class LocalSite : public QObject {
public:
    LocalSite() {
        EXPECT_TRUE(server_.listen(QHostAddress::LocalHost));
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
            }
        });
    }

    QUrl address(const QString& path) const {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path));
    }

    QStringList requests;

private:
    void answer(QTcpSocket* socket) {
        const QByteArray head = socket->readAll();
        const QString path = QString::fromLatin1(head.split(' ').value(1));
        requests << path;
        if (path == QStringLiteral("/sayfa.htm")) {
            const QByteArray body =
                "<html><head><title>Personel</title></head><body>Bordro</body></html>";
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                          QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        } else if (path == QStringLiteral("/yavas.htm")) {
            socket->write(
                "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 100000\r\n\r\n"
                "<html><head><title>Yavas</title></head><body>");
        } else {
            socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
        }
    }

    QTcpServer server_;
};

// The panel inside a shown window, as the main window holds it.
struct PanelWindow {
    PanelWindow() {
        window.resize(400, 300);
        panel = new EngineWebPanel(&window);
        panel->setGeometry(0, 0, 400, 300);
    }
    void showAndStart() {
        QSignalSpy started(panel, &EngineWebPanel::engineStarted);
        window.show();
        ASSERT_TRUE(started.wait(20000)) << "the engine never started";
    }
    QWidget window;
    EngineWebPanel* panel = nullptr;
};

// Counts the native windows a window's surface goes through.
struct SurfaceCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::PlatformSurface &&
            static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
            ++destroyed;
        return false;
    }
    int destroyed = 0;
};

// The view's surface must not make the window trade its native window for
// another after it appeared: the window manager would place it anew, and
// keys or a close request in that moment would be lost.
TEST(EngineWebPanelTest, TheWindowKeepsItsNativeWindowWhenTheEngineStarts) {
    PanelWindow shown;
    shown.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown.window));
    const WId first = shown.window.winId();
    SurfaceCounter counter;
    shown.window.windowHandle()->installEventFilter(&counter);
    QSignalSpy started(shown.panel, &EngineWebPanel::engineStarted);
    ASSERT_TRUE(started.wait(20000)) << "the engine never started";
    QTest::qWait(1000);
    EXPECT_EQ(counter.destroyed, 0);
    EXPECT_EQ(shown.window.winId(), first);
}

TEST(EngineWebPanelTest, LoadsTheStartPageAskedForBeforeTheFirstPaint) {
    LocalSite site;
    PanelWindow shown;
    EXPECT_EQ(shown.panel->view(), nullptr) << "the engine waits for the first paint";
    shown.panel->navigate(site.address(QStringLiteral("/sayfa.htm")));
    QSignalSpy finished(shown.panel, &EngineWebPanel::loadFinished);
    shown.showAndStart();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_EQ(shown.panel->view()->title(), QStringLiteral("Personel"));
    // A screen reader names the view by the page's title.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(shown.panel->view())->text(QAccessible::Name),
              QStringLiteral("Personel"));
    EXPECT_EQ(site.requests.count(QStringLiteral("/sayfa.htm")), 1);
    EXPECT_EQ(shown.panel->view()->geometry(), shown.panel->rect()) << "the view fills the panel";
}

TEST(EngineWebPanelTest, StopEndsALoadStillUnderWay) {
    LocalSite site;
    PanelWindow shown;
    shown.showAndStart();
    QSignalSpy finished(shown.panel, &EngineWebPanel::loadFinished);
    shown.panel->navigate(site.address(QStringLiteral("/yavas.htm")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.requests.contains("/yavas.htm"); }, 20000));
    QTest::qWait(200);
    EXPECT_TRUE(finished.isEmpty()) << "the page never ends on its own";
    shown.panel->stop();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_FALSE(finished.last().first().toBool());
}

TEST(EngineWebPanelTest, AStopBeforeTheEngineStartsDropsThePendingPage) {
    LocalSite site;
    PanelWindow shown;
    shown.panel->navigate(site.address(QStringLiteral("/sayfa.htm")));
    shown.panel->stop();
    shown.showAndStart();
    QTest::qWait(500);
    EXPECT_TRUE(site.requests.isEmpty());
}

// Each failed check gives its own error code: a helper that cannot be run is
// EACCES, missing resources are ENOENT.
TEST(WebEngineStartTest, TheFailedCheckNamesItsErrorCode) {
    QTemporaryDir dir;
    const QString helper = dir.filePath(QStringLiteral("QtWebEngineProcess"));
    QFile file(helper);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    qputenv("QTWEBENGINE_PROCESS_PATH", helper.toLocal8Bit());
    EXPECT_EQ(webEngineStartError(), EACCES);
    qunsetenv("QTWEBENGINE_PROCESS_PATH");
    qputenv("QTWEBENGINE_RESOURCES_PATH", dir.path().toLocal8Bit());
    EXPECT_EQ(webEngineStartError(), ENOENT);
    qunsetenv("QTWEBENGINE_RESOURCES_PATH");
    EXPECT_EQ(webEngineStartError(), 0);
}

// A machine where the engine cannot start: the program ends with the fatal
// report of the view that could not be created, EOleSysError with the C
// library's text for the failed check's error code, before any window is shown.
TEST(WebEngineStartTest, AMissingHelperProgramEndsTheProgramBeforeAnyWindow) {
    const QByteArray saved = qgetenv("QTWEBENGINE_PROCESS_PATH");
    qputenv("QTWEBENGINE_PROCESS_PATH", "/nonexistent/QtWebEngineProcess");
    EXPECT_EQ(webEngineStartError(), ENOENT);

    auto* application = dynamic_cast<Application*>(QCoreApplication::instance());
    ASSERT_NE(application, nullptr);
    RecordingBoxes boxes;
    ProgramSeams seams;
    seams.boxes = &boxes;
    seams.exitProcess = requestExit;
    seams.webPanel = engineWebPanelFactory();
    seams.runEventLoop = false;
    int exitCode = -1;
    try {
        runProgram(*application, seams);
    } catch (const ExitRequested& exit) {
        exitCode = exit.code;
    }
    application->setFailureReporter(nullptr);
    if (saved.isEmpty()) {
        qunsetenv("QTWEBENGINE_PROCESS_PATH");
    } else {
        qputenv("QTWEBENGINE_PROCESS_PATH", saved);
    }
    EXPECT_EQ(exitCode, 1);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, QStringLiteral("Application Error"));
    const QString text = boxes.shown[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Exception EOleSysError in module ")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromLocal8Bit(std::strerror(ENOENT)))) << text.toStdString();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
    }
    EXPECT_EQ(webEngineStartError(), 0) << "this machine has the engine";
}

}  // namespace
