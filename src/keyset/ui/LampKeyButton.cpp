#include "LampKeyButton.h"

#include "base/MessageCatalogue.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace {

struct LampColours
{
    QRgb face, highlight, shadow;
};

// Faces of the lamp colours 0 grey, 1 dark, 2 red, 3 green, 4 blue (deep displays).
constexpr LampColours kColours[] = {
    {0xC0C0C0, 0xFFFFFF, 0x808080}, {0x808080, 0xE0E0E0, 0x404040}, {0xFF8080, 0xFFC0C0, 0xC04040},
    {0x80E080, 0xC0FFC0, 0x408040}, {0x8080FF, 0xC0C0FF, 0x4040C0},
};

const LampColours &coloursOf(int index)
{
    if (index < 0 || index >= int(std::size(kColours)))
        return kColours[0];
    return kColours[index];
}

} // namespace

LampKeyButton::LampKeyButton(KeyTelephoneKeys::Group group, const KeyTelephoneKeys::Key &key, QWidget *parent)
    : QAbstractButton(parent)
    , m_group(group)
    , m_code(key.code)
    , m_lampIndex(key.lamp)
    , m_labelKey(QString::fromLatin1(key.label))
{
    setFocusPolicy(Qt::NoFocus);
    if (group == KeyTelephoneKeys::Group::Dial)
        connect(this, &QAbstractButton::clicked, this, [this] { Q_EMIT keySent(m_code); });
    connect(&m_blink, &QTimer::timeout, this, &LampKeyButton::blinkTick);
    retranslate();
}

void LampKeyButton::retranslate()
{
    setText(m_labelKey.startsWith(QLatin1String("#:")) ? trKey(m_labelKey) : m_labelKey);
}

void LampKeyButton::applyLamp(int colour, int pattern)
{
    m_lamp.applyKeyCommand(colour, pattern);
    m_blink.stop();
    if (m_lamp.period() > 0 && !m_stale)
        m_blink.start(m_lamp.period());
    update();
}

void LampKeyButton::setStale(const QString &unknownLine)
{
    m_stale = !unknownLine.isEmpty();
    setToolTip(unknownLine);
    m_blink.stop();
    if (!m_stale && m_lamp.period() > 0)
        m_blink.start(m_lamp.period());
    update();
}

void LampKeyButton::blinkTick()
{
    m_lamp.tick();
    update();
}

QSize LampKeyButton::sizeHint() const
{
    return {66, 21};
}

void LampKeyButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    option.palette.setColor(QPalette::Button, QColor(0xC0C0C0));
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);

    QRect textRect = rect();
    if (m_lampIndex > 0) {
        // A 12 x 14 lamp centred 10 pixels from the left edge.
        const QRect lampRect(10 - 6, (height() - 14) / 2, 12, 14);
        const LampColours &c = coloursOf(m_lamp.shownColour());
        p.fillRect(lampRect, QColor(c.face));
        p.setPen(QColor(c.highlight));
        p.drawLine(lampRect.topLeft(), lampRect.topRight());
        p.drawLine(lampRect.topLeft(), lampRect.bottomLeft());
        p.setPen(QColor(c.shadow));
        p.drawLine(lampRect.bottomLeft(), lampRect.bottomRight());
        p.drawLine(lampRect.topRight(), lampRect.bottomRight());
        textRect.setLeft(14);
    }
    p.setPen(m_stale ? QColor(0x606060) : palette().color(QPalette::ButtonText));
    p.drawText(textRect.translated(isDown() ? QPoint(1, 1) : QPoint()), Qt::AlignCenter, text());
    if (m_stale)
        p.fillRect(rect().adjusted(2, 2, -2, -2), QBrush(QColor(0x60, 0x60, 0x60), Qt::BDiagPattern));
}

// A double click arrives here too (as the second press), so it sends again.
void LampKeyButton::mousePressEvent(QMouseEvent *event)
{
    QAbstractButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && m_group != KeyTelephoneKeys::Group::Dial)
        Q_EMIT keySent(m_code);
}

void LampKeyButton::contextMenuEvent(QContextMenuEvent *event)
{
    Q_EMIT contextMenuWanted(m_group, event->globalPos());
}
