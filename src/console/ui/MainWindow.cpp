#include "MainWindow.h"

#include "link/CLinkRequest.h"
#include "session/CLogSession.h"
#include "session/CSysInfoLoader.h"
#include "session/LogStatusModel.h"
#include "console/Console.h"
#include "console/Reconnector.h"
#include "base/Trace.h"
#include "base/MessageCatalogue.h"
#include "base/SettingsSection.h"
#include "base/TimerIds.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"
#include "console/ui/AboutDialog.h"
#include "console/ui/HelpWindow.h"
#include "console/ui/KeyboardIndicators.h"
#include "console/ui/LanguageDialog.h"
#include "console/ui/LcdBar.h"
#include "console/ui/LogStatusWindow.h"
#include "keyset/KeyDisplay.h"
#include "mail/MailJob.h"
#include "mail/StationMailLookup.h"
#include "mail/ui/MailDialog.h"
#include "mail/ui/MailServerDialog.h"
#include "keyset/KeyTelephone.h"
#include "keyset/ui/KeyTelephoneWindow.h"
#include "keyset/ui/SmallKeyPadDialog.h"
#include "callstate/CAttendantCalls.h"
#include "callstate/CExtStatusList.h"
#include "callstate/ui/PagingDialog.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/StatusToolTip.h"
#include "callstate/ui/CDLOFrame.h"
#include "callstate/ui/CDLOView.h"
#include "callstate/ui/CQueueFrame.h"
#include "callstate/ui/CQueueView.h"
#include "directories/StationDirectory.h"
#include "directories/CoDirectory.h"
#include "directories/ui/CoInfoDialog.h"
#include "callstate/ui/StationCallMenu.h"
#include "callstate/ui/CallKeys.h"
#include "callstate/ui/StatusWindowKeys.h"
#include "callstate/ui/StationNumberDialog.h"
#include "directories/ui/PrintJob.h"
#include "directories/DirectoryFiles.h"
#include "directories/ui/DirectoryFileCommands.h"
#include "directories/ui/DirectoryFrame.h"
#include "directories/CPhoneBookDB.h"
#include "directories/ui/CPhoneBookFrame.h"
#include "directories/ui/CPhoneBookView.h"
#include "directories/ui/SpeedBinReinitDialog.h"
#include "directories/ui/DirectoryView.h"
#include "directories/ui/StationInfoDialog.h"
#include "directories/CPhoneNoDoc.h"
#include "directories/ui/CPhoneNoFrame.h"
#include "directories/ui/CPhoneNoView.h"
#include "console/ui/TestSheet.h"
#include "console/ui/TraceFrame.h"
#include "console/ui/TraceView.h"
#include "base/ui/FontCommand.h"
#include "link/CLinkPort.h"
#include "base/ui/MessageBox.h"
#include "base/ui/Translate.h"
#include "transport/LinkConnection.h"
#include "transport/ui/ConnectionMethodDialog.h"
#include "programming/AttendantProgramming.h"
#include "programming/ui/ProgrammingDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QWhatsThis>

Q_LOGGING_CATEGORY(lcMainWindow, "zarto.console.mainwindow")

