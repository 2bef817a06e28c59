#pragma once

#include <QPlainTextEdit>

class Clock;

// A trace window's text: every trace line is appended at its end while the
// view lives (it attaches itself to the trace). The text keeps at most 32768
// characters: past that its oldest 4096 go. Line ends count as one character.
class TraceView : public QPlainTextEdit
{
    Q_OBJECT
public:
    static constexpr int MaxLength = 0x8000;
    static constexpr int TrimLength = 4096;
    static constexpr int CaretBack = 8192;

    explicit TraceView(const Clock &clock, QWidget *parent = nullptr);
    ~TraceView() override;

    // A line of a level, dropped when its key-telephone switch is off.
    void addLine(int level, const QString &text);
    // The length of the text in characters.
    int length() const;
    // Takes the trace kind's shared font.
    void applyFont();

private:
    const Clock &m_clock;
};
