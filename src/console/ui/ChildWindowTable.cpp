#include "ChildWindowTable.h"

#include "base/MessageCatalogue.h"

void ChildWindowTable::enter(int slot, QWidget *window, const QString &titleKey)
{
    if (!valid(slot))
        return;
    m_slots[slot] = Entry{window, titleKey};
}

void ChildWindowTable::leave(int slot)
{
    if (valid(slot))
        m_slots[slot] = Entry{};
}

QWidget *ChildWindowTable::window(int slot) const
{
    return valid(slot) ? m_slots[slot].window.data() : nullptr;
}

QString ChildWindowTable::titleKey(int slot) const
{
    return valid(slot) && m_slots[slot].window ? m_slots[slot].titleKey : QString();
}

void ChildWindowTable::retitleAll() const
{
    const MessageCatalogue catalogue;
    for (const Entry &e : m_slots) {
        if (e.window && !e.titleKey.isEmpty())
            e.window->setWindowTitle(catalogue.text(e.titleKey));
    }
}
