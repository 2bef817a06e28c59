#include "PbxMessages.h"

#include "link/SpeedBinRecord.h"

#include <QStringList>

namespace pbxsim {

namespace {

void put16(QByteArray &out, quint16 v)
{
    out.append(char(v >> 8));
    out.append(char(v & 0xFF));
}

void put24(QByteArray &out, quint32 v)
{
    out.append(char((v >> 16) & 0xFF));
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}

void put32(QByteArray &out, quint32 v)
{
    put16(out, quint16(v >> 16));
    put16(out, quint16(v & 0xFFFF));
}

QByteArray code16(quint16 code)
{
    QByteArray out;
    put16(out, code);
    return out;
}

// A text as the PBX stores it: Latin-1, cut so the message fits one frame.
QByteArray wireText(const QString &text, int room)
{
    QByteArray bytes = text.toLatin1();
    if (bytes.size() > room)
        bytes.truncate(room);
    return bytes;
}

// Code, length byte n = size - 3, then the body.
QByteArray withLength(quint16 code, const QByteArray &body)
{
    QByteArray out = code16(code);
    out.append(char(quint8(body.size())));
    out.append(body);
    return out;
}

quint8 at(const QByteArray &p, int i)
{
    return quint8(p.at(i));
}

quint16 at16(const QByteArray &p, int i)
{
    return quint16((at(p, i) << 8) | at(p, i + 1));
}

QString latin(const QByteArray &p, int begin, int end)
{
    int stop = begin;
    while (stop < end && p.at(stop) != 0)
        ++stop;
    return QString::fromLatin1(p.constData() + begin, stop - begin);
}

constexpr int kMaxPayload = 63;

template <typename SizeFn, typename CodeFn, typename NameFn, typename FieldsFn>
QString describeAll(const QByteArray &payload, SizeFn sizeOf, CodeFn codeOf, NameFn nameOf, FieldsFn fieldsOf)
{
    QStringList parts;
    int offset = 0;
    while (offset < payload.size()) {
        const quint16 c = codeOf(payload, offset);
        const int n = sizeOf(payload, offset);
        if (n == 0) {
            parts << QStringLiteral("UNKNOWN ") + hexBytes(payload.mid(offset));
            break;
        }
        if (n < 0) {
            parts << QStringLiteral("TRUNCATED ") + nameOf(c);
            break;
        }
        const QString f = fieldsOf(c, payload, offset, n);
        parts << (f.isEmpty() ? nameOf(c) : nameOf(c) + u' ' + f);
        offset += n;
    }
    return parts.isEmpty() ? QStringLiteral("(empty)") : parts.join(QStringLiteral("; "));
}
} // namespace

namespace Status {

QString name(quint8 code)
{
    switch (code) {
    case 0x00: return QStringLiteral("ST_NOCHANGE");
    case Invalid: return QStringLiteral("ST_INVALID");
    case Busy: return QStringLiteral("ST_BUSY");
    case Hold: return QStringLiteral("ST_HOLD");
    case Ring: return QStringLiteral("ST_RING");
    case ExtIdle: return QStringLiteral("STEXT_IDLE");
    case ExtIdleDnd: return QStringLiteral("STEXT_IDLE_WITH_DND");
    case ExtIdleRing: return QStringLiteral("STEXT_IDLE_WITH_RING");
    case ExtIcm: return QStringLiteral("STEXT_ICM");
    case ExtCol: return QStringLiteral("STEXT_COL");
    case ExtPgm: return QStringLiteral("STEXT_PGM");
    case TrkIdle: return QStringLiteral("STTRK_IDLE");
    case TrkHoldRecall: return QStringLiteral("STTRK_HOLD_RECALL");
    case TrkHoldAtdRecall: return QStringLiteral("STTRK_HOLD_ATDRECALL");
    case TrkIdleDisabled: return QStringLiteral("STTRK_IDLE_WITH_DISABLE");
    default: return QString::asprintf("Unknown(0x%02X)", code);
    }
}

namespace {
int parseCode(const QString &word)
{
    bool ok = false;
    const uint v = word.toUInt(&ok, 0);
    return ok && v <= 0xFF ? int(v) : -1;
}
} // namespace

int parseStation(const QString &word)
{
    const QString w = word.toLower();
    if (w == u"idle") return ExtIdle;
    if (w == u"dnd") return ExtIdleDnd;
    if (w == u"idle-ring") return ExtIdleRing;
    if (w == u"busy") return Busy;
    if (w == u"hold") return Hold;
    if (w == u"ring") return Ring;
    if (w == u"icm") return ExtIcm;
    if (w == u"col") return ExtCol;
    if (w == u"pgm") return ExtPgm;
    if (w == u"invalid") return Invalid;
    return parseCode(word);
}

int parseLine(const QString &word)
{
    const QString w = word.toLower();
    if (w == u"idle") return TrkIdle;
    if (w == u"busy") return Busy;
    if (w == u"hold") return Hold;
    if (w == u"ring") return Ring;
    if (w == u"recall") return TrkHoldRecall;
    if (w == u"atd-recall") return TrkHoldAtdRecall;
    if (w == u"disabled") return TrkIdleDisabled;
    if (w == u"invalid") return Invalid;
    return parseCode(word);
}

} // namespace Status

QByteArray packDigits(const QString &digits)
{
    return DigitCode::pack(digits);
}

QString unpackDigits(const char *data, int length)
{
    QString out;
    for (int i = 0; i < length; ++i) {
        const quint8 b = quint8(data[i]);
        for (const quint8 n : {quint8(b >> 4), quint8(b & 0x0F)}) {
            if (n == 0)
                return out;
            const QChar c = DigitCode::toChar(n);
            out += c.isNull() ? QChar(u'.') : c;
        }
    }
    return out;
}

quint16 numberToNibbles(const QString &digits)
{
    quint16 v = 0;
    for (const QChar c : digits.right(4))
        v = quint16((v << 4) | DigitCode::fromChar(c));
    return v;
}

QString nibblesToNumber(quint16 value)
{
    QString out;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const QChar c = DigitCode::toChar(quint8((value >> shift) & 0xF));
        if (!c.isNull())
            out += c;
    }
    return out;
}

