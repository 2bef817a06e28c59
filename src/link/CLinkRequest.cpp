#include "CLinkRequest.h"

#include "link/CLinkPort.h"
#include "link/SpeedBinRecord.h"
#include "base/Trace.h"

namespace {

// Two key characters for each character of text entry; nullptr when it has none.
const char *textEntryKeys(QChar c)
{
    static const char *const letters[26] = {
        "21", "22", "23", "31", "32", "33", "41", "42", "43", "51", "52", "53", "61",
        "62", "63", "71", "11", "72", "73", "81", "82", "83", "91", "92", "93", "12",
    };
    static const char *const digits[10] = {"00", "10", "20", "30", "40", "50", "60", "70", "80", "90"};
    const char16_t u = c.unicode();
    if (u >= 'A' && u <= 'Z')
        return letters[u - 'A'];
    if (u >= '0' && u <= '9')
        return digits[u - '0'];
    switch (u) {
    case ' ':
        return "*1";
    case ':':
        return "*2";
    case ',':
        return "*3";
    case '.':
        return "13";
    default:
        return nullptr;
    }
}

// Key code of a key character, 0 when it has none.
quint8 keyCode(char c)
{
    if (c >= '1' && c <= '9')
        return quint8(0x90 + (c - '1'));
    switch (c) {
    case '0': return 0x99;
    case '*': return 0x9A;
    case '#': return 0x9B;
    case 'A': return 0x9C;
    case 'B': return 0x9D;
    case 'C': return 0x9E;
    case 'D': return 0x9F;
    case 'F': return 0x69;
    case 'H': return 0x6C;
    case 'I': return 0x6A;
    case 'K': return 0x66;
    case 'M': return 0x6B;
    case 'N': return 0x68;
    case 'O': return 0x65;
    case 'R': return 0x62;
    case 'S': return 0x64;
    case 'T': return 0x63;
    case 'U': return 0x67;
    default: return 0;
    }
}

constexpr int kMaxKeyCodes = 61;
} // namespace

CLinkRequest::CLinkRequest(CLinkPort &link)
    : m_link(link)
{
}

bool CLinkRequest::send()
{
    if (Trace::enabled() && Trace::switches().txAll)
        Trace::instance().write(1, Trace::hexBytes(m_bytes.constData(), int(m_bytes.size())));
    const bool ok = m_link.sendDataPacket(m_bytes);
    m_bytes.clear();
    return ok;
}

bool CLinkRequest::simple(quint16 code, const char *trace)
{
    if (trace)
        ZTRACE(1, "%s", trace);
    append16(code);
    return send();
}

bool CLinkRequest::withPort(quint16 code, quint16 value, const QString &trace)
{
    Trace::instance().write(1, trace);
    append16(code);
    append16(value);
    return send();
}

bool CLinkRequest::LOG_OFF_REQ()
{
    const bool ok = simple(0x0003, "LOG_OFF_REQ");
    m_link.notifyLogOffRequested();
    return ok;
}

bool CLinkRequest::LOG_STATE_REQ() { return simple(0x0005, "LOG_STATE_REQ"); }
bool CLinkRequest::LOG_Alive() { return simple(0x0006, nullptr); }
bool CLinkRequest::LOG_VersionReq() { return simple(0x0008, "LOG_VersionReq"); }
bool CLinkRequest::LOG_PacketmissAck() { return simple(0x000A, "LOG_PacketmissAck"); }

bool CLinkRequest::LOG_ON_Request()
{
    const bool ok = simple(0x000B, "LOG_ON_Request");
    m_link.notifyLogOnRequested();
    return ok;
}

bool CLinkRequest::LOG_Command()
{
    const bool ok = simple(0x000B, "LOG_Command");
    m_link.notifyLogOnRequested();
    return ok;
}

bool CLinkRequest::LOG_LifeTime() { return simple(0x000C, "LOG_LifeTime"); }
bool CLinkRequest::Send_PING_Response_to_Varo() { return simple(0x000F, "Send_PING_Response_to_Varo"); }

