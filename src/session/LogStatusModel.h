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
    // Choices, Start and Skip: enabled in the speed-bin stage until the
    // operator starts or skips the initialisation.
    bool speedBinChoicesEnabled() const { return m_done && !m_speedRunning && !m_speedEnded; }
    bool speedBinRunning() const { return m_speedRunning; }
    bool speedBinEnded() const { return m_speedEnded; }
    // The bar's position: the bin just processed, or the first bin.
    int speedBinPosition() const { return m_speedPosition < 0 ? m_speedFirst : m_speedPosition; }
    // The label: a message key followed by " %d" with the bin; empty key, no text.
    QString speedBinLabelKey() const { return m_speedLabelKey; }
    int speedBinLabelBin() const { return m_speedLabelBin; }

    void open()
    {
        if (m_open)
            return;
        m_open = true;
        m_labelKey.clear();
        m_bar = 0;
        m_done = false;
        m_logOffEnabled = true;
        resetSpeedBinGroup();
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

    // The operator's choice in the speed-bin group.
    void startSpeedBins(bool upload)
    {
        m_speedRunning = true;
        Q_EMIT speedBinStartRequested(upload);
        Q_EMIT changed();
    }
    void skipSpeedBins()
    {
        m_speedEnded = true;
        Q_EMIT speedBinSkipRequested();
        Q_EMIT changed();
    }
    void setSpeedBinProgress(int bin)
    {
        m_speedPosition = bin;
        m_speedLabelKey = QStringLiteral("#:pb_now_processing_bin_no");
        m_speedLabelBin = bin;
        Q_EMIT changed();
    }
    void setSpeedBinFailure(const QString &key, int bin)
    {
        m_speedLabelKey = key;
        m_speedLabelBin = bin;
        Q_EMIT changed();
    }
    void speedBinStepEnded()
    {
        m_speedRunning = false;
        m_speedEnded = true;
        Q_EMIT changed();
    }
    // The initialisation is to run again: the window opens (or stays) in its
    // speed-bin stage with the choices enabled.
    void reopenForSpeedBins()
    {
        const bool wasOpen = m_open;
        m_open = true;
        m_done = true;
        m_bar = 100;
        m_logOffEnabled = false;
        resetSpeedBinGroup();
        if (!wasOpen)
            Q_EMIT opened();
        Q_EMIT changed();
    }

Q_SIGNALS:
    void speedBinStartRequested(bool upload);
    void speedBinSkipRequested();
    void opened();
    void closed();
    void changed();

private:
    void resetSpeedBinGroup()
    {
        m_speedRunning = false;
        m_speedEnded = false;
        m_speedPosition = -1;
        m_speedLabelKey.clear();
        m_speedLabelBin = 0;
    }

    bool m_open = false;
    QString m_labelKey;
    int m_bar = 0;
    QString m_versionLine;
    bool m_done = false;
    bool m_logOffEnabled = true;
    int m_speedFirst = 0;
    int m_speedLast = 0;
    bool m_speedRunning = false;
    bool m_speedEnded = false;
    int m_speedPosition = -1;
    QString m_speedLabelKey;
    int m_speedLabelBin = 0;
};
