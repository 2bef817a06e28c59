#pragma once

#include "base/OpenDialogRegistry.h"

#include <QString>

// Message-box styles of ShowMessage.
namespace MessageStyle {
constexpr int Deferred = 0;      // plain box: OK, no icon
constexpr int YesNo = 4;
constexpr int Stop = 16;
constexpr int Exclamation = 48;
constexpr int YesNoExclamation = 52;
constexpr int Information = 64;
constexpr int ResultYes = 6;
} // namespace MessageStyle

// The core's one way of talking to the operator. The main window implements
// it; tests use a recorder that notes exactly which keys were shown.
class OperatorUi
{
public:
    virtual ~OperatorUi();

    // ShowMessage: both keys are looked up in the catalogue (each falls back to
    // itself). Never waits: the box is shown without a nested event loop, after
    // the boxes before it, so a message raised by a link event, a timer or the
    // download never holds up the link.
    virtual void showMessage(const QString &textKey, const QString &titleKey, int style) = 0;

    // A box whose texts are fixed, not keys (the catalogue's own warnings, the
    // LAN connect texts); shown like showMessage.
    virtual void showFixedMessage(const QString &text, const QString &title, int style) = 0;

    // Asks the operator and returns the button pressed (Yes = 6). It waits for
    // the answer, so only the operator's own commands ask (the log-off Yes/No);
    // the link is read and dispatched meanwhile.
    virtual int ask(const QString &textKey, const QString &titleKey, int style) = 0;

    // Ends a modal dialog that is open over the main window as if OK had been
    // pressed; false when none is open. The boxes of showMessage are not
    // dialogs to end: they only tell.
    virtual bool endModalDialog() { return false; }

    // Commands may need enabling or checking anew.
    virtual void refreshCommands() {}
    // Opens a named window or dialog ("LogStatus", "SpeedBinOperation", ...).
    virtual void openWindow(const QString &name) { Q_UNUSED(name); }
    virtual void closeWindow(const QString &name) { Q_UNUSED(name); }

    // The dialogs open over this operator interface.
    OpenDialogRegistry &dialogs() { return m_dialogs; }

    // While the console logs on again by itself, the boxes of its failed
    // attempts are traced, not shown: the operator was told of the loss.
    void setMessagesSuppressed(bool on) { m_suppressed = on; }
    bool messagesSuppressed() const { return m_suppressed; }

private:
    OpenDialogRegistry m_dialogs;
    bool m_suppressed = false;
};
