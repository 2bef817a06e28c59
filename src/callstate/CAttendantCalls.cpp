#include "CAttendantCalls.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/PortStatus.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "link/EventBytes.h"
#include "base/OperatorUi.h"
#include "base/Trace.h"

using namespace EventBytes;
using namespace Status;

namespace {
// Caller digits packed two a byte, high nibble first, up to the first zero nibble.
QByteArray unpackDigits(const QByteArray &p, int begin, int end)
{
    QByteArray codes;
    for (int i = begin; i < end; ++i) {
        const quint8 b = u8(p, i);
        const quint8 high = b >> 4;
        const quint8 low = b & 0x0F;
        if (high == 0)
            break;
        codes.append(char(high));
        if (low == 0)
            break;
        codes.append(char(low));
    }
    return codes;
}
} // namespace

CAttendantCalls::CAttendantCalls(CLinkPort &link, CExtStatusList &stations, CTrkStatusList &lines, OperatorUi &ui,
                                 QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_stations(stations)
    , m_lines(lines)
    , m_ui(ui)
{
}

CAttendantCalls::~CAttendantCalls() = default;

void CAttendantCalls::setOwnStation(int index)
{
    m_ownStation = index < 0 ? -1 : index;
    Q_EMIT ownStateChanged();
}

void CAttendantCalls::logOffReset()
{
    m_ownStatus = 0;
    m_ownSecondByte = 0;
    Q_EMIT ownStateChanged();
}

QChar CAttendantCalls::ownStateChar() const
{
    return m_ownStatus == 0 ? QChar() : QChar(QLatin1Char(char(m_ownStatus)));
}

bool CAttendantCalls::isIdle() const
{
    return isLoggedOn()
           && (m_ownStatus == STEXT_IDLE || m_ownStatus == STEXT_IDLE_WITH_DND || m_ownStatus == STEXT_IDLE_WITH_RING);
}

bool CAttendantCalls::isInCall() const
{
    return isLoggedOn() && (m_ownStatus == STEXT_ICM || m_ownStatus == STEXT_COL);
}

CExtStatus *CAttendantCalls::station(quint16 index) const
{
    return m_stations.record(index);
}

// ---------------------------------------------------------------- events

quint16 CAttendantCalls::handleEvent(quint16 code, const QByteArray &payload, int offset)
{
    if (code == 0x85) {
        constexpr quint16 size = 3;
        if (!holds(payload, offset, size))
            return size;
        const quint8 status = u8(payload, offset + 1);
        const bool leftIdle = m_ownStatus == STEXT_IDLE && status != STEXT_IDLE;
        m_ownStatus = status;
        m_ownSecondByte = u8(payload, offset + 2);
        if (leftIdle)
            Q_EMIT popupRequested();
        if (m_ownStation >= 0)
            m_stations.setStatus(quint16(m_ownStation), status);
        Q_EMIT ownStateChanged();
        return size;
    }
    return ringEvent(code, payload, offset);
}

quint16 CAttendantCalls::ringEvent(quint16 code, const QByteArray &payload, int offset)
{
    quint16 size = 4;
    switch (code) {
    case 0x0801:
    case 0x0802:
    case 0x0804:
        break;
    case 0x0803:
        size = variableSize(payload, offset, 2, 6);
        if (size == kNotMine)
            return kNotMine;
        break;
    default:
        return kNotMine;
    }
    if (!holds(payload, offset, size))
        return size;

    // The CO ring start carries its length before the line.
    const quint16 port = u16(payload, offset + (code == 0x0803 ? 3 : 2));
    const quint16 index = quint16(port - 1);
    switch (code) {
    case 0x0801:
        postQueue(QueueType::QLTN_EXT_RING, index, true);
        ZTRACE(2, "MYI_IcmRingStart:%02x.", port);
        break;
    case 0x0802:
        postQueue(QueueType::QLTN_EXT_RING, index, false);
        ZTRACE(2, "MYI_IcmRingStop:%02x.", port);
        break;
    case 0x0803: {
        const quint8 kind = u8(payload, offset + 5);
        const QString caller = Nibbles::toText(unpackDigits(payload, offset + 6, offset + size));
        switch (kind) {
        case 0: postQueue(QueueType::QLTN_TRK_INCOMING, index, false); break;
        case 1: postQueue(QueueType::QLTN_TRK_INCOMING, index, true, caller); break;
        case 2: postQueue(QueueType::QLTN_TRK_XFER, index, true, caller); break;
        case 3: postQueue(QueueType::QLTN_TRK_RECALL, index, true, caller); break;
        case 4: postQueue(QueueType::QLTN_TRK_ATDRECALL, index, true, caller); break;
        default: break;
        }
        ZTRACE(2, "MYI_CoRingStart:%02x.%02x.(%s)", port, kind, qPrintable(caller));
        break;
    }
    case 0x0804:
        postQueue(QueueType::QLTN_TRK_INCOMING, index, false);
        ZTRACE(2, "MYI_CoRingStop:%02x.", port);
        break;
    }
    return size;
}

void CAttendantCalls::postQueue(int type, quint16 index, bool add, const QString &description)
{
    CQueueEvent event;
    event.type = type;
    event.index = index;
    event.add = add;
    event.description = description;
    Q_EMIT queueEvent(event);
}

// ---------------------------------------------------------------- station buttons

void CAttendantCalls::refuse(const QString &key)
{
    Q_EMIT beepRequested();
    m_ui.showMessage(key, QString(), MessageStyle::Deferred);
}

CAttendantCalls::StationMenu CAttendantCalls::stationButtonAction(quint16 index)
{
    CExtStatus *r = station(index);
    if (!r)
        return NoMenu;
    r->callOperationState = 0;

    if (int(index) == m_ownStation) {
        if (m_ownStatus == ST_RING || m_ownStatus == STEXT_IDLE_WITH_RING)
            stationCommand(index, Answer);
        else
            refuse(QStringLiteral("#:cannot_select_me"));
        return NoMenu;
    }

    const quint8 s = r->status;
    if (isInCall()) {
        switch (s) {
        case ST_BUSY:
        case STEXT_PGM:
            stationCommand(index, StartTransfer);
            return MenuBusy;
        case STEXT_IDLE:
        case STEXT_IDLE_WITH_RING:
            stationCommand(index, TransferToIdle);
            return NoMenu;
        case STEXT_IDLE_WITH_DND:
            stationCommand(index, TransferToDnd);
            return NoMenu;
        case STEXT_ICM:
        case STEXT_COL:
            stationCommand(index, StartTransfer);
            return MenuIcmCol;
        default:
            refuse(QStringLiteral("#:invalid_selection"));
            return NoMenu;
        }
    }
    if (m_ownStatus == STEXT_PGM) {
        refuse(QStringLiteral("#:invalid_selection"));
        return NoMenu;
    }
    switch (s) {
    case ST_BUSY:
    case ST_HOLD:
    case STEXT_PGM:
        return MenuBusy;
    case ST_RING:
        stationCommand(index, PickUp);
        return NoMenu;
    case STEXT_IDLE:
        stationCommand(index, MakeCall);
        return NoMenu;
    case STEXT_IDLE_WITH_DND:
        stationCommand(index, CampOn);
        return NoMenu;
    case STEXT_IDLE_WITH_RING:
        return MenuRing;
    case STEXT_ICM:
    case STEXT_COL:
        return MenuIcmCol;
    default:
        refuse(QStringLiteral("#:invalid_selection"));
        return NoMenu;
    }
}

void CAttendantCalls::stationSelect(quint16 index)
{
    CExtStatus *r = station(index);
    if (!r)
        return;
    if (int(index) == m_ownStation) {
        refuse(QStringLiteral("#:cannot_select_me"));
        return;
    }
    switch (r->callOperationState) {
    case 1: stationCommand(index, DialThenAnswer); break;
    case 2: stationCommand(index, Answer); break;
    default: Q_EMIT beepRequested(); break;
    }
}

void CAttendantCalls::stationCommand(quint16 index, int operation)
{
    CExtStatus *r = station(index);
    if (!r)
        return;
    CLinkRequest request(m_link);
    // Each step goes only when the one before it went.
    switch (operation) {
    case MakeCall:
        request.DYNBTN_DSS(index);
        break;
    case PickUp:
        request.FeatureEvt(0, 0) && request.DYNBTN_DSS(index);
        break;
    case CallBack:
        request.DYNBTN_DSS(index) && request.keySequence(QStringLiteral("K"));
        break;
    case CampOn:
        request.DYNBTN_DSS(index) && request.keySequence(QStringLiteral("*"));
        break;
    case Intrusion:
        request.DYNBTN_DSS(index) && request.DYNBTN_General(1);
        break;
    case StartTransfer:
        if (request.keySequence(QStringLiteral("T")))
            r->callOperationState = 1;
        break;
    case TransferToIdle:
        if (request.keySequence(QStringLiteral("T")) && request.DYNBTN_DSS(index))
            r->callOperationState = 2;
        break;
    case TransferToDnd:
        if (request.keySequence(QStringLiteral("T")) && request.DYNBTN_DSS(index)
            && request.keySequence(QStringLiteral("*")))
            r->callOperationState = 2;
        break;
    case DialThenAnswer:
        request.DYNBTN_DSS(index) && request.keySequence(QStringLiteral("M"));
        break;
    case Answer:
        request.keySequence(QStringLiteral("M"));
        break;
    default:
        break;
    }
}

QList<CAttendantCalls::MenuEntry> CAttendantCalls::menuEntries(StationMenu menu)
{
    const MenuEntry quit{QStringLiteral("#:quit_MENU(&Q)"), -1};
    switch (menu) {
    case MenuIcmCol:
        return {{QStringLiteral("#:camp_on_MENU(&C)"), CampOn},
                {QStringLiteral("#:call_back_MENU(&B)"), CallBack},
                {QStringLiteral("#:intrusion_MENU(&I)"), Intrusion},
                quit};
    case MenuBusy:
        return {{QStringLiteral("#:call_back_MENU(&B)"), CallBack}, quit};
    case MenuRing:
        return {{QStringLiteral("#:make_call_MENU(&C)"), MakeCall}, {QStringLiteral("#:pickup_MENU(&P)"), PickUp}, quit};
    case NoMenu:
        break;
    }
    return {};
}

QString CAttendantCalls::menuName(StationMenu menu)
{
    switch (menu) {
    case MenuIcmCol: return QStringLiteral("DLO_STAICMCOL");
    case MenuBusy: return QStringLiteral("DLO_STABUSY");
    case MenuRing: return QStringLiteral("DLO_STARING");
    case NoMenu: break;
    }
    return QString();
}

bool CAttendantCalls::changeStationNumber(quint16 index, const QString &newNumber)
{
    if (!station(index))
        return false;
    const quint16 port = quint16(index + 1);
    CLinkRequest request(m_link);
    return request.ADM_StaNo(port, Nibbles::toNumber16(newNumber)) && request.EXTI_Number(port);
}

// ---------------------------------------------------------------- calls from the directories

bool CAttendantCalls::callStation(const QString &numberText)
{
    const QString text = numberText.trimmed();
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    const CExtStatus *r = nullptr;
    if (isIdle() && ok && number >= 0 && text != QLatin1String("....")) {
        const quint16 index = m_stations.findByNumber(number);
        r = station(index);
        if (r && r->status == ST_INVALID)
            r = nullptr;
    }
    if (!r) {
        m_ui.showMessage(QStringLiteral("#:cannot_exe_call_op"), QStringLiteral("#:warning_title"),
                         MessageStyle::Exclamation);
        return false;
    }
    // The number of the station found is dialled, not the text as typed: "012"
    // finds station 12 and must not dial 0, 1, 2.
    CLinkRequest(m_link).keySequence(r->numberText());
    return true;
}

bool CAttendantCalls::callNumber(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    }
    // Without a digit there is nothing to dial: the line is not seized for nothing.
    if (!isIdle() || digits.isEmpty()) {
        m_ui.showMessage(QStringLiteral("#:cannot_exe_call_op"), QStringLiteral("#:warning_title"),
                         MessageStyle::Exclamation);
        return false;
    }
    CLinkRequest(m_link).commandText(digits);
    return true;
}