namespace Event {

QByteArray logOnAck() { return code16(0x0001); }
QByteArray logOnNak(quint8 reason)
{
    QByteArray out = code16(0x0002);
    out.append(char(reason));
    return out;
}
QByteArray logOffAck() { return code16(0x0003); }
QByteArray logOffNak() { return code16(0x0004); }
QByteArray logOnState() { return code16(0x0006); }
QByteArray logOffState() { return code16(0x0007); }
QByteArray version(quint32 value)
{
    QByteArray out = code16(0x0008);
    put32(out, value);
    return out;
}
QByteArray packetMissReport() { return code16(0x0009); }
QByteArray lifeTime(quint32 value)
{
    QByteArray out = code16(0x000C);
    put32(out, value);
    return out;
}
QByteArray ping() { return code16(0x000E); }

QByteArray stationCount(quint16 n)
{
    QByteArray out = code16(0x0101);
    put16(out, n);
    return out;
}

QByteArray lineCount(quint16 n)
{
    QByteArray out = code16(0x0102);
    put16(out, n);
    return out;
}

QByteArray codeBases(quint32 accessBase, quint16 accessCount, quint32 retrieveBase, quint16 retrieveCount)
{
    QByteArray out = code16(0x0104);
    put24(out, accessBase);
    put16(out, accessCount);
    put24(out, retrieveBase);
    put16(out, retrieveCount);
    return out;
}

QByteArray myId(quint16 port)
{
    QByteArray out = code16(0x0105);
    put16(out, port);
    return out;
}

QByteArray mpbShortVersion(const QString &six)
{
    QByteArray out = code16(0x0107);
    QByteArray text = wireText(six, 6);
    text.append(QByteArray(6 - text.size(), ' '));
    out.append(text);
    return out;
}

QByteArray mpbLongVersion(const QString &text)
{
    return withLength(0x0108, wireText(text, kMaxPayload - 3));
}

QByteArray nation(quint16 code, const QString &text)
{
    QByteArray body;
    put16(body, code);
    body.append(wireText(text, kMaxPayload - 5));
    return withLength(0x0109, body);
}

QByteArray coNameCount(quint8 n)
{
    QByteArray out = code16(0x010A);
    out.append(char(n));
    return out;
}

QByteArray pagingNumber(quint8 n)
{
    QByteArray out = code16(0x010B);
    out.append(char(n));
    return out;
}

QByteArray speedRange(quint16 first, quint16 last)
{
    QByteArray out = code16(0x010C);
    put16(out, first);
    put16(out, last);
    return out;
}

QByteArray pbxTime(int year, int month, int day, int weekday, int hour, int minute, int second)
{
    QByteArray out = code16(0x010D);
    for (const int v : {year - 2000, month, day, weekday, hour, minute, second})
        out.append(char(quint8(v)));
    return out;
}

QByteArray administration(quint16 code) { return code16(code); }

QByteArray speedEmpty(quint16 bin)
{
    QByteArray out = code16(0x0A01);
    put16(out, bin);
    return out;
}

QByteArray speedRecord(const SpeedBinRecord &record)
{
    return record.encode();
}

QByteArray stationAsc(quint16 port, quint8 kind, quint16 party)
{
    QByteArray out = code16(0x0301);
    put16(out, port);
    out.append(char(kind));
    put16(out, party);
    return out;
}

QByteArray stationMeskState(quint16 port, quint8 state)
{
    QByteArray out = code16(0x0302);
    put16(out, port);
    out.append(char(state));
    return out;
}

QByteArray stationNumber(quint16 port, quint16 number)
{
    QByteArray out = code16(0x0303);
    put16(out, port);
    put16(out, number);
    return out;
}

QByteArray stationName(quint16 port, const QString &name)
{
    QByteArray body;
    put16(body, port);
    body.append(wireText(name, kMaxPayload - 5));
    return withLength(0x0304, body);
}

QByteArray stationMulti1(quint16 port, quint16 number, const QString &name)
{
    QByteArray body;
    put16(body, port);
    put16(body, number);
    body.append(wireText(name, kMaxPayload - 7));
    return withLength(0x0305, body);
}

QByteArray stationMulti2(quint16 port, quint8 wakeMode, quint8 hour, quint8 minute, quint8 tempCos)
{
    QByteArray out = code16(0x0308);
    put16(out, port);
    out.append(char(wakeMode));
    out.append(char(hour));
    out.append(char(minute));
    out.append(char(tempCos));
    return out;
}

QByteArray stationMulti3(quint16 port, quint8 presence, quint16 number, const QString &name)
{
    QByteArray body;
    put16(body, port);
    body.append(char(presence));
    put16(body, number);
    body.append(wireText(name, kMaxPayload - 8));
    return withLength(0x0309, body);
}

QByteArray lineAsc(quint16 line, quint8 kind, quint16 party)
{
    QByteArray out = code16(0x0401);
    put16(out, line);
    out.append(char(kind));
    put16(out, party);
    return out;
}

QByteArray lineMeskState(quint16 line, quint8 state)
{
    QByteArray out = code16(0x0402);
    put16(out, line);
    out.append(char(state));
    return out;
}

QByteArray lineCallerId(quint16 line, const QString &digits)
{
    QByteArray body;
    put16(body, line);
    QByteArray packed = packDigits(digits);
    packed.truncate(kMaxPayload - 5);
    body.append(packed);
    return withLength(0x0403, body);
}

QByteArray coName(quint16 nameNumber, const QString &name)
{
    QByteArray body;
    put16(body, nameNumber);
    body.append(wireText(name, kMaxPayload - 5));
    return withLength(0x0404, body);
}

QByteArray coNameBin(quint16 line, quint16 nameNumber)
{
    QByteArray out = code16(0x0405);
    put16(out, line);
    put16(out, nameNumber);
    return out;
}

namespace {
QByteArray statusList(quint8 code, const QList<QPair<quint16, quint8>> &entries)
{
    QByteArray out;
    out.append(char(code));
    out.append(char(0));
    for (int i = 0; i < entries.size() && i < kMaxStatusEntries; ++i) {
        put16(out, entries.at(i).first);
        out.append(char(entries.at(i).second));
    }
    out[1] = char(quint8(out.size() - 2));
    return out;
}
} // namespace

QByteArray stationStatusList(const QList<QPair<quint16, quint8>> &entries)
{
    return statusList(0x83, entries);
}

QByteArray lineStatusList(const QList<QPair<quint16, quint8>> &entries)
{
    return statusList(0x84, entries);
}

QByteArray ownStatus(quint8 status, quint8 second)
{
    QByteArray out;
    out.append(char(0x85));
    out.append(char(status));
    out.append(char(second));
    return out;
}

QByteArray icmRingStart(quint16 port)
{
    QByteArray out = code16(0x0801);
    put16(out, port);
    return out;
}

QByteArray icmRingStop(quint16 port)
{
    QByteArray out = code16(0x0802);
    put16(out, port);
    return out;
}

QByteArray coRingStart(quint16 line, quint8 kind, const QString &digits)
{
    QByteArray body;
    put16(body, line);
    body.append(char(kind));
    QByteArray packed = packDigits(digits);
    packed.truncate(kMaxPayload - 6);
    body.append(packed);
    return withLength(0x0803, body);
}

QByteArray coRingStop(quint16 line)
{
    QByteArray out = code16(0x0804);
    put16(out, line);
    return out;
}

QByteArray dayNight(quint8 dayHour, quint8 dayMinute, quint8 nightHour, quint8 nightMinute)
{
    QByteArray out = code16(0x0901);
    for (const quint8 v : {dayHour, dayMinute, nightHour, nightMinute})
        out.append(char(v));
    return out;
}

QByteArray backgroundMusic(quint8 channel)
{
    QByteArray out = code16(0x0902);
    out.append(char(channel));
    return out;
}

QByteArray wakeUp(quint16 port, quint8 hour, quint8 minute, quint8 alarm)
{
    QByteArray out = code16(0x0903);
    put16(out, port);
    out.append(char(hour));
    out.append(char(minute));
    out.append(char(alarm));
    return out;
}

QByteArray tempCos(quint16 port, quint8 value)
{
    QByteArray out = code16(0x0904);
    put16(out, port);
    out.append(char(value));
    return out;
}

QByteArray keyTelephone(quint8 command, quint8 d1, quint8 d2)
{
    QByteArray out;
    out.append(char(0x82));
    out.append(char(command));
    out.append(char(d1));
    out.append(char(d2));
    return out;
}

QByteArray debugText(const QString &text)
{
    const QByteArray bytes = wireText(text, kMaxPayload - 2);
    QByteArray out;
    out.append(char(0x86));
    out.append(char(quint8(bytes.size())));
    out.append(bytes);
    return out;
}

} // namespace Event

