#include "console/ui/TraceView.h"

#include "base/Clock.h"
#include "base/Trace.h"
#include "base/WindowKindSettings.h"
#include "base/ui/Translate.h"

#include <QTextCursor>

TraceView::TraceView(const Clock &clock, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_clock(clock)
{
    setObjectName(QStringLiteral("traceView"));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    applyFont();
    Trace::instance().attachView();
    connect(&Trace::instance(), &Trace::linePosted, this, &TraceView::addLine);
}

TraceView::~TraceView()
{
    Trace::instance().detachView();
}

void TraceView::applyFont()
{
    setFont(toQFont(CWindowKindSettings::traceFrame().titleFont()));
}

int TraceView::length() const
{
    // The document ends in a paragraph separator of its own.
    return document()->characterCount() - 1;
}

void TraceView::addLine(int level, const QString &text)
{
    if (!Trace::isShown(level, Trace::switches()))
        return;
    QString line = Trace::formatLine(level, text, m_clock.now().toSecsSinceEpoch());
    // The document keeps a line end as one paragraph separator.
    if (line.endsWith(QLatin1String("\r\n")))
        line.chop(2);
    line += QLatin1Char('\n');
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(line);
    const int oldEnd = length();
    if (oldEnd > MaxLength) {
        cursor.setPosition(0);
        cursor.setPosition(TrimLength, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        cursor.setPosition(std::max(0, oldEnd - CaretBack));
    } else {
        cursor.movePosition(QTextCursor::End);
    }
    setTextCursor(cursor);
}
