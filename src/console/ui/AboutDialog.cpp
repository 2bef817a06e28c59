#include "AboutDialog.h"

#include "base/MessageCatalogue.h"
#include "base/ui/Translate.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// The program's own version and the version of the link protocol it speaks.
const char *const ProgramVersion = "1.0Ad";
constexpr int ProtocolMajor = 1;
constexpr int ProtocolMinor = 3;

const char KeyPadLayout[] = "123456789*0#";

} // namespace

QString AboutDialog::versionText(const QString &pbxSoftwareVersion, quint32 protocolVersion)
{
    const MessageCatalogue catalogue;
    const QString version = catalogue.text(QStringLiteral("#:version"));
    const QString unknown = catalogue.text(QStringLiteral("#:unknown"));

    QString text = catalogue.text(QStringLiteral("#:pgm_ver")) + QLatin1String(ProgramVersion) + QLatin1Char('\n');
    text += QStringLiteral("Varo ") + version + QStringLiteral(" : ")
            + (pbxSoftwareVersion.isEmpty() ? unknown : pbxSoftwareVersion) + QStringLiteral("\n\n");
    text += QStringLiteral("Zemra1(PC) %1 : %2.%3\n").arg(version).arg(ProtocolMajor).arg(ProtocolMinor);
    text += QStringLiteral("Zemra1(Varo) %1 : ").arg(version);
    if (protocolVersion == 0)
        text += unknown;
    else
        text += QStringLiteral("%1.%2\n").arg((protocolVersion >> 8) & 0xFF).arg(protocolVersion & 0xFF);
    return text;
}

AboutDialog::AboutDialog(const QString &pbxSoftwareVersion, quint32 protocolVersion, QWidget *parent)
    : ConsoleDialog(parent)
    , m_version(new QLabel(versionText(pbxSoftwareVersion, protocolVersion), this))
{
    setWindowTitle(QStringLiteral("#:about_zarto_title"));
    m_version->setObjectName(QStringLiteral("versionText"));
    m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto *pad = new QGridLayout;
    pad->setSpacing(2);
    for (int i = 0; KeyPadLayout[i]; ++i) {
        const QChar key = QLatin1Char(KeyPadLayout[i]);
        auto *button = new QPushButton(QString(key), this);
        button->setObjectName(QStringLiteral("key_") + key);
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(32, 28);
        connect(button, &QPushButton::clicked, this, [this, key] { keyPressed(key); });
        pad->addWidget(button, i / 3, i % 3);
        m_keys.append(button);
    }

    auto *ok = new QPushButton(QStringLiteral("#:ok_btn"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(m_version, 1);
    top->addLayout(pad);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    translateWindowTexts(this, {ok});
}

QString AboutDialog::shownVersionText() const
{
    return m_version->text();
}

QPushButton *AboutDialog::keyButton(QChar key) const
{
    for (QPushButton *b : m_keys) {
        if (b->text() == QString(key))
            return b;
    }
    return nullptr;
}

void AboutDialog::keyPressed(QChar key)
{
    QApplication::beep();
    if (key != QLatin1Char('#')) {
        m_buffer.append(key);
        if (m_buffer.size() > BufferLimit)
            m_buffer.clear();
        return;
    }
    const QString entered = m_buffer;
    m_buffer.clear();
    if (entered == QLatin1String(TestSheetCode))
        Q_EMIT testSheetRequested();
    else if (entered == QLatin1String(LogOnCode))
        Q_EMIT logOnCodeEntered();
    else if (entered == QLatin1String(MailCode))
        Q_EMIT mailRequested();
}
