#pragma once

#include <QSet>
#include <QString>

namespace pbxsim {

// The faults the PBX can be told to show, from the command line, the control
// channel or a scenario. Shares are percentages of frames.
struct FaultSettings
{
    enum class Adm { Normal, Disable, Fail, Invalid };

    double dropPercent = 0;   // frames sent that are lost
    double dropRxPercent = 0; // frames received that are lost
    double flipPercent = 0;   // frames sent with one bit flipped
    double noisePercent = 0;  // frames sent after a few noise bytes
    int delayMs = 0;          // every frame sent is held back this long
    bool silent = false;      // nothing is sent at all
    bool refuseLogOn = false;
    quint8 nakReason = 1;
    bool refuseLogOff = false;
    bool zeroStations = false;
    int closeAfterFrames = 0; // the connection is closed after this many frames received; 0 never
    QSet<quint16> ignored;    // requests never answered
    Adm adm = Adm::Normal;

    // "1" or "on" and "0" or "off"; false when the word is neither.
    static bool parseSwitch(const QString &word, bool *on);
    // A request code in hex ("0x0102", "0102") or a request name ("SYSI_TRKNUMS_REQ").
    static bool parseRequest(const QString &word, quint16 *code);
    static bool parseAdm(const QString &word, Adm *adm);
    static QString admName(Adm adm);
    QString describe() const;
};

} // namespace pbxsim
