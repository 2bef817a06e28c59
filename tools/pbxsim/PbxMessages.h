#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct SpeedBinRecord;

namespace pbxsim {

// Station and CO line status codes as the PBX reports them.
namespace Status {
constexpr quint8 Invalid = 0x01;
constexpr quint8 Busy = 0x10;
constexpr quint8 Hold = 0x11;
constexpr quint8 Ring = 0x12;
constexpr quint8 ExtIdle = 0x40;
constexpr quint8 ExtIdleDnd = 0x41;
constexpr quint8 ExtIdleRing = 0x42;
constexpr quint8 ExtIcm = 0x43;
constexpr quint8 ExtCol = 0x44;
constexpr quint8 ExtPgm = 0x45;
constexpr quint8 TrkIdle = 0x80;
constexpr quint8 TrkHoldRecall = 0x81;
constexpr quint8 TrkHoldAtdRecall = 0x82;
constexpr quint8 TrkIdleDisabled = 0x83;

QString name(quint8 code);
// "idle", "busy", ... or a number; -1 when the word is not known.
int parseStation(const QString &word);
int parseLine(const QString &word);
} // namespace Status

// Kinds of the party a station or line is connected to.
namespace PartyKind {
constexpr quint8 Station = 1;
constexpr quint8 Line = 2;
constexpr quint8 VoiceUnit = 3;
constexpr quint8 None = 0xFF;
} // namespace PartyKind

// Packs dialled digits two to a byte, high nibble first.
QByteArray packDigits(const QString &digits);
// Digits up to the first zero nibble; codes without a character show as '.'.
QString unpackDigits(const char *data, int length);
// A number of up to four digits as a 16-bit nibble value; 0 for an empty text.
quint16 numberToNibbles(const QString &digits);
QString nibblesToNumber(quint16 value);

// Encoders of everything the PBX sends. Each returns one whole message.
namespace Event {
QByteArray logOnAck();
QByteArray logOnNak(quint8 reason);
QByteArray logOffAck();
QByteArray logOffNak();
QByteArray logOnState();
QByteArray logOffState();
QByteArray version(quint32 value);
QByteArray packetMissReport();
QByteArray lifeTime(quint32 value);
QByteArray ping();

QByteArray stationCount(quint16 n);
QByteArray lineCount(quint16 n);
QByteArray codeBases(quint32 accessBase, quint16 accessCount, quint32 retrieveBase, quint16 retrieveCount);
QByteArray myId(quint16 port);
QByteArray mpbShortVersion(const QString &six);
QByteArray mpbLongVersion(const QString &text);
QByteArray nation(quint16 code, const QString &text);
QByteArray coNameCount(quint8 n);
QByteArray pagingNumber(quint8 n);
QByteArray speedRange(quint16 first, quint16 last);
QByteArray pbxTime(int year, int month, int day, int weekday, int hour, int minute, int second);

QByteArray administration(quint16 code);
QByteArray speedEmpty(quint16 bin);
QByteArray speedRecord(const SpeedBinRecord &record);

QByteArray stationAsc(quint16 port, quint8 kind, quint16 party);
QByteArray stationMeskState(quint16 port, quint8 state);
QByteArray stationNumber(quint16 port, quint16 number);
QByteArray stationName(quint16 port, const QString &name);
QByteArray stationMulti1(quint16 port, quint16 number, const QString &name);
QByteArray stationMulti2(quint16 port, quint8 wakeMode, quint8 hour, quint8 minute, quint8 tempCos);
QByteArray stationMulti3(quint16 port, quint8 presence, quint16 number, const QString &name);

QByteArray lineAsc(quint16 line, quint8 kind, quint16 party);
QByteArray lineMeskState(quint16 line, quint8 state);
QByteArray lineCallerId(quint16 line, const QString &digits);
QByteArray coName(quint16 nameNumber, const QString &name);
QByteArray coNameBin(quint16 line, quint16 nameNumber);

// Entries are (1-based port, status); at most 20 fit one message.
constexpr int kMaxStatusEntries = 20;
QByteArray stationStatusList(const QList<QPair<quint16, quint8>> &entries);
QByteArray lineStatusList(const QList<QPair<quint16, quint8>> &entries);
QByteArray ownStatus(quint8 status, quint8 second);

QByteArray icmRingStart(quint16 port);
QByteArray icmRingStop(quint16 port);
QByteArray coRingStart(quint16 line, quint8 kind, const QString &digits);
QByteArray coRingStop(quint16 line);

QByteArray dayNight(quint8 dayHour, quint8 dayMinute, quint8 nightHour, quint8 nightMinute);
QByteArray backgroundMusic(quint8 channel);
QByteArray wakeUp(quint16 port, quint8 hour, quint8 minute, quint8 alarm);
QByteArray tempCos(quint16 port, quint8 value);

QByteArray keyTelephone(quint8 command, quint8 d1, quint8 d2);
QByteArray debugText(const QString &text);
} // namespace Event

// Request codes the console sends.
namespace Request {
constexpr quint16 LOG_OFF_REQ = 0x0003;
constexpr quint16 LOG_STATE_REQ = 0x0005;
constexpr quint16 LOG_Alive = 0x0006;
constexpr quint16 LOG_VersionReq = 0x0008;
constexpr quint16 LOG_PacketmissAck = 0x000A;
constexpr quint16 LOG_ON_Request = 0x000B;
constexpr quint16 LOG_LifeTime = 0x000C;
constexpr quint16 PingResponse = 0x000F;
constexpr quint8 SingleKey = 0x80;
constexpr quint8 KeySequence = 0x81;
constexpr quint8 FeatureEvt = 0x82;

// Bytes the request at offset occupies: 0 for an unknown code, -1 when the
// payload ends inside it.
int size(const QByteArray &payload, int offset);
// The code of the request at offset: one byte for 0x80 and above, else two.
quint16 code(const QByteArray &payload, int offset);
QString name(quint16 code);
// "NAME fields; NAME fields" for a whole payload.
QString describe(const QByteArray &payload);
} // namespace Request

// Sizes and names of the events, for the frame log.
namespace EventInfo {
int size(const QByteArray &payload, int offset);
quint16 code(const QByteArray &payload, int offset);
QString name(quint16 code);
QString describe(const QByteArray &payload);
} // namespace EventInfo

QString hexBytes(const QByteArray &bytes);

} // namespace pbxsim