bool CLinkRequest::SYSI_EXTNUMS_REQ() { return simple(0x0101, "SYSI_EXTNUMS_REQ"); }
bool CLinkRequest::SYSI_TRKNUMS_REQ() { return simple(0x0102, "SYSI_TRKNUMS_REQ"); }
bool CLinkRequest::MESKPARA_TrkBaseNumber() { return simple(0x0104, "MESKPARA_TrkBaseNumber"); }
bool CLinkRequest::SYSI_MyID() { return simple(0x0105, "SYSI_MyID"); }
bool CLinkRequest::SYSI_MpbVerS() { return simple(0x0107, "SYSI_MpbVerS"); }
bool CLinkRequest::SYSI_MpbVerL() { return simple(0x0108, "SYSI_MpbVerL"); }
bool CLinkRequest::SYSI_MpbNation() { return simple(0x0109, "SYSI_MpbNation"); }
bool CLinkRequest::SYSI_CoNameNum() { return simple(0x010A, "SYSI_CoNameNum"); }
bool CLinkRequest::IntPageNum() { return simple(0x010B, "IntPageNum"); }
bool CLinkRequest::SYSI_Sysspdrange() { return simple(0x010C, "SYSI_Sysspdrange"); }
bool CLinkRequest::SYSI_MeskTime() { return simple(0x010D, "SYSI_MeskTime"); }

bool CLinkRequest::MESKPARA_STATUSCLEAR() { return simple(0x0201, "MESKPARA_STATUSCLEAR"); }

bool CLinkRequest::MESKPARA_STATUSTIME(quint8 period, quint8 min, quint8 max)
{
    ZTRACE(1, "MESKPARA_STATUSTIME:period:%2x.min%2x.max%2x.", period, min, max);
    append16(0x0202);
    append8(period);
    append8(min);
    append8(max);
    return send();
}

bool CLinkRequest::EXTI_Asc(quint16 port)
{
    return withPort(0x0301, port, QString::asprintf("EXTI_Asc:%3d,", port));
}

bool CLinkRequest::EXTI_MeskState(quint16 port)
{
    return withPort(0x0302, port, QString::asprintf("EXTI_MeskState:%d,", port));
}

bool CLinkRequest::EXTI_Number(quint16 port)
{
    return withPort(0x0303, port, QString::asprintf("EXTI_Number:%d,", port));
}

bool CLinkRequest::EXTI_Name(quint16 port)
{
    return withPort(0x0304, port, QString::asprintf("EXTI_Name:%d,", port));
}

bool CLinkRequest::EXTI_Multi2(quint16 port)
{
    return withPort(0x0308, port, QString::asprintf("EXTI_Multi2(%d,)", port));
}

bool CLinkRequest::TRKI_Asc(quint16 line)
{
    return withPort(0x0401, line, QString::asprintf("TRKI_Asc:%d,", line));
}

bool CLinkRequest::TRKI_MeskState(quint16 line)
{
    return withPort(0x0402, line, QString::asprintf("TRKI_MeskState:%d,", line));
}

bool CLinkRequest::TRKI_CallerID(quint16 line)
{
    return withPort(0x0403, line, QString::asprintf("TRKI_CallerID:%d,", line));
}

bool CLinkRequest::TRKI_Coname(quint16 nameIndex)
{
    // The trace shows the index given; the wire carries the name number.
    return withPort(0x0404, quint16(nameIndex + 1), QString::asprintf("TRKI_Coname:%d,", nameIndex));
}

bool CLinkRequest::DYNBTN_DSS(quint16 stationIndex)
{
    const quint16 seq = m_link.nextDynBtnSequence();
    const quint16 station = quint16(stationIndex + 1);
    ZTRACE(1, "DYNBTN_DSS:%d,%3d,", seq, station);
    append16(0x0502);
    append16(seq);
    append16(station);
    return send();
}

bool CLinkRequest::DYNBTN_DLS(quint16 lineIndex)
{
    const quint16 seq = m_link.nextDynBtnSequence();
    const quint16 line = quint16(lineIndex + 1);
    ZTRACE(1, "DYNBTN_DLS:%d,%d,", seq, line);
    append16(0x0503);
    append16(seq);
    append16(line);
    return send();
}

