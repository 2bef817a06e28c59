#pragma once

#include "base/OperatorUi.h"
#include "base/QtTimerHost.h"
#include "base/SystemClock.h"
#include "console/ui/ChildWindowTable.h"
#include "console/ui/MainMenu.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>

class Console;
struct CQueueEvent;
class HelpWindow;
class KeyboardIndicators;
class LcdBar;
class LogStatusWindow;
class ProgrammingDialogs;
class QAction;
class QMdiArea;
class QMdiSubWindow;
struct WinRect;
class StationInfoDialog;
class TestSheet;
class TraceFrame;
class QToolBar;

// The console's frame: the multi-document area with the main menu, the tool
// bar, the status bar and the LCD bar. It owns the timer host and the
// console (the link, the session, the tables) for the whole run, routes the
// commands to the console and shows the console's messages.
class MainWindow : public QMainWindow, public OperatorUi
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Console &console() const { return *m_console; }
    TimerHost &timers() { return m_timers; }
    ChildWindowTable &childWindows() { return m_children; }
    QMdiArea *mdiArea() const { return m_mdi; }
    LcdBar *lcdBar() const { return m_lcd; }
    QToolBar *mainToolBar() const { return m_toolBar; }
    QToolBar *lcdToolBar() const { return m_lcdToolBar; }
    LogStatusWindow *logStatusWindow() const;
    HelpWindow *helpWindow() const;
    // The action of a command; the same object in the menu and the tool bar.
    QAction *action(Command command) const;

    bool callerInfoEnabled() const { return m_callerInfo; }
    // The working directory at start and its "Database" folder.
    QString programDirectory() const { return m_programDirectory; }
    QString databaseFolder() const { return m_databaseFolder; }
    // False when the folder could not be created: every directory is dropped for the run.
    bool databaseFolderReady() const { return m_databaseFolderReady; }

    // Shows the window at the placement stored under "MainFrame", maximised
    // when none is stored, with the bars as they were left.
    void showAtStoredPlacement();
    // Runs a command exactly as its menu item or accelerator does.
    void runCommand(Command command);
    // What OK in the language dialog does: store the mode, rebuild and
    // translate the menu, look every window title up again.
    void applyLanguage(int mode);
    void updateTitle();
    // Wires a station information dialog, wherever it was opened: after a
    // save the live station takes the new full name.
    void prepareStationInfoDialog(StationInfoDialog &dialog);
    // Restored when minimised, raised and activated.
    void bringToFront();

    // OperatorUi
    void showMessage(const QString &textKey, const QString &titleKey, int style) override;
    void showFixedMessage(const QString &text, const QString &title, int style) override;
    int ask(const QString &textKey, const QString &titleKey, int style) override;
    bool endModalDialog() override;
    void refreshCommands() override;
    void openWindow(const QString &name) override;
    void closeWindow(const QString &name) override;

Q_SIGNALS:
    // The language changed: windows with key labels look them up again.
    void languageChanged();

protected:
    void closeEvent(QCloseEvent *event) override;
    QMenu *createPopupMenu() override;

