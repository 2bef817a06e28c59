#pragma once

#include <QObject>
#include <QString>

#include <atomic>

// The six diagnostic switches of the options page; all off at start.
struct TraceSwitches
{
    bool stationState = false; // "station state view"
    bool coState = false;      // "CO state view"
    bool pktuCommand = false;  // "PKTU Command view": level 4 lines are shown
    bool pktuEvent = false;    // "PKTU Event view": level 5 lines are shown
    bool rxAll = false;        // "All Zemra1 Rx Packet"
    bool txAll = false;        // "All Zemra1 Tx Packet"

    void clearAll() { *this = TraceSwitches(); }
};

// Writing side of the trace. A line is formatted and posted only while at
// least one trace view is attached; it reaches the views on the trace's own
// (user-interface) thread through a queued signal, in posting order.
class Trace : public QObject
{
    Q_OBJECT
public:
    static Trace &instance();
    static bool enabled() { return s_views.load(std::memory_order_relaxed) > 0; }
    static TraceSwitches &switches();

    // A trace window (or a test) attaches itself while it is open.
    void attachView();
    void detachView();
    int viewCount() const { return s_views.load(); }

    // Posts the line; usable from any thread. Does nothing while no view is attached.
    void write(int level, const QString &text);

    // "..D", "S..", ".R.", "..T", ".P.", "S..", or three blanks.
    static QString tag(int level);
    // Level 4 and 5 lines depend on the key-telephone switches.
    static bool isShown(int level, const TraceSwitches &sw);
    // "%4ld[%s]" with seconds since 1970 modulo 10000, the tag, the text and CR LF.
    static QString formatLine(int level, const QString &text, qint64 secondsSinceEpoch);
    // "%02x." for each byte.
    static QString hexBytes(const char *data, int length);

Q_SIGNALS:
    void linePosted(int level, const QString &text);

private:
    Trace() = default;
    static std::atomic<int> s_views;
};

#define ZTRACE(level, ...)                                                                   \
    do {                                                                                     \
        if (Trace::enabled())                                                                \
            Trace::instance().write((level), QString::asprintf(__VA_ARGS__));               \
    } while (0)
