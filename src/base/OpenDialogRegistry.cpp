#include "OpenDialogRegistry.h"

int OpenDialogRegistry::enter(EndAsOk endAsOk)
{
    for (int i = 0; i < kSlots; ++i) {
        if (!m_slots[i]) {
            m_slots[i] = std::move(endAsOk);
            return i;
        }
    }
    return -1;
}

void OpenDialogRegistry::leave(int slot)
{
    if (slot >= 0 && slot < kSlots)
        m_slots[slot] = nullptr;
}

int OpenDialogRegistry::openCount() const
{
    int n = 0;
    for (const auto &s : m_slots)
        n += s ? 1 : 0;
    return n;
}

int OpenDialogRegistry::endAll()
{
    int ended = 0;
    for (int i = 0; i < kSlots; ++i) {
        if (m_slots[i]) {
            // Ending a dialog leaves its slot; take the handler out first.
            EndAsOk end = std::move(m_slots[i]);
            m_slots[i] = nullptr;
            end();
            ++ended;
        }
    }
    return ended;
}