namespace {

const char *const DefinitionTextProperty = "definitionText";
const char *const TitleKey = "#:main_window_WINTITLE";

// Settings of the bars, in the main window's section.
const char *const ToolBarValue = "ToolBar";
const char *const StatusBarValue = "StatusBar";
const char *const LcdBarValue = "LcdBar";

bool isCheckable(Command c)
{
    switch (c) {
    case Command::ViewToolBar:
    case Command::ViewStatusBar:
    case Command::ViewLcdBar:
    case Command::ViewKeyTelephone:
    case Command::ViewStationWindow:
    case Command::ViewCoWindow:
    case Command::ViewQueue:
    case Command::ViewStationDirectory:
    case Command::ViewCoDirectory:
    case Command::ViewSpeedBinDirectory:
    case Command::ViewPhoneNumberDirectory:
    case Command::Reconnect:
        return true;
    default:
        return false;
    }
}

// The open-or-close items and the slot of the window each one toggles.
struct WindowToggle
{
    Command command;
    int slot;
};
constexpr WindowToggle WindowToggles[] = {
    {Command::ViewKeyTelephone, ChildWindowTable::KeyTelephone},
    {Command::ViewStationWindow, ChildWindowTable::StationStatus},
    {Command::ViewCoWindow, ChildWindowTable::CoStatus},
    {Command::ViewQueue, ChildWindowTable::Queue},
    {Command::ViewStationDirectory, ChildWindowTable::StationDirectory},
    {Command::ViewCoDirectory, ChildWindowTable::CoDirectory},
};

constexpr Command ProgrammingCommands[] = {
    Command::ClockSetting, Command::WakeUp,          Command::CancelWakeUp, Command::MusicSelection,
    Command::CustomMessage, Command::SystemGreetings, Command::TemporaryCos, Command::AttendantCancel,
};

CSettingsSection mainFrameSection()
{
    return CWindowKindSettings::mainFrame().section();
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainFrame"));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdi);

    m_console = std::make_unique<Console>(m_timers, *this, m_clock);
    MessageCatalogue::setOperatorUi(this);

    createActions();
    createKeyActions();
    buildToolBar();
    buildStatusBar();
    buildMenu();
    connectConsole();
    readCallerInfo();
    prepareDatabaseFolder();
    m_children.registerReopening({CWindowKindSettings::Kind::KeyTelephoneFrame, ChildWindowTable::KeyTelephone, -1,
                                  false, [this](int) { openKeyTelephoneWindow(); }});
    registerDirectoryWindows();
    registerPhoneNoAndTraceWindows();
    registerSpeedBinWindow();
    registerCallStateWindows();
    updateTitle();
    refreshCommands();
}

MainWindow::~MainWindow()
{
    m_gone = true;
    dropBoxes();
    if (MessageCatalogue::operatorUi() == this)
        MessageCatalogue::setOperatorUi(nullptr);
    // Windows that show the console's models go before the console does.
    delete m_logStatus;
    qDeleteAll(m_mdi->subWindowList());
    // Dialogs over the main window (mail, key pad, ...) use the console too.
    qDeleteAll(findChildren<QDialog *>(Qt::FindDirectChildrenOnly));
    m_console.reset();
}

LogStatusWindow *MainWindow::logStatusWindow() const
{
    return m_logStatus;
}

HelpWindow *MainWindow::helpWindow() const
{
    return m_help;
}

QAction *MainWindow::action(Command command) const
{
    const auto it = m_actions.find(command);
    return it == m_actions.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------- menu, bars

void MainWindow::createActions()
{
    addActionsOf(mainMenuDefinition());
    for (Command c : {Command::Help, Command::ContextHelp, Command::NextPane, Command::PreviousPane}) {
        auto *a = new QAction(this);
        a->setShortcut(acceleratorOf(c));
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, [this, c] { runCommand(c); });
        addAction(a);
        m_actions[c] = a;
    }
}

void MainWindow::addActionsOf(const QList<MenuItemDefinition> &items)
{
    for (const MenuItemDefinition &def : items) {
        if (def.isPopup()) {
            addActionsOf(def.items);
            continue;
        }
        if (def.isSeparator() || def.command == Command::None)
            continue;
        auto *a = new QAction(def.text, this);
        a->setProperty(DefinitionTextProperty, def.text);
        a->setData(int(def.command));
        if (!def.shortcut.isEmpty()) {
            a->setShortcut(def.shortcut);
            // The accelerators work while a child window has the focus, too.
            a->setShortcutContext(Qt::WindowShortcut);
            addAction(a);
        }
        a->setCheckable(isCheckable(def.command));
        const Command c = def.command;
        connect(a, &QAction::triggered, this, [this, c] { runCommand(c); });
        m_actions[c] = a;
    }
}

namespace {

void fillMenu(QMenu *menu, const QList<MenuItemDefinition> &items, const std::map<Command, QAction *> &actions)
{
    for (const MenuItemDefinition &def : items) {
        if (def.isSeparator()) {
            menu->addSeparator();
        } else if (def.isPopup()) {
            auto *sub = new QMenu(def.text, menu);
            fillMenu(sub, def.items, actions);
            menu->addMenu(sub);
        } else if (const auto it = actions.find(def.command); it != actions.end()) {
            it->second->setText(def.text);
            menu->addAction(it->second);
        }
    }
}

} // namespace

void MainWindow::buildMenu()
{
    QMenuBar *bar = menuBar();
    const QList<QMenu *> old = bar->findChildren<QMenu *>(Qt::FindDirectChildrenOnly);
    bar->clear();
    qDeleteAll(old);
    for (const MenuItemDefinition &def : mainMenuDefinition()) {
        auto *menu = new QMenu(def.text, bar);
        fillMenu(menu, def.items, m_actions);
        bar->addMenu(menu);
    }
    TranslateMenu(bar);
    addKeyMenuItems();
    m_codeTextKeys.clear();
    setCodeTexts();
}

void MainWindow::buildToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("MainToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(20, 20));
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    const auto add = [this](Command c, QStyle::StandardPixmap icon) {
        QAction *a = action(c);
        a->setIcon(style()->standardIcon(icon));
        m_toolBar->addAction(a);
    };
    add(Command::LogOn, QStyle::SP_MediaPlay);
    add(Command::LogOff, QStyle::SP_MediaStop);
    add(Command::Connect, QStyle::SP_DriveNetIcon);
    add(Command::Disconnect, QStyle::SP_BrowserStop);
    m_toolBar->addSeparator();
    add(Command::ViewKeyTelephone, QStyle::SP_ComputerIcon);
    add(Command::ViewStationWindow, QStyle::SP_FileDialogListView);
    add(Command::ViewCoWindow, QStyle::SP_FileDialogDetailedView);
    add(Command::ViewQueue, QStyle::SP_FileDialogContentsView);
    add(Command::ViewStationDirectory, QStyle::SP_DirIcon);
    add(Command::ViewCoDirectory, QStyle::SP_DirOpenIcon);
    add(Command::ViewSpeedBinDirectory, QStyle::SP_DriveHDIcon);
    add(Command::ViewPhoneNumberDirectory, QStyle::SP_FileIcon);
    m_toolBar->addSeparator();
    add(Command::Paging, QStyle::SP_MediaVolume);
    add(Command::About, QStyle::SP_MessageBoxInformation);
    connect(m_toolBar, &QToolBar::visibilityChanged, this, &MainWindow::refreshCommands);

    // The LCD bar takes a row of its own below the tool bar.
    addToolBarBreak(Qt::TopToolBarArea);
    m_lcdToolBar = new QToolBar(this);
    m_lcdToolBar->setObjectName(QStringLiteral("LcdToolBar"));
    m_lcdToolBar->setMovable(false);
    m_lcd = new LcdBar(m_lcdToolBar);
    m_lcdToolBar->addWidget(m_lcd);
    addToolBar(Qt::TopToolBarArea, m_lcdToolBar);
    connect(m_lcdToolBar, &QToolBar::visibilityChanged, this, &MainWindow::refreshCommands);
}

void MainWindow::buildStatusBar()
{
    m_indicators = new KeyboardIndicators(statusBar());
    statusBar()->addPermanentWidget(m_indicators);
}

QMenu *MainWindow::createPopupMenu()
{
    // The bars are shown and hidden from the View menu only.
    return nullptr;
}

void MainWindow::updateTitle()
{
    setWindowTitle(trKey(QString::fromLatin1(TitleKey)));
}

void MainWindow::setCodeTexts()
{
    const int date = m_console->keyTelephone().display().dateFormatState();
    const int time = m_console->keyTelephone().display().timeFormatState();
    const bool known = date != KeyDisplay::FormatUnknown && time != KeyDisplay::FormatUnknown;
    const QString dateKey = !known      ? QStringLiteral("#:dtf_initialize_dt_MENU")
                            : date == 1 ? QStringLiteral("#:dtf_date_mdy_MENU")
                                        : QStringLiteral("#:dtf_date_dmy_MENU");
    // An unknown time format keeps the item's own text (it is disabled then).
    const QString timeKey = !known      ? QString()
                            : time == 1 ? QStringLiteral("#:dtf_time_hour24_MENU")
                                        : QStringLiteral("#:dtf_time_hour12_MENU");
    const QString callKey = m_callerInfo ? QStringLiteral("#:disable_call_info(&D)")
                                         : QStringLiteral("#:enable_call_info(&E)");
    const QStringList keys{dateKey, timeKey, callKey};
    if (keys == m_codeTextKeys)
        return;
    m_codeTextKeys = keys;
    const MessageCatalogue catalogue;
    action(Command::DateFormat)->setText(catalogue.text(dateKey));
    action(Command::TimeFormat)->setText(timeKey.isEmpty() ? MenuText::TimeFormat : catalogue.text(timeKey));
    action(Command::CallInfo)->setText(catalogue.text(callKey));
}

void MainWindow::refreshCommands()
{
    if (!m_console || m_actions.empty())
        return;
    const bool loggedOn = m_console->isLoggedOn();
    const bool connected = m_console->isConnected();
    const auto enable = [this](Command c, bool on) { action(c)->setEnabled(on); };
    const auto check = [this](Command c, bool on) { action(c)->setChecked(on); };

    const bool directoryWindowOpen = m_children.isOpen(ChildWindowTable::SpeedBinDirectory)
                                     || m_children.isOpen(ChildWindowTable::PhoneNumberDirectory);
    enable(Command::Import, !loggedOn && !directoryWindowOpen);
    enable(Command::Export, !loggedOn && !directoryWindowOpen);

    enable(Command::LogOn, !loggedOn);
    enable(Command::LogOff, loggedOn);
    enable(Command::Connect, !connected);
    enable(Command::Disconnect, connected);

    const bool programming = programmingAllowed();
    for (Command c : ProgrammingCommands)
        enable(c, programming);
    const bool formatsKnown = m_console->keyTelephone().display().dateFormatState() != KeyDisplay::FormatUnknown
                              && m_console->keyTelephone().display().timeFormatState() != KeyDisplay::FormatUnknown;
    enable(Command::DateFormat, programming);
    enable(Command::TimeFormat, programming && formatsKnown);
    setCodeTexts();

    check(Command::Reconnect, Reconnector::isEnabled());
    check(Command::ViewToolBar, !m_toolBar->isHidden());
    check(Command::ViewStatusBar, !statusBar()->isHidden());
    check(Command::ViewLcdBar, !m_lcdToolBar->isHidden());
    for (const WindowToggle &t : WindowToggles) {
        enable(t.command, loggedOn);
        check(t.command, m_children.isOpen(t.slot));
    }
    // The pad's keys and the pages go to the PBX.
    enable(Command::SmallKeyPad, loggedOn);
    enable(Command::Paging, loggedOn);
    // One print job at a time.
    enable(Command::Print, !PrintJob::isRunning());
    check(Command::ViewSpeedBinDirectory, m_children.isOpen(ChildWindowTable::SpeedBinDirectory));
    check(Command::ViewPhoneNumberDirectory, m_children.isOpen(ChildWindowTable::PhoneNumberDirectory));
}

QChar MainWindow::attendantStationState() const
{
    return m_console->calls().ownStateChar();
}

bool MainWindow::programmingAllowed() const
{
    if (!m_console->isLoggedOn())
        return false;
    const QChar own = attendantStationState();
    return own == QLatin1Char('@') || own == QLatin1Char('A') || own == QLatin1Char('B');
}

// ---------------------------------------------------------------- start-up

void MainWindow::connectConsole()
{
    Console *console = m_console.get();
    connect(console, &Console::stateChanged, this, &MainWindow::refreshCommands);
    connect(console, &Console::closeMainWindowRequested, this, &QWidget::close);
    connect(console, &Console::childWindowsCloseRequested, this, &MainWindow::closeChildWindows);
    connect(console, &Console::allSystemInfoReceived, this, &MainWindow::allSystemInfoReceived);
    // Opening and closing the serial port wait for its worker thread.
    if (LinkConnection *connection = console->linkConnection()) {
        connect(&connection->serialPort(), &CSerialPort::busyChanged, this, [](bool busy) {
            if (busy)
                QApplication::setOverrideCursor(Qt::WaitCursor);
            else
                QApplication::restoreOverrideCursor();
        });
    }
    connect(console, &Console::displayReset, m_lcd, &LcdBar::clear);
    // "Reconnecting in 8 s (attempt 3)" while the console logs on again by itself.
    connect(console, &Console::reconnectStatusChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(text);
    });
    // The key telephone's display is shown in the LCD bar.
    KeyDisplay &display = console->keyTelephone().display();
    connect(&display, &KeyDisplay::fieldsChanged, m_lcd, [this, &display] {
        m_lcd->setUpperLine(display.upperLine());
        m_lcd->setLowerLeft(display.lowerLeft());
        m_lcd->setLowerRight(display.lowerRight());
    });
    connect(&display, &KeyDisplay::formatStatesChanged, this, &MainWindow::refreshCommands);
    connect(console, &Console::beepRequested, this, [] { QApplication::beep(); });
    connect(console, &Console::popupRequested, this, &MainWindow::bringToFront);
    connect(&console->logStatus(), &LogStatusModel::opened, this, &MainWindow::openLogStatusWindow);
    connect(&console->logStatus(), &LogStatusModel::closed, this, &MainWindow::closeLogStatusWindow);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MainWindow::refreshCommands);
}

