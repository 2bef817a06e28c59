#include "LampTable.h"

LampTable::LampTable(QObject *parent)
    : QObject(parent)
{
}

void LampTable::set(int index, int colour, int pattern)
{
    if (!isValidIndex(index))
        return;
    m_lamps[size_t(index - FirstIndex)] = Lamp{colour, pattern};
    Q_EMIT lampSet(index, colour, pattern);
}

void LampTable::clear()
{
    m_lamps.fill(Lamp{});
    Q_EMIT cleared();
}

LampTable::Lamp LampTable::lamp(int index) const
{
    if (!isValidIndex(index))
        return {};
    return m_lamps[size_t(index - FirstIndex)];
}
