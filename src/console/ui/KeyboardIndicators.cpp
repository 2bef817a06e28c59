#include "KeyboardIndicators.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace {

const char *const LedDirectory = "/sys/class/leds";

QStringList ledFiles(const QString &suffix)
{
    QStringList out;
    const QDir dir(QString::fromLatin1(LedDirectory));
    const QStringList entries = dir.entryList({QStringLiteral("*::") + suffix}, QDir::Dirs | QDir::System);
    for (const QString &entry : entries)
        out.append(dir.filePath(entry + QStringLiteral("/brightness")));
    return out;
}

} // namespace

KeyboardIndicators::KeyboardIndicators(QWidget *parent)
    : QWidget(parent)
    , m_poll(new QTimer(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_caps = makePane(QStringLiteral("CAP"), QStringLiteral("capslock"));
    m_num = makePane(QStringLiteral("NUM"), QStringLiteral("numlock"));
    m_scroll = makePane(QStringLiteral("SCRL"), QStringLiteral("scrolllock"));
    for (const Pane *p : {&m_caps, &m_num, &m_scroll})
        row->addWidget(p->label);

    refresh();
    if (!m_caps.ledFiles.isEmpty() || !m_num.ledFiles.isEmpty() || !m_scroll.ledFiles.isEmpty()) {
        connect(m_poll, &QTimer::timeout, this, &KeyboardIndicators::refresh);
        m_poll->start(500);
        qApp->installEventFilter(this);
    }
}

KeyboardIndicators::Pane KeyboardIndicators::makePane(const QString &text, const QString &ledSuffix)
{
    Pane pane;
    pane.label = new QLabel(text, this);
    pane.label->setObjectName(text);
    pane.label->setFrameShape(QFrame::Panel);
    pane.label->setFrameShadow(QFrame::Sunken);
    pane.label->setAlignment(Qt::AlignCenter);
    pane.label->setMinimumWidth(pane.label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 10);
    pane.ledFiles = ledFiles(ledSuffix);
    return pane;
}

bool KeyboardIndicators::anyLit(const QStringList &files)
{
    for (const QString &path : files) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly) && f.readAll().trimmed().toInt() > 0)
            return true;
    }
    return false;
}

void KeyboardIndicators::refresh()
{
    for (Pane *p : {&m_caps, &m_num, &m_scroll})
        p->label->setEnabled(anyLit(p->ledFiles));
}

bool KeyboardIndicators::capsLock() const
{
    return m_caps.label->isEnabled();
}

bool KeyboardIndicators::numLock() const
{
    return m_num.label->isEnabled();
}

bool KeyboardIndicators::scrollLock() const
{
    return m_scroll.label->isEnabled();
}

bool KeyboardIndicators::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            QTimer::singleShot(0, this, &KeyboardIndicators::refresh);
    }
    return QWidget::eventFilter(watched, event);
}
