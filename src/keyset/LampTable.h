#pragma once

#include <QObject>

#include <array>

// The lamps of the key telephone as the PBX last set them, indexed 1 to 128,
// each a colour index and a blink pattern. It holds them whether or not a
// key telephone window is open, so an opening window takes its lamps from here.
class LampTable : public QObject
{
    Q_OBJECT
public:
    static constexpr int FirstIndex = 1;
    static constexpr int LastIndex = 128;

    struct Lamp
    {
        int colour = 0;
        int pattern = 0;
        friend bool operator==(const Lamp &, const Lamp &) = default;
    };

    explicit LampTable(QObject *parent = nullptr);

    static bool isValidIndex(int index) { return index >= FirstIndex && index <= LastIndex; }

    // An index outside 1 to 128 is ignored.
    void set(int index, int colour, int pattern);
    // Every entry back to (0, 0); done when the own station becomes known.
    void clear();
    // (0, 0) for an index outside 1 to 128.
    Lamp lamp(int index) const;

Q_SIGNALS:
    // Every lamp command is told, also one that repeats the stored values:
    // pattern 16 acts on the key's present state, not on the table.
    void lampSet(int index, int colour, int pattern);
    void cleared();

private:
    std::array<Lamp, LastIndex> m_lamps{};
};
