#pragma once

#include "base/OperatorUi.h"
#include "base/Trace.h"

#include <QCoreApplication>
#include <QList>
#include <QPair>
#include <QStringList>

// Notes every message the core shows; answers Yes/No boxes with a preset answer.
class OperatorUiRecorder : public OperatorUi
{
public:
    struct Shown
    {
        QString text;
        QString title;
        int style = 0;
        bool fixed = false;
        bool asked = false;
    };

    void showMessage(const QString &textKey, const QString &titleKey, int style) override
    {
        (messagesSuppressed() ? suppressed : shown).append({textKey, titleKey, style, false, false});
    }
    void showFixedMessage(const QString &text, const QString &title, int style) override
    {
        (messagesSuppressed() ? suppressed : shown).append({text, title, style, true, false});
    }
    int ask(const QString &textKey, const QString &titleKey, int style) override
    {
        shown.append({textKey, titleKey, style, false, true});
        return (style & 0x0F) == MessageStyle::YesNo ? nextAnswer : 1;
    }
    void refreshCommands() override { ++refreshes; }
    void openWindow(const QString &name) override { opened.append(name); }
    void closeWindow(const QString &name) override { closed.append(name); }

    QStringList texts() const
    {
        QStringList out;
        for (const Shown &s : shown)
            out.append(s.text);
        return out;
    }
    void clear()
    {
        shown.clear();
        opened.clear();
        closed.clear();
        refreshes = 0;
    }

    QList<Shown> shown;
    // What was not shown while the console logged on again by itself.
    QList<Shown> suppressed;
    QStringList opened;
    QStringList closed;
    int refreshes = 0;
    int nextAnswer = 6;
};

// Attaches itself as a trace view while it lives and keeps every posted line.
class TraceRecorder : public QObject
{
public:
    TraceRecorder()
    {
        // Lines posted for an earlier recorder are not this one's.
        QCoreApplication::sendPostedEvents();
        Trace::instance().attachView();
        connect(&Trace::instance(), &Trace::linePosted, this,
                [this](int level, const QString &text) { lines.append({level, text}); });
    }
    ~TraceRecorder() override
    {
        QCoreApplication::sendPostedEvents();
        Trace::instance().detachView();
    }

    // Posted lines arrive through the event loop.
    void flush() { QCoreApplication::sendPostedEvents(); }
    QStringList texts()
    {
        flush();
        QStringList out;
        for (const auto &l : lines)
            out.append(l.second);
        return out;
    }
    bool contains(const QString &text) { return texts().contains(text); }
    void clear()
    {
        flush();
        lines.clear();
    }

    QList<QPair<int, QString>> lines;
};
