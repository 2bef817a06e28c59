#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

// Commands of the main window, reached from the main menu, the tool bar and
// the accelerators.
enum class Command {
    None,
    // File
    Import,
    Export,
    Print,
    Exit,
    // Connection
    LogOn,
    LogOff,
    Connect,
    Disconnect,
    ConnectionSettings,
    // Programming
    ClockSetting,
    WakeUp,
    CancelWakeUp,
    MusicSelection,
    CustomMessage,
    SystemGreetings,
    TemporaryCos,
    AttendantCancel,
    DateFormat,
    TimeFormat,
    // Options
    Language,
    MailServer,
    CallInfo,
    Reconnect,
    // View
    ViewToolBar,
    ViewStatusBar,
    ViewLcdBar,
    ViewKeyTelephone,
    ViewStationWindow,
    ViewCoWindow,
    ViewQueue,
    ViewStationDirectory,
    ViewCoDirectory,
    ViewSpeedBinDirectory,
    ViewPhoneNumberDirectory,
    SmallKeyPad,
    Paging,
    // Window
    Cascade,
    Tile,
    ArrangeIcons,
    // Help
    HelpTopics,
    About,
    // Accelerators without a menu item
    Help,
    ContextHelp,
    NextPane,
    PreviousPane,
};

// One item of the main menu as it is defined: its definition text (a key,
// or a text set from code such as "CALL INFO"), its command and accelerator.
// An item with sub-items is a pop-up; an item with an empty text a separator.
struct MenuItemDefinition
{
    QString text;
    Command command = Command::None;
    QKeySequence shortcut;
    QList<MenuItemDefinition> items;

    bool isSeparator() const { return text.isEmpty(); }
    bool isPopup() const { return !items.isEmpty(); }
};

// The main menu: one pop-up per entry, in menu-bar order.
const QList<MenuItemDefinition> &mainMenuDefinition();

// Accelerators that have no menu item (help, context help, next and previous pane).
QKeySequence acceleratorOf(Command command);

// Texts set from code in place of the definition text.
namespace MenuText {
inline const QString DateFormat = QStringLiteral("DATE FORMAT");
inline const QString TimeFormat = QStringLiteral("TIME FORMAT");
inline const QString CallInfo = QStringLiteral("CALL INFO");
} // namespace MenuText
