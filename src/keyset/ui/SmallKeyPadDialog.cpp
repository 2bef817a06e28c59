#include "SmallKeyPadDialog.h"

#include "base/MessageCatalogue.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

SmallKeyPadDialog::SmallKeyPadDialog(KeyTelephone &phone, OpenDialogRegistry &dialogs, QWidget *parent)
    : ConsoleDialog(dialogs, parent)
    , m_pad(phone)
{
    setObjectName(QStringLiteral("SmallKeyPad"));
    setWindowTitle(trKey(QStringLiteral("#:mp_cap_mini_pktu")));
    m_field = new QLineEdit(this);
    m_field->setReadOnly(true);
    m_field->setFocusPolicy(Qt::NoFocus);
    connect(&m_pad, &SmallKeyPad::dialledChanged, m_field, &QLineEdit::setText);

    using B = SmallKeyPad::Button;
    // Rows of the pad: function keys beside the dial keys.
    const B layout[5][4] = {
        {B::Star, B::Hash, B::Trans, B::Mon},
        {B::Digit1, B::Digit2, B::Digit3, B::Hold},
        {B::Digit4, B::Digit5, B::Digit6, B::Redial},
        {B::Digit7, B::Digit8, B::Digit9, B::Quit},
        {B::Digit0, B::Digit0, B::Digit0, B::Quit},
    };
    auto *grid = new QGridLayout(this);
    grid->addWidget(m_field, 0, 0, 1, 4);
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 4; ++col) {
            const B b = layout[row][col];
            if (m_buttons.contains(int(b)))
                continue;
            const QString label = SmallKeyPad::label(b);
            auto *button = new QPushButton(label.startsWith(QLatin1String("#:")) ? trKey(label) : label, this);
            button->setAutoDefault(false);
            button->setFocusPolicy(Qt::NoFocus);
            m_buttons.insert(int(b), button);
            connect(button, &QPushButton::clicked, this, [this, b] { press(b); });
            const int span = b == B::Digit0 ? 3 : 1;
            const int rows = b == B::Quit ? 2 : 1;
            grid->addWidget(button, row + 1, col, rows, span);
        }
    }
}

QString SmallKeyPadDialog::dialled() const
{
    return m_pad.dialled();
}

void SmallKeyPadDialog::press(SmallKeyPad::Button b)
{
    if (m_pad.press(b))
        accept();
}

void SmallKeyPadDialog::keyPressEvent(QKeyEvent *event)
{
    const auto b = SmallKeyPad::buttonForKey(event->key(), event->modifiers());
    if (!b) {
        // Escape and the other keys keep their usual meaning.
        ConsoleDialog::keyPressEvent(event);
        return;
    }
    if (QPushButton *button = m_buttons.value(int(*b)))
        button->setDown(true);
    if (!event->isAutoRepeat())
        press(*b);
}

void SmallKeyPadDialog::keyReleaseEvent(QKeyEvent *event)
{
    const auto b = SmallKeyPad::buttonForKey(event->key(), event->modifiers());
    if (b) {
        if (QPushButton *button = m_buttons.value(int(*b)))
            button->setDown(false);
        return;
    }
    ConsoleDialog::keyReleaseEvent(event);
}