void MainWindow::readCallerInfo()
{
    CSettingsSection section(QStringLiteral("CallerInfo"));
    const QString value = QStringLiteral("Enable");
    if (!section.contains(value)) {
        section.writeInt(value, 1);
        m_callerInfo = true;
    } else {
        m_callerInfo = section.readFlag(value, true);
    }
}

void MainWindow::toggleCallerInfo()
{
    m_callerInfo = !m_callerInfo;
    CSettingsSection(QStringLiteral("CallerInfo")).writeInt(QStringLiteral("Enable"), m_callerInfo ? 1 : 0);
    refreshCommands();
}

void MainWindow::prepareDatabaseFolder()
{
    // The whole working directory is kept: a cut path would name another folder.
    m_programDirectory = QDir::currentPath();
    m_databaseFolder = QDir(m_programDirectory).filePath(QStringLiteral("Database"));
    m_databaseFolderReady = QDir().mkpath(m_databaseFolder);
    if (!m_databaseFolderReady)
        qCWarning(lcMainWindow) << "cannot create" << m_databaseFolder << "- the directories are dropped";
    else
        m_console->openDirectories(m_databaseFolder);
}

void MainWindow::showAtStoredPlacement()
{
    restoreBarState();
    QRect fallback(0, 0, 1024, 768);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        fallback = QRect(avail.x() + avail.width() / 10, avail.y() + avail.height() / 10, avail.width() * 4 / 5,
                         avail.height() * 4 / 5);
    }
    const WinRect defaultRect{fallback.left(), fallback.top(), fallback.left() + fallback.width(),
                              fallback.top() + fallback.height()};
    const std::optional<int> shown = restorePlacement(this, mainFrameSection(), true, defaultRect);
    if (shown)
        show();
    else
        showMaximized();
    // The windows of the last run come back after log-on; at start-up the
    // position is logged off, so this opens nothing.
    m_children.reopenWindows(m_console->isLoggedOn());
    refreshCommands();
}

void MainWindow::saveBarState()
{
    CSettingsSection section = mainFrameSection();
    section.writeInt(QString::fromLatin1(ToolBarValue), m_toolBar->isHidden() ? 0 : 1);
    section.writeInt(QString::fromLatin1(StatusBarValue), statusBar()->isHidden() ? 0 : 1);
    section.writeInt(QString::fromLatin1(LcdBarValue), m_lcdToolBar->isHidden() ? 0 : 1);
}

void MainWindow::restoreBarState()
{
    const CSettingsSection section = mainFrameSection();
    m_toolBar->setHidden(!section.readFlag(QString::fromLatin1(ToolBarValue), true));
    statusBar()->setHidden(!section.readFlag(QString::fromLatin1(StatusBarValue), true));
    m_lcdToolBar->setHidden(!section.readFlag(QString::fromLatin1(LcdBarValue), true));
}

// ---------------------------------------------------------------- exit

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_children.rememberOpenWindows(m_console->isLoggedOn());
    saveBarState();
    if (!m_console->requestExit()) {
        // The log-off request went out; closeMainWindowRequested closes again.
        event->ignore();
        return;
    }
    stopMainWindowTimers();
    if (m_console->isConnected())
        m_console->disconnectCommand();
    CSettingsSection section = mainFrameSection();
    savePlacement(this, section);
    closeLogStatusWindow();
    // What the log-off completion still has to say would have no window behind it.
    m_gone = true;
    dropBoxes();
    event->accept();
}

void MainWindow::stopMainWindowTimers()
{
    for (int id = 1; id <= TimerId::LastMainWindowTimer; ++id)
        m_timers.stop(id);
    m_timers.stop(TimerId::MailTimeout);
}

// ---------------------------------------------------------------- commands

