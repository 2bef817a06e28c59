#include "FakeTransport.h"
#include "Harness.h"

#include "callstate/CAttendantCalls.h"
#include "callstate/ui/CDLOView.h"
#include "callstate/ui/CQueueFrame.h"
#include "callstate/ui/CQueueView.h"
#include "callstate/ui/CallKeys.h"
#include "callstate/ui/FindBar.h"
#include "callstate/ui/StationCallMenu.h"
#include "callstate/ui/StatusWindowKeys.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace {

// The payloads the PBX received, each DYNBTN request's sequence number
// blanked: two runs that press the same keys compare equal.
QList<QByteArray> sentWithoutSequence(const MiniPbx &pbx)
{
    QList<QByteArray> out;
    for (QByteArray p : pbx.sent) {
        if (p.size() >= 4 && quint8(p.at(0)) == 0x05)
            p[2] = p[3] = 0;
        out.append(p);
    }
    return out;
}

QByteArray dss(int stationIndex)
{
    return QByteArray::fromHex("05020000") + char((stationIndex + 1) >> 8) + char((stationIndex + 1) & 0xFF);
}

// The payload of a key sequence, as the request builder makes it.
QByteArray keys(const char *text)
{
    ManualTimerHost timers;
    FakeTransport transport;
    CLinkPort link(timers);
    link.setLanConnection(&transport);
    CLinkRequest(link).keySequence(QString::fromLatin1(text));
    return transport.payloads().value(0);
}

// The real console logged on to a small PBX, and a station window over its
// table wired to the attendant's calls as the main window wires it.
struct Desk
{
    static constexpr int Found = 9;

    explicit Desk(quint8 ownStatus = Status::STEXT_IDLE)
    {
        h.logOn();
        h.pbx.inject(QByteArray::fromHex("85") + char(ownStatus) + char(0));
        for (quint16 i = 0; i < h.stations.count(); ++i) {
            h.stations.setStatus(i, Status::STEXT_IDLE);
            h.stations.setNumber(i, Nibbles::toNumber16(QString::number(200 + i)));
            h.stations.setName(i, QStringLiteral("EXT%1").arg(i));
        }
        h.stations.setName(Found, QStringLiteral("LOBBY"));
        h.stations.setFullName(13, QStringLiteral("Greta Holm"));
        h.stations.setPresence(20, 0xFF);
        CDLOView::Context c;
        c.stations = &h.stations;
        c.lines = &h.lines;
        c.request = &h.console.request();
        c.ui = &h.ui;
        c.attendantIdle = [this] { return h.console.calls().canMakeCall(); };
        view = new CDLOView(PORT_KIND_EXT, c);
        windowKeys = new StatusWindowKeys(view);
        StationCallMenu::attach(view, h.console.calls(), h.stations);
        view->resize(5 * 76 + 40, 300);
        view->show();
        view->activateWindow();
        h.pbx.sent.clear();
    }
    ~Desk() { delete view; }

    FindBar *bar() const { return windowKeys->findBar(); }
    QLineEdit *edit() const { return bar()->edit(); }
    // Typed into the grid: the first character opens the bar, the rest goes on in it.
    void type(const QString &text)
    {
        QTest::keyClick(view, text.at(0).toLatin1());
        QTest::keyClicks(edit(), text.mid(1));
    }

    Harness h;
    CDLOView *view = nullptr;
    StatusWindowKeys *windowKeys = nullptr;
};

} // namespace