bool CLinkRequest::DYNBTN_CoGrp(quint16 group)
{
    const quint16 seq = m_link.nextDynBtnSequence();
    ZTRACE(1, "DYNBTN_CoGrp:%d,%d,", seq, group);
    append16(0x0504);
    append16(seq);
    append16(group);
    return send();
}

bool CLinkRequest::DYNBTN_General(quint8 kind)
{
    const char *name = kind == 0 ? "LOOP" : kind == 1 ? "Intrusion" : nullptr;
    if (!name)
        return false;
    const quint16 seq = m_link.nextDynBtnSequence();
    ZTRACE(1, "DYNBTN_General:%d,%s,", seq, name);
    append16(0x0505);
    append16(seq);
    append8(kind);
    return send();
}

bool CLinkRequest::ADM_StaNo(quint16 station, quint16 value)
{
    ZTRACE(1, "ADM_StaNo:%d,%4x.", station, value);
    append16(0x0601);
    append16(station);
    append16(value);
    return send();
}

bool CLinkRequest::EVT_Ext(quint16 station, quint8 b1, quint8 b2, quint8 b3)
{
    ZTRACE(1, "EVT_Ext:%d,%02x.%02x.%02x", station, b1, b2, b3);
    append16(0x0701);
    append16(station);
    append8(b1);
    append8(b2);
    append8(b3);
    return send();
}

bool CLinkRequest::EVT_Trk(quint16 line, quint8 b1, quint8 b2, quint8 b3)
{
    ZTRACE(1, "EVT_Trk:%d,%02x.%02x.%02x", line, b1, b2, b3);
    append16(0x0702);
    append16(line);
    append8(b1);
    append8(b2);
    append8(b3);
    return send();
}

bool CLinkRequest::ATDI_DayNight() { return simple(0x0901, "ATDI_DayNight"); }
bool CLinkRequest::ATDI_BGM() { return simple(0x0902, "ATDI_BGM"); }

bool CLinkRequest::ATDI_ExtWakeup(quint16 station)
{
    return withPort(0x0903, station, QString::asprintf("ATDI_ExtWakeup:%d,", station));
}

bool CLinkRequest::ATDI_ExtTempCos(quint16 station)
{
    return withPort(0x0904, station, QString::asprintf("ATDI_ExtTempCos:%d,", station));
}

bool CLinkRequest::EXTI_Wakeup(quint16 stationIndex)
{
    return withPort(0x0906, quint16(stationIndex + 1), QString::asprintf("EXTI_Wakeup(%d,)", stationIndex));
}

bool CLinkRequest::EXTI_Tempcos(quint16 station)
{
    return withPort(0x0907, station, QString::asprintf("EXTI_Tempcos(%d,)", station));
}

bool CLinkRequest::SPDI_Req(quint16 bin)
{
    return withPort(0x0A01, bin, QString::asprintf("SPDI_Req:%d,", bin));
}

bool CLinkRequest::SPDI_Write(const SpeedBinRecord &record)
{
    if (Trace::enabled()) {
        QString co;
        if (record.coType == SpeedBinRecord::Line)
            co = QString::asprintf("Line%02d,", record.coNumber);
        else if (record.coType == SpeedBinRecord::Group)
            co = QString::asprintf("Grp.%02d,", record.coNumber);
        Trace::instance().write(1, QStringLiteral("SPDI_Write:%1,%2:%3:%4")
                                       .arg(record.bin)
                                       .arg(co, record.number, record.name));
    }
    m_bytes.append(record.encode());
    return send();
}

bool CLinkRequest::SCTL_RestartExt(quint16 stationIndex)
{
    return withPort(0x0B01, quint16(stationIndex + 1),
                    QString::asprintf("SCTL_RestartExt:%d,", stationIndex + 1));
}

bool CLinkRequest::SCTL_RestartTrk(quint16 line)
{
    return withPort(0x0B02, line, QString::asprintf("SCTL_RestartTrk:%d,", line));
}

bool CLinkRequest::SCTL_LcdDaytime() { return simple(0x0B03, "SCTL_LcdDaytime"); }