void MainWindow::runCommand(Command command)
{
    switch (command) {
    case Command::Exit:
        close();
        break;
    case Command::LogOn:
        logOn();
        break;
    case Command::LogOff:
        m_console->logOffCommand();
        break;
    case Command::Connect:
        m_console->connectCommand();
        break;
    case Command::Disconnect:
        m_console->disconnectCommand();
        break;
    case Command::DateFormat:
        dateFormatCommand();
        break;
    case Command::TimeFormat:
        timeFormatCommand();
        break;
    case Command::ConnectionSettings:
        openConnectionSettings();
        break;
    case Command::Language:
        openLanguageDialog();
        break;
    case Command::CallInfo:
        toggleCallerInfo();
        break;
    case Command::Reconnect:
        Reconnector::setEnabled(!Reconnector::isEnabled());
        if (!Reconnector::isEnabled())
            m_console->stopReconnecting();
        break;
    case Command::ViewToolBar:
        m_toolBar->setHidden(!m_toolBar->isHidden());
        break;
    case Command::ViewStatusBar:
        statusBar()->setHidden(!statusBar()->isHidden());
        break;
    case Command::ViewLcdBar:
        m_lcdToolBar->setHidden(!m_lcdToolBar->isHidden());
        break;
    case Command::ViewStationWindow:
    case Command::ViewCoWindow:
    case Command::ViewQueue:
        for (const WindowToggle &t : WindowToggles) {
            if (t.command == command && m_console->isLoggedOn())
                toggleCallStateWindow(t.slot);
        }
        break;
    case Command::ViewKeyTelephone:
    case Command::ViewStationDirectory:
    case Command::ViewCoDirectory:
        for (const WindowToggle &t : WindowToggles) {
            if (t.command == command && m_console->isLoggedOn())
                toggleChildWindow(t.slot);
        }
        break;
    case Command::ViewSpeedBinDirectory:
        speedBinDirectoryCommand();
        break;
    case Command::ViewPhoneNumberDirectory:
        openPhoneNoWindow();
        break;
    case Command::Cascade:
        m_mdi->cascadeSubWindows();
        break;
    case Command::Tile:
        m_mdi->tileSubWindows();
        break;
    case Command::ArrangeIcons:
        arrangeIcons();
        break;
    case Command::About:
        openAboutDialog();
        break;
    case Command::Help:
    case Command::HelpTopics:
        openHelp();
        break;
    case Command::ContextHelp:
        QWhatsThis::enterWhatsThisMode();
        break;
    case Command::NextPane:
        m_mdi->activateNextSubWindow();
        break;
    case Command::PreviousPane:
        m_mdi->activatePreviousSubWindow();
        break;
    case Command::Import:
        // The console's own connection to the file being replaced closes first.
        DirectoryFileCommands::openImport(
            *this, m_console->clock(), m_console->directories().folder(), this,
            [this](int directory) { m_console->directories().closeForImport(directory); },
            [this](int directory) { m_console->directories().reopenAfterImport(directory); });
        break;
    case Command::Export:
        DirectoryFileCommands::openExport(*this, m_console->clock(), m_console->directories().folder(), this);
        break;
    case Command::Print:
        openPrintDialog();
        break;
    case Command::ClockSetting:
    case Command::WakeUp:
    case Command::CancelWakeUp:
    case Command::MusicSelection:
    case Command::CustomMessage:
    case Command::SystemGreetings:
    case Command::TemporaryCos:
    case Command::AttendantCancel:
        programmingCommand(command);
        break;
    case Command::SmallKeyPad:
        openSmallKeyPad();
        break;
    case Command::MailServer:
        openMailServerDialog();
        break;
    case Command::Paging:
        openPagingDialog();
        break;
    case Command::None:
        break;
    }
    refreshCommands();
}

void MainWindow::logOn()
{
    const QRect client = m_mdi->viewport()->rect();
    DefaultLayout::current() = recomputeLayout(DefaultLayout::current(), WinRect{0, 0, client.width(), client.height()});
    m_console->logOnCommand();
}

void MainWindow::dateFormatCommand()
{
    if (!programmingAllowed())
        return;
    const int date = m_console->keyTelephone().display().dateFormatState();
    const int time = m_console->keyTelephone().display().timeFormatState();
    if (date == KeyDisplay::FormatUnknown || time == KeyDisplay::FormatUnknown) {
        // The display then shows the date and time, and both formats are learned from it.
        m_console->request().SCTL_LcdDaytime();
        return;
    }
    if (m_console->request().keySequence(QStringLiteral("T044")))
        m_console->keyTelephone().display().setDateFormatState(date == 1 ? 2 : 1);
}

void MainWindow::timeFormatCommand()
{
    const int date = m_console->keyTelephone().display().dateFormatState();
    const int time = m_console->keyTelephone().display().timeFormatState();
    if (!programmingAllowed() || date == KeyDisplay::FormatUnknown || time == KeyDisplay::FormatUnknown)
        return;
    if (m_console->request().keySequence(QStringLiteral("T045")))
        m_console->keyTelephone().display().setTimeFormatState(time == 1 ? 2 : 1);
}

void MainWindow::toggleChildWindow(int slot)
{
    if (QWidget *w = m_children.window(slot)) {
        w->close();
        return;
    }
    if (slot == ChildWindowTable::KeyTelephone)
        openKeyTelephoneWindow();
    // Each window kind opens in its own way.
    if (slot == ChildWindowTable::StationDirectory || slot == ChildWindowTable::CoDirectory)
        openDirectoryWindow(slot);
}

namespace {
// Saves a child window's placement in its kind's section when it closes.
class PlacementSaver : public QObject
{
public:
    PlacementSaver(QObject *parent, QString section)
        : QObject(parent)
        , m_section(std::move(section))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close) {
            CSettingsSection section(m_section);
            savePlacement(static_cast<QWidget *>(watched), section);
        }
        return false;
    }

private:
    QString m_section;
};
} // namespace

QMdiSubWindow *MainWindow::openChildWindow(int slot, QWidget *content, const QString &titleKey,
                                           const QString &placementSection, const WinRect &defaultRect)
{
    auto *sub = new QMdiSubWindow;
    sub->setWidget(content);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(MessageCatalogue().text(titleKey));
    m_mdi->addSubWindow(sub);
    m_children.enter(slot, sub, titleKey);
    restorePlacement(sub, CSettingsSection(placementSection), false, defaultRect);
    sub->installEventFilter(new PlacementSaver(sub, placementSection));
    connect(sub, &QObject::destroyed, this, [this, slot] {
        if (!m_gone) {
            m_children.leave(slot);
            refreshCommands();
        }
    });
    sub->show();
    refreshCommands();
    return sub;
}

void MainWindow::openKeyTelephoneWindow()
{
    if (m_children.isOpen(ChildWindowTable::KeyTelephone) || !m_console->isLoggedOn())
        return;
    auto *window = new KeyTelephoneWindow(m_console->keyTelephone());
    window->setFreshness(&m_console->freshness());
    connect(this, &MainWindow::languageChanged, window, &KeyTelephoneWindow::retranslate);
    openChildWindow(ChildWindowTable::KeyTelephone, window, QString::fromLatin1(KeyTelephoneWindow::TitleKey),
                    CWindowKindSettings::keyTelephoneFrame().sectionName(),
                    DefaultLayout::current().keyTelephone);
}

void MainWindow::openSmallKeyPad()
{
    if (!m_console->isLoggedOn())
        return;
    // Not modal over the link: the pad's keys go out while events come in.
    auto *pad = new SmallKeyPadDialog(m_console->keyTelephone(), dialogs(), this);
    pad->setAttribute(Qt::WA_DeleteOnClose);
    pad->open();
}

