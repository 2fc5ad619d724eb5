#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

#include "web/WebPanel.h"
#include "web/WebProfile.h"

class Connection;
class CopyCommands;
class FailureReporter;
class OccupationGrid;
class OccupationRecordSet;
class QCheckBox;
class LinkLabel;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class SearchCommands;
class TJvXPButton;
class TtfXPButton;
class TyardimF;
class WindowSearchInputs;
class Browser;
class WindowAnnouncements;

// Makes the database connection component; a failure here means the window
// cannot be built at all.
using ConnectionFactory = std::function<std::unique_ptr<Connection>()>;
ConnectionFactory defaultConnectionFactory();

// The web side's outside parts: what it shows and opens, the embedded panel
// and the default browser. No profile is the one the program was built with;
// an empty browser is the desktop's default browser; an empty panel factory
// gives the page view for a profile without a site and, with a site, a blank
// panel that loads nothing (the program passes the web engine's).
struct WebSide {
    WebPanelFactory panel;
    Browser* browser = nullptr;
    std::optional<WebProfile> profile;
};

// The main window: the search area in the top band, the result grid and the
// web side below, the status bar at the bottom.
class TmeslekanaF : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window from its layout. The connection opens as soon as every
    // part exists (a failure is reported, and building goes on); then the
    // creation handler opens the record set. Failures to create a part propagate.
    TmeslekanaF(FailureReporter& reporter, const ConnectionFactory& connectionFactory,
                QWidget* parent = nullptr);
    TmeslekanaF(FailureReporter& reporter, const ConnectionFactory& connectionFactory,
                const WebSide& web, QWidget* parent = nullptr);
    ~TmeslekanaF() override;

    Connection& connection() const { return *ADOConnection1; }
    OccupationRecordSet& recordSet() const { return *meslekkoduQuery; }
    OccupationGrid& grid() const { return *meslekkoduGrid; }
    SearchCommands& searchCommands() const { return *commands_; }

    // The program is ending (the application quits): the close request runs
    // as for a close of the window, once per shutdown. Returns whether it was
    // granted. Connected to QCoreApplication::aboutToQuit.
    bool programEnding();
    // Puts the terms (at most two) in the two search boxes and searches as
    // "ARA" does, whether "Otomatik Ara" is checked or not.
    void searchFor(const QStringList& terms);
    // Shown, not minimized, raised and active.
    void bringToFront();
    // The help window that the help button shows; made after this window.
    void setHelpWindow(TyardimF* helpWindow);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    QWidget* buildTopBand();
    QWidget* buildSearchArea();
    QWidget* buildLowerArea();
    void buildStatusBar();
    void buildPopupMenu();
    void setTabOrder();
    void connectCommands();
    void connectHelp();
    void loadConnection();
    void FormCreate();
    bool FormCloseQuery();
    // Runs the close request unless one was already granted; returns the answer.
    bool closeRequest();
    void Image1Click();
    void Label2Click();
    // Hands the address to the browser; an empty one (nothing to open) is not handed.
    void openInBrowser(const QUrl& address);
    void tfXPButton1Click();
    // Tells assistive technology how many rows the search left. While the
    // user types, an unchanged count is not said again.
    void announceShownRows(bool whileTyping = false);

    FailureReporter& reporter_;
    std::unique_ptr<Connection> ADOConnection1;
    std::unique_ptr<OccupationRecordSet> meslekkoduQuery;
    std::unique_ptr<WindowSearchInputs> inputs_;
    std::unique_ptr<SearchCommands> commands_;
    std::unique_ptr<CopyCommands> copyCommands_;
    std::unique_ptr<Browser> desktopBrowser_;
    Browser* browser_ = nullptr;
    WebProfile web_;
    WebPanelFactory webPanelFactory_;
    // A close request was granted: the program is ending, and a later close
    // event (the session's, a termination request's) does not repeat it.
    bool closeGranted_ = false;

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    TJvXPButton* JvXPButton1 = nullptr;
    TJvXPButton* JvXPButton2 = nullptr;
    TJvXPButton* JvXPButton3 = nullptr;
    TJvXPButton* JvXPButton4 = nullptr;
    TJvXPButton* JvXPButton5 = nullptr;
    TtfXPButton* tfXPButton1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    OccupationGrid* meslekkoduGrid = nullptr;
    LinkLabel* Image1 = nullptr;
    LinkLabel* Label2 = nullptr;
    WebPanel* WebBrowser2 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QPointer<TyardimF> helpWindow_;
    std::unique_ptr<WindowAnnouncements> announcements_;
};
