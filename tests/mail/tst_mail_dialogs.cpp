#include "FakeSmtpServer.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "mail/MailJob.h"
#include "mail/MailSettings.h"
#include "mail/ui/MailDialog.h"
#include "mail/ui/MailServerDialog.h"
#include "base/MessageCatalogue.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

template <typename T> T *child(QWidget *dialog, const char *name)
{
    return dialog->findChild<T *>(QString::fromLatin1(name));
}

void click(QWidget *dialog, const char *name)
{
    auto *button = child<QPushButton>(dialog, name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

void setText(QWidget *dialog, const char *name, const QString &text)
{
    auto *edit = child<QLineEdit>(dialog, name);
    QVERIFY2(edit, name);
    edit->setText(text);
}

MailServerDialog *shownServerDialog()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *d = qobject_cast<MailServerDialog *>(w); d && d->isVisible())
            return d;
    }
    return nullptr;
}

} // namespace

class TestMailDialogs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ManualTimerHost> m_timers;
    std::unique_ptr<OperatorUiRecorder> m_ui;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<MailJob> m_job;
    QList<int> m_lookedUp;

    StationMailLookup lookup(StationMailAddress answer)
    {
        return [this, answer](int port) {
            m_lookedUp.append(port);
            return answer;
        };
    }

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::resetProcessStateForTests();
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
    }

    void init()
    {
        QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).clear();
        m_timers = std::make_unique<ManualTimerHost>();
        m_ui = std::make_unique<OperatorUiRecorder>();
        m_clock = std::make_unique<ManualClock>();
        m_job = std::make_unique<MailJob>(*m_timers, *m_ui, *m_clock);
        m_lookedUp.clear();
    }

    void cleanup()
    {
        m_job.reset();
        for (QWidget *w : QApplication::topLevelWidgets())
            delete w;
    }

    // OK stores first and checks then; only two good fields close the dialog.
    void serverDialogChecks()
    {
        MailSettings{QStringLiteral("old.test"), QStringLiteral("old@x.test")}.store();
        MailServerDialog dialog(*m_ui);
        QCOMPARE(child<QLineEdit>(&dialog, "server")->text(), QStringLiteral("old.test"));
        QCOMPARE(child<QLineEdit>(&dialog, "email")->text(), QStringLiteral("old@x.test"));
        const MessageCatalogue catalogue;
        QCOMPARE(dialog.windowTitle(), catalogue.text(QStringLiteral("#:server_input_dialog_title")));
        QVERIFY(child<QLabel>(&dialog, "information")->text().endsWith(
            catalogue.text(QStringLiteral("#:server_information3"))));
        dialog.open();

        setText(&dialog, "server", QStringLiteral("mail.test"));
        setText(&dialog, "email", QStringLiteral("desk"));
        click(&dialog, "ok");
        QCOMPARE(m_ui->texts(), QStringList{QStringLiteral("#:Ask_Valid_information_needs_msg")});
        QCOMPARE(m_ui->shown[0].title, QStringLiteral("#:Ask_Correct_msg_title"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(MailSettings::load().sender, QStringLiteral("desk"));

        setText(&dialog, "server", QString());
        setText(&dialog, "email", QStringLiteral("desk@x.test"));
        click(&dialog, "ok");
        QCOMPARE(m_ui->texts().last(), QStringLiteral("#:Ask_Correct_information_needs_msg"));
        QVERIFY(dialog.isVisible());

        setText(&dialog, "server", QStringLiteral("mail.test"));
        click(&dialog, "ok");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(m_ui->shown.size(), 2);
        QCOMPARE(MailSettings::load().server, QStringLiteral("mail.test"));
        QCOMPARE(MailSettings::load().sender, QStringLiteral("desk@x.test"));
    }

    // A log-off ends the dialog as if OK were pressed, without the check's box.
    void serverDialogEndedByLogOff()
    {
        MailServerDialog dialog(*m_ui);
        dialog.open();
        setText(&dialog, "server", QStringLiteral("mail.test"));
        QCOMPARE(m_ui->dialogs().endAll(), 1);
        QVERIFY(!dialog.isVisible());
        QVERIFY(m_ui->shown.isEmpty());
        QCOMPARE(MailSettings::load().server, QStringLiteral("mail.test"));
    }

    void recipientFromStation()
    {
        MailSettings{QStringLiteral("mail.test"), QStringLiteral("desk@x.test")}.store();
        auto *dialog = new MailDialog(*m_job, *m_ui, 7, lookup({QStringLiteral("anna@x.test"), {}}));
        dialog->start();
        QCOMPARE(m_lookedUp, QList<int>{7});
        QVERIFY(dialog->isVisible());
        QVERIFY(!shownServerDialog());
        QCOMPARE(child<QLineEdit>(dialog, "to")->text(), QStringLiteral("anna@x.test"));
        QCOMPARE(dialog->windowTitle(), MessageCatalogue().text(QStringLiteral("#:send_mail_title")));
        QVERIFY(m_ui->shown.isEmpty());
    }

    void stationDirectoryFails()
    {
        MailSettings{QStringLiteral("mail.test"), QStringLiteral("desk@x.test")}.store();
        auto *dialog = new MailDialog(*m_job, *m_ui, 3, lookup({{}, QStringLiteral("#:cannot_open_sta_database")}));
        dialog->start();
        QCOMPARE(m_ui->texts(), QStringList{QStringLiteral("#:cannot_open_sta_database")});
        QCOMPARE(m_ui->shown[0].title, QStringLiteral("#:database_error"));
        QVERIFY(child<QLineEdit>(dialog, "to")->text().isEmpty());
    }

    // Without a server the mail-server dialog comes first.
    void serverDialogFirst_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("cancelled: no mail dialog") << false;
        QTest::newRow("set: then the mail dialog") << true;
    }
    void serverDialogFirst()
    {
        QFETCH(bool, ok);
        QPointer<MailDialog> dialog = new MailDialog(*m_job, *m_ui, std::nullopt, {});
        dialog->start();
        QVERIFY(!dialog->isVisible());
        MailServerDialog *server = shownServerDialog();
        QVERIFY(server);
        if (ok) {
            setText(server, "server", QStringLiteral("mail.test"));
            setText(server, "email", QStringLiteral("desk@x.test"));
            click(server, "ok");
            QVERIFY(dialog && dialog->isVisible());
        } else {
            click(server, "cancel");
            QTRY_VERIFY(!dialog);
        }
        QVERIFY(!shownServerDialog());
    }

    void sendNeedsAt()
    {
        MailSettings{QStringLiteral("mail.test"), QStringLiteral("desk@x.test")}.store();
        auto *dialog = new MailDialog(*m_job, *m_ui, std::nullopt, {});
        dialog->start();
        setText(dialog, "to", QStringLiteral("anna"));
        click(dialog, "send");
        QCOMPARE(m_ui->texts(), QStringList{QStringLiteral("#:Ask_Valid_information_needs_msg")});
        QCOMPARE(m_ui->shown[0].style, MessageStyle::Exclamation);
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_job->pendingCount(), 0);
    }

    // Send hands the mail to the job, which delivers it, and the dialog closes.
    void sendDelivers()
    {
        FakeSmtpServer server;
        m_job->setPort(server.port());
        MailSettings{QStringLiteral("127.0.0.1"), QStringLiteral("desk@x.test")}.store();
        QPointer<MailDialog> dialog = new MailDialog(*m_job, *m_ui, 2, lookup({QStringLiteral("Bo <bo@x.test>"), {}}));
        dialog->start();
        setText(dialog, "subject", QStringLiteral("Parcel"));
        child<QPlainTextEdit>(dialog, "message")->setPlainText(QStringLiteral("At the desk.\n."));
        QSignalSpy ended(m_job.get(), &MailJob::mailEnded);
        click(dialog, "send");
        QTRY_VERIFY(!dialog);
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 5000);
        QCOMPARE(m_ui->texts(), QStringList{MessageCatalogue().text(QStringLiteral("#:Success_information_msg"))});
        QVERIFY(server.received.contains("MAIL From: <desk@x.test>\r\nRCPT TO: <bo@x.test>\r\n"));
        QVERIFY(server.received.contains("To: Bo <bo@x.test>\r\nSubject: Parcel\r\n"));
        QVERIFY(server.received.contains("\r\n\r\nAt the desk.\r\n..\r\n\r\n.\r\n"));
    }

    // A log-off ends the mail dialog without sending.
    void logOffDoesNotSend()
    {
        MailSettings{QStringLiteral("mail.test"), QStringLiteral("desk@x.test")}.store();
        QPointer<MailDialog> dialog = new MailDialog(*m_job, *m_ui, std::nullopt, {});
        dialog->start();
        setText(dialog, "to", QStringLiteral("a@x.test"));
        QCOMPARE(m_ui->dialogs().endAll(), 1);
        QTRY_VERIFY(!dialog);
        QCOMPARE(m_job->pendingCount(), 0);
    }
};

QTEST_MAIN(TestMailDialogs)
#include "tst_mail_dialogs.moc"
