#include "SmallKeyPad.h"

#include "keyset/KeyTelephone.h"

SmallKeyPad::SmallKeyPad(KeyTelephone &phone, QObject *parent)
    : QObject(parent)
    , m_phone(phone)
{
}

QString SmallKeyPad::keyString(Button button)
{
    const int b = int(button);
    if (b <= int(Button::Digit9))
        return QString(QLatin1Char(char('0' + b)));
    switch (button) {
    case Button::Star:
        return QStringLiteral("*");
    case Button::Hash:
        return QStringLiteral("#");
    case Button::Trans:
        return QStringLiteral("T");
    case Button::Mon:
        return QStringLiteral("M");
    case Button::Hold:
        return QStringLiteral("H");
    case Button::Redial:
        return QStringLiteral("R");
    default:
        return {};
    }
}

QString SmallKeyPad::label(Button button)
{
    switch (button) {
    case Button::Trans:
        return QStringLiteral("#:mp_trans");
    case Button::Mon:
        return QStringLiteral("#:mp_mon");
    case Button::Hold:
        return QStringLiteral("#:mp_hold");
    case Button::Redial:
        return QStringLiteral("#:mp_redial");
    case Button::Quit:
        return QStringLiteral("#:mp_quit");
    default:
        return keyString(button);
    }
}

std::optional<SmallKeyPad::Button> SmallKeyPad::buttonForKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        // Shift and the main keyboard's 8 is an asterisk to the operator, not a digit.
        if (key == Qt::Key_8 && !keypad && modifiers.testFlag(Qt::ShiftModifier))
            return std::nullopt;
        return digit(key - Qt::Key_0);
    }
    switch (key) {
    case Qt::Key_Asterisk:
        if (keypad)
            return Button::Trans;
        return std::nullopt;
    case Qt::Key_Plus:
        if (keypad)
            return Button::Hold;
        return std::nullopt;
    case Qt::Key_Equal:
        return Button::Hold;
    case Qt::Key_Minus:
        return Button::Mon;
    case Qt::Key_Period:
        return Button::Redial;
    case Qt::Key_Slash:
        return Button::Hash;
    case Qt::Key_NumLock:
        return Button::Star;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Button::Quit;
    default:
        return std::nullopt;
    }
}

bool SmallKeyPad::press(Button button)
{
    if (button == Button::Quit)
        return true;
    const QString keys = keyString(button);
    const bool dialKey = int(button) <= int(Button::Hash);
    const QString before = m_dialled;
    if (!dialKey)
        m_dialled.clear();
    m_phone.sendKeyString(keys);
    if (dialKey)
        m_dialled += keys;
    if (m_dialled != before)
        Q_EMIT dialledChanged(m_dialled);
    return false;
}