class TestKeys : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void enterCallsTheFoundStation_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("station");
        QTest::newRow("number prefix") << "205" << 5;
        QTest::newRow("name part") << "obb" << Desk::Found;
        QTest::newRow("owner part") << "holm" << 13;
    }
    void enterCallsTheFoundStation()
    {
        QFETCH(QString, typed);
        QFETCH(int, station);
        Desk d;
        d.type(typed);
        QVERIFY(d.bar()->isVisible());
        QCOMPARE(d.edit()->text(), typed);
        QCOMPARE(d.bar()->matchCount(), 1);
        QCOMPARE(d.bar()->currentPort(), station);
        QCOMPARE(d.view->currentButton(), station);
        // The attendant idle, the station idle: a call to it.
        QTest::keyClick(d.edit(), Qt::Key_Return);
        QCOMPARE(sentWithoutSequence(d.h.pbx), QList<QByteArray>{dss(station)});
    }

    void enterSendsWhatADoubleClickSends_data()
    {
        QTest::addColumn<int>("own");
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::addColumn<bool>("menu");
        const QByteArray t = keys("T"), m = keys("M"), star = keys("*");
        QTest::newRow("idle attendant, idle station: call")
            << int(Status::STEXT_IDLE) << int(Status::STEXT_IDLE) << QList<QByteArray>{dss(5)} << false;
        QTest::newRow("idle attendant, busy station: menu")
            << int(Status::STEXT_IDLE) << int(Status::ST_BUSY) << QList<QByteArray>{} << true;
        QTest::newRow("in a call, idle station: transfer")
            << int(Status::STEXT_ICM) << int(Status::STEXT_IDLE) << QList<QByteArray>{t, dss(5), m} << false;
        QTest::newRow("in a call, station in DND: transfer")
            << int(Status::STEXT_ICM) << int(Status::STEXT_IDLE_WITH_DND) << QList<QByteArray>{t, dss(5), star, m}
            << false;
        QTest::newRow("in a call, busy station: dial and complete")
            << int(Status::STEXT_COL) << int(Status::ST_BUSY) << QList<QByteArray>{t, dss(5), m} << false;
    }
    void enterSendsWhatADoubleClickSends()
    {
        QFETCH(int, own);
        QFETCH(int, status);
        QFETCH(QList<QByteArray>, expected);
        QFETCH(bool, menu);
        QList<QByteArray> byMouse;
        {
            Desk d{quint8(own)};
            d.h.stations.setStatus(5, quint8(status));
            // What the window system delivers for a double click.
            const QPoint at = d.view->buttonRect(5).center();
            QTest::mousePress(d.view->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(d.view->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(d.view->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(d.view->viewport(), Qt::LeftButton, {}, at);
            byMouse = sentWithoutSequence(d.h.pbx);
        }
        QCOMPARE(byMouse, expected);
        Desk d{quint8(own)};
        d.h.stations.setStatus(5, quint8(status));
        d.type(QStringLiteral("205"));
        QTest::keyClick(d.edit(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(sentWithoutSequence(d.h.pbx), expected);
        // A menu the press asks for, and nothing acted on, opens at the button.
        auto *popup = d.view->findChild<StationCallMenu *>();
        QCOMPARE(popup != nullptr && popup->isVisible(), menu);
    }

    void arrowsCallKeysAndEscapeInTheBar()
    {
        Desk d;
        d.type(QStringLiteral("2"));
        // Every station's number starts with 2; the absent one is not offered.
        QCOMPARE(d.bar()->matchCount(), d.h.stations.count() - 1);
        QCOMPARE(d.bar()->currentPort(), 0);
        QTest::keyClick(d.edit(), Qt::Key_Down);
        QTest::keyClick(d.edit(), Qt::Key_Down);
        QTest::keyClick(d.edit(), Qt::Key_Up);
        QCOMPARE(d.bar()->currentPort(), 1);
        QCOMPARE(d.view->currentButton(), 1);
        QTest::keyClick(d.edit(), Qt::Key_Up);
        QTest::keyClick(d.edit(), Qt::Key_Up);
        QCOMPARE(d.bar()->currentPort(), 0);
        QTest::keyClick(d.edit(), Qt::Key_Down);
        // Call back on the current match: the station, then "K".
        QTest::keyClick(d.edit(), Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(sentWithoutSequence(d.h.pbx), QList<QByteArray>({dss(1), keys("K")}));
        // The typing stays in the line; Ctrl+F again keeps it, ready to be typed over.
        QCOMPARE(d.edit()->text(), QStringLiteral("2"));
        d.windowKeys->openFind();
        QCOMPARE(d.edit()->selectedText(), QStringLiteral("2"));
        QCOMPARE(d.bar()->currentPort(), 1);
        // The grid ends above the bar, and the mark is scrolled into what is left of it.
        const int gridBottom = d.view->viewport()->geometry().bottom();
        QVERIFY(gridBottom < d.bar()->geometry().top());
        d.type(QStringLiteral("247"));
        QCOMPARE(d.bar()->currentPort(), 47);
        QVERIFY(d.view->viewport()->rect().contains(d.view->buttonRect(47)));
        QTest::keyClick(d.edit(), Qt::Key_Escape);
        d.type(QStringLiteral("2"));
        QTest::keyClick(d.edit(), Qt::Key_Down);
        // Esc closes the bar and gives the grid its room back; the mark stays on the last match.
        QTest::keyClick(d.edit(), Qt::Key_Escape);
        QVERIFY(!d.bar()->isVisible());
        QVERIFY(d.view->viewport()->geometry().bottom() > gridBottom);
        QCOMPARE(d.view->currentButton(), 1);
        // Nothing found: Enter sends nothing.
        d.h.pbx.sent.clear();
        d.type(QStringLiteral("q"));
        QCOMPARE(d.bar()->matchCount(), 0);
        QTest::keyClick(d.edit(), Qt::Key_Return);
        QVERIFY(d.h.pbx.sent.isEmpty());
    }

    void gridKeysMoveTheMarkOverPresentButtons()
    {
        Desk d;
        const StatusGrid &grid = d.view->grid();
        const int columns = grid.columns();
        QVERIFY(columns >= 2);
        QTest::keyClick(d.view, Qt::Key_Right);
        QCOMPARE(d.view->currentButton(), 0);
        QTest::keyClick(d.view, Qt::Key_Down);
        QCOMPARE(d.view->currentButton(), columns);
        d.view->setCurrentButton(19);
        // Station 20 is absent: it has no button to stop on.
        QTest::keyClick(d.view, Qt::Key_Right);
        QCOMPARE(d.view->currentButton(), 21);
        QTest::keyClick(d.view, Qt::Key_Left);
        QCOMPARE(d.view->currentButton(), 19);
        QTest::keyClick(d.view, Qt::Key_End);
        QCOMPARE(d.view->currentButton(), d.h.stations.count() - 1);
        // The mark is scrolled into view.
        QVERIFY(d.view->viewport()->rect().contains(d.view->buttonRect(d.view->currentButton())));
        QTest::keyClick(d.view, Qt::Key_Home);
        QCOMPARE(d.view->currentButton(), 0);
        QTest::keyClick(d.view, Qt::Key_Up);
        QCOMPARE(d.view->currentButton(), 0);
        // Intrusion on the marked station: the station, then the intrusion button.
        d.view->setCurrentButton(3);
        QTest::keyClick(d.view, Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(d.h.pbx.sent.size(), 2);
        QCOMPARE(sentWithoutSequence(d.h.pbx).first(), dss(3));
        // Enter on the mark calls it.
        d.h.pbx.sent.clear();
        QTest::keyClick(d.view, Qt::Key_Return);
        QCOMPARE(sentWithoutSequence(d.h.pbx), QList<QByteArray>{dss(3)});
    }

    void queueKeys()
    {
        Desk d;
        CQueueView::Context c;
        c.stations = &d.h.stations;
        c.lines = &d.h.lines;
        c.request = &d.h.console.request();
        c.clock = &d.h.clock;
        c.callerInfoEnabled = [] { return false; };
        c.attendantInCall = [] { return false; };
        auto *view = new CQueueView(c);
        CQueueFrame frame(view, d.h.ui, [] { return true; });
        frame.resize(400, 200);
        frame.show();
        for (quint16 line : {1, 2, 3})
            d.h.lines.setStatus(line, Status::ST_RING);
        auto post = [view](int type, quint16 index) {
            CQueueEvent e;
            e.type = type;
            e.index = index;
            e.add = true;
            view->post(e);
        };
        post(QueueType::QLTN_TRK_HOLD, 1);
        post(QueueType::QLTN_TRK_INCOMING, 2);
        post(QueueType::QLTN_TRK_XFER, 3);
        QCOMPARE(view->topLevelItemCount(), 3);
        d.h.pbx.sent.clear();
        // The oldest ringing call, past the held line.
        QVERIFY(frame.answerOldest());
        QCOMPARE(d.h.pbx.sent.size(), 1);
        QCOMPARE(sentWithoutSequence(d.h.pbx).first(), QByteArray::fromHex("050300000003"));
        // Enter answers the selected row.
        frame.focusList();
        QCOMPARE(view->currentItem(), view->topLevelItem(0));
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(d.h.pbx.sent.size(), 2);
        QCOMPARE(sentWithoutSequence(d.h.pbx).last(), QByteArray::fromHex("050300000004"));
        // Only held lines left waiting: nothing to answer.
        post(QueueType::QLTN_TRK_HOLD, 2);
        post(QueueType::QLTN_TRK_HOLD, 3);
        QVERIFY(!frame.answerOldest());
        QCOMPARE(d.h.pbx.sent.size(), 2);
    }
};

QTEST_MAIN(TestKeys)
#include "tst_Keys.moc"
