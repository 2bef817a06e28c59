#include "Faults.h"

#include "PbxMessages.h"

#include <QStringList>

namespace pbxsim {

bool FaultSettings::parseSwitch(const QString &word, bool *on)
{
    const QString w = word.toLower();
    if (w == u"1" || w == u"on" || w == u"yes") {
        *on = true;
        return true;
    }
    if (w == u"0" || w == u"off" || w == u"no") {
        *on = false;
        return true;
    }
    return false;
}

bool FaultSettings::parseRequest(const QString &word, quint16 *code)
{
    bool ok = false;
    const uint v = (word.startsWith(u"0x", Qt::CaseInsensitive) ? word.mid(2) : word).toUInt(&ok, 16);
    if (ok && v <= 0xFFFF && Request::name(quint16(v)) != QString::asprintf("Unknown(%04X)", v)) {
        *code = quint16(v);
        return true;
    }
    for (uint c = 0; c <= 0x0BFF; ++c) {
        if (Request::name(quint16(c)) == word) {
            *code = quint16(c);
            return true;
        }
    }
    return false;
}

bool FaultSettings::parseAdm(const QString &word, Adm *adm)
{
    const QString w = word.toLower();
    if (w == u"normal" || w == u"none")
        *adm = Adm::Normal;
    else if (w == u"disable")
        *adm = Adm::Disable;
    else if (w == u"fail")
        *adm = Adm::Fail;
    else if (w == u"invalid")
        *adm = Adm::Invalid;
    else
        return false;
    return true;
}

QString FaultSettings::admName(Adm adm)
{
    switch (adm) {
    case Adm::Disable: return QStringLiteral("disable");
    case Adm::Fail: return QStringLiteral("fail");
    case Adm::Invalid: return QStringLiteral("invalid");
    case Adm::Normal: break;
    }
    return QStringLiteral("normal");
}

QString FaultSettings::describe() const
{
    QStringList ignoredNames;
    for (const quint16 c : ignored)
        ignoredNames << Request::name(c);
    ignoredNames.sort();
    return QStringLiteral("drop=%1 drop-rx=%2 flip=%3 noise=%4 delay=%5 silent=%6 refuse-logon=%7(%8) "
                          "refuse-logoff=%9 zero-stations=%10 close-after=%11 adm=%12 ignore=[%13]")
        .arg(dropPercent)
        .arg(dropRxPercent)
        .arg(flipPercent)
        .arg(noisePercent)
        .arg(delayMs)
        .arg(silent ? 1 : 0)
        .arg(refuseLogOn ? 1 : 0)
        .arg(nakReason)
        .arg(refuseLogOff ? 1 : 0)
        .arg(zeroStations ? 1 : 0)
        .arg(closeAfterFrames)
        .arg(admName(adm), ignoredNames.join(u','));
}

} // namespace pbxsim