bool CLinkRequest::MY_SINGLE_PKTU_EVENT(quint8 keyEvent)
{
    ZTRACE(5, "MY_SINGLE_PKTU_EVENT:%2x.", keyEvent);
    append8(0x80);
    append8(keyEvent);
    return send();
}

bool CLinkRequest::FeatureEvt(quint8 feature, quint8 value)
{
    ZTRACE(1, "FeatureEvt:%d,", feature);
    append8(0x82);
    append8(feature);
    append8(value);
    return send();
}

bool CLinkRequest::expandKeyString(const QString &text, QByteArray &codes)
{
    enum { Plain, TextEntry, Special } bracket = Plain;
    QByteArray keys;
    keys.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '{' || u == '<') {
            if (bracket != Plain)
                return false;
            bracket = u == '{' ? TextEntry : Special;
            continue;
        }
        if (u == '}' || u == '>') {
            if ((u == '}' && bracket != TextEntry) || (u == '>' && bracket != Special))
                return false;
            bracket = Plain;
            continue;
        }
        if (bracket == TextEntry) {
            const char *two = textEntryKeys(c);
            if (!two)
                return false;
            keys.append(two, 2);
        } else if (bracket == Special) {
            if (u == '#' || (u >= '0' && u <= '9'))
                keys.append(char(u));
            else if (u == '*')
                keys.append('N');
            else if (u == 'F')
                keys.append('F');
            else if (u == 'P')
                keys.append('K');
            else if (u == 'S')
                keys.append('*');
            else
                return false;
        } else {
            // Outside brackets every character is copied; one without a key fails below.
            keys.append(u < 0x80 ? char(u) : '\0');
        }
    }
    if (bracket != Plain)
        return false;
    QByteArray out;
    out.reserve(keys.size());
    for (const char k : keys) {
        const quint8 code = keyCode(k);
        if (!code)
            return false;
        out.append(char(code));
    }
    codes = out;
    return true;
}

bool CLinkRequest::keySequence(const QString &text)
{
    QByteArray codes;
    if (!expandKeyString(text, codes))
        return false;
    for (int pos = 0; pos < codes.size(); pos += kMaxKeyCodes) {
        const int n = qMin<int>(kMaxKeyCodes, int(codes.size()) - pos);
        if (Trace::enabled()) {
            QString line = QStringLiteral("MY_MULTIPLE_PKTU_EVENT:");
            for (int i = 0; i < n; ++i)
                line += QString::asprintf("%2x.", quint8(codes.at(pos + i)));
            Trace::instance().write(5, line);
        }
        append8(0x81);
        append8(quint8(n));
        m_bytes.append(codes.constData() + pos, n);
        if (!send())
            return false;
    }
    return true;
}

bool CLinkRequest::commandText(const QString &text)
{
    if (!DYNBTN_General(0))
        return false;
    return keySequence(text);
}

InfoBatch::InfoBatch(CLinkPort &link, Kind kind)
    : m_request(link)
    , m_kind(kind)
    , m_itemCode(kind == Stations ? stationItemCode(link.pbxVersion()) : quint16(0x0405))
{
}

quint16 InfoBatch::stationItemCode(quint32 pbxVersion)
{
    return (pbxVersion & 0xFFFF) < 259 ? quint16(0x0305) : quint16(0x0309);
}

bool InfoBatch::add(quint16 number, bool last)
{
    bool ok = true;
    if (m_request.size() >= 60)
        ok = flush();
    m_request.append16(m_itemCode);
    m_request.append16(number);
    m_numbers.append(number);
    if (last)
        ok = flush() && ok;
    return ok;
}

bool InfoBatch::flush()
{
    if (m_request.isEmpty())
        return true;
    if (Trace::enabled()) {
        QString line;
        if (m_kind == Stations)
            line = m_itemCode == 0x0305 ? QStringLiteral("EXTI_Multi1:") : QStringLiteral("EXTI_Multi3:");
        else
            line = QStringLiteral("TRKI_Conamebin:");
        for (const quint16 n : m_numbers)
            line += QString::asprintf(m_kind == Stations ? "%04d," : "%03d,", n);
        Trace::instance().write(1, line);
    }
    m_numbers.clear();
    ++m_requests;
    return m_request.send();
}
