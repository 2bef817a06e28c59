#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class CLinkPort;
struct SpeedBinRecord;

// The request builder: a byte array bound to the link with one encoder per
// request. Each encoder traces its text at level 1, appends its bytes, sends
// them as one data packet and returns whether the frame reached a transport.
// The array is emptied after every send, so one builder carries many requests.
class CLinkRequest
{
public:
    explicit CLinkRequest(CLinkPort &link);

    // Session (class 0x00)
    bool LOG_OFF_REQ();
    bool LOG_STATE_REQ();
    bool LOG_Alive();
    bool LOG_VersionReq();
    bool LOG_PacketmissAck();
    bool LOG_ON_Request();
    bool LOG_Command();
    bool LOG_LifeTime();
    bool Send_PING_Response_to_Varo();

    // System information (class 0x01)
    bool SYSI_EXTNUMS_REQ();
    bool SYSI_TRKNUMS_REQ();
    bool MESKPARA_TrkBaseNumber();
    bool SYSI_MyID();
    bool SYSI_MpbVerS();
    bool SYSI_MpbVerL();
    bool SYSI_MpbNation();
    bool SYSI_CoNameNum();
    bool IntPageNum();
    bool SYSI_Sysspdrange();
    bool SYSI_MeskTime();

    // Status reporting (class 0x02)
    bool MESKPARA_STATUSCLEAR();
    bool MESKPARA_STATUSTIME(quint8 period, quint8 min, quint8 max);

    // Stations (class 0x03); ports are 1-based numbers unless named index.
    bool EXTI_Asc(quint16 port);
    bool EXTI_MeskState(quint16 port);
    bool EXTI_Number(quint16 port);
    bool EXTI_Name(quint16 port);
    bool EXTI_Multi2(quint16 port);

    // CO lines (class 0x04)
    bool TRKI_Asc(quint16 line);
    bool TRKI_MeskState(quint16 line);
    bool TRKI_CallerID(quint16 line);
    bool TRKI_Coname(quint16 nameIndex);

    // Dynamic buttons (class 0x05); each advances the DYNBTN sequence.
    bool DYNBTN_DSS(quint16 stationIndex);
    bool DYNBTN_DLS(quint16 lineIndex);
    bool DYNBTN_CoGrp(quint16 group);
    // Kind 0 "LOOP", 1 "Intrusion"; any other kind sends nothing.
    bool DYNBTN_General(quint8 kind);

    // Administration, events, attendant information (0x06, 0x07, 0x09)
    bool ADM_StaNo(quint16 station, quint16 value);
    bool EVT_Ext(quint16 station, quint8 b1, quint8 b2, quint8 b3);
    bool EVT_Trk(quint16 line, quint8 b1, quint8 b2, quint8 b3);
    bool ATDI_DayNight();
    bool ATDI_BGM();
    bool ATDI_ExtWakeup(quint16 station);
    bool ATDI_ExtTempCos(quint16 station);
    bool EXTI_Wakeup(quint16 stationIndex);
    bool EXTI_Tempcos(quint16 station);

    // Speed bins (class 0x0A)
    bool SPDI_Req(quint16 bin);
    bool SPDI_Write(const SpeedBinRecord &record);

    // System control (class 0x0B)
    bool SCTL_RestartExt(quint16 stationIndex);
    bool SCTL_RestartTrk(quint16 line);
    bool SCTL_LcdDaytime();

    // Key telephone and features (single-byte types)
    bool MY_SINGLE_PKTU_EVENT(quint8 keyEvent);
    // Sends a key string as key presses in requests of at most 61 codes.
    // A text that cannot be expanded fails before anything is sent.
    bool keySequence(const QString &text);
    bool FeatureEvt(quint8 feature, quint8 value);

    // DYNBTN_General "LOOP" and, when that went out, the key sequence of the text.
    bool commandText(const QString &text);

    // Expands a key string into key codes; false for a bad bracket or a
    // character without a key.
    static bool expandKeyString(const QString &text, QByteArray &codes);

    CLinkPort &link() const { return m_link; }

    // Low-level building, used by the batched requests.
    void append8(quint8 v) { m_bytes.append(char(v)); }
    void append16(quint16 v)
    {
        m_bytes.append(char(v >> 8));
        m_bytes.append(char(v & 0xFF));
    }
    int size() const { return int(m_bytes.size()); }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    bool send();

private:
    bool simple(quint16 code, const char *trace);
    bool withPort(quint16 code, quint16 value, const QString &trace);

    CLinkPort &m_link;
    QByteArray m_bytes;
};

// Batched station (0x0305 / 0x0309) or CO line (0x0405) information requests:
// at most 15 items a request; the last item sends at once.
class InfoBatch
{
public:
    enum Kind { Stations, CoLines };

    InfoBatch(CLinkPort &link, Kind kind);

    // number: the 1-based station port or CO line number. Returns false when a
    // request that this item caused to be sent failed.
    bool add(quint16 number, bool last);
    int requestsSent() const { return m_requests; }
    // The station item code by the PBX version: 0x0305 below 0x0103, else 0x0309.
    static quint16 stationItemCode(quint32 pbxVersion);

private:
    bool flush();

    CLinkRequest m_request;
    Kind m_kind;
    quint16 m_itemCode;
    QList<quint16> m_numbers;
    int m_requests = 0;
};
