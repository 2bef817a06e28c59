#pragma once

#include <QStringList>
#include <QWidget>

class QTextBrowser;
class QToolButton;

// The console's own help window: the operator's manual, one HTML file a
// chapter in the folder "manual" of the data directory, with "index.html"
// as its contents page. It does not block the main window.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char *ContentsPage = "index.html";

    explicit HelpWindow(QWidget *parent = nullptr);

    // Where the manual is looked for, in order: the working directory, the
    // catalogue's data directory, the installed data directory, the source
    // data directory (each with "/manual" appended, duplicates dropped).
    static QStringList manualCandidates();
    // The first candidate that holds the contents page; empty when none does.
    static QString manualDirectory();

    // Shows a chapter by its file name; without a manual, a page that says
    // where it was looked for.
    void showChapter(const QString &fileName);
    QTextBrowser *browser() const { return m_browser; }

    // Looks the title and the button texts up again.
    void retranslate();

private:
    QTextBrowser *m_browser;
    QToolButton *m_back;
    QToolButton *m_contents;
};
