#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class CLinkPort;

// Paging through the PBX: each choice is one feature request; the attendant
// then lifts the handset to speak.
class Paging
{
public:
    struct Choice
    {
        QString captionKey;
        QString toolTip; // a fixed text, empty when the control has none
        quint8 feature;
    };
    // The buttons, in the order the dialog shows them.
    enum Button : int { AllZones = 0, InternalAll, ExternalAll, External1, External2, External3, ButtonCount };
    static const QList<Choice> &buttons();
    static QString zoneListToolTip();
    // Feature of one internal zone; its parameter is the zone's place in the list.
    static constexpr quint8 InternalZoneFeature = 1;

    explicit Paging(CLinkPort &link);

    // The internal paging number the PBX reported with its system information.
    void setZoneCountQuery(std::function<int()> query) { m_zoneCount = std::move(query); }
    int zoneCount() const;
    // "Internal Zone 1" ... "Internal Zone N".
    QStringList zoneTexts() const;

    // Sends the button's feature request; whether it went is not reported.
    bool page(int button);
    // Sends feature 1 with the zone's 0-based place in the list.
    bool pageInternalZone(int position);

private:
    CLinkPort &m_link;
    std::function<int()> m_zoneCount;
};
