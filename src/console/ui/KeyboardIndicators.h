#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;
class QTimer;

// The keyboard-state panes of the status bar: "CAP", "NUM" and "SCRL", shown
// enabled while the lock is on. The lock states come from the keyboard LEDs
// the kernel exposes (/sys/class/leds/*::capslock etc.); where none can be
// read the panes stay greyed out, which is also how an unlit lock looks.
class KeyboardIndicators : public QWidget
{
    Q_OBJECT
public:
    explicit KeyboardIndicators(QWidget *parent = nullptr);

    // Reads the LEDs again; called every half second and on lock-key presses.
    void refresh();

    bool capsLock() const;
    bool numLock() const;
    bool scrollLock() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Pane
    {
        QLabel *label = nullptr;
        QStringList ledFiles;
    };
    static bool anyLit(const QStringList &files);
    Pane makePane(const QString &text, const QString &ledSuffix);

    Pane m_caps;
    Pane m_num;
    Pane m_scroll;
    QTimer *m_poll;
};
