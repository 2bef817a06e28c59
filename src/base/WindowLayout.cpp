#include "WindowLayout.h"

DefaultLayout DefaultLayout::initial()
{
    DefaultLayout d;
    d.keyTelephone = {0, 0, 277, 320};
    d.stationButtons = {278, 0, 790, 160};
    d.queue = {278, 161, 790, 320};
    d.coButtons = {550, 161, 790, 320};
    d.stationDirectory = {0, 321, 263, 500};
    d.coDirectory = {264, 321, 526, 500};
    d.speedBinDirectory = {0, 0, 493, 370};
    d.phoneNumberDirectory = {0, 0, 494, 370};
    return d;
}

DefaultLayout &DefaultLayout::current()
{
    static DefaultLayout layout = initial();
    return layout;
}

namespace {

// WinRect is {left, top, right, bottom}.
WinRect rect(int left, int top, int right, int bottom)
{
    return WinRect{left, top, right, bottom};
}

WinRect movedTo(const WinRect &r, int left, int top)
{
    return rect(left, top, left + r.width(), top + r.height());
}

} // namespace

DefaultLayout recomputeLayout(const DefaultLayout &cur, const WinRect &client)
{
    DefaultLayout d = cur;
    // 1. virtual key telephone: (client left, client top, its right, its bottom)
    d.keyTelephone = rect(client.left, client.top, cur.keyTelephone.right, cur.keyTelephone.bottom);
    const WinRect &kt = d.keyTelephone;
    // 2. station status buttons
    d.stationButtons = rect(kt.right, client.top, client.right, kt.bottom / 2);
    // 3. call queue
    d.queue = rect(kt.right, d.stationButtons.bottom, client.right / 2 + kt.right / 2, kt.bottom);
    // 4. CO status buttons
    d.coButtons = rect(d.queue.right, d.queue.top, client.right, d.queue.bottom);
    // 5. speed-bin directory: 50 right and 50 down from the client origin, size kept
    d.speedBinDirectory = movedTo(cur.speedBinDirectory, client.left + 50, client.top + 50);
    // 6. phone-number directory: 150 right and 100 down, size kept
    d.phoneNumberDirectory = movedTo(cur.phoneNumberDirectory, client.left + 150, client.top + 100);
    // 7. station directory
    d.stationDirectory = rect(client.left, d.queue.bottom, client.right * 3 / 5, client.bottom);
    // 8. CO directory
    d.coDirectory = rect(client.right * 3 / 5, d.queue.bottom, client.right, client.bottom);
    return d;
}

RestoreDecision decideRestore(const WindowPlacement &stored, bool isMainWindow)
{
    if (stored.rcNormal.left == 0 && stored.rcNormal.right == 0)
        return {false, isMainWindow ? ShowCmd::Maximized : ShowCmd::Normal};
    int showCmd = stored.showCmd;
    if (!isMainWindow || showCmd == ShowCmd::Minimized)
        showCmd = ShowCmd::Normal;
    return {true, showCmd};
}
