#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class Connection;
class CopyCommands;
class FailureReporter;
class OccupationGrid;
class OccupationRecordSet;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;
class SearchCommands;
class TyardimF;
class WindowSearchInputs;

// Makes the database connection component; a failure here means the window
// cannot be built at all.
using ConnectionFactory = std::function<std::unique_ptr<Connection>()>;
ConnectionFactory defaultConnectionFactory();

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
    ~TmeslekanaF() override;

    Connection& connection() const { return *ADOConnection1; }
    OccupationRecordSet& recordSet() const { return *meslekkoduQuery; }
    OccupationGrid& grid() const { return *meslekkoduGrid; }
    SearchCommands& searchCommands() const { return *commands_; }

    // The help window that the help button shows; made after this window.
    void setHelpWindow(TyardimF* helpWindow);

protected:
    void closeEvent(QCloseEvent* event) override;

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
    void tfXPButton1Click();

    FailureReporter& reporter_;
    std::unique_ptr<Connection> ADOConnection1;
    std::unique_ptr<OccupationRecordSet> meslekkoduQuery;
    std::unique_ptr<WindowSearchInputs> inputs_;
    std::unique_ptr<SearchCommands> commands_;
    std::unique_ptr<CopyCommands> copyCommands_;

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QPushButton* JvXPButton1 = nullptr;
    QPushButton* JvXPButton2 = nullptr;
    QPushButton* JvXPButton3 = nullptr;
    QPushButton* JvXPButton4 = nullptr;
    QPushButton* JvXPButton5 = nullptr;
    QToolButton* tfXPButton1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    OccupationGrid* meslekkoduGrid = nullptr;
    QWidget* WebBrowser2 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QPointer<TyardimF> helpWindow_;
};