// ---------------------------------------------------------------- directory windows

void MainWindow::registerDirectoryWindows()
{
    m_children.registerReopening({CWindowKindSettings::Kind::DirectoryFrame, ChildWindowTable::StationDirectory,
                                  ChildWindowTable::CoDirectory, false,
                                  [this](int slot) { openDirectoryWindow(slot); }});
}

QMdiSubWindow *MainWindow::openDirectoryWindow(int slot)
{
    if (auto *open = qobject_cast<QMdiSubWindow *>(m_children.window(slot))) {
        m_mdi->setActiveSubWindow(open);
        return open;
    }
    DirectoryView::Context context;
    context.ui = this;
    context.loggedOn = [this] { return m_console->isLoggedOn(); };
    context.prepareStationDialog = [this](StationInfoDialog &dialog) { prepareStationInfoDialog(dialog); };
    DirectoryFiles &files = m_console->directories();
    DirectoryView *view = slot == ChildWindowTable::StationDirectory ? new DirectoryView(files.stations(), context)
                                                                     : new DirectoryView(files.coLines(), context);
    auto *frame = new DirectoryFrame(view);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    m_mdi->addSubWindow(frame);
    frame->restorePlacement();
    m_children.enter(slot, frame, frame->titleKey());
    connect(this, &MainWindow::languageChanged, view, &DirectoryView::retranslate);
    // The slot is free once the window is gone; the commands follow.
    connect(frame, &QObject::destroyed, this, &MainWindow::refreshCommands, Qt::QueuedConnection);
    frame->show();
    return frame;
}

void MainWindow::prepareStationInfoDialog(StationInfoDialog &dialog)
{
    dialog.setCallNumberHook([this](const QString &digits) { return m_console->calls().callNumber(digits); });
    dialog.setCallStationHook([this](const QString &number) { return m_console->calls().callStation(number); });
    dialog.setFullNameSavedHook([this](int port, const QString &fullName) {
        CExtStatusList &stations = m_console->stations();
        if (port < 1 || port > stations.count())
            return;
        const auto index = quint16(port - 1);
        if (CExtStatus *record = stations.record(index)) {
            record->fullName = fullName;
            Q_EMIT stations.recordChanged(index, HINT_IDENTITY);
        }
    });
}

void MainWindow::allSystemInfoReceived()
{
    m_children.reopenWindows(m_console->isLoggedOn());
    refreshCommands();
}

void MainWindow::closeChildWindows()
{
    m_children.rememberOpenWindows(m_console->isLoggedOn());
    for (int slot = 0; slot < ChildWindowTable::SlotCount; ++slot) {
        if (QWidget *w = m_children.window(slot)) {
            w->close();
            m_children.leave(slot);
        }
    }
    refreshCommands();
}

void MainWindow::arrangeIcons()
{
    // Minimised children line up along the bottom edge, left to right.
    int x = 0;
    const int bottom = m_mdi->viewport()->height();
    for (QMdiSubWindow *sub : m_mdi->subWindowList()) {
        if (!sub->isMinimized())
            continue;
        const QSize size = sub->size();
        sub->move(x, bottom - size.height());
        x += size.width();
    }
}

