#include "Console.h"

#include "callstate/CAttendantCalls.h"
#include "callstate/CallerNameIndex.h"
#include "callstate/CExtStatusList.h"
#include "callstate/Paging.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/StatusFreshness.h"
#include "session/CAttendantState.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "session/CLogSession.h"
#include "session/CSysInfoLoader.h"
#include "transport/LinkConnection.h"
#include "transport/PbxConnection.h"
#include "link/LinkDispatcher.h"
#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SpeedBinRecord.h"
#include "link/SysInfoDecoder.h"
#include "session/LogStatusModel.h"
#include "directories/CPhoneBookDB.h"
#include "directories/CoDirectory.h"
#include "directories/DirectoryFiles.h"
#include "directories/DirectoryRecordset.h"
#include "callstate/StationNameRow.h"
#include "directories/StationDirectory.h"
#include "console/Reconnector.h"
#include "keyset/KeyTelephone.h"
#include "mail/MailJob.h"
#include "mail/StationMailLookup.h"
#include "programming/AttendantProgramming.h"
#include "base/OperatorUi.h"
#include "base/TimerHost.h"
#include "base/TimerIds.h"

struct Console::Parts
{
    Parts(TimerHost &timers, OperatorUi &ui, const Clock &clock, const ConnectionFactory &makeConnection)
        : link(timers, &ui)
        , connection(makeConnection ? makeConnection(link, ui) : std::make_unique<LinkConnection>(link, &ui))
        , request(link)
        , directories(ui, clock, timers)
        , stations(link, clock, ui)
        , lines(link, clock, ui)
        , freshness(clock)
        , attendant(link, timers, ui, stations, lines, status)
        , keyTelephone(request, timers)
        , mail(timers, ui, clock)
        , reconnector(timers, ui)
        , calls(link, stations, lines, ui)
        , paging(link)
        , programming(request, stations, ui)
        , logDecoder(&attendant.session())
        , infoDecoder(&attendant.loader())
    {
    }

    CLinkPort link;
    std::unique_ptr<PbxConnection> connection;
    CLinkRequest request;
    LinkDispatcher dispatcher;
    // Before the directories, which keep it current.
    CallerNameIndex callerNames;
    // Before the tables, which write through to it.
    DirectoryFiles directories;
    CExtStatusList stations;
    CTrkStatusList lines;
    StatusFreshness freshness;
    LogStatusModel status;
    CAttendantState attendant;
    KeyTelephone keyTelephone;
    MailJob mail;
    Reconnector reconnector;
    CAttendantCalls calls;
    Paging paging;
    AttendantProgramming programming;
    LogEventDecoder logDecoder;
    SysInfoDecoder infoDecoder;
};

