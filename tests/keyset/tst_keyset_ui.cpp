#include "FakeTransport.h"
#include "ManualTimerHost.h"

#include "base/OpenDialogRegistry.h"
#include "keyset/KeyTelephone.h"
#include "keyset/ui/KeyTelephoneWindow.h"
#include "keyset/ui/LampKeyButton.h"
#include "keyset/ui/SmallKeyPadDialog.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"

#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

} // namespace

class TestKeysetUi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_timers = std::make_unique<ManualTimerHost>();
        m_link = std::make_unique<CLinkPort>(*m_timers);
        m_lan = std::make_unique<FakeTransport>();
        m_link->setLanConnection(m_lan.get());
        m_request = std::make_unique<CLinkRequest>(*m_link);
        m_phone = std::make_unique<KeyTelephone>(*m_request, *m_timers);
    }

    void cleanup()
    {
        m_phone.reset();
        m_request.reset();
        m_link.reset();
        m_lan.reset();
        m_timers.reset();
    }

    void openingWindowTakesLampsFromTheTable()
    {
        m_phone->displayCommand(0x24, 0x3F, 0xFF); // lamp 20, flexible key 20, green pattern 3
        KeyTelephoneWindow window(*m_phone);
        LampKeyButton *key = window.keyOfLamp(20);
        QCOMPARE(key, window.flexibleKeys()[19]);
        QCOMPARE(key->lamp().colour(), 3);
        QCOMPARE(key->lamp().pattern(), 3);
        // Lamps 25 to 33 go to the function keys: 33 is hold.
        m_phone->displayCommand(0x08, 0xFF, 0xF1);
        QCOMPARE(window.functionKeys()[10]->lamp().colour(), 2);
        QCOMPARE(window.functionKeys()[10]->lamp().pattern(), 1);
        QCOMPARE(window.keyOfLamp(34), nullptr);
        m_phone->ownStationKnown();
        QCOMPARE(key->lamp().pattern(), 0);
    }

    void keysSendAsTheMouseSays()
    {
        KeyTelephoneWindow window(*m_phone);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        LampKeyButton *five = window.dialKeys()[4];
        QTest::mousePress(five, Qt::LeftButton);
        QVERIFY(five->isDown());
        QCOMPARE(m_lan->payloads().size(), 0);
        QTest::mouseRelease(five, Qt::LeftButton);
        QCOMPARE(m_lan->payloads(), QList<QByteArray>{bytes({0x80, 0x94})});
        m_lan->frames.clear();

        LampKeyButton *hold = window.functionKeys()[10];
        // A double click as the window system delivers it: press, release, double click, release.
        QTest::mouseClick(hold, Qt::LeftButton);
        QTest::mouseDClick(hold, Qt::LeftButton);
        QTest::mouseRelease(hold, Qt::LeftButton);
        QCOMPARE(m_lan->payloads(), (QList<QByteArray>{bytes({0x80, 0x6C}), bytes({0x80, 0x6C})}));
        m_lan->frames.clear();

        LampKeyButton *btn1 = window.flexibleKeys()[0];
        QCOMPARE(btn1->text(), QStringLiteral("Btn 1"));
        QTest::mousePress(btn1, Qt::LeftButton);
        QCOMPARE(m_lan->payloads(), QList<QByteArray>{bytes({0x80, 0x20})});
        QTest::mouseRelease(btn1, Qt::LeftButton);
        QCOMPARE(m_lan->payloads().size(), 1);
    }

    void smallKeyPadByKeyboard()
    {
        OpenDialogRegistry dialogs;
        SmallKeyPadDialog pad(*m_phone, dialogs);
        pad.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pad));
        QTest::keyPress(&pad, Qt::Key_5);
        QVERIFY(pad.button(SmallKeyPad::digit(5))->isDown());
        QTest::keyRelease(&pad, Qt::Key_5);
        QVERIFY(!pad.button(SmallKeyPad::digit(5))->isDown());
        QTest::keyClick(&pad, Qt::Key_Slash, Qt::KeypadModifier);
        QCOMPARE(pad.dialled(), QStringLiteral("5#"));
        QTest::mouseClick(pad.button(SmallKeyPad::Button::Hold), Qt::LeftButton);
        QCOMPARE(pad.dialled(), QString());
        QCOMPARE(m_lan->payloads(),
                 (QList<QByteArray>{bytes({0x81, 1, 0x94}), bytes({0x81, 1, 0x9B}), bytes({0x81, 1, 0x6C})}));
        QTest::keyClick(&pad, Qt::Key_Return);
        QCOMPARE(pad.result(), int(QDialog::Accepted));
        QVERIFY(!pad.isVisible());
    }

private:
    std::unique_ptr<ManualTimerHost> m_timers;
    std::unique_ptr<CLinkPort> m_link;
    std::unique_ptr<FakeTransport> m_lan;
    std::unique_ptr<CLinkRequest> m_request;
    std::unique_ptr<KeyTelephone> m_phone;
};

QTEST_MAIN(TestKeysetUi)
#include "tst_keyset_ui.moc"