void MainWindow::openHelp()
{
    if (!m_help) {
        m_help = new HelpWindow(this);
        m_help->setAttribute(Qt::WA_DeleteOnClose);
        connect(this, &MainWindow::languageChanged, m_help, &HelpWindow::retranslate);
        m_help->showChapter(QString::fromLatin1(HelpWindow::ContentsPage));
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void MainWindow::bringToFront()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

// ---------------------------------------------------------------- dialogs

void MainWindow::applyLanguage(int mode)
{
    MessageCatalogue::storeLanguageMode(mode);
    buildMenu();
    refreshCommands();
    updateTitle();
    m_children.retitleAll();
    Q_EMIT languageChanged();
}

void MainWindow::openLanguageDialog()
{
    auto *dialog = new LanguageDialog(dialogs(), MessageCatalogue::languageMode(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { applyLanguage(dialog->chosenMode()); });
    dialog->open();
}

void MainWindow::openConnectionSettings()
{
    LinkConnection *connection = m_console->linkConnection();
    if (!connection)
        return;
    auto *dialog = new ConnectionMethodDialog(dialogs(), *connection, this, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, connection] {
        refreshCommands();
        // A log-off ends the dialog as if OK had been pressed; it takes the
        // type but opens no settings dialog behind the log-off.
        if (!dialog->okPressed())
            return;
        const int type = dialog->selectedType();
        configureLink(dialogs(), *connection, type, this, [this, type](ConfigureResult result) {
            if (result == ConfigureResult::Failed)
                reportConfigureFailure(this, type);
        });
    });
    dialog->open();
}

void MainWindow::openAboutDialog()
{
    auto *dialog = new AboutDialog(dialogs(), m_console->loader().longVersion(), m_console->session().versionValue(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &AboutDialog::logOnCodeEntered, this, [this] {
        if (!m_console->isLoggedOn())
            m_console->request().LOG_Command();
    });
    connect(dialog, &AboutDialog::mailRequested, this, [this] { openMailDialog(std::nullopt); });
    connect(dialog, &AboutDialog::testSheetRequested, this, &MainWindow::openTestSheet);
    dialog->open();
}

void MainWindow::openMailDialog(std::optional<int> port)
{
    (new MailDialog(m_console->mail(), *this, port, [this](int p) { return m_console->stationMail(p); }, this))
        ->start();
}

void MainWindow::openMailServerDialog()
{
    auto *dialog = new MailServerDialog(*this, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void MainWindow::openLogStatusWindow()
{
    if (m_logStatus)
        return;
    m_logStatus = new LogStatusWindow(m_console->logStatus(), this);
    m_logStatus->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_logStatus, &LogStatusWindow::logOffRequested, this, [this] { m_console->request().LOG_OFF_REQ(); });
    m_logStatus->show();
}

void MainWindow::closeLogStatusWindow()
{
    if (m_logStatus)
        m_logStatus->close();
}

void MainWindow::openWindow(const QString &name)
{
    if (name == QLatin1String("LogStatus"))
        openLogStatusWindow();
}

void MainWindow::closeWindow(const QString &name)
{
    if (name == QLatin1String("LogStatus"))
        closeLogStatusWindow();
}

// ---------------------------------------------------------------- messages

void MainWindow::showMessage(const QString &textKey, const QString &titleKey, int style)
{
    const MessageCatalogue catalogue;
    queueBox(catalogue.text(textKey), catalogue.text(titleKey), style);
}

void MainWindow::showFixedMessage(const QString &text, const QString &title, int style)
{
    queueBox(text, title, style);
}

int MainWindow::ask(const QString &textKey, const QString &titleKey, int style)
{
    if (m_gone)
        return MessageBoxResult::No;
    const MessageCatalogue catalogue;
    return showMessageBox(this, catalogue.text(textKey), catalogue.text(titleKey), style);
}

bool MainWindow::endModalDialog()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal == m_openBox)
        modal = modal->parentWidget() == this ? nullptr : modal->parentWidget();
    auto *dialog = qobject_cast<QDialog *>(modal);
    if (!dialog)
        return false;
    dialog->accept();
    return true;
}

void MainWindow::queueBox(const QString &text, const QString &title, int style)
{
    if (m_gone)
        return;
    if (messagesSuppressed()) {
        ZTRACE(1, "Not shown while reconnecting: %s", qPrintable(text));
        return;
    }
    m_boxQueue.append({text, title, style});
    // Not shown from inside the caller (a link event, a timer): the box opens
    // from the event loop.
    if (!m_openBox && m_boxQueue.size() == 1)
        QMetaObject::invokeMethod(this, &MainWindow::showNextBox, Qt::QueuedConnection);
}

void MainWindow::showNextBox()
{
    while (!m_gone && !m_openBox && !m_boxQueue.isEmpty()) {
        const QueuedBox next = m_boxQueue.takeFirst();
        // Over the dialog the operator is in, so that the box can be answered.
        QWidget *over = QApplication::activeModalWidget();
        m_openBox = openMessageBox(over ? over : this, next.text, next.title, next.style);
        if (m_openBox)
            connect(m_openBox, &QObject::destroyed, this, &MainWindow::showNextBox, Qt::QueuedConnection);
    }
}

void MainWindow::dropBoxes()
{
    m_boxQueue.clear();
    if (QWidget *box = m_openBox) {
        box->disconnect(this);
        delete box;
    }
}

// ---------------------------------------------------------------- phone numbers, trace, test sheet

void MainWindow::registerPhoneNoAndTraceWindows()
{
    // The phone-number window is neither remembered nor reopened. Trace
    // windows are counted by their kind and remembered, not reopened.
    m_children.registerReopening({CWindowKindSettings::Kind::TraceFrame, -1, -1, false, {}});
}

QMdiSubWindow *MainWindow::openPhoneNoWindow()
{
    if (auto *open = qobject_cast<QMdiSubWindow *>(m_children.window(ChildWindowTable::PhoneNumberDirectory))) {
        m_mdi->setActiveSubWindow(open);
        return open;
    }
    CPhoneNoView::Context context;
    context.ui = this;
    context.canCall = [this] { return m_console->calls().canMakeCall(); };
    context.sendDigits = [this](const QString &digits) { return m_console->request().commandText(digits); };
    auto *view = new CPhoneNoView(m_console->directories().phoneNumbers(), context);
    view->document().setLoggedOn(m_console->isLoggedOn());
    connect(m_console.get(), &Console::stateChanged, view,
            [this, view] { view->document().setLoggedOn(m_console->isLoggedOn()); });
    connect(this, &MainWindow::languageChanged, view, &CPhoneNoView::retranslate);
    auto *frame = new CPhoneNoFrame(view);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    m_mdi->addSubWindow(frame);
    frame->restorePlacement();
    m_children.enter(ChildWindowTable::PhoneNumberDirectory, frame, QString::fromLatin1(CPhoneNoFrame::TitleKey));
    connect(frame, &QObject::destroyed, this, &MainWindow::refreshCommands, Qt::QueuedConnection);
    frame->show();
    return frame;
}

QList<TraceFrame *> MainWindow::traceWindows() const
{
    QList<TraceFrame *> frames;
    for (QMdiSubWindow *sub : m_mdi->subWindowList()) {
        if (auto *frame = qobject_cast<TraceFrame *>(sub))
            frames.append(frame);
    }
    return frames;
}

TraceFrame *MainWindow::openTraceWindow()
{
    auto *frame = new TraceFrame(m_clock);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    m_mdi->addSubWindow(frame);
    frame->restorePlacement();
    connect(frame, &QObject::destroyed, this, [this] {
        if (m_testSheet)
            m_testSheet->setTraceOpen(CWindowKindSettings::traceFrame().openCount() > 0);
    });
    frame->show();
    return frame;
}

void MainWindow::toggleTraceWindows()
{
    const QList<TraceFrame *> open = traceWindows();
    if (open.isEmpty())
        openTraceWindow();
    for (TraceFrame *frame : open)
        frame->close();
    if (m_testSheet)
        m_testSheet->setTraceOpen(open.isEmpty());
}

void MainWindow::openTraceFontDialog()
{
    openKindFontDialog(CWindowKindSettings::traceFrame(), this, [this] {
        for (TraceFrame *frame : traceWindows())
            frame->view()->applyFont();
    });
}

TestSheet *MainWindow::openTestSheet()
{
    if (m_testSheet) {
        m_testSheet->raise();
        m_testSheet->activateWindow();
        return m_testSheet;
    }
    m_testSheet = new TestSheet(m_console->link(), m_console->request(), this);
    m_testSheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_console.get(), &Console::echoReplyReceived, m_testSheet.data(), &TestSheet::echoReplyReceived);
    connect(m_testSheet.data(), &TestSheet::viewTraceRequested, this, &MainWindow::toggleTraceWindows);
    connect(m_testSheet.data(), &TestSheet::traceFontRequested, this, &MainWindow::openTraceFontDialog);
    m_testSheet->show();
    return m_testSheet;
}

void MainWindow::openPagingDialog()
{
    auto *dialog = new PagingDialog(m_console->paging(), *this, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void MainWindow::openPrintDialog()
{
    // The directory of the active directory window is preselected.
    int kind = 1;
    if (QMdiSubWindow *active = m_mdi->activeSubWindow()) {
        const std::pair<int, int> directoryWindows[] = {{ChildWindowTable::SpeedBinDirectory, 1},
                                             {ChildWindowTable::PhoneNumberDirectory, 2},
                                             {ChildWindowTable::StationDirectory, 3},
                                             {ChildWindowTable::CoDirectory, 4}};
        for (const auto &[slot, k] : directoryWindows) {
            QWidget *window = m_children.window(slot);
            if (window && (window == active || window == active->widget() || active->isAncestorOf(window)))
                kind = k;
        }
    }
    DirectoryFileCommands::openPrint(
        *this, m_console->clock(), m_console->directories().folder(), kind, this,
        [this](const QString &text) { statusBar()->showMessage(text); },
        [this](bool) { refreshCommands(); });
}

// ---------------------------------------------------------------- speed-bin directory

void MainWindow::registerSpeedBinWindow()
{
    // Remembered also while logged off; it opens by the operator's command,
    // once the speed bins are in step.
    m_children.registerReopening(
        {CWindowKindSettings::Kind::SpeedBinFrame, ChildWindowTable::SpeedBinDirectory, -1, true, {}});
}

void MainWindow::speedBinDirectoryCommand()
{
    CPhoneBookDB *db = m_console->speedBins();
    if (!db || !m_console->isLoggedOn())
        return;
    if (auto *open = qobject_cast<QMdiSubWindow *>(m_children.window(ChildWindowTable::SpeedBinDirectory))) {
        m_mdi->setActiveSubWindow(open);
        return;
    }
    if (db->isBusy()) {
        showMessage(QStringLiteral("#:pbi_still_init_speed_db"), QStringLiteral("#:information"),
                    MessageStyle::Information);
        return;
    }
    if (!db->isInitialised()) {
        const MessageCatalogue catalogue;
        showFixedMessage(catalogue.text(QStringLiteral("#:pbw_speed_db_not_connected")) + QStringLiteral("\n\n")
                             + catalogue.text(QStringLiteral("#:pbw_aware_of_inconsistencies")),
                         catalogue.text(QStringLiteral("#:warning_title")), MessageStyle::Exclamation);
        openSpeedBinWindow();
        return;
    }
    if (db->downloadFailed() || db->uploadFailed()) {
        auto *dialog = new SpeedBinReinitDialog(db->downloadFailed(), db->uploadFailed(), this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        const int slot = dialogs().enter([dialog] { dialog->done(SpeedBinReinitDialog::Skip); });
        connect(dialog, &QDialog::finished, this, [this, slot] { dialogs().leave(slot); });
        connect(dialog, &SpeedBinReinitDialog::chosen, this, [this](int choice, bool forget) {
            CPhoneBookDB *db = m_console->speedBins();
            if (!db)
                return;
            if (forget)
                db->clearFailureFlags();
            if (choice == SpeedBinReinitDialog::Initialise)
                m_console->logStatus().reopenForSpeedBins();
            else
                openSpeedBinWindow();
        });
        dialog->open();
        return;
    }
    openSpeedBinWindow();
}

QMdiSubWindow *MainWindow::openSpeedBinWindow()
{
    CPhoneBookDB *db = m_console->speedBins();
    if (!db)
        return nullptr;
    if (auto *open = qobject_cast<QMdiSubWindow *>(m_children.window(ChildWindowTable::SpeedBinDirectory))) {
        m_mdi->setActiveSubWindow(open);
        return open;
    }
    CPhoneBookView::Context context;
    context.ui = this;
    // The attendant's calls decide; until they are wired, a logged-on position calls.
    context.canCall = [this] { return m_console->calls().canMakeCall(); };
    context.call = [this](const QString &keys) { return m_console->request().keySequence(keys); };
    auto *view = new CPhoneBookView(*db, context);
    auto *frame = new CPhoneBookFrame(view);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    m_mdi->addSubWindow(frame);
    frame->restorePlacement();
    m_children.enter(ChildWindowTable::SpeedBinDirectory, frame, QString::fromLatin1(CPhoneBookView::TitleKey));
    connect(this, &MainWindow::languageChanged, frame, &CPhoneBookFrame::retranslate);
    connect(frame, &QObject::destroyed, this, &MainWindow::refreshCommands, Qt::QueuedConnection);
    if (!view->load()) {
        frame->close();
        return nullptr;
    }
    frame->show();
    refreshCommands();
    return frame;
}

// ---------------------------------------------------------------- status button windows and call queue

void MainWindow::registerCallStateWindows()
{
    m_children.registerReopening({CWindowKindSettings::Kind::QueueFrame, ChildWindowTable::Queue, -1, false,
                                  [this](int) { openQueueWindow(); }});
    m_children.registerReopening({CWindowKindSettings::Kind::StatusButtonFrame, ChildWindowTable::StationStatus,
                                  ChildWindowTable::CoStatus, false, [this](int slot) { openStatusWindow(slot); }});
    // Lines put on hold and taken off it; the attendant's rings join here too.
    connect(&m_console->coLines(), &CTrkStatusList::queueEvent, this, &MainWindow::postQueueEvent);
    connect(m_console.get(), &Console::queueEvent, this, &MainWindow::postQueueEvent);
}

void MainWindow::toggleCallStateWindow(int slot)
{
    if (QWidget *w = m_children.window(slot)) {
        w->close();
        return;
    }
    if (slot == ChildWindowTable::Queue)
        openQueueWindow();
    else
        openStatusWindow(slot);
}

QMdiSubWindow *MainWindow::openStatusWindow(int slot)
{
    if (auto *open = qobject_cast<QMdiSubWindow *>(m_children.window(slot))) {
        m_mdi->setActiveSubWindow(open);
        return open;
    }
    if (!m_console->isLoggedOn() || (slot != ChildWindowTable::StationStatus && slot != ChildWindowTable::CoStatus))
        return nullptr;
    // One tool-tip maker for every status window, alive as long as the console.
    struct TipsHolder : QObject
    {
        explicit TipsHolder(Console &c, QObject *parent)
            : QObject(parent)
            , tips(c.stations(), c.coLines(), c.clock())
        {
        }
        StatusToolTip tips;
    };
    auto *holder = findChild<TipsHolder *>(QStringLiteral("statusToolTips"), Qt::FindDirectChildrenOnly);
    if (!holder) {
        holder = new TipsHolder(*m_console, this);
        holder->setObjectName(QStringLiteral("statusToolTips"));
    }
    CDLOView::Context context;
    context.stations = &m_console->stations();
    context.lines = &m_console->coLines();
    context.tips = &holder->tips;
    context.request = &m_console->request();
    context.ui = this;
    context.attendantIdle = [this] { return m_console->calls().canMakeCall(); };
    const quint32 kind = slot == ChildWindowTable::StationStatus ? PORT_KIND_EXT : PORT_KIND_TRK;
    auto *view = new CDLOView(kind, context);
    auto *frame = new CDLOFrame(view);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    m_mdi->addSubWindow(frame);
    frame->restorePlacement();
    m_children.enter(slot, frame, frame->titleKey());
    connect(this, &MainWindow::languageChanged, frame, &CDLOFrame::retranslate);
    connect(view, &CDLOView::commandRequested, this, &MainWindow::statusWindowCommand);
    // A station button runs the attendant's call operation; a double click
    // (or Enter) selects it; the call operation keys run on it.
    StationCallMenu::attach(view, m_console->calls(), m_console->stations());
    connect(view, &CDLOView::smallKeyPadRequested, this, [this] { openSmallKeyPad(); });
    connect(frame, &QObject::destroyed, this, &MainWindow::refreshCommands, Qt::QueuedConnection);
    frame->show();
    refreshCommands();
    return frame;
}

void MainWindow::statusWindowCommand(quint32 kind, int index, int command)
{
    if (command == CDLOView::SendMail) {
        openMailDialog(index + 1);
        return;
    }
    if (kind == PORT_KIND_EXT) {
        const auto station = quint16(index);
        const CExtStatus *record = m_console->stations().record(station);
        AttendantProgramming &programming = m_console->programming();
        switch (command) {
        case CDLOView::WakeUpAlarm:
            programmingDialogs(); // the reply opens the wake-up dialog
            programming.queryWakeUp(station);
            return;
        case CDLOView::CancelWakeUp:
            programming.cancelWakeUpOf(station);
            return;
        case CDLOView::AttendantCancel:
            programming.attendantCancelOf(station);
            return;
        case CDLOView::TempCos:
            programmingDialogs();
            programming.queryTemporaryCos(station);
            return;
        case CDLOView::StationName:
            if (record)
                programmingDialogs().openStationName(record->numberText());
            return;
        case CDLOView::ChangeAuthCode:
            if (record)
                programmingDialogs().openAuthorisationCode(record->numberText());
            return;
        case CDLOView::StationNumberChange:
            if (record) {
                auto *dialog = new StationNumberDialog(m_console->calls(), *this, station, record->numberText(), this);
                dialog->setAttribute(Qt::WA_DeleteOnClose);
                dialog->open();
            }
            return;
        default:
            break;
        }
    }
    if (command != CDLOView::OpenDatabase)
        return;
    DirectoryFiles &files = m_console->directories();
    QDialog *dialog = nullptr;
    if (kind == PORT_KIND_EXT) {
        const CExtStatus *station = m_console->stations().record(quint16(index));
        if (!station || !files.stations())
            return;
        const StationInfoDialog::Key key{index + 1, station->numberText(), station->name};
        auto *info = new StationInfoDialog(*this, *files.stations(), key, m_console->isLoggedOn(), this);
        prepareStationInfoDialog(*info);
        dialog = info;
    } else {
        const CTrkStatus *line = m_console->coLines().record(quint16(index));
        if (!line || !files.coLines())
            return;
        const CoInfoDialog::Key key{index + 1, m_console->coLines().coNameText(line->coNameNumber), line->numberText(),
                                    Nibbles::toText(line->retrieveCode)};
        dialog = new CoInfoDialog(*this, *files.coLines(), key, this);
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

QMdiSubWindow *MainWindow::openQueueWindow()
{
    if (auto *open = qobject_cast<QMdiSubWindow *>(m_children.window(ChildWindowTable::Queue))) {
        m_mdi->setActiveSubWindow(open);
        return open;
    }
    if (!m_console->isLoggedOn())
        return nullptr;
    CQueueView::Context context;
    context.stations = &m_console->stations();
    context.lines = &m_console->coLines();
    context.request = &m_console->request();
    context.clock = &m_console->clock();
    context.callerInfoEnabled = [this] { return m_callerInfo; };
    context.attendantInCall = [this] {
        const QChar own = attendantStationState();
        return !own.isNull() && own != QLatin1Char('@') && own != QLatin1Char('A') && own != QLatin1Char('B');
    };
    context.pictureFile = [this](quint16 stationIndex) {
        StationDirectory *directory = m_console->directories().stations();
        if (!directory)
            return QString();
        const std::optional<StationFields> fields = directory->find(stationIndex + 1);
        return fields && fields->size() > 10 ? fields->at(10) : QString();
    };
    auto *view = new CQueueView(context);
    auto *frame = new CQueueFrame(view, *this, [this] { return m_console->isLoggedOn(); });
    frame->setAttribute(Qt::WA_DeleteOnClose);
    m_mdi->addSubWindow(frame);
    frame->restorePlacement();
    m_children.enter(ChildWindowTable::Queue, frame, QString::fromLatin1(CQueueFrame::TitleKey));
    connect(this, &MainWindow::languageChanged, view, &CQueueView::retranslate);
    connect(frame, &QObject::destroyed, this, &MainWindow::refreshCommands, Qt::QueuedConnection);
    frame->show();
    showMessage(QStringLiteral("#:info_start_queueW"), QStringLiteral("#:info_title_queueW"), 0);
    refreshCommands();
    return frame;
}

void MainWindow::postQueueEvent(const CQueueEvent &event)
{
    if (auto *frame = qobject_cast<CQueueFrame *>(m_children.window(ChildWindowTable::Queue)))
        frame->view()->post(event);
}

// ---------------------------------------------------------------- attendant programming

ProgrammingDialogs &MainWindow::programmingDialogs()
{
    AttendantProgramming &programming = m_console->programming();
    // Every OK asks the same as the menu's enabling.
    programming.setAllowedQuery([this] { return programmingAllowed(); });
    return ProgrammingDialogs::of(this, programming, m_timers, m_clock);
}

void MainWindow::programmingCommand(Command command)
{
    if (!programmingAllowed())
        return;
    ProgrammingDialogs &dialogs = programmingDialogs();
    switch (command) {
    case Command::ClockSetting:
        dialogs.openClockSetting();
        break;
    case Command::WakeUp:
        dialogs.openWakeUp();
        break;
    case Command::CancelWakeUp:
        dialogs.openCancelWakeUp();
        break;
    case Command::MusicSelection:
        dialogs.musicSelection();
        break;
    case Command::CustomMessage:
        dialogs.openCustomMessage();
        break;
    case Command::SystemGreetings:
        dialogs.openSystemGreetings();
        break;
    case Command::TemporaryCos:
        dialogs.openTemporaryCos();
        break;
    case Command::AttendantCancel:
        dialogs.openAttendantCancel();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- keys of the calls and windows

void MainWindow::createKeyActions()
{
    const auto add = [this](const CallKeys::Binding &binding, void (MainWindow::*slot)()) {
        auto *a = new QAction(binding.textKey, this);
        a->setObjectName(binding.textKey);
        a->setProperty(DefinitionTextProperty, binding.textKey);
        a->setShortcut(binding.key);
        // The keys work while a child window has the focus, too.
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
        m_keyActions.append(a);
    };
    const QList<CallKeys::Binding> &keys = CallKeys::windowKeys();
    add(keys.at(0), &MainWindow::findCommand);
    add(keys.at(1), &MainWindow::answerOldestCall);
    add(keys.at(2), &MainWindow::focusQueue);
    add(keys.at(3), &MainWindow::focusStationWindow);
    add(keys.at(4), &MainWindow::focusCoWindow);
}

void MainWindow::addKeyMenuItems()
{
    // At the end of the View menu, after the windows they reach.
    int viewPosition = -1;
    const QList<MenuItemDefinition> &definition = mainMenuDefinition();
    for (int i = 0; i < definition.size(); ++i) {
        if (definition.at(i).text == QLatin1String("#:view_MENU(&V)"))
            viewPosition = i;
    }
    const QList<QAction *> menus = menuBar()->actions();
    if (viewPosition < 0 || viewPosition >= menus.size() || !menus.at(viewPosition)->menu())
        return;
    QMenu *view = menus.at(viewPosition)->menu();
    view->addSeparator();
    const MessageCatalogue catalogue;
    for (QAction *a : std::as_const(m_keyActions)) {
        a->setText(catalogue.text(a->property(DefinitionTextProperty).toString()));
        view->addAction(a);
    }
}

void MainWindow::findCommand()
{
    // In the CO window while it is the active one, else among the stations.
    int slot = ChildWindowTable::StationStatus;
    if (QWidget *co = m_children.window(ChildWindowTable::CoStatus); co && co == m_mdi->activeSubWindow())
        slot = ChildWindowTable::CoStatus;
    if (auto *frame = qobject_cast<CDLOFrame *>(openStatusWindow(slot)))
        frame->keys()->openFind();
}

void MainWindow::answerOldestCall()
{
    auto *frame = qobject_cast<CQueueFrame *>(m_children.window(ChildWindowTable::Queue));
    if (!frame || !frame->answerOldest())
        QApplication::beep();
}

void MainWindow::focusQueue()
{
    if (auto *frame = qobject_cast<CQueueFrame *>(openQueueWindow()))
        frame->focusList();
}

void MainWindow::focusStatusWindow(int slot)
{
    if (auto *frame = qobject_cast<CDLOFrame *>(openStatusWindow(slot)))
        frame->view()->setFocus(Qt::ShortcutFocusReason);
}

void MainWindow::focusStationWindow()
{
    focusStatusWindow(ChildWindowTable::StationStatus);
}

void MainWindow::focusCoWindow()
{
    focusStatusWindow(ChildWindowTable::CoStatus);
}
