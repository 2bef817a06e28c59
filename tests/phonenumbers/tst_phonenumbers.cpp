#include "ManualClock.h"
#include "Recorders.h"

#include "base/MessageCatalogue.h"
#include "directories/CPhoneNoDoc.h"
#include "directories/DirectoryFiles.h"
#include "directories/PhoneNoDirectory.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
QString text(const char *key)
{
    return MessageCatalogue().text(QString::fromLatin1(key));
}
} // namespace

// The phone-number directory: unique names, no renaming, search and paging.
class TestPhoneNumbers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ManualClock m_clock;
    OperatorUiRecorder m_ui;
    std::unique_ptr<DirectoryFiles> m_files;

    PhoneNoDirectory &directory() { return *m_files->phoneNumbers(); }
    void add(const QString &name, const QString &number = QString(), const QString &memo = QString())
    {
        QVERIFY(directory().addEntry({-1, name, number, memo}, m_ui));
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).removeRecursively();
        m_files = std::make_unique<DirectoryFiles>(m_ui, m_clock);
        m_files->open(m_dir.path());
        QVERIFY(m_files->phoneNumbers());
        m_ui.clear();
    }
    void cleanup() { m_files.reset(); }

    void entriesSurviveARestart()
    {
        add(QStringLiteral("Dentist"), QStringLiteral("0301234"));
        m_files = std::make_unique<DirectoryFiles>(m_ui, m_clock);
        m_files->open(m_dir.path());
        const auto found = directory().findByName(QStringLiteral("Dentist"));
        QVERIFY(found);
        QCOMPARE(found->phoneNo, QStringLiteral("0301234"));
    }

    void addRefusesAnExistingNameAndAnEmptyOne()
    {
        add(QStringLiteral("  Dentist "), QStringLiteral("1"));
        QCOMPARE(m_ui.shown.last().style, MessageStyle::Information);
        QCOMPARE(m_ui.shown.last().text,
                 text("#:pni_new_record_added") + QStringLiteral(" (") + text("#:pni_name") + QStringLiteral(" : Dentist)"));
        m_ui.clear();
        // Another number, other case, blanks around it: still the same name.
        QVERIFY(!directory().addEntry({-1, QStringLiteral("dentist "), QStringLiteral("2"), {}}, m_ui));
        QCOMPARE(m_ui.shown.size(), 1);
        QCOMPARE(m_ui.shown[0].text,
                 text("#:pni_name") + QStringLiteral(" dentist : ") + text("#:pne_record_already exists"));
        QCOMPARE(m_ui.shown[0].style, MessageStyle::Stop);
        QVERIFY(!directory().addEntry({-1, QStringLiteral("   "), QStringLiteral("2"), {}}, m_ui));
        QCOMPARE(m_ui.shown.last().text, QStringLiteral("#:pne_name_must_be_entered"));
        auto set = directory().newRecordset();
        QVERIFY(set->open());
        QCOMPARE(set->count(), 1);
    }

    void namesWithQuotesAndWildcardsAreTheirOwnNames()
    {
        add(QStringLiteral("O'Neill"), QStringLiteral("11"));
        add(QStringLiteral("A*"), QStringLiteral("12"));
        // Neither a quote nor a wildcard makes another name look taken.
        add(QStringLiteral("Ab"), QStringLiteral("13"));
        add(QStringLiteral("O''Neill"), QStringLiteral("14"));
        QVERIFY(!directory().addEntry({-1, QStringLiteral("O'Neill"), QStringLiteral("15"), {}}, m_ui));
        QCOMPARE(directory().findByName(QStringLiteral("O'Neill"))->phoneNo, QStringLiteral("11"));
        QCOMPARE(directory().findByName(QStringLiteral("A*"))->phoneNo, QStringLiteral("12"));
    }

    void modifyKeepsTheNameAndDeleteRemoves()
    {
        add(QStringLiteral("O'Neill"), QStringLiteral("11"));
        const PhoneNoEntry loaded = *directory().findByName(QStringLiteral("O'Neill"));
        m_ui.clear();
        QVERIFY(!directory().modifyEntry({loaded.index, QStringLiteral("Neill"), QStringLiteral("99"), {}}, loaded, m_ui));
        QVERIFY(m_ui.shown.last().text.endsWith(QStringLiteral("\n\n") + text("#:pni_original_name")
                                                 + QStringLiteral(" : O'Neill")));
        QCOMPARE(directory().findByName(QStringLiteral("O'Neill"))->phoneNo, QStringLiteral("11"));
        QVERIFY(!directory().findByName(QStringLiteral("Neill")));

        QVERIFY(directory().modifyEntry({loaded.index, QStringLiteral("O'Neill "), QStringLiteral(" 99 "),
                                         QStringLiteral("memo")},
                                        loaded, m_ui));
        const PhoneNoEntry stored = *directory().findByName(QStringLiteral("O'Neill"));
        QCOMPARE(stored.phoneNo, QStringLiteral("99"));
        QCOMPARE(stored.memo, QStringLiteral("memo"));

        QVERIFY(directory().deleteEntry(stored, m_ui));
        QVERIFY(!directory().findByName(QStringLiteral("O'Neill")));
        QVERIFY(!directory().deleteEntry({}, m_ui));
    }

    void dialsTheDigitsAlone()
    {
        QCOMPARE(PhoneNoDirectory::dialDigits(QStringLiteral("+49 (30) 123-45 67")), QStringLiteral("49301234567"));
        QCOMPARE(PhoneNoDirectory::dialDigits(QStringLiteral("*#P")), QString());
    }

    void searchMatchesTheKeywordAsTyped()
    {
        add(QStringLiteral("O'Neill"), QStringLiteral("11"), QStringLiteral("100% sure"));
        add(QStringLiteral("Neil"), QStringLiteral("22"), QStringLiteral("1000 sure"));
        add(QStringLiteral("A*B"), QStringLiteral("33"));
        add(QStringLiteral("AxB"), QStringLiteral("44"));
        CPhoneNoDoc doc(&directory());
        QVERIFY(doc.sortByColumn(CPhoneNoDoc::NameColumn));
        auto names = [&doc] {
            QStringList out;
            for (const PhoneNoEntry &e : doc.page())
                out << e.name;
            return out;
        };
        QVERIFY(doc.search(CPhoneNoDoc::SearchName, QStringLiteral("Neil"), false));
        QCOMPARE(names(), (QStringList{QStringLiteral("Neil"), QStringLiteral("O'Neill")}));
        QVERIFY(doc.search(CPhoneNoDoc::SearchName, QStringLiteral("Neil"), true));
        QCOMPARE(names(), QStringList{QStringLiteral("Neil")});
        QVERIFY(doc.search(CPhoneNoDoc::SearchName, QStringLiteral("O'N"), true));
        QCOMPARE(names(), QStringList{QStringLiteral("O'Neill")});
        QVERIFY(doc.search(CPhoneNoDoc::SearchName, QStringLiteral("A*"), true));
        QCOMPARE(names(), QStringList{QStringLiteral("A*B")});
        QVERIFY(doc.search(CPhoneNoDoc::SearchMemo, QStringLiteral("0%"), false));
        QCOMPARE(names(), QStringList{QStringLiteral("O'Neill")});
        // An empty keyword shows everything again, still sorted.
        QVERIFY(doc.search(CPhoneNoDoc::SearchMemo, QString(), false));
        QCOMPARE(doc.filterText(), QString());
        QCOMPARE(doc.sortText(), QStringLiteral("Name ASC"));
        QCOMPARE(names().size(), 4);
        QCOMPARE(names().first(), QStringLiteral("A*B"));
        QVERIFY(doc.reset());
        QCOMPARE(doc.sortText(), QString());
    }

    void sortFlagsTurnPerColumn()
    {
        CPhoneNoDoc doc(&directory());
        doc.sortByColumn(CPhoneNoDoc::NameColumn);
        QCOMPARE(doc.sortText(), QStringLiteral("Name ASC"));
        doc.sortByColumn(CPhoneNoDoc::NameColumn);
        QCOMPARE(doc.sortText(), QStringLiteral("Name DESC"));
        doc.sortByColumn(CPhoneNoDoc::PhoneNoColumn);
        QCOMPARE(doc.sortText(), QStringLiteral("PhoneNo ASC"));
        doc.sortByColumn(CPhoneNoDoc::NameColumn);
        QCOMPARE(doc.sortText(), QStringLiteral("Name ASC"));
    }

    void pagesOfFifteen()
    {
        for (int i = 0; i < 40; ++i)
            add(QStringLiteral("n%1").arg(i, 2, 10, QLatin1Char('0')), QString::number(i),
                i >= 30 ? QStringLiteral("m%1").arg(i) : QString());
        CPhoneNoDoc doc(&directory());
        QVERIFY(doc.sortByColumn(CPhoneNoDoc::NameColumn));
        QCOMPARE(doc.page().size(), 15);
        QVERIFY(doc.isFirstPage());
        doc.move(CPhoneNoDoc::BackOne); // past the first page: nothing
        QCOMPARE(doc.pageStart(), 0);
        doc.move(CPhoneNoDoc::ForwardOne);
        QCOMPARE(doc.pageStart(), 1);
        doc.select(3);
        QCOMPARE(doc.selectedEntry()->name, QStringLiteral("n04"));
        doc.move(CPhoneNoDoc::ForwardPage);
        QCOMPARE(doc.pageStart(), 16);
        QCOMPARE(doc.selectedRow(), -1);
        doc.move(CPhoneNoDoc::ForwardPage); // fewer than 15 remain: the last 15
        QCOMPARE(doc.pageStart(), 25);
        QVERIFY(doc.isLastPage());
        QCOMPARE(doc.page().last().name, QStringLiteral("n39"));
        doc.move(CPhoneNoDoc::ForwardOne);
        QCOMPARE(doc.pageStart(), 25);
        doc.move(CPhoneNoDoc::BackPage);
        QCOMPARE(doc.pageStart(), 10);
        doc.move(CPhoneNoDoc::BackPage);
        QCOMPARE(doc.pageStart(), 0);
        doc.move(CPhoneNoDoc::Last);
        QCOMPARE(doc.pageStart(), 25);
        doc.move(CPhoneNoDoc::First);
        QCOMPARE(doc.page().first().name, QStringLiteral("n00"));

        // Ascending by memo: the page starts at the first memo while a full page remains.
        doc.sortByColumn(CPhoneNoDoc::MemoColumn);
        QCOMPARE(doc.pageStart(), 25);
        QVERIFY(doc.page().first().memo.isEmpty());
        doc.search(CPhoneNoDoc::SearchName, QStringLiteral("n"), true);
        doc.sortByColumn(CPhoneNoDoc::MemoColumn); // descending: from the top
        QCOMPARE(doc.pageStart(), 0);
        QCOMPARE(doc.page().first().memo, QStringLiteral("m39"));

        // Exactly one page: both ends at once.
        doc.search(CPhoneNoDoc::SearchName, QStringLiteral("n"), true);
        QVERIFY(doc.isFirstPage() && !doc.isLastPage());
        for (int i = 0; i < 25; ++i)
            QVERIFY(directory().deleteEntry(*directory().findByName(QStringLiteral("n%1").arg(i + 15)), m_ui));
        doc.reload();
        QCOMPARE(doc.recordCount(), 15);
        QVERIFY(doc.isFirstPage() && doc.isLastPage());
    }
};

QTEST_GUILESS_MAIN(TestPhoneNumbers)
#include "tst_phonenumbers.moc"
