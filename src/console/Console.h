#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class CAttendantCalls;
class AttendantProgramming;
class CAttendantState;
class CallerNameIndex;
class CExtStatusList;
class CLinkPort;
class CLinkRequest;
class CLogSession;
class CPhoneBookDB;
class CSysInfoLoader;
class Clock;
class CTrkStatusList;
class DirectoryFiles;
class KeyTelephone;
class MailJob;
struct StationMailAddress;
class LinkConnection;
class PbxConnection;
class LinkDispatcher;
class LogStatusModel;
class OperatorUi;
class Paging;
class StatusFreshness;
struct CQueueEvent;
class TimerHost;

// The console's composition root, owned by the main window for the whole run:
// the link with its connection, the attendant session and download, and the
// station and CO line tables. Runs without widgets, so the whole console can
// be driven headless in tests.
class Console : public QObject
{
    Q_OBJECT
public:
    // Makes the connection of the link; without one the console uses the
    // program's serial port and LAN socket (LinkConnection).
    using ConnectionFactory = std::function<std::unique_ptr<PbxConnection>(CLinkPort &link, OperatorUi &ui)>;

    Console(TimerHost &timers, OperatorUi &ui, const Clock &clock, const ConnectionFactory &makeConnection = {},
            QObject *parent = nullptr);
    ~Console() override;

    TimerHost &timers() const { return m_timers; }
    OperatorUi &ui() const { return m_ui; }
    const Clock &clock() const { return m_clock; }
    CLinkPort &link() const;
    CLinkRequest &request() const;
    LinkDispatcher &dispatcher() const;
    PbxConnection &connection() const;
    // The program's serial port and LAN socket; nullptr when the factory made another connection.
    LinkConnection *linkConnection() const;
    CAttendantState &attendant() const;
    CLogSession &session() const;
    CSysInfoLoader &loader() const;
    CExtStatusList &stations() const;
    CTrkStatusList &coLines() const;
    LogStatusModel &logStatus() const;
    // The directory files of the run (opened by the main window at start).
    DirectoryFiles &directories() const;
    // Who is calling: the names the phone-number, speed-bin and station
    // directories give to callers' digits, kept current by their writes.
    CallerNameIndex &callerNames() const;
    // The speed-bin directory; nullptr when its file could not be opened.
    CPhoneBookDB *speedBins() const;
    // The virtual key telephone: lamps, display and keys.
    KeyTelephone &keyTelephone() const;
    // The mails on their way to a mail server.
    MailJob &mail() const;
    // The attendant's own station, its ringing and its call operations.
    CAttendantCalls &calls() const;
    // Paging through the PBX.
    Paging &paging() const;
    // The attendant programming commands and the replies of class 0x09.
    AttendantProgramming &programming() const;
    // Whether lamps, queue and key telephone show the PBX's live state.
    StatusFreshness &freshness() const;
    // The Mail field of a station's directory record, or what went wrong.
    StationMailAddress stationMail(int port) const;
    // Opens the directory files in the "Database" folder and lets the tables
    // write through to them.
    void openDirectories(const QString &folder);

    // Menu commands.
    void logOnCommand();              // connect, then LOG_ON_Request
    void logOffCommand();             // asks "#:Exit_to_logoff"; on Yes LOG_OFF_REQ
    void connectCommand();            // closes whatever is open, opens the configured transport
    void disconnectCommand();         // logs the position off without a message and closes
    // Closing the main window: true when it may close now; otherwise the
    // log-off request went out and closeMainWindowRequested() follows.
    bool requestExit();

    bool isConnected() const { return m_connected; }
    bool isLoggedOn() const;
    int positionState() const;
    bool exitPending() const { return m_exitPending; }
    int connectionType() const;
    void setConnectionType(int type);

    // Marks the console not connected (after a LAN disconnect by the session).
    void markDisconnected();
    // Ends logging on again by itself (the option was switched off).
    void stopReconnecting();
    bool isReconnecting() const;

Q_SIGNALS:
    // Commands may need enabling and checking anew.
    void stateChanged();
    // Log-off completed while an exit was pending.
    void closeMainWindowRequested();
    // Log-off completed: save the state of the child windows and close them.
    void childWindowsCloseRequested();
    // Everything downloaded: open the directories and reopen the windows of the last run.
    void allSystemInfoReceived();
    // Log-off: the LCD bar is cleared, the key telephone reset.
    void displayReset();
    void beepRequested();
    void popupRequested();
    void echoReplyReceived(const QByteArray &payload);
    // The status bar's text while the console logs on again by itself; empty after.
    void reconnectStatusChanged(const QString &text);
    // Queue updates of the attendant's ringing, for the queue windows.
    void queueEvent(const CQueueEvent &event);

private:
    void onEcho(const QByteArray &payload);
    void sendLogOnRequest();
    void startLogOn();
    // A loss the operator did not ask for.
    void linkLost();
    void directoriesAfterDownload();
    void wireSpeedBins();

    TimerHost &m_timers;
    OperatorUi &m_ui;
    const Clock &m_clock;
    struct Parts;
    std::unique_ptr<Parts> m_parts;
    bool m_connected = false;
    bool m_exitPending = false;
    // The operator logged off, disconnected or is exiting: a loss now is no loss.
    bool m_operatorStopped = true;
    // A log-on waits for the outcome of the connect it started.
    QMetaObject::Connection m_pendingLogOn;
};