namespace Request {

quint16 code(const QByteArray &payload, int offset)
{
    const int left = int(payload.size()) - offset;
    if (left <= 0)
        return 0;
    const quint8 first = at(payload, offset);
    if (first >= 0x80 || left < 2)
        return first;
    return at16(payload, offset);
}

int size(const QByteArray &payload, int offset)
{
    const int left = int(payload.size()) - offset;
    if (left <= 0)
        return -1;
    const quint8 first = at(payload, offset);
    int n = 0;
    if (first >= 0x80) {
        switch (first) {
        case SingleKey: n = 2; break;
        case KeySequence:
            if (left < 2)
                return -1;
            n = at(payload, offset + 1) + 2;
            break;
        case FeatureEvt: n = 3; break;
        default: return 0;
        }
        return left < n ? -1 : n;
    }
    if (left < 2)
        return -1;
    switch (at16(payload, offset)) {
    case 0x0003: case 0x0005: case 0x0006: case 0x0008: case 0x000A: case 0x000B: case 0x000C: case 0x000F:
    case 0x0101: case 0x0102: case 0x0104: case 0x0105: case 0x0107: case 0x0108: case 0x0109:
    case 0x010A: case 0x010B: case 0x010C: case 0x010D:
    case 0x0201:
    case 0x0901: case 0x0902:
    case 0x0B03:
        n = 2;
        break;
    case 0x0202:
        n = 5;
        break;
    case 0x0301: case 0x0302: case 0x0303: case 0x0304: case 0x0305: case 0x0308: case 0x0309:
    case 0x0401: case 0x0402: case 0x0403: case 0x0404: case 0x0405:
    case 0x0903: case 0x0904: case 0x0906: case 0x0907:
    case 0x0A01:
    case 0x0B01: case 0x0B02:
        n = 4;
        break;
    case 0x0502: case 0x0503: case 0x0504:
    case 0x0601:
        n = 6;
        break;
    case 0x0505:
        n = 5;
        break;
    case 0x0701: case 0x0702:
        n = 7;
        break;
    case 0x0A02:
        if (left < 3)
            return -1;
        n = qMax(at(payload, offset + 2) + 3, 7);
        break;
    default:
        return 0;
    }
    return left < n ? -1 : n;
}

QString name(quint16 code)
{
    switch (code) {
    case 0x0003: return QStringLiteral("LOG_OFF_REQ");
    case 0x0005: return QStringLiteral("LOG_STATE_REQ");
    case 0x0006: return QStringLiteral("LOG_Alive");
    case 0x0008: return QStringLiteral("LOG_VersionReq");
    case 0x000A: return QStringLiteral("LOG_PacketmissAck");
    case 0x000B: return QStringLiteral("LOG_ON_Request");
    case 0x000C: return QStringLiteral("LOG_LifeTime");
    case 0x000F: return QStringLiteral("Send_PING_Response_to_Varo");
    case 0x0101: return QStringLiteral("SYSI_EXTNUMS_REQ");
    case 0x0102: return QStringLiteral("SYSI_TRKNUMS_REQ");
    case 0x0104: return QStringLiteral("MESKPARA_TrkBaseNumber");
    case 0x0105: return QStringLiteral("SYSI_MyID");
    case 0x0107: return QStringLiteral("SYSI_MpbVerS");
    case 0x0108: return QStringLiteral("SYSI_MpbVerL");
    case 0x0109: return QStringLiteral("SYSI_MpbNation");
    case 0x010A: return QStringLiteral("SYSI_CoNameNum");
    case 0x010B: return QStringLiteral("IntPageNum");
    case 0x010C: return QStringLiteral("SYSI_Sysspdrange");
    case 0x010D: return QStringLiteral("SYSI_MeskTime");
    case 0x0201: return QStringLiteral("MESKPARA_STATUSCLEAR");
    case 0x0202: return QStringLiteral("MESKPARA_STATUSTIME");
    case 0x0301: return QStringLiteral("EXTI_Asc");
    case 0x0302: return QStringLiteral("EXTI_MeskState");
    case 0x0303: return QStringLiteral("EXTI_Number");
    case 0x0304: return QStringLiteral("EXTI_Name");
    case 0x0305: return QStringLiteral("EXTI_Multi1");
    case 0x0308: return QStringLiteral("EXTI_Multi2");
    case 0x0309: return QStringLiteral("EXTI_Multi3");
    case 0x0401: return QStringLiteral("TRKI_Asc");
    case 0x0402: return QStringLiteral("TRKI_MeskState");
    case 0x0403: return QStringLiteral("TRKI_CallerID");
    case 0x0404: return QStringLiteral("TRKI_Coname");
    case 0x0405: return QStringLiteral("TRKI_Conamebin");
    case 0x0502: return QStringLiteral("DYNBTN_DSS");
    case 0x0503: return QStringLiteral("DYNBTN_DLS");
    case 0x0504: return QStringLiteral("DYNBTN_CoGrp");
    case 0x0505: return QStringLiteral("DYNBTN_General");
    case 0x0601: return QStringLiteral("ADM_StaNo");
    case 0x0701: return QStringLiteral("EVT_Ext");
    case 0x0702: return QStringLiteral("EVT_Trk");
    case 0x0901: return QStringLiteral("ATDI_DayNight");
    case 0x0902: return QStringLiteral("ATDI_BGM");
    case 0x0903: return QStringLiteral("ATDI_ExtWakeup");
    case 0x0904: return QStringLiteral("ATDI_ExtTempCos");
    case 0x0906: return QStringLiteral("EXTI_Wakeup");
    case 0x0907: return QStringLiteral("EXTI_Tempcos");
    case 0x0A01: return QStringLiteral("SPDI_Req");
    case 0x0A02: return QStringLiteral("SPDI_Write");
    case 0x0B01: return QStringLiteral("SCTL_RestartExt");
    case 0x0B02: return QStringLiteral("SCTL_RestartTrk");
    case 0x0B03: return QStringLiteral("SCTL_LcdDaytime");
    case 0x80: return QStringLiteral("MY_SINGLE_PKTU_EVENT");
    case 0x81: return QStringLiteral("MY_MULTIPLE_PKTU_EVENT");
    case 0x82: return QStringLiteral("FeatureEvt");
    default: return QString::asprintf("Unknown(%04X)", code);
    }
}

namespace {
QString fields(quint16 code, const QByteArray &p, int o, int n)
{
    switch (code) {
    case 0x0202:
        return QString::asprintf("period=%d min=%d max=%d", at(p, o + 2), at(p, o + 3), at(p, o + 4));
    case 0x0301: case 0x0302: case 0x0303: case 0x0304: case 0x0305: case 0x0308: case 0x0309:
    case 0x0903: case 0x0904: case 0x0906: case 0x0907: case 0x0B01:
        return QString::asprintf("port=%d", at16(p, o + 2));
    case 0x0401: case 0x0402: case 0x0403: case 0x0405: case 0x0B02:
        return QString::asprintf("line=%d", at16(p, o + 2));
    case 0x0404:
        return QString::asprintf("name=%d", at16(p, o + 2));
    case 0x0A01:
        return QString::asprintf("bin=%d", at16(p, o + 2));
    case 0x0502:
        return QString::asprintf("seq=%d station=%d", at16(p, o + 2), at16(p, o + 4));
    case 0x0503:
        return QString::asprintf("seq=%d line=%d", at16(p, o + 2), at16(p, o + 4));
    case 0x0504:
        return QString::asprintf("seq=%d group=%d", at16(p, o + 2), at16(p, o + 4));
    case 0x0505:
        return QString::asprintf("seq=%d kind=%d", at16(p, o + 2), at(p, o + 4));
    case 0x0601:
        return QString::asprintf("station=%d value=%04X", at16(p, o + 2), at16(p, o + 4));
    case 0x0701: case 0x0702:
        return QString::asprintf("port=%d %02x.%02x.%02x", at16(p, o + 2), at(p, o + 4), at(p, o + 5), at(p, o + 6));
    case 0x0A02: {
        const SpeedBinRecord r = SpeedBinRecord::decode(p, o, n);
        return QStringLiteral("bin=%1 co=%2 number=%3 name=\"%4\"")
            .arg(r.bin)
            .arg(r.coTypeTrace(), r.number, r.name);
    }
    case 0x80:
        return QString::asprintf("key=%02x", at(p, o + 1));
    case 0x81: {
        QString keys;
        for (int i = o + 2; i < o + n; ++i)
            keys += QString::asprintf("%02x.", at(p, i));
        return QStringLiteral("count=%1 keys=%2").arg(n - 2).arg(keys);
    }
    case 0x82:
        return QString::asprintf("feature=%d value=%d", at(p, o + 1), at(p, o + 2));
    default:
        return QString();
    }
}

} // namespace

QString describe(const QByteArray &payload)
{
    return describeAll(payload, &Request::size, &Request::code, &Request::name, &fields);
}

} // namespace Request

