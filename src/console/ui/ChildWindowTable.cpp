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

void ChildWindowTable::registerReopening(const Reopening &reopening)
{
    for (Reopening &r : m_reopenings) {
        if (r.kind == reopening.kind) {
            r = reopening;
            return;
        }
    }
    m_reopenings.push_back(reopening);
}

int ChildWindowTable::openCount(const Reopening &r) const
{
    if (!valid(r.slot))
        return CWindowKindSettings::forKind(r.kind).openCount();
    return (isOpen(r.slot) ? 1 : 0) + (isOpen(r.coSlot) ? 1 : 0);
}

void ChildWindowTable::rememberOpenWindows(bool loggedOn) const
{
    for (const Reopening &r : m_reopenings) {
        if (!loggedOn && !r.rememberedWhenLoggedOff)
            continue;
        CWindowKindSettings &kind = CWindowKindSettings::forKind(r.kind);
        kind.writeActiveWindow(openCount(r));
        if (valid(r.coSlot)) {
            const int mask = (isOpen(r.slot) ? CWindowKindSettings::StationWindowBit : 0)
                             | (isOpen(r.coSlot) ? CWindowKindSettings::CoWindowBit : 0);
            kind.writeLastActiveWindow(mask);
        }
    }
}

void ChildWindowTable::reopenWindows(bool loggedOn) const
{
    if (!loggedOn)
        return;
    // A copy: opening a window may register or enter windows.
    const std::vector<Reopening> reopenings = m_reopenings;
    for (const Reopening &r : reopenings) {
        if (!r.open || openCount(r) > 0)
            continue;
        const CWindowKindSettings &kind = CWindowKindSettings::forKind(r.kind);
        if (valid(r.coSlot)) {
            const int mask = kind.lastActiveWindow();
            if (mask & CWindowKindSettings::StationWindowBit)
                r.open(r.slot);
            if (mask & CWindowKindSettings::CoWindowBit)
                r.open(r.coSlot);
        } else if (kind.activeWindowFlag()) {
            r.open(r.slot);
        }
    }
}
