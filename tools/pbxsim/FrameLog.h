#pragma once

#include <QFile>
#include <QString>

#include <functional>

namespace pbxsim {

// One line per frame received and sent, and per note:
//   "    12.345 RX LOG_ON_Request [ba ec 90 c2 00 0b a6 bc]"
// The time is seconds since the PBX started. Every line is flushed at once so
// a test can read the log while the PBX runs.
class FrameLog
{
public:
    FrameLog() = default;
    ~FrameLog();

    // "-" is standard output.
    bool open(const QString &path, QString *error);
    bool isOpen() const { return m_file.isOpen() || m_sink; }
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    // Lines go to the function instead of a file (tests).
    void setSink(std::function<void(const QString &)> sink) { m_sink = std::move(sink); }

    void frame(const QString &direction, const QString &text, const QByteArray &bytes);
    void note(const QString &text);

private:
    void write(const QString &line);

    QFile m_file;
    std::function<qint64()> m_clock;
    std::function<void(const QString &)> m_sink;
};

} // namespace pbxsim