private:
    void createActions();
    void addActionsOf(const QList<MenuItemDefinition> &items);
    void buildMenu();
    void buildToolBar();
    void buildStatusBar();
    void connectConsole();
    void prepareDatabaseFolder();
    void readCallerInfo();
    void toggleCallerInfo();
    void logOn();
    void dateFormatCommand();
    void timeFormatCommand();
    void openConnectionSettings();
    void openLanguageDialog();
    void openAboutDialog();
    // The mail dialog, for a station's owner when a port is given.
    void openMailDialog(std::optional<int> port);
    void openMailServerDialog();
    void openLogStatusWindow();
    void closeLogStatusWindow();
    void toggleChildWindow(int slot);
    QMdiSubWindow *openChildWindow(int slot, QWidget *content, const QString &titleKey,
                                   const QString &placementSection, const WinRect &defaultRect);
    void openKeyTelephoneWindow();
    void openSmallKeyPad();
    void registerDirectoryWindows();
    // The station or CO directory window of a slot: activated when open, else opened.
    QMdiSubWindow *openDirectoryWindow(int slot);
    void allSystemInfoReceived();
    void closeChildWindows();
    void arrangeIcons();
    void openHelp();
    void queueBox(const QString &text, const QString &title, int style);
    void showNextBox();
    void dropBoxes();
    void setCodeTexts();
    void saveBarState();
    void restoreBarState();
    void stopMainWindowTimers();

    // The attendant's own station state character; a null character while it
    // is not known.
    QChar attendantStationState() const;
    bool programmingAllowed() const;
    // The programming dialogs over this window, made on first use; the replies
    // of the PBX that want a dialog open theirs through it.
    ProgrammingDialogs &programmingDialogs();
    void programmingCommand(Command command);

    // The speed-bin directory (at the end: its own block).
    void registerSpeedBinWindow();
    void speedBinDirectoryCommand();
    QMdiSubWindow *openSpeedBinWindow();

    QtTimerHost m_timers;
    SystemClock m_clock;
    std::unique_ptr<Console> m_console;
    ChildWindowTable m_children;
    QMdiArea *m_mdi = nullptr;
    LcdBar *m_lcd = nullptr;
    QToolBar *m_toolBar = nullptr;
    QToolBar *m_lcdToolBar = nullptr;
    KeyboardIndicators *m_indicators = nullptr;
    std::map<Command, QAction *> m_actions;
    // The keys last set from code into DATE FORMAT, TIME FORMAT and CALL
    // INFO; emptied whenever the menu is rebuilt.
    QStringList m_codeTextKeys;
    QPointer<LogStatusWindow> m_logStatus;
    QPointer<HelpWindow> m_help;
    QString m_programDirectory;
    QString m_databaseFolder;
    bool m_databaseFolderReady = false;
    bool m_callerInfo = true;

    struct QueuedBox
    {
        QString text;
        QString title;
        int style = 0;
    };
    // The operator's messages, one box at a time in the order they were raised.
    QList<QueuedBox> m_boxQueue;
    QPointer<QWidget> m_openBox;
    // Set once the window has closed for good: nothing is shown after it.
    bool m_gone = false;

public:
    // The phone-number directory window: activated when open, else opened.
    QMdiSubWindow *openPhoneNoWindow();
    // The developer test sheet (one instance) and the trace windows it opens.
    TestSheet *openTestSheet();
    TraceFrame *openTraceWindow();
    // Opens a trace window when none is open, else closes every open one.
    void toggleTraceWindows();
    QList<TraceFrame *> traceWindows() const;

private:
    void registerPhoneNoAndTraceWindows();
    void openTraceFontDialog();
    QPointer<TestSheet> m_testSheet;
    // The paging dialog "#:Paging", modal over the main window.
    void openPagingDialog();
    // Export, import and printing of the directories.
    void openPrintDialog();
    // ---- status button windows and call queue
public:
    // Hands a queue update to the open call queue; dropped while none is open.
    void postQueueEvent(const CQueueEvent &event);
    QMdiSubWindow *openStatusWindow(int slot);
    QMdiSubWindow *openQueueWindow();

private:
    void registerCallStateWindows();
    void toggleCallStateWindow(int slot);
    // Pop-up menu commands of a status button that open other parts' dialogs.
    void statusWindowCommand(quint32 kind, int index, int command);
    // ---- keys of the calls and windows
public:
    // Ctrl+F: the find bar of the station window (of the CO window when active).
    void findCommand();
    // F2: answers the oldest call ringing in the queue.
    void answerOldestCall();
    // F3, F4, F5: the queue, station or CO window to the front with the focus.
    void focusQueue();
    void focusStationWindow();
    void focusCoWindow();

private:
    void createKeyActions();
    void addKeyMenuItems();
    void focusStatusWindow(int slot);
    QList<QAction *> m_keyActions;
};
