#include "MessageBox.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <utility>
#include <vector>

namespace {

MessageBoxAnswerer *s_current = nullptr;

using Choice = std::pair<QMessageBox::StandardButton, int>;

std::vector<Choice> buttonsOf(int style)
{
    switch (style & 0x0F) {
    case 1:
        return {{QMessageBox::Ok, MessageBoxResult::Ok}, {QMessageBox::Cancel, MessageBoxResult::Cancel}};
    case 2:
        return {{QMessageBox::Abort, MessageBoxResult::Abort},
                {QMessageBox::Retry, MessageBoxResult::Retry},
                {QMessageBox::Ignore, MessageBoxResult::Ignore}};
    case 3:
        return {{QMessageBox::Yes, MessageBoxResult::Yes},
                {QMessageBox::No, MessageBoxResult::No},
                {QMessageBox::Cancel, MessageBoxResult::Cancel}};
    case 4:
        return {{QMessageBox::Yes, MessageBoxResult::Yes}, {QMessageBox::No, MessageBoxResult::No}};
    case 5:
        return {{QMessageBox::Retry, MessageBoxResult::Retry}, {QMessageBox::Cancel, MessageBoxResult::Cancel}};
    default:
        return {{QMessageBox::Ok, MessageBoxResult::Ok}};
    }
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0xF0) {
    case 0x10:
        return QMessageBox::Critical;
    case 0x20:
        return QMessageBox::Question;
    case 0x30:
        return QMessageBox::Warning;
    case 0x40:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

void setButtons(QMessageBox &box, const std::vector<Choice> &choices)
{
    QMessageBox::StandardButtons buttons;
    for (const Choice &c : choices)
        buttons |= c.first;
    box.setStandardButtons(buttons);
    box.setDefaultButton(choices.front().first);
}

} // namespace

int showMessageBox(QWidget *parent, const QString &text, const QString &title, int style)
{
    if (MessageBoxAnswerer *answerer = MessageBoxAnswerer::current())
        return answerer->answer({text, title, style});

    const std::vector<Choice> choices = buttonsOf(style);
    QMessageBox box(iconOf(style), title, text, QMessageBox::NoButton, parent);
    setButtons(box, choices);
    box.exec();
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (const Choice &c : choices) {
        if (c.first == pressed)
            return c.second;
    }
    // Closed with Escape or the title bar: the cancelling button if there is one.
    for (const Choice &c : choices) {
        if (c.second == MessageBoxResult::Cancel || c.second == MessageBoxResult::No)
            return c.second;
    }
    return choices.front().second;
}

QWidget *openMessageBox(QWidget *parent, const QString &text, const QString &title, int style)
{
    if (MessageBoxAnswerer *answerer = MessageBoxAnswerer::current()) {
        answerer->answer({text, title, style});
        return nullptr;
    }
    auto *box = new QMessageBox(iconOf(style), title, text, QMessageBox::NoButton, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    setButtons(*box, buttonsOf(style));
    QObject::connect(box, &QDialog::finished, box, &QObject::deleteLater);
    box->open();
    return box;
}

MessageBoxAnswerer::MessageBoxAnswerer()
    : m_previous(s_current)
{
    s_current = this;
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    s_current = m_previous;
}

MessageBoxAnswerer *MessageBoxAnswerer::current()
{
    return s_current;
}

int MessageBoxAnswerer::answer(const Box &box)
{
    m_boxes.append(box);
    const std::vector<Choice> choices = buttonsOf(box.style);
    for (const Choice &c : choices) {
        if (c.second == m_answer)
            return m_answer;
    }
    return choices.front().second;
}

QStringList MessageBoxAnswerer::texts() const
{
    QStringList out;
    for (const Box &b : m_boxes)
        out.append(b.text);
    return out;
}