Console::Console(TimerHost &timers, OperatorUi &ui, const Clock &clock, const ConnectionFactory &makeConnection,
                 QObject *parent)
    : QObject(parent)
    , m_timers(timers)
    , m_ui(ui)
    , m_clock(clock)
    , m_parts(std::make_unique<Parts>(timers, ui, clock, makeConnection))
{
    Parts &p = *m_parts;
    p.dispatcher.routes().log = &p.logDecoder;
    p.dispatcher.routes().sysInfo = &p.infoDecoder;
    p.dispatcher.routes().stations = &p.stations;
    p.dispatcher.routes().coLines = &p.lines;
    p.dispatcher.routes().keyTelephone = &p.keyTelephone;
    p.dispatcher.routes().attendantCalls = &p.calls;
    p.dispatcher.routes().programming = &p.programming;
    // The main window narrows this to the attendant's own station state.
    p.programming.setAllowedQuery([this] { return isLoggedOn(); });
    p.programming.setTimeRegistrar([this](AttendantProgramming::TimeReceiver receiver) {
        m_parts->attendant.loader().registerTimeReceiver(std::move(receiver));
    });
    p.dispatcher.setLoggedOnQuery([this] { return isLoggedOn(); });
    p.dispatcher.setPayloadObserver([this] { m_parts->attendant.session().payloadReceived(); });
    connect(&p.link, &CLinkPort::dataReceived, this, [this](const QByteArray &payload) {
        m_parts->dispatcher.dispatch(payload);
    });
    connect(&p.link, &CLinkPort::echoReceived, this, &Console::onEcho);
    connect(&p.link, &CLinkPort::echoReplyReceived, this, &Console::echoReplyReceived);

    p.attendant.setLanQuery([this] { return connectionType() == 1; });
    connect(&p.attendant, &CAttendantState::lanDisconnectRequested, this, [this] {
        m_parts->connection->close(1);
        markDisconnected();
    });
    connect(&p.attendant, &CAttendantState::positionStateChanged, this, &Console::stateChanged);
    connect(&p.attendant, &CAttendantState::allSystemInfoReceived, this, [this] {
        m_parts->freshness.markLive();
        directoriesAfterDownload();
        Q_EMIT allSystemInfoReceived();
    });
    connect(&p.attendant, &CAttendantState::logOffCompleted, this, [this] {
        m_parts->keyTelephone.logOffReset();
        Q_EMIT displayReset();
        linkLost();
    });
    connect(&p.attendant, &CAttendantState::positionStateChanged, this, [this](int state) {
        if (state == CAttendantState::Ready)
            m_parts->reconnector.stop();
    });
    p.reconnector.setAttempt([this] { startLogOn(); });
    // An import opened the speed-bin file anew: its new directory takes the link.
    connect(&p.directories, &DirectoryFiles::reopened, this, [this](int directory) {
        if (directory == 0)
            wireSpeedBins();
    });
    connect(&p.reconnector, &Reconnector::statusChanged, this, &Console::reconnectStatusChanged);
    // The lamps of the last position go once the own station is known.
    connect(&p.attendant, &CAttendantState::ownStationChanged, &p.keyTelephone, &KeyTelephone::ownStationKnown);
    connect(&p.attendant.loader(), &CSysInfoLoader::resetDone, this, [this] {
        if (m_exitPending) {
            Q_EMIT closeMainWindowRequested();
        } else {
            Q_EMIT childWindowsCloseRequested();
            m_connected = false;
            Q_EMIT stateChanged();
        }
    });
    connect(p.connection.get(), &PbxConnection::lanDisconnected, this, &Console::stateChanged);
    connect(p.connection.get(), &PbxConnection::lanDisconnected, this, &Console::linkLost);

    // The attendant's own calls: its station from the download, its status
    // for the commands that need it idle, its ringing for the queue.
    p.calls.setLoggedOnQuery([this] { return isLoggedOn(); });
    connect(&p.attendant, &CAttendantState::ownStationChanged, &p.calls, &CAttendantCalls::setOwnStation);
    connect(&p.attendant, &CAttendantState::logOffCompleted, &p.calls, &CAttendantCalls::logOffReset);
    connect(&p.calls, &CAttendantCalls::ownStateChanged, this, &Console::stateChanged);
    connect(&p.calls, &CAttendantCalls::popupRequested, this, &Console::popupRequested);
    connect(&p.calls, &CAttendantCalls::beepRequested, this, &Console::beepRequested);
    // A ringing line's caller is named from the directories, once per ring.
    p.directories.setCallerNames(&p.callerNames);
    connect(&p.calls, &CAttendantCalls::queueEvent, this, [this](CQueueEvent event) {
        if (event.add && event.type != QueueType::QLTN_EXT_RING)
            event.callerName = m_parts->callerNames.nameFor(event.description);
        Q_EMIT queueEvent(event);
    });
    p.paging.setZoneCountQuery([this] { return int(m_parts->attendant.loader().pagingNumber()); });

    // Lamps never lie: what the tables hold is stale from the start, after
    // every loss and log-off, and live again once a download has ended.
    p.stations.setFreshness(&p.freshness);
    p.lines.setFreshness(&p.freshness);
    connect(&p.status, &LogStatusModel::closed, &p.freshness, &StatusFreshness::markStale);
    connect(p.connection.get(), &PbxConnection::lanDisconnected, &p.freshness, &StatusFreshness::markStale);
    connect(&p.attendant, &CAttendantState::lanDisconnectRequested, &p.freshness, &StatusFreshness::markStale);
    connect(&p.attendant, &CAttendantState::logOffCompleted, &p.freshness, &StatusFreshness::markStale);
}

Console::~Console()
{
    // The link goes first, so that no transport delivers into a half-destroyed console.
    m_parts->connection->close(0);
    m_parts->connection->close(1);
}