bool CAttendantCalls::callSpeedBin(const QString &binText)
{
    if (!isIdle()) {
        m_ui.showMessage(QStringLiteral("#:cannot_exe_call_op"), QStringLiteral("#:warning_title"),
                         MessageStyle::Exclamation);
        return false;
    }
    if (!binText.isEmpty())
        CLinkRequest(m_link).keySequence(QStringLiteral("S") + binText);
    return true;
}

// ---------------------------------------------------------------- the queue

bool CAttendantCalls::answerQueueEntry(int type, quint16 index)
{
    CLinkRequest request(m_link);
    if (type >= QueueType::QLTN_TRK_INCOMING && type <= QueueType::QLTN_TRK_HOLD) {
        const CTrkStatus *line = m_lines.record(index);
        if (!line || line->status == ST_INVALID)
            return false;
        request.DYNBTN_DLS(index);
        return true;
    }
    if (type == QueueType::QLTN_EXT_RING) {
        const CExtStatus *r = station(index);
        if (!r || r->status == ST_INVALID)
            return false;
        request.DYNBTN_DSS(index);
        return true;
    }
    return false;
}

bool CAttendantCalls::pickUpQueueEntry(int type, quint16 index)
{
    if (isInCall())
        CLinkRequest(m_link).keySequence(QStringLiteral("H"));
    return answerQueueEntry(type, index);
}
