#pragma once

#include <QList>

#include <vector>

// The records of one table, record i with index i.
template<class Record>
class PortRecords
{
public:
    void rebuild(quint16 count)
    {
        m_records.clear();
        m_records.reserve(count);
        for (quint16 i = 0; i < count; ++i)
            m_records.emplace_back(i);
    }
    quint16 count(bool presentOnly) const
    {
        if (!presentOnly)
            return quint16(m_records.size());
        quint16 n = 0;
        for (const auto &r : m_records)
            n += r.isPresent() ? 1 : 0;
        return n;
    }
    Record *at(quint16 index) { return index < m_records.size() ? &m_records[index] : nullptr; }
    const Record *at(quint16 index) const { return index < m_records.size() ? &m_records[index] : nullptr; }
    bool allInfoReceived() const
    {
        for (const auto &r : m_records) {
            if (!r.infoReceived)
                return false;
        }
        return true;
    }
    // 1-based numbers of the first records that lack their information.
    QList<quint16> missing(int limit) const
    {
        QList<quint16> numbers;
        for (const auto &r : m_records) {
            if (numbers.size() == limit)
                break;
            if (!r.infoReceived)
                numbers.append(quint16(r.index + 1));
        }
        return numbers;
    }
    int size() const { return int(m_records.size()); }
    bool empty() const { return m_records.empty(); }
    auto begin() { return m_records.begin(); }
    auto end() { return m_records.end(); }
    auto begin() const { return m_records.begin(); }
    auto end() const { return m_records.end(); }

private:
    std::vector<Record> m_records;
};
