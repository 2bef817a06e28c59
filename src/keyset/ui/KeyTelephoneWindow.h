#pragma once

#include "keyset/KeyTelephoneKeys.h"

#include <QWidget>

#include <vector>

class CWindowKindSettings;
class KeyTelephone;
class LampKeyButton;
class StatusFreshness;
class QSplitter;

// The window of the virtual key telephone (kind "PKTU", title
// "#:pktu_window_WINTITLE"): the dial-pad pane with the twelve dial keys and
// eleven function keys over the flexible-key pane with 24 programmable keys.
// A thin view over the key telephone: it takes its lamps from the lamp table
// when it opens and follows every lamp command while open, and sends each key
// it is pressed through the key telephone.
class KeyTelephoneWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr auto TitleKey = "#:pktu_window_WINTITLE";

    explicit KeyTelephoneWindow(KeyTelephone &phone, QWidget *parent = nullptr);

    // The key labels and the title are looked up again (language change).
    void retranslate();
    // Marks the lamp keys stale while the PBX's state is not known (none: never).
    void setFreshness(const StatusFreshness *freshness);

    const std::vector<LampKeyButton *> &dialKeys() const { return m_dial; }
    const std::vector<LampKeyButton *> &functionKeys() const { return m_function; }
    const std::vector<LampKeyButton *> &flexibleKeys() const { return m_flexible; }
    // The key that shows a lamp index, or nullptr.
    LampKeyButton *keyOfLamp(int lamp) const;

private:
    void applyLamp(int index, int colour, int pattern);
    void applyFreshness();
    void showContextMenu(KeyTelephoneKeys::Group group, const QPoint &globalPos);
    void applyFonts();
    LampKeyButton *addKey(QWidget *pane, KeyTelephoneKeys::Group group, const KeyTelephoneKeys::Key &key,
                          const QRect &geometry);
    static CWindowKindSettings &fontKind(KeyTelephoneKeys::Group group);

    KeyTelephone &m_phone;
    QSplitter *m_splitter = nullptr;
    std::vector<LampKeyButton *> m_dial;
    std::vector<LampKeyButton *> m_function;
    std::vector<LampKeyButton *> m_flexible;
    const StatusFreshness *m_freshness = nullptr;
};
