#pragma once

#include <QList>
#include <QString>

class QWidget;

// Shows a modal message box with the style bits of ShowMessage (buttons in the
// low nibble: 0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel; icon in 0xF0: 0x10 stop, 0x20 question, 0x30 exclamation,
// 0x40 information) and returns the button pressed: 1 OK, 2 Cancel, 3 Abort,
// 4 Retry, 5 Ignore, 6 Yes, 7 No. The texts are shown as given.
int showMessageBox(QWidget *parent, const QString &text, const QString &title, int style);

// Opens a box of the same styles window-modal over parent and returns at once,
// without an event loop of its own; the box deletes itself when it is answered.
// Under a MessageBoxAnswerer the box is only noted and nullptr is returned.
QWidget *openMessageBox(QWidget *parent, const QString &text, const QString &title, int style);

namespace MessageBoxResult {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MessageBoxResult

// While one lives, showMessageBox and openMessageBox show nothing: they note
// the box and answer it, so that a test never waits on a modal box. The answer of a box is the
// preset answer when its buttons offer it, else the box's first button.
class MessageBoxAnswerer
{
public:
    struct Box
    {
        QString text;
        QString title;
        int style = 0;
    };

    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer &) = delete;
    MessageBoxAnswerer &operator=(const MessageBoxAnswerer &) = delete;

    static MessageBoxAnswerer *current();

    void setAnswer(int result) { m_answer = result; }
    int answer(const Box &box);

    const QList<Box> &boxes() const { return m_boxes; }
    QStringList texts() const;
    void clear() { m_boxes.clear(); }

private:
    MessageBoxAnswerer *m_previous = nullptr;
    QList<Box> m_boxes;
    int m_answer = MessageBoxResult::Yes;
};
