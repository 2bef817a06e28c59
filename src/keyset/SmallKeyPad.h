#pragma once

#include <QObject>
#include <QString>

#include <optional>

class KeyTelephone;

// The small key pad: the most used keys of the key telephone, sent as key
// strings, with the digits dialled since the last function key in a field.
class SmallKeyPad : public QObject
{
    Q_OBJECT
public:
    enum class Button {
        Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
        Star, Hash, Trans, Mon, Hold, Redial, Quit,
    };

    explicit SmallKeyPad(KeyTelephone &phone, QObject *parent = nullptr);

    // The key string a button sends; empty for Quit.
    static QString keyString(Button button);
    // The caption: the digit or sign itself, or a catalogue key.
    static QString label(Button button);
    static Button digit(int n) { return Button(int(Button::Digit0) + n); }
    // The button a key of the keyboard presses, if any. The numeric pad is
    // told by Qt::KeypadModifier.
    static std::optional<Button> buttonForKey(int key, Qt::KeyboardModifiers modifiers);

    // Sends the button's keys and updates the field; Quit sends nothing.
    // Returns true when the pad is to close (Quit).
    bool press(Button button);
    QString dialled() const { return m_dialled; }

Q_SIGNALS:
    void dialledChanged(const QString &text);

private:
    KeyTelephone &m_phone;
    QString m_dialled;
};