CLinkPort &Console::link() const { return m_parts->link; }
CLinkRequest &Console::request() const { return m_parts->request; }
LinkDispatcher &Console::dispatcher() const { return m_parts->dispatcher; }
PbxConnection &Console::connection() const { return *m_parts->connection; }
LinkConnection *Console::linkConnection() const { return qobject_cast<LinkConnection *>(m_parts->connection.get()); }
CAttendantState &Console::attendant() const { return m_parts->attendant; }
AttendantProgramming &Console::programming() const { return m_parts->programming; }
CLogSession &Console::session() const { return m_parts->attendant.session(); }
CSysInfoLoader &Console::loader() const { return m_parts->attendant.loader(); }
CExtStatusList &Console::stations() const { return m_parts->stations; }
CTrkStatusList &Console::coLines() const { return m_parts->lines; }
LogStatusModel &Console::logStatus() const { return m_parts->status; }
DirectoryFiles &Console::directories() const { return m_parts->directories; }
CallerNameIndex &Console::callerNames() const { return m_parts->callerNames; }
KeyTelephone &Console::keyTelephone() const { return m_parts->keyTelephone; }
MailJob &Console::mail() const { return m_parts->mail; }
CAttendantCalls &Console::calls() const { return m_parts->calls; }
Paging &Console::paging() const { return m_parts->paging; }
StatusFreshness &Console::freshness() const { return m_parts->freshness; }

StationMailAddress Console::stationMail(int port) const
{
    StationDirectory *d = m_parts->directories.stations();
    if (!d)
        return {QString(), QStringLiteral("#:cannot_create_sta_db")};
    if (!d->OpenRecordset())
        return {QString(), QStringLiteral("#:cannot_open_sta_db_recordset")};
    const std::optional<StationFields> fields = d->find(port);
    return {fields ? fields->at(9) : QString(), QString()};
}

void Console::openDirectories(const QString &folder)
{
    Parts &p = *m_parts;
    p.directories.open(folder);
    p.stations.setDirectoryWriter(p.directories.stations());
    p.lines.setDirectoryWriter(p.directories.coLines());
    wireSpeedBins();
}

CPhoneBookDB *Console::speedBins() const
{
    return m_parts->directories.speedBins();
}

void Console::wireSpeedBins()
{
    Parts &p = *m_parts;
    CPhoneBookDB *db = p.directories.speedBins();
    if (!db)
        return;
    // Every connection has the directory as its context: it ends with it.
    db->setSenders([this](quint16 bin) { return m_parts->request.SPDI_Req(bin); },
                   [this](const SpeedBinRecord &record) { return m_parts->request.SPDI_Write(record); });
    if (p.attendant.loader().speedBinLast() > 0)
        db->setRange(p.attendant.loader().speedBinFirst(), p.attendant.loader().speedBinLast());
    connect(&p.attendant.loader(), &CSysInfoLoader::speedBinRangeReceived, db, &CPhoneBookDB::setRange);
    connect(&p.attendant.loader(), &CSysInfoLoader::speedBinReceived, db,
            [db](quint16 bin, const QString &number, quint8 coType, quint8 coNumber, const QString &name) {
                db->OnSpeedBinReply(bin, name, number, coType, coNumber);
            });
    connect(db, &CPhoneBookDB::progress, &p.status, &LogStatusModel::setSpeedBinProgress);
    connect(db, &CPhoneBookDB::initFailed, &p.status, &LogStatusModel::setSpeedBinFailure);
    connect(db, &CPhoneBookDB::stepEnded, &p.status, &LogStatusModel::speedBinStepEnded);
    connect(db, &CPhoneBookDB::stateChanged, this, &Console::stateChanged);
    connect(&p.status, &LogStatusModel::speedBinStartRequested, db, [db](bool upload) {
        if (upload)
            db->StartUpload();
        else
            db->StartDownload();
    });
    connect(&p.status, &LogStatusModel::speedBinSkipRequested, db, &CPhoneBookDB::Skip);
    connect(&p.attendant, &CAttendantState::logOffCompleted, db, &CPhoneBookDB::stopSync);
}

