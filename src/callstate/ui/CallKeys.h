#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

// The keys of the attendant's calls. Window-wide keys reach the queue and
// the status windows from anywhere in the main window; the call operation
// keys act on the current station of the station window or of its find bar.
// The help and the README list the same keys.
class CallKeys
{
public:
    struct Binding
    {
        QKeySequence key;
        QString textKey; // what the key does, a message key
        int operation;   // CAttendantCalls::Operation, -1 for a window-wide key
    };

    // Opens the find bar of the station window (of the CO window while that
    // one is active).
    static QKeySequence find() { return QKeySequence(Qt::CTRL | Qt::Key_F); }
    // Answers the oldest call that rings at the attendant position.
    static QKeySequence answerOldest() { return QKeySequence(Qt::Key_F2); }
    // Bring a window to the front with the keyboard focus, opening it when closed.
    static QKeySequence focusQueue() { return QKeySequence(Qt::Key_F3); }
    static QKeySequence focusStations() { return QKeySequence(Qt::Key_F4); }
    static QKeySequence focusLines() { return QKeySequence(Qt::Key_F5); }

    // Window-wide keys, then the call operations, in the order the help lists them.
    static const QList<Binding> &windowKeys();
    static const QList<Binding> &operationKeys();
    // The call operation of a key press in the station window, or -1.
    static int operationFor(const QKeySequence &pressed);
    // The key of a call operation, empty when it has none.
    static QKeySequence keyOf(int operation);
};
