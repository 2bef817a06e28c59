#include "KeyTelephoneWindow.h"

#include "base/MessageCatalogue.h"
#include "base/WindowKindSettings.h"
#include "base/ui/FontCommand.h"
#include "base/ui/Translate.h"
#include "callstate/StatusFreshness.h"
#include "keyset/KeyTelephone.h"
#include "keyset/ui/LampKeyButton.h"

#include <QMenu>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

constexpr int kDialWidth = 37;
constexpr int kDialHeight = 36;
constexpr int kFunctionWidth = 76;
constexpr int kFunctionHeight = 24;
constexpr QSize kDialPaneSize(265, 144);
constexpr QSize kFlexiblePaneSize(265, 127);

// Places of the function keys in the order of KeyTelephoneKeys::functionKeys().
constexpr QPoint kFunctionPlaces[] = {
    {112, 0}, {188, 0}, {112, 24}, {188, 24}, {112, 48}, {188, 48}, {112, 72}, {188, 72}, {112, 96}, {188, 96},
};
constexpr QRect kHoldRect(167, 120, 97, kFunctionHeight);

QScrollArea *pane(QWidget *content, QSize size, const char *name)
{
    content->setFixedSize(size);
    auto *area = new QScrollArea;
    area->setObjectName(QLatin1String(name));
    area->setWidget(content);
    return area;
}

} // namespace

KeyTelephoneWindow::KeyTelephoneWindow(KeyTelephone &phone, QWidget *parent)
    : QWidget(parent)
    , m_phone(phone)
{
    setObjectName(QStringLiteral("PKTU"));
    auto *dialPane = new QWidget;
    auto *flexiblePane = new QWidget;

    // 1 2 3 / 4 5 6 / 7 8 9 / * 0 #, as the table lists 1-9, 0, *, #.
    static constexpr int dialPlace[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11};
    const auto dial = KeyTelephoneKeys::dialKeys();
    for (size_t i = 0; i < dial.size(); ++i) {
        const int cell = dialPlace[i];
        m_dial.push_back(addKey(dialPane, KeyTelephoneKeys::Group::Dial, dial[i],
                                QRect((cell % 3) * kDialWidth, (cell / 3) * kDialHeight, kDialWidth, kDialHeight)));
    }
    const auto function = KeyTelephoneKeys::functionKeys();
    for (size_t i = 0; i < function.size(); ++i) {
        const QRect geometry = i < std::size(kFunctionPlaces)
                                   ? QRect(kFunctionPlaces[i], QSize(kFunctionWidth, kFunctionHeight))
                                   : kHoldRect;
        m_function.push_back(addKey(dialPane, KeyTelephoneKeys::Group::Function, function[i], geometry));
    }
    for (int n = 1; n <= KeyTelephoneKeys::FlexibleKeyCount; ++n) {
        const int i = n - 1;
        auto *key = addKey(flexiblePane, KeyTelephoneKeys::Group::Flexible, KeyTelephoneKeys::flexibleKey(n),
                           QRect(66 * (i % 4) + 1, 21 * (i / 4) + 1, 66, 21));
        key->setText(KeyTelephoneKeys::flexibleLabel(n));
        m_flexible.push_back(key);
    }

    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->addWidget(pane(dialPane, kDialPaneSize, "PktuDialPane"));
    m_splitter->addWidget(pane(flexiblePane, kFlexiblePaneSize, "PktuFlexiblePane"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);

    const LampTable &lamps = m_phone.lamps();
    for (int index = LampTable::FirstIndex; index <= LampTable::LastIndex; ++index) {
        const LampTable::Lamp lamp = lamps.lamp(index);
        applyLamp(index, lamp.colour, lamp.pattern);
    }
    connect(&lamps, &LampTable::lampSet, this, &KeyTelephoneWindow::applyLamp);
    connect(&lamps, &LampTable::cleared, this, [this] {
        for (int index = LampTable::FirstIndex; index <= LampTable::LastIndex; ++index)
            applyLamp(index, 0, 0);
    });
    applyFonts();
    retranslate();
}

LampKeyButton *KeyTelephoneWindow::addKey(QWidget *paneWidget, KeyTelephoneKeys::Group group,
                                          const KeyTelephoneKeys::Key &key, const QRect &geometry)
{
    auto *button = new LampKeyButton(group, key, paneWidget);
    button->setGeometry(geometry);
    connect(button, &LampKeyButton::keySent, this, [this](quint8 code) { m_phone.pressKey(code); });
    connect(button, &LampKeyButton::contextMenuWanted, this, &KeyTelephoneWindow::showContextMenu);
    return button;
}

void KeyTelephoneWindow::retranslate()
{
    setWindowTitle(trKey(QLatin1String(TitleKey)));
    for (auto *key : m_dial)
        key->retranslate();
    for (auto *key : m_function)
        key->retranslate();
}

LampKeyButton *KeyTelephoneWindow::keyOfLamp(int lamp) const
{
    if (lamp >= 1 && lamp <= KeyTelephoneKeys::FlexibleKeyCount)
        return m_flexible[size_t(lamp - 1)];
    const int function = KeyTelephoneKeys::functionKeyOfLamp(lamp);
    return function >= 0 ? m_function[size_t(function)] : nullptr;
}

void KeyTelephoneWindow::applyLamp(int index, int colour, int pattern)
{
    if (LampKeyButton *key = keyOfLamp(index))
        key->applyLamp(colour, pattern);
}

CWindowKindSettings &KeyTelephoneWindow::fontKind(KeyTelephoneKeys::Group group)
{
    switch (group) {
    case KeyTelephoneKeys::Group::Dial:
        return CWindowKindSettings::dialButton();
    case KeyTelephoneKeys::Group::Function:
        return CWindowKindSettings::fixedButton();
    default:
        return CWindowKindSettings::flexibleButton();
    }
}

void KeyTelephoneWindow::applyFonts()
{
    for (const auto *keys : {&m_dial, &m_function, &m_flexible}) {
        for (LampKeyButton *key : *keys)
            key->setFont(toQFont(fontKind(key->group()).titleFont()));
    }
}

void KeyTelephoneWindow::showContextMenu(KeyTelephoneKeys::Group group, const QPoint &globalPos)
{
    static constexpr const char *names[] = {"PKTU_DIAL", "PKTU_FIXED", "PKTU_FLEXIBLE"};
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setObjectName(QLatin1String(names[int(group)]));
    QMenu *properties = menu->addMenu(trKey(QStringLiteral("#:properties_MENU(&P)")));
    QAction *font = createFontAction(fontKind(group), this, [this] { applyFonts(); });
    font->setParent(menu);
    properties->addAction(font);
    properties->addAction(trKey(QStringLiteral("#:quit_MENU(&Q)")));
    menu->popup(globalPos);
}

void KeyTelephoneWindow::setFreshness(const StatusFreshness *freshness)
{
    if (m_freshness)
        disconnect(m_freshness, nullptr, this, nullptr);
    m_freshness = freshness;
    if (m_freshness)
        connect(m_freshness, &StatusFreshness::changed, this, &KeyTelephoneWindow::applyFreshness);
    applyFreshness();
}

void KeyTelephoneWindow::applyFreshness()
{
    // Only the keys with a lamp show the PBX's state.
    const QString line = m_freshness ? m_freshness->unknownLine() : QString();
    for (const auto *keys : {&m_function, &m_flexible}) {
        for (LampKeyButton *key : *keys) {
            if (key->lampIndex() > 0)
                key->setStale(line);
        }
    }
}
