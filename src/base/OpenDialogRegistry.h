#pragma once

#include <functional>

// Every modal dialog enters itself here while it is shown (20 slots), so the
// log-off completion can end each one as if OK had been pressed. The operator
// interface of the console owns the one registry.
class OpenDialogRegistry
{
public:
    static constexpr int kSlots = 20;
    using EndAsOk = std::function<void()>;

    // Returns the slot, or -1 when all slots are taken (the dialog is then not ended by a log-off).
    int enter(EndAsOk endAsOk);
    void leave(int slot);
    int openCount() const;
    // Ends every registered dialog; returns how many were ended.
    int endAll();

private:
    EndAsOk m_slots[kSlots];
};