namespace EventInfo {

quint16 code(const QByteArray &payload, int offset)
{
    return Request::code(payload, offset);
}

int size(const QByteArray &payload, int offset)
{
    const int left = int(payload.size()) - offset;
    if (left <= 0)
        return -1;
    const quint8 first = at(payload, offset);
    int n = 0;
    switch (first) {
    case 0x82: n = 4; break;
    case 0x83: case 0x84: case 0x86:
        if (left < 2)
            return -1;
        n = at(payload, offset + 1) + 2;
        break;
    case 0x85: n = 3; break;
    default:
        if (first >= 0x80)
            return 0;
        if (left < 2)
            return -1;
        switch (at16(payload, offset)) {
        case 0x0001: case 0x0003: case 0x0004: case 0x0006: case 0x0007: case 0x0009: case 0x000E:
        case 0x0601: case 0x0602: case 0x0603: case 0x0604: case 0x0605:
            n = 2; break;
        case 0x0002: case 0x010A: case 0x010B: case 0x0902: n = 3; break;
        case 0x0101: case 0x0102: case 0x0105: case 0x0A01: case 0x0801: case 0x0802: case 0x0804: n = 4; break;
        case 0x0302: case 0x0904: n = 5; break;
        case 0x0008: case 0x000C: case 0x010C: case 0x0303: case 0x0405: case 0x0901: n = 6; break;
        case 0x0301: case 0x0401: case 0x0903: n = 7; break;
        case 0x0107: case 0x0308: n = 8; break;
        case 0x010D: n = 9; break;
        case 0x0104: n = 12; break;
        case 0x0402: n = 5; break;
        case 0x0108: case 0x0109: case 0x0A02: case 0x0304: case 0x0305: case 0x0309:
        case 0x0403: case 0x0404: case 0x0803:
            if (left < 3)
                return -1;
            n = at(payload, offset + 2) + 3;
            break;
        default:
            return 0;
        }
    }
    return left < n ? -1 : n;
}

QString name(quint16 code)
{
    switch (code) {
    case 0x0001: return QStringLiteral("LOG_ON_ACK");
    case 0x0002: return QStringLiteral("LOG_ON_NAK");
    case 0x0003: return QStringLiteral("LOG_OFF_ACK");
    case 0x0004: return QStringLiteral("LOG_OFF_NAK");
    case 0x0006: return QStringLiteral("LOG_ON_STATE");
    case 0x0007: return QStringLiteral("LOG_OFF_STATE");
    case 0x0008: return QStringLiteral("LOG_Version");
    case 0x0009: return QStringLiteral("LOG_PacketMissRep");
    case 0x000C: return QStringLiteral("LOG_LifeTime");
    case 0x000E: return QStringLiteral("PING");
    case 0x0101: return QStringLiteral("SYSI_EXTNums");
    case 0x0102: return QStringLiteral("SYSI_TRKNums");
    case 0x0104: return QStringLiteral("TRKBASENumber");
    case 0x0105: return QStringLiteral("SYSI_MyID");
    case 0x0107: return QStringLiteral("SYSI_MpbVerS");
    case 0x0108: return QStringLiteral("SYSI_MpbVerL");
    case 0x0109: return QStringLiteral("SYSI_MpbNation");
    case 0x010A: return QStringLiteral("SYSI_CoNameNum");
    case 0x010B: return QStringLiteral("SYSI_IntPageNum");
    case 0x010C: return QStringLiteral("SPDI_SysRange");
    case 0x010D: return QStringLiteral("SYSI_MeskTime");
    case 0x0301: return QStringLiteral("EXTI_Asc");
    case 0x0302: return QStringLiteral("EXTI_MeskState");
    case 0x0303: return QStringLiteral("EXTI_Number");
    case 0x0304: return QStringLiteral("EXTI_Name");
    case 0x0305: return QStringLiteral("EXTI_Multi1");
    case 0x0308: return QStringLiteral("EXTI_Multi2");
    case 0x0309: return QStringLiteral("EXTI_Multi3");
    case 0x0401: return QStringLiteral("TRKI_Asc");
    case 0x0402: return QStringLiteral("TRKI_MeskState");
    case 0x0403: return QStringLiteral("TRKI_CallerId");
    case 0x0404: return QStringLiteral("TRKI_CoName");
    case 0x0405: return QStringLiteral("TRKI_CoNameBin");
    case 0x0601: return QStringLiteral("ADM Enalbe");
    case 0x0602: return QStringLiteral("ADM Disable");
    case 0x0603: return QStringLiteral("ADM Success");
    case 0x0604: return QStringLiteral("ADM Fail");
    case 0x0605: return QStringLiteral("ADM Invalid Sta No");
    case 0x0801: return QStringLiteral("MYI_IcmRingStart");
    case 0x0802: return QStringLiteral("MYI_IcmRingStop");
    case 0x0803: return QStringLiteral("MYI_CoRingStart");
    case 0x0804: return QStringLiteral("MYI_CoRingStop");
    case 0x0901: return QStringLiteral("ATDI_DayNight");
    case 0x0902: return QStringLiteral("ATDI_BGM");
    case 0x0903: return QStringLiteral("ATDI_ExtWakeup");
    case 0x0904: return QStringLiteral("ATDI_ExtTempCos");
    case 0x0A01: return QStringLiteral("SPDI_Empty");
    case 0x0A02: return QStringLiteral("SPDI_Rep");
    case 0x82: return QStringLiteral("MY_SINGLE_PKTU_COMMAND");
    case 0x83: return QStringLiteral("EXT_STATUS_LIST");
    case 0x84: return QStringLiteral("TRK_STATUS_LIST");
    case 0x85: return QStringLiteral("MY_STATUS");
    case 0x86: return QStringLiteral("DBGI");
    default: return QString::asprintf("Unknown(%04X)", code);
    }
}

namespace {
QString fields(quint16 code, const QByteArray &p, int o, int n)
{
    switch (code) {
    case 0x0002: return QString::asprintf("reason=%d", at(p, o + 2));
    case 0x0008: case 0x000C:
        return QString::asprintf("value=%08X", (quint32(at16(p, o + 2)) << 16) | at16(p, o + 4));
    case 0x0101: case 0x0102: case 0x0105: return QString::asprintf("n=%d", at16(p, o + 2));
    case 0x0104:
        return QString::asprintf("access=%06X/%d retrieve=%06X/%d",
                                 (at(p, o + 2) << 16) | at16(p, o + 3), at16(p, o + 5),
                                 (at(p, o + 7) << 16) | at16(p, o + 8), at16(p, o + 10));
    case 0x0107: return QStringLiteral("\"%1\"").arg(latin(p, o + 2, o + 8));
    case 0x0108: return QStringLiteral("\"%1\"").arg(latin(p, o + 3, o + n));
    case 0x0109: return QString::asprintf("[%04X] ", at16(p, o + 3)) + latin(p, o + 5, o + n);
    case 0x010A: case 0x010B: case 0x0902: return QString::asprintf("n=%d", at(p, o + 2));
    case 0x010C: return QString::asprintf("first=%d last=%d", at16(p, o + 2), at16(p, o + 4));
    case 0x010D:
        return QString::asprintf("20%02d-%02d-%02d %02d:%02d:%02d", at(p, o + 2), at(p, o + 3), at(p, o + 4),
                                 at(p, o + 6), at(p, o + 7), at(p, o + 8));
    case 0x0301: case 0x0401:
        return QString::asprintf("port=%d kind=%02X party=%d", at16(p, o + 2), at(p, o + 4), at16(p, o + 5));
    case 0x0302: case 0x0402: return QString::asprintf("port=%d state=%02X", at16(p, o + 2), at(p, o + 4));
    case 0x0303: return QString::asprintf("port=%d number=%04X", at16(p, o + 2), at16(p, o + 4));
    case 0x0304: return QString::asprintf("port=%d \"", at16(p, o + 3)) + latin(p, o + 5, o + n) + u'"';
    case 0x0305:
        return QString::asprintf("port=%d number=%04X \"", at16(p, o + 3), at16(p, o + 5)) + latin(p, o + 7, o + n) + u'"';
    case 0x0309:
        return QString::asprintf("port=%d presence=%02X number=%04X \"", at16(p, o + 3), at(p, o + 5), at16(p, o + 6))
            + latin(p, o + 8, o + n) + u'"';
    case 0x0308:
        return QString::asprintf("port=%d wakeup=%d,%02d:%02d cos=%d", at16(p, o + 2), at(p, o + 4), at(p, o + 5),
                                 at(p, o + 6), at(p, o + 7));
    case 0x0403:
        return QString::asprintf("line=%d ", at16(p, o + 3)) + unpackDigits(p.constData() + o + 5, n - 5);
    case 0x0404: return QString::asprintf("name=%d \"", at16(p, o + 3)) + latin(p, o + 5, o + n) + u'"';
    case 0x0405: return QString::asprintf("line=%d name=%d", at16(p, o + 2), at16(p, o + 4));
    case 0x0801: case 0x0802: case 0x0804: case 0x0A01: return QString::asprintf("n=%d", at16(p, o + 2));
    case 0x0803:
        return QString::asprintf("line=%d kind=%d ", at16(p, o + 3), at(p, o + 5))
            + unpackDigits(p.constData() + o + 6, n - 6);
    case 0x0901:
        return QString::asprintf("day=%02d:%02d night=%02d:%02d", at(p, o + 2), at(p, o + 3), at(p, o + 4), at(p, o + 5));
    case 0x0903:
        return QString::asprintf("port=%d %02d:%02d alarm=%d", at16(p, o + 2), at(p, o + 4), at(p, o + 5), at(p, o + 6));
    case 0x0904: return QString::asprintf("port=%d cos=%d", at16(p, o + 2), at(p, o + 4));
    case 0x0A02: {
        const SpeedBinRecord r = SpeedBinRecord::decode(p, o, n);
        return QStringLiteral("bin=%1 co=%2 number=%3 name=\"%4\"").arg(r.bin).arg(r.coTypeTrace(), r.number, r.name);
    }
    case 0x82: return QString::asprintf("%02x.%02x.%02x", at(p, o + 1), at(p, o + 2), at(p, o + 3));
    case 0x83: case 0x84: {
        QString out;
        for (int i = o + 2; i + 3 <= o + n; i += 3)
            out += QString::asprintf("%d=%02X ", at16(p, i), at(p, i + 2));
        return out.trimmed();
    }
    case 0x85: return QString::asprintf("status=%02X second=%02X", at(p, o + 1), at(p, o + 2));
    case 0x86: return u'"' + latin(p, o + 2, o + n) + u'"';
    default: return QString();
    }
}

quint16 eventCode(const QByteArray &payload, int offset)
{
    return Request::code(payload, offset);
}
} // namespace

QString describe(const QByteArray &payload)
{
    return describeAll(payload, &EventInfo::size, &eventCode, &EventInfo::name, &fields);
}

} // namespace EventInfo

QString hexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' '));
}

} // namespace pbxsim
