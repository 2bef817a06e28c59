#pragma once

#include <QObject>
#include <QString>

// What the log-on status window shows: opened when the position logs on,
// closed when it logs off; the download moves its label and bar.
class LogStatusModel : public QObject
{
    Q_OBJECT
public:
    explicit LogStatusModel(QObject *parent = nullptr)
        : QObject(parent)
    {
    }

    bool isOpen() const { return m_open; }
    // Message key of the progress label; empty until the first step ("System Information" is shown).
    QString labelKey() const { return m_labelKey; }
    int bar() const { return m_bar; }
    QString versionLine() const { return m_versionLine; }
    bool downloadDone() const { return m_done; }
    bool logOffButtonEnabled() const { return m_logOffEnabled && !m_done; }
    // The speed-bin group: disabled until all system information has arrived.
    bool speedBinStage() const { return m_done; }
    int speedBinFirst() const { return m_speedFirst; }
    int speedBinLast() const { return m_speedLast; }

    void open()
    {
        if (m_open)
            return;
        m_open = true;
        m_labelKey.clear();
        m_bar = 0;
        m_done = false;
        m_logOffEnabled = true;
        Q_EMIT opened();
        Q_EMIT changed();
    }
    void close()
    {
        if (!m_open)
            return;
        m_open = false;
        Q_EMIT closed();
    }
    // An empty label leaves the current one.
    void setProgress(const QString &labelKey, int bar)
    {
        if (!labelKey.isEmpty())
            m_labelKey = labelKey;
        m_bar = bar;
        Q_EMIT changed();
    }
    void setVersionLine(const QString &line)
    {
        m_versionLine = line;
        Q_EMIT changed();
    }
    void setSpeedBinRange(int first, int last)
    {
        m_speedFirst = first;
        m_speedLast = last;
        Q_EMIT changed();
    }
    void disableLogOffButton()
    {
        m_logOffEnabled = false;
        Q_EMIT changed();
    }
    void switchToSpeedBinStage()
    {
        m_done = true;
        m_bar = 100;
        Q_EMIT changed();
    }

Q_SIGNALS:
    void opened();
    void closed();
    void changed();

private:
    bool m_open = false;
    QString m_labelKey;
    int m_bar = 0;
    QString m_versionLine;
    bool m_done = false;
    bool m_logOffEnabled = true;
    int m_speedFirst = 0;
    int m_speedLast = 0;
};
