#include "Paging.h"

#include "link/CLinkRequest.h"

const QList<Paging::Choice> &Paging::buttons()
{
    static const QList<Choice> choices = {
        {QStringLiteral("#:All_paging_btn"), QStringLiteral("System all call paging\nLift handset to page"), 8},
        {QStringLiteral("#:Internal_all_btn"), QStringLiteral("Internal all call paging\nLift handset to page"), 2},
        {QStringLiteral("#:External_btn"), QStringLiteral("External all call paging\nLift handset to page"), 7},
        {QStringLiteral("#:Ext1_btn"), QStringLiteral("External zone one\nLift handset to page"), 4},
        {QStringLiteral("#:Ext2_btn"), QStringLiteral("External zone two\nLift handset to page"), 5},
        {QStringLiteral("#:Ext3_btn"), QString(), 6},
    };
    return choices;
}

QString Paging::zoneListToolTip()
{
    return QStringLiteral("Internal zone list\nLift handset to page");
}

Paging::Paging(CLinkPort &link)
    : m_link(link)
{
}

int Paging::zoneCount() const
{
    return m_zoneCount ? qMax(0, m_zoneCount()) : 0;
}

QStringList Paging::zoneTexts() const
{
    QStringList texts;
    const int n = zoneCount();
    for (int i = 1; i <= n; ++i)
        texts.append(QStringLiteral("Internal Zone %1").arg(i));
    return texts;
}

bool Paging::page(int button)
{
    if (button < 0 || button >= buttons().size())
        return false;
    return CLinkRequest(m_link).FeatureEvt(buttons().at(button).feature, 0);
}

bool Paging::pageInternalZone(int position)
{
    // Only zones the PBX has; the parameter is one byte.
    if (position < 0 || position >= zoneCount() || position > 0xFF)
        return false;
    return CLinkRequest(m_link).FeatureEvt(InternalZoneFeature, quint8(position));
}