void Console::directoriesAfterDownload()
{
    // Rows of ports and lines the PBX no longer has go; the operator's entries
    // of the others stay.
    Parts &p = *m_parts;
    if (StationDirectory *d = p.directories.stations(); d && !d->TrimToPortCount(p.stations.count()))
        m_ui.showMessage(QStringLiteral("#:cannot_open_sta_db_recordset"), QString(), MessageStyle::Deferred);
    // The owners' names the operator keeps in the station directory name the live stations.
    if (StationDirectory *d = p.directories.stations())
        p.stations.loadFullNames(d->nameRows());
    if (CoDirectory *d = p.directories.coLines(); d && !d->TrimToLineCount(p.lines.count()))
        m_ui.showMessage(QStringLiteral("#:cannot_open_co_db_recordset"), QString(), MessageStyle::Deferred);
    if (CPhoneBookDB *d = p.directories.speedBins())
        d->TrimToRange();
}

bool Console::isLoggedOn() const
{
    return m_parts->attendant.session().isLoggedOn();
}

int Console::positionState() const
{
    return m_parts->attendant.positionState();
}

int Console::connectionType() const
{
    return m_parts->connection->connectionType();
}

void Console::setConnectionType(int type)
{
    m_parts->connection->setConnectionType(type);
}

void Console::connectCommand()
{
    PbxConnection &c = *m_parts->connection;
    c.close(0);
    c.close(1);
    m_connected = true;
    c.open(c.connectionType());
    Q_EMIT stateChanged();
}

void Console::disconnectCommand()
{
    m_parts->freshness.markStale();
    m_operatorStopped = true;
    m_parts->reconnector.stop();
    disconnect(m_pendingLogOn);
    PbxConnection &c = *m_parts->connection;
    for (const int type : {0, 1}) {
        // A LAN connect under way is aborted too: it would bring up a link
        // the console has just called not connected.
        if (c.isOpen(type) || (type == PbxConnection::Lan && c.isConnecting())) {
            m_parts->attendant.session().setLogState(false, QString());
            c.close(type);
        }
    }
    m_connected = false;
    Q_EMIT stateChanged();
}

void Console::linkLost()
{
    if (!m_operatorStopped && !m_exitPending)
        m_parts->reconnector.lost();
}

void Console::stopReconnecting()
{
    m_parts->reconnector.stop();
}

bool Console::isReconnecting() const
{
    return m_parts->reconnector.isActive();
}

void Console::markDisconnected()
{
    m_connected = false;
    Q_EMIT stateChanged();
}

void Console::logOnCommand()
{
    if (isLoggedOn())
        return;
    // The operator's own log-on: a loss from now on is reconnected.
    m_operatorStopped = false;
    m_parts->reconnector.stop();
    startLogOn();
}

void Console::startLogOn()
{
    if (isLoggedOn())
        return;
    m_parts->freshness.markStale();
    m_parts->attendant.completePendingLogOff();
    PbxConnection &c = *m_parts->connection;
    // The request goes out once the connect has an outcome; a failed connect
    // has been reported and the request is still sent (it then fails and the
    // log-on wait reports it).
    disconnect(m_pendingLogOn);
    m_pendingLogOn = connect(&c, &PbxConnection::opened, this, [this](bool) {
        disconnect(m_pendingLogOn);
        sendLogOnRequest();
    });
    connectCommand();
}

void Console::sendLogOnRequest()
{
    m_parts->request.LOG_ON_Request();
    Q_EMIT stateChanged();
}

void Console::logOffCommand()
{
    if (!isLoggedOn())
        return;
    const int answer = m_ui.ask(QStringLiteral("#:Exit_to_logoff"), QStringLiteral("#:log_info"), MessageStyle::YesNo);
    // The link is dispatched while the operator decides: the position may have
    // been logged off meanwhile.
    if (answer == MessageStyle::ResultYes && isLoggedOn()) {
        m_operatorStopped = true;
        m_parts->reconnector.stop();
        m_parts->request.LOG_OFF_REQ();
    }
}

bool Console::requestExit()
{
    m_operatorStopped = true;
    m_parts->reconnector.stop();
    if (!isLoggedOn())
        return true;
    m_exitPending = true;
    m_parts->request.LOG_OFF_REQ();
    return false;
}

void Console::onEcho(const QByteArray &payload)
{
    m_parts->link.sendEchoReply(payload);
    if (payload == "beep")
        Q_EMIT beepRequested();
    else if (payload == "popup")
        Q_EMIT popupRequested();
}
