#include "Recorders.h"
#include "base/MessageCatalogue.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"
#include "base/ui/Translate.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestTranslateUi : public QObject
{
    Q_OBJECT

private:
    QString m_startDir;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<QTemporaryDir> m_fallback;
    OperatorUiRecorder m_ui;

    void writeCatalogue(const QByteArray &bytes)
    {
        QFile f(m_work->filePath(QStringLiteral("ZARTOLLS.TXT")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    static QByteArray catalogue()
    {
        return "LLS test catalogue\n"
               "#:file_MENU(&F) \"&File\" \"&Datei\"\n"
               "#:open_MENU(&O) \"&Open\" \"\xc3\x96&ffnen\"\n"
               "#:recent_MENU(&R) \"&Recent\" \"&Zuletzt\"\n"
               "#:first_MENU \"First\" \"Erste\"\n"
               "#:exit_MENU(&X) \"E&xit\" \"&Beenden\"\n"
               "#:ok_btn \"OK\" \"OK\"\n"
               "#:name_label \"Name:\" \"Name:\"\n"
               "#:group_title \"Group\" \"Gruppe\"\n"
               "#:dialog_title \"Settings\" \"Einstellungen\"\n"
               "#:main_window_WINTITLE \"Zarto\" \"Zarto Vermittlung\"\n";
    }

private Q_SLOTS:
    void initTestCase() { m_startDir = QDir::currentPath(); }

    void init()
    {
        QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).clear();
        MessageCatalogue::resetProcessStateForTests();
        m_work = std::make_unique<QTemporaryDir>();
        m_fallback = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(m_work->path()));
        MessageCatalogue::setFallbackDirectory(m_fallback->path());
        m_ui.clear();
        MessageCatalogue::setOperatorUi(&m_ui);
        writeCatalogue(catalogue());
    }

    void cleanup()
    {
        MessageCatalogue::setOperatorUi(nullptr);
        QDir::setCurrent(m_startDir);
        m_work.reset();
        m_fallback.reset();
    }

    void translateMenuKeepsActions()
    {
        QMenu menu;
        menu.setTitle(QStringLiteral("#:file_MENU(&F)"));
        QAction *open = menu.addAction(QStringLiteral("#:open_MENU(&O)"));
        menu.addSeparator();
        QMenu *recent = menu.addMenu(QStringLiteral("#:recent_MENU(&R)"));
        QAction *first = recent->addAction(QStringLiteral("#:first_MENU"));
        QAction *unknown = recent->addAction(QStringLiteral("#:unknown_MENU(&U)"));
        QAction *fixed = menu.addAction(QStringLiteral("DATE FORMAT"));
        QAction *exit = menu.addAction(QStringLiteral("#:exit_MENU(&X)"));
        const QList<QAction *> before = menu.actions();
        bool triggered = false;
        connect(exit, &QAction::triggered, this, [&] { triggered = true; });

        MessageCatalogue::setLanguageMode(2);
        QCOMPARE(TranslateMenu(&menu), 4);
        QCOMPARE(menu.actions(), before);
        QCOMPARE(open->text(), QStringLiteral("\u00d6&ffnen"));
        QCOMPARE(recent->title(), QStringLiteral("&Zuletzt"));
        QCOMPARE(recent->menuAction()->text(), QStringLiteral("&Zuletzt"));
        QCOMPARE(first->text(), QStringLiteral("Erste"));
        QCOMPARE(unknown->text(), QStringLiteral("#:unknown_MENU(&U)"));
        QCOMPARE(fixed->text(), QStringLiteral("DATE FORMAT"));
        QCOMPARE(exit->text(), QStringLiteral("&Beenden"));
        QVERIFY(menu.actions().at(1)->isSeparator());
        exit->trigger();
        QVERIFY(triggered);
        QCOMPARE(m_ui.shown.size(), 0);
    }

    void translateMenuBar()
    {
        QMenuBar bar;
        QMenu *file = bar.addMenu(QStringLiteral("#:file_MENU(&F)"));
        QAction *open = file->addAction(QStringLiteral("#:open_MENU(&O)"));
        MessageCatalogue::setLanguageMode(1);
        QCOMPARE(TranslateMenu(&bar), 2);
        QCOMPARE(file->title(), QStringLiteral("&File"));
        QCOMPARE(open->text(), QStringLiteral("&Open"));
    }

    void missingCatalogueMenuShowsKeys()
    {
        QFile::remove(m_work->filePath(QStringLiteral("ZARTOLLS.TXT")));
        QMenuBar bar;
        QMenu *file = bar.addMenu(QStringLiteral("#:file_MENU(&F)"));
        QMenu context;
        context.addAction(QStringLiteral("#:open_MENU(&O)"));
        QCOMPARE(TranslateMenu(&bar), 0);
        QCOMPARE(TranslateMenu(&context), 0);
        QCOMPARE(TranslateMenu(file), 0);
        QCOMPARE(file->title(), QStringLiteral("#:file_MENU(&F)"));
        QCOMPARE(m_ui.shown.size(), 1);
        QCOMPARE(m_ui.shown[0].text, MessageCatalogue::notFoundText());
    }

    void translateWindowTexts()
    {
        MessageCatalogue::setLanguageMode(2);
        QDialog dialog;
        dialog.setWindowTitle(QStringLiteral("#:dialog_title"));
        auto *button = new QPushButton(QStringLiteral("#:ok_btn"), &dialog);
        auto *label = new QLabel(QStringLiteral("#:name_label"), &dialog);
        auto *group = new QGroupBox(QStringLiteral("#:group_title"), &dialog);
        auto *missing = new QPushButton(QStringLiteral("#:missing_btn"), &dialog);
        auto *plain = new QLabel(QStringLiteral("Language Setting"), &dialog);

        QCOMPARE(TranslatedWindowText(&dialog), QStringLiteral("Einstellungen"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("#:dialog_title"));
        QVERIFY(TranslateWindowText(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Einstellungen"));
        QVERIFY(TranslateWindowText(button));
        QCOMPARE(button->text(), QStringLiteral("OK"));
        QVERIFY(TranslateWindowText(label));
        QCOMPARE(label->text(), QStringLiteral("Name:"));
        QVERIFY(TranslateWindowText(group));
        QCOMPARE(group->title(), QStringLiteral("Gruppe"));
        QVERIFY(!TranslateWindowText(missing));
        QCOMPARE(missing->text(), QStringLiteral("#:missing_btn"));
        QCOMPARE(TranslatedWindowText(missing), QStringLiteral("#:missing_btn"));
        QVERIFY(!TranslateWindowText(plain));
        QCOMPARE(plain->text(), QStringLiteral("Language Setting"));
        QVERIFY(!TranslateWindowText(nullptr));
        QCOMPARE(TranslatedWindowText(nullptr), QString());
    }

    void translateDialogControls()
    {
        MessageCatalogue::setLanguageMode(1);
        QDialog dialog;
        dialog.setWindowTitle(QStringLiteral("#:dialog_title"));
        auto *listed = new QPushButton(QStringLiteral("#:ok_btn"), &dialog);
        auto *notListed = new QLabel(QStringLiteral("#:name_label"), &dialog);
        QCOMPARE(translateWindowTexts(&dialog, {listed}), 2);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Settings"));
        QCOMPARE(listed->text(), QStringLiteral("OK"));
        QCOMPARE(notListed->text(), QStringLiteral("#:name_label"));
    }

    void symbolModeKeepsKeys()
    {
        MessageCatalogue::setLanguageMode(0);
        QPushButton button(QStringLiteral("#:ok_btn"));
        QVERIFY(!TranslateWindowText(&button));
        QCOMPARE(button.text(), QStringLiteral("#:ok_btn"));
        QCOMPARE(m_ui.shown.size(), 0);
    }

    void fontConversion()
    {
        const LogFont def;
        const QFont f = def.toQFont();
        QCOMPARE(f.family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(f.pixelSize(), 13);
        QCOMPARE(f.weight(), QFont::Normal);
        QCOMPARE(f.styleHint(), QFont::SansSerif);
        QVERIFY(!f.italic());
        const LogFont back = LogFont::fromQFont(f);
        QCOMPARE(back.height, -13);
        QCOMPARE(back.weight, 400);
        QCOMPARE(back.pitchAndFamily, 34);
        QCOMPARE(back.faceName, QStringLiteral("MS Sans Serif"));

        LogFont bold;
        bold.weight = 700;
        bold.italic = 1;
        bold.underline = 1;
        bold.strikeOut = 1;
        bold.height = -20;
        bold.pitchAndFamily = 0x31; // modern, fixed pitch
        bold.faceName = QStringLiteral("DejaVu Sans Mono");
        const QFont bf = toQFont(bold);
        QCOMPARE(bf.weight(), QFont::Bold);
        QVERIFY(bf.italic() && bf.underline() && bf.strikeOut() && bf.fixedPitch());
        QCOMPARE(bf.pixelSize(), 20);
        const LogFont bb = logFontFromQFont(bf);
        QCOMPARE(bb.weight, 700);
        QCOMPARE(bb.italic, 1);
        QCOMPARE(bb.underline, 1);
        QCOMPARE(bb.strikeOut, 1);
        QCOMPARE(bb.height, -20);
        QCOMPARE(bb.pitchAndFamily, 0x31);

        QFont longName(QStringLiteral("An Extremely Long Font Family Name For Testing"));
        longName.setPointSize(12);
        const LogFont cut = LogFont::fromQFont(longName);
        QCOMPARE(cut.faceName.size(), 31);
        QVERIFY(cut.height < 0);
    }

    void placementTopLevel()
    {
        QWidget w;
        WindowPlacement p;
        p.showCmd = ShowCmd::Normal;
        p.rcNormal = WinRect{40, 50, 440, 350};
        QVERIFY(applyPlacement(&w, p));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        WindowPlacement read;
        QVERIFY(readPlacement(&w, read));
        QCOMPARE(read.showCmd, 1);
        QCOMPARE(read.rcNormal.width(), 400);
        QCOMPARE(read.rcNormal.height(), 300);
        QCOMPARE(read.flags, 0);

        p.showCmd = ShowCmd::Maximized;
        QVERIFY(applyPlacement(&w, p));
        QVERIFY(w.windowState() & Qt::WindowMaximized);
        QVERIFY(readPlacement(&w, read));
        QCOMPARE(read.showCmd, 3);

        p.showCmd = ShowCmd::Minimized;
        QVERIFY(applyPlacement(&w, p));
        QVERIFY(w.windowState() & Qt::WindowMinimized);
        QVERIFY(readPlacement(&w, read));
        QCOMPARE(read.showCmd, 2);

        p.showCmd = ShowCmd::Normal;
        QVERIFY(applyPlacement(&w, p));
        QVERIFY(!(w.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)));

        // Failures.
        QVERIFY(!applyPlacement(nullptr, p));
        QVERIFY(!readPlacement(nullptr, read));
        WindowPlacement empty;
        QVERIFY(!applyPlacement(&w, empty));
    }

    void placementMdiChild()
    {
        QMainWindow main;
        auto *area = new QMdiArea;
        main.setCentralWidget(area);
        main.resize(1000, 800);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *content = new QWidget;
        QMdiSubWindow *sub = area->addSubWindow(content);
        WindowPlacement p;
        p.rcNormal = WinRect{20, 30, 320, 230};
        QVERIFY(applyPlacement(sub, p));
        sub->show();
        WindowPlacement read;
        QVERIFY(readPlacement(sub, read));
        QCOMPARE(read.showCmd, 1);
        QCOMPARE(read.rcNormal, p.rcNormal);

        // Moved by the operator, then maximized: the normal rectangle is the moved one.
        sub->setGeometry(60, 70, 300, 200);
        sub->showMaximized();
        QVERIFY(sub->isMaximized());
        QVERIFY(readPlacement(sub, read));
        QCOMPARE(read.showCmd, 3);
        QCOMPARE(read.rcNormal, (WinRect{60, 70, 360, 270}));
    }

    void saveAndRestorePlacement()
    {
        CSettingsSection sec(CWindowKindSettings::queueFrame().sectionName());
        QWidget w;
        // Nothing stored: the default rectangle, no showCmd.
        const WinRect def = DefaultLayout::initial().queue;
        QVERIFY(!restorePlacement(&w, sec, false, def).has_value());
        QCOMPARE(w.geometry(), QRect(278, 161, 512, 159));

        w.setGeometry(100, 120, 300, 200);
        QVERIFY(savePlacement(&w, sec));
        QSettings raw(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto"));
        QCOMPARE(raw.value(QStringLiteral("Queue Frame/rcNormalPosition.left")).toInt(), 100);
        QCOMPARE(raw.value(QStringLiteral("Queue Frame/rcNormalPosition.right")).toInt(), 400);
        QCOMPARE(raw.value(QStringLiteral("Queue Frame/showCmd")).toInt(), 1);

        QWidget again;
        QCOMPARE(restorePlacement(&again, sec, false, def).value_or(-1), 1);
        QCOMPARE(again.geometry(), QRect(100, 120, 300, 200));

        // A stored maximized state comes back as normal for a child kind, kept for the main window.
        WindowPlacement p = sec.readPlacement();
        p.showCmd = 3;
        QVERIFY(sec.writePlacement(p));
        QWidget child;
        QCOMPARE(restorePlacement(&child, sec, false, def).value_or(-1), 1);
        QVERIFY(!(child.windowState() & Qt::WindowMaximized));
        QWidget mainLike;
        QCOMPARE(restorePlacement(&mainLike, sec, true, def).value_or(-1), 3);
        QVERIFY(mainLike.windowState() & Qt::WindowMaximized);
        p.showCmd = 2;
        QVERIFY(sec.writePlacement(p));
        QWidget minimized;
        QCOMPARE(restorePlacement(&minimized, sec, true, def).value_or(-1), 1);
        QVERIFY(!(minimized.windowState() & Qt::WindowMinimized));
    }
};

QTEST_MAIN(TestTranslateUi)
#include "tst_TranslateUi.moc"
