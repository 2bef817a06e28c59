#include "Trace.h"

#include <QMetaObject>

std::atomic<int> Trace::s_views{0};

Trace &Trace::instance()
{
    static Trace *trace = new Trace;
    return *trace;
}

TraceSwitches &Trace::switches()
{
    static TraceSwitches sw;
    return sw;
}

void Trace::attachView()
{
    ++s_views;
}

void Trace::detachView()
{
    if (s_views.load() > 0)
        --s_views;
}

void Trace::write(int level, const QString &text)
{
    if (!enabled())
        return;
    QMetaObject::invokeMethod(
        this, [this, level, text] { Q_EMIT linePosted(level, text); }, Qt::QueuedConnection);
}

QString Trace::tag(int level)
{
    switch (level) {
    case 0:
        return QStringLiteral("..D");
    case 1:
        return QStringLiteral("S..");
    case 2:
        return QStringLiteral(".R.");
    case 3:
        return QStringLiteral("..T");
    case 4:
        return QStringLiteral(".P.");
    case 5:
        return QStringLiteral("S..");
    default:
        return QStringLiteral("   ");
    }
}

bool Trace::isShown(int level, const TraceSwitches &sw)
{
    if (level == 4)
        return sw.pktuCommand;
    if (level == 5)
        return sw.pktuEvent;
    return true;
}

QString Trace::formatLine(int level, const QString &text, qint64 secondsSinceEpoch)
{
    return QString::asprintf("%4ld[%s]", long(secondsSinceEpoch % 10000), qPrintable(tag(level))) + text
        + QStringLiteral("\r\n");
}

QString Trace::hexBytes(const char *data, int length)
{
    static const char digits[] = "0123456789abcdef";
    QString out;
    out.reserve(length * 3);
    for (int i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        out += QLatin1Char(digits[b >> 4]);
        out += QLatin1Char(digits[b & 15]);
        out += QLatin1Char('.');
    }
    return out;
}
