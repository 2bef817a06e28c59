#pragma once

#include "link/KeyTelephoneSink.h"

#include "keyset/KeyDisplay.h"
#include "keyset/LampTable.h"

#include <QObject>

class CLinkRequest;
class TimerHost;

// The attendant position's key telephone as the PBX drives it: takes every
// key-telephone command of the event dispatch into the lamp table and the
// display model, and sends the operator's key presses as single key events.
// Lives for the whole run, whether or not its window is open.
class KeyTelephone : public QObject, public KeyTelephoneSink
{
    Q_OBJECT
public:
    KeyTelephone(CLinkRequest &request, TimerHost &timers, QObject *parent = nullptr);
    ~KeyTelephone() override;

    LampTable &lamps() { return m_lamps; }
    const LampTable &lamps() const { return m_lamps; }
    KeyDisplay &display() { return m_display; }
    const KeyDisplay &display() const { return m_display; }

    // Command byte and two data bytes of a key-telephone command.
    void displayCommand(quint8 cmd, quint8 d1, quint8 d2) override;

    // The own station became known early in a log-on: every lamp goes out.
    void ownStationKnown();
    // The log-off completed: the display's timers stop, the display is cleared.
    void logOffReset();

    // Sends the key event of one key; false when the link took nothing.
    bool pressKey(quint8 code);
    // Sends a key string (the small key pad).
    bool sendKeyString(const QString &keys);

private:
    void singleLamps(quint8 cmd, quint8 d1, quint8 d2);
    void bulkLamps(quint8 d1, quint8 d2);

    CLinkRequest &m_request;
    LampTable m_lamps;
    KeyDisplay m_display;
};
