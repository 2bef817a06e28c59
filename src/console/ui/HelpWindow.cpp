#include "HelpWindow.h"

#include "base/DataDirectories.h"
#include "base/MessageCatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const char *const TitleKey = "#:help_window_WINTITLE";
const char *const BackKey = "#:help_back_btn";
const char *const ContentsKey = "#:help_contents_btn";
const char *const MissingKey = "#:help_manual_missing";

} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("manual"));
    m_browser->setOpenExternalLinks(true);
    m_back = new QToolButton(this);
    m_back->setObjectName(QStringLiteral("back"));
    m_back->setEnabled(false);
    m_contents = new QToolButton(this);
    m_contents->setObjectName(QStringLiteral("contents"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_contents);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);

    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_contents, &QToolButton::clicked, this,
            [this] { showChapter(QString::fromLatin1(ContentsPage)); });

    resize(720, 560);
    retranslate();
}

QStringList HelpWindow::manualCandidates()
{
    QStringList dataDirs{QDir::currentPath(), MessageCatalogue::fallbackDirectory()};
    dataDirs += dataDirectories(QCoreApplication::applicationDirPath());
    QStringList out;
    for (const QString &dir : dataDirs) {
        if (dir.isEmpty())
            continue;
        const QString manual = QDir::cleanPath(dir + QStringLiteral("/manual"));
        if (!out.contains(manual))
            out.append(manual);
    }
    return out;
}

QString HelpWindow::manualDirectory()
{
    for (const QString &dir : manualCandidates()) {
        if (QFileInfo::exists(QDir(dir).filePath(QString::fromLatin1(ContentsPage))))
            return dir;
    }
    return QString();
}

void HelpWindow::showChapter(const QString &fileName)
{
    const QString dir = manualDirectory();
    if (dir.isEmpty()) {
        QString html = QStringLiteral("<p>") + trKey(QString::fromLatin1(MissingKey)).toHtmlEscaped()
                       + QStringLiteral("</p><ul>");
        for (const QString &candidate : manualCandidates())
            html += QStringLiteral("<li>") + QDir::toNativeSeparators(candidate).toHtmlEscaped()
                    + QStringLiteral("</li>");
        m_browser->setHtml(html + QStringLiteral("</ul>"));
        return;
    }
    // Only a plain file name of the manual folder is taken: a chapter name
    // never leads out of it.
    QString name = QFileInfo(fileName).fileName();
    if (name.isEmpty() || !QFileInfo::exists(QDir(dir).filePath(name)))
        name = QString::fromLatin1(ContentsPage);
    m_browser->setSearchPaths({dir});
    m_browser->setSource(QUrl::fromLocalFile(QDir(dir).filePath(name)));
}

void HelpWindow::retranslate()
{
    const MessageCatalogue catalogue;
    setWindowTitle(catalogue.text(QString::fromLatin1(TitleKey)));
    m_back->setText(catalogue.text(QString::fromLatin1(BackKey)));
    m_contents->setText(catalogue.text(QString::fromLatin1(ContentsKey)));
}
