#include "MainWindow.h"

#include "link/CLinkRequest.h"
#include "session/CLogSession.h"
#include "session/CSysInfoLoader.h"
#include "session/LogStatusModel.h"
#include "console/Console.h"
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
#include "callstate/CExtStatusList.h"
#include "directories/DirectoryFiles.h"
#include "directories/ui/DirectoryFrame.h"
#include "directories/ui/DirectoryView.h"
#include "directories/ui/StationInfoDialog.h"
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

// Commands whose windows and dialogs are not built yet: greyed rather than
// silent. A command leaves this list when its window or dialog is built.
constexpr Command PendingCommands[] = {
    Command::Import,           Command::Export,           Command::Print,
    Command::ViewStationWindow, Command::ViewCoWindow,
    Command::ViewQueue,
    Command::ViewSpeedBinDirectory, Command::ViewPhoneNumberDirectory, Command::Paging,
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
    buildToolBar();
    buildStatusBar();
    buildMenu();
    connectConsole();
    readCallerInfo();
    prepareDatabaseFolder();
    m_children.registerReopening({CWindowKindSettings::Kind::KeyTelephoneFrame, ChildWindowTable::KeyTelephone, -1,
                                  false, [this](int) { openKeyTelephoneWindow(); }});
    registerDirectoryWindows();
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

    check(Command::ViewToolBar, !m_toolBar->isHidden());
    check(Command::ViewStatusBar, !statusBar()->isHidden());
    check(Command::ViewLcdBar, !m_lcdToolBar->isHidden());
    for (const WindowToggle &t : WindowToggles) {
        enable(t.command, loggedOn);
        check(t.command, m_children.isOpen(t.slot));
    }
    // The pad's keys go to the PBX.
    enable(Command::SmallKeyPad, loggedOn);
    check(Command::ViewSpeedBinDirectory, m_children.isOpen(ChildWindowTable::SpeedBinDirectory));
    check(Command::ViewPhoneNumberDirectory, m_children.isOpen(ChildWindowTable::PhoneNumberDirectory));
    for (Command c : PendingCommands)
        enable(c, false);
}

QChar MainWindow::attendantStationState() const
{
    // Learned from the attendant's own station record once the attendant
    // calls are followed; until then it is not known.
    return QChar();
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
    case Command::ViewToolBar:
        m_toolBar->setHidden(!m_toolBar->isHidden());
        break;
    case Command::ViewStatusBar:
        statusBar()->setHidden(!statusBar()->isHidden());
        break;
    case Command::ViewLcdBar:
        m_lcdToolBar->setHidden(!m_lcdToolBar->isHidden());
        break;
    case Command::ViewKeyTelephone:
    case Command::ViewStationWindow:
    case Command::ViewCoWindow:
    case Command::ViewQueue:
    case Command::ViewStationDirectory:
    case Command::ViewCoDirectory:
        for (const WindowToggle &t : WindowToggles) {
            if (t.command == command && m_console->isLoggedOn())
                toggleChildWindow(t.slot);
        }
        break;
    case Command::ViewSpeedBinDirectory:
    case Command::ViewPhoneNumberDirectory: {
        // An open directory window is activated; the directories themselves
        // are not kept yet, so nothing opens.
        const int slot = command == Command::ViewSpeedBinDirectory ? ChildWindowTable::SpeedBinDirectory
                                                                   : ChildWindowTable::PhoneNumberDirectory;
        if (auto *sub = qobject_cast<QMdiSubWindow *>(m_children.window(slot)))
            m_mdi->setActiveSubWindow(sub);
        break;
    }
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
    case Command::Import:
    case Command::Export:
    case Command::Print:
    case Command::SmallKeyPad:
        openSmallKeyPad();
        break;
    case Command::MailServer:
        openMailServerDialog();
        break;
    case Command::Paging:
    case Command::None:
        qCDebug(lcMainWindow) << "command not available yet:" << int(command);
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
