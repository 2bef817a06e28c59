#include "FrameLog.h"

#include "PbxMessages.h"

#include <cstdio>

namespace pbxsim {

FrameLog::~FrameLog() = default;

bool FrameLog::open(const QString &path, QString *error)
{
    const bool ok = path == u"-" ? m_file.open(stdout, QIODevice::WriteOnly | QIODevice::Text)
                                 : (m_file.setFileName(path), m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text));
    if (!ok)
        *error = QStringLiteral("cannot open the log %1: %2").arg(path, m_file.errorString());
    return ok;
}

void FrameLog::frame(const QString &direction, const QString &text, const QByteArray &bytes)
{
    if (!isOpen())
        return;
    write(direction + u' ' + text + QStringLiteral(" [") + hexBytes(bytes) + u']');
}

void FrameLog::note(const QString &text)
{
    if (!isOpen())
        return;
    write(QStringLiteral("-- ") + text);
}

void FrameLog::write(const QString &line)
{
    const qint64 ms = m_clock ? m_clock() : 0;
    const QString out = QString::asprintf("%6lld.%03lld ", ms / 1000, ms % 1000) + line;
    if (m_sink) {
        m_sink(out);
        return;
    }
    m_file.write(out.toUtf8());
    m_file.write("\n", 1);
    m_file.flush();
}

} // namespace pbxsim
