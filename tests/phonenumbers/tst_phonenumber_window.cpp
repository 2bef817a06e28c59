#include "ManualClock.h"
#include "Recorders.h"

#include "directories/DirectoryFiles.h"
#include "directories/PhoneNoDirectory.h"
#include "directories/ui/CPhoneNoView.h"
#include "directories/ui/PhoneNoEditDialog.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

// The phone-number window driven offscreen: search row, edit dialog, calling.
class TestPhoneNumberWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ManualClock m_clock;
    OperatorUiRecorder m_ui;
    std::unique_ptr<DirectoryFiles> m_files;
    bool m_canCall = true;
    QStringList m_sent;

    std::unique_ptr<CPhoneNoView> makeView()
    {
        CPhoneNoView::Context context;
        context.ui = &m_ui;
        context.canCall = [this] { return m_canCall; };
        context.sendDigits = [this](const QString &digits) {
            m_sent << digits;
            return true;
        };
        auto view = std::make_unique<CPhoneNoView>(m_files->phoneNumbers(), context);
        view->load();
        return view;
    }
    void selectRow(CPhoneNoView &view, int row)
    {
        view.list()->setCurrentItem(view.list()->topLevelItem(row));
    }

private Q_SLOTS:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        m_files = std::make_unique<DirectoryFiles>(m_ui, m_clock);
        m_files->open(m_dir.path());
        PhoneNoDirectory &d = *m_files->phoneNumbers();
        QVERIFY(d.addEntry({-1, QStringLiteral("Dentist"), QStringLiteral("+49 (30) 123-45"), {}}, m_ui));
        QVERIFY(d.addEntry({-1, QStringLiteral("Garage"), QStringLiteral("555 01"), QStringLiteral("tyres")}, m_ui));
        m_ui.clear();
        m_sent.clear();
        m_canCall = true;
    }
    void cleanup() { m_files.reset(); }

    void typingSearchesAndAnotherFieldEmptiesTheKeyword()
    {
        auto view = makeView();
        QCOMPARE(view->list()->topLevelItemCount(), 2);
        QTest::keyClicks(view->keyword(), QStringLiteral("ara"));
        QCOMPARE(view->list()->topLevelItemCount(), 1);
        QCOMPARE(view->list()->topLevelItem(0)->text(0), QStringLiteral("Garage"));
        view->searchField()->setCurrentIndex(CPhoneNoDoc::SearchMemo);
        QCOMPARE(view->keyword()->text(), QString());
        QCOMPARE(view->list()->topLevelItemCount(), 2);
        QTest::keyClicks(view->keyword(), QStringLiteral("tyre"));
        QCOMPARE(view->document().filterText(), QStringLiteral("Memo Like '*tyre*'"));
        QCOMPARE(view->list()->topLevelItemCount(), 1);
    }

    void callDialsTheDigitsAfterTheDialog()
    {
        auto view = makeView();
        QVERIFY(!view->call());
        QCOMPARE(m_ui.texts(), QStringList{QStringLiteral("#:pne_name_must_be_selected_b4_call")});
        selectRow(*view, 0);
        QDialog *dialog = view->call();
        QVERIFY(dialog);
        QVERIFY(m_sent.isEmpty());
        dialog->accept();
        QCOMPARE(m_sent, QStringList{QStringLiteral("493012345")});

        m_canCall = false;
        selectRow(*view, 1);
        QVERIFY(!view->call());
        QCOMPARE(m_ui.texts().last(), QStringLiteral("#:cannot_exe_call_op"));
        QCOMPARE(m_sent.size(), 1);
    }

    void viewDialogCallsAtOnceWhileLoggedOn()
    {
        auto view = makeView();
        selectRow(*view, 1);
        QDialog *dialog = view->openViewDialog();
        auto *call = dialog->findChild<QPushButton *>(QStringLiteral("pn_call"));
        QVERIFY(!call->isEnabled());
        dialog->reject();
        view->document().setLoggedOn(true);
        selectRow(*view, 1);
        dialog = view->openViewDialog();
        call = dialog->findChild<QPushButton *>(QStringLiteral("pn_call"));
        QVERIFY(call->isEnabled());
        call->click();
        QCOMPARE(m_sent, QStringList{QStringLiteral("55501")});
    }

    void editDialogWritesAndTheListFollows()
    {
        auto view = makeView();
        selectRow(*view, 1);
        auto *dialog = qobject_cast<PhoneNoEditDialog *>(view->edit());
        QVERIFY(dialog);
        QCOMPARE(dialog->nameEdit()->text(), QStringLiteral("Garage"));
        dialog->phoneNoEdit()->setText(QStringLiteral("777"));
        dialog->button(QStringLiteral("#:pn_modify"))->click();
        QCOMPARE(view->list()->topLevelItem(1)->text(1), QStringLiteral("777"));
        dialog->nameEdit()->setText(QStringLiteral("Bakery"));
        dialog->button(QStringLiteral("#:pn_modify"))->click(); // no renaming
        QCOMPARE(view->list()->topLevelItem(1)->text(0), QStringLiteral("Garage"));
        dialog->button(QStringLiteral("#:pn_add"))->click();
        QCOMPARE(view->list()->topLevelItemCount(), 3);
        dialog->button(QStringLiteral("#:pn_clear"))->click();
        QCOMPARE(dialog->nameEdit()->text(), QString());
    }
};

QTEST_MAIN(TestPhoneNumberWindow)
#include "tst_phonenumber_window.moc"
