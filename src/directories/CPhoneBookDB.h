#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>

class CallerNameIndex;
class DirectoryRecordset;
class OperatorUi;
class SpeedBinEditor;
class TimerHost;
struct SpeedBinRecord;

// The speed-bin directory: SpeedDB.mdb, table SpeedBin, kept in step with the
// PBX's system speed-dial table. After log-on the operator downloads every bin
// of the system speed range from the PBX or uploads the file into it (timer 14
// paces each step); later changes made at a keyset or by another console
// arrive as replies and are stored; the operator's own changes go through
// the editor and are written only once the PBX has confirmed them.
class CPhoneBookDB : public QObject
{
    Q_OBJECT
public:
    enum Mode { Idle = 0, Download = 1, Upload = 2, EditConfirmation = 3 };

    // How requests reach the PBX (SPDI_Req and SPDI_Write).
    using RequestSender = std::function<bool(quint16 bin)>;
    using WriteSender = std::function<bool(const SpeedBinRecord &record)>;

    CPhoneBookDB(QSqlDatabase db, TimerHost &timers, OperatorUi &ui, QObject *parent = nullptr);
    ~CPhoneBookDB() override;

    void setSenders(RequestSender request, WriteSender write);

    // The index of callers' names this directory keeps current: the bins are
    // read into it at once, and every bin stored, edited, deleted or trimmed
    // follows. nullptr: none.
    void setCallerNames(CallerNameIndex *index);
    // The bin's record changed (an empty number: it is gone).
    void callerChanged(int bin, const QString &number, const QString &name);

    // The system speed range; 2000 to 4999 until the PBX reports its own.
    void setRange(int first, int last);
    int firstBin() const { return m_first; }
    int lastBin() const { return m_last; }

    void StartDownload();
    void StartUpload();
    // The operator chose not to synchronise: the directory counts as
    // initialised, and both failure flags record that it is not in step.
    void Skip();
    // The position logged off: a download or upload in progress stops
    // without a failure message (the flags stay as they were).
    void stopSync();

    // Every SPDI_Rep and SPDI_Empty (empty name and number) from the PBX.
    void OnSpeedBinReply(quint16 bin, const QString &name, const QString &number, quint8 coType, quint8 coNumber);
    // Writes what the PBX holds for a bin: an empty number deletes the bin,
    // a changed number empties the memo. bin == last + 1 ends a download.
    bool StoreBin(int bin, const QString &name, const QString &number, quint8 coType, quint8 coNumber);
    // Deletes the bins above the system speed range.
    bool TrimToRange();

    int mode() const { return m_mode; }
    void setMode(int mode) { m_mode = mode; }
    bool isBusy() const { return m_busy; }
    bool isInitialised() const { return m_initialised; }
    int currentBin() const { return m_current; }
    int retryCount() const { return m_retries; }
    bool downloadFailed() const { return m_downloadFailed; }
    bool uploadFailed() const { return m_uploadFailed; }
    void clearFailureFlags();

    // The directory window tells whether it is open: changes made elsewhere
    // are announced only to an operator who is looking at the directory.
    void setWindowOpen(bool open) { m_windowOpen = open; }
    bool isWindowOpen() const { return m_windowOpen; }

    // "None", "Line", "Group" for codes 0, 1, 2; empty for any other code.
    static QString coTypeText(quint8 code);
    // 1 for "Line", 2 for "Group", 0 for anything else.
    static quint8 coTypeCode(const QString &text);
    // The characters a speed bin's number may be dialled with; the rest is dropped.
    static QString dialableNumber(const QString &number);

    QSqlDatabase database() const { return m_db; }
    // A recordset of its own for each user (window, editor), on this file.
    std::unique_ptr<DirectoryRecordset> newRecordset() const;
    // The one editor of the operator's changes.
    SpeedBinEditor &editor() const { return *m_editor; }

    // Sends a write (the editor's changes).
    bool sendWrite(const SpeedBinRecord &record);

Q_SIGNALS:
    // For the log-on status window: the bin just processed.
    void progress(int bin);
    // The initialisation failed (failureKey) at the first bin.
    void initFailed(const QString &failureKey, int firstBin);
    // The download or upload has ended, either way.
    void stepEnded();
    // A bin changed elsewhere while the window is open: reload its list.
    void reloadRequested();
    // The edit confirmation of mode 3.
    void editReply(quint16 bin, const QString &name, const QString &number, quint8 coType, quint8 coNumber);
    // Busy, initialised or a failure flag changed.
    void stateChanged();

private:
    void onTimer();
    void UploadAcknowledged(int bin, const QString &name, const QString &number, quint8 coType, quint8 coNumber);
    // Writes the file's record of a bin to the PBX; an empty bin goes as
    // CO number 0 when it is the first, 255 otherwise.
    void writeBin(int bin);
    void complete();
    void announceKeysetChange(int bin, const QString &name, const QString &number, quint8 coType, quint8 coNumber);

    QSqlDatabase m_db;
    TimerHost &m_timers;
    OperatorUi &m_ui;
    std::unique_ptr<DirectoryRecordset> m_set;
    std::unique_ptr<SpeedBinEditor> m_editor;
    RequestSender m_request;
    WriteSender m_write;
    int m_first = 2000;
    int m_last = 4999;
    int m_mode = Idle;
    bool m_busy = false;
    bool m_initialised = false;
    int m_current = 0;
    int m_retries = 0;
    long m_keysetMessages = 0;
    bool m_downloadFailed = false;
    bool m_uploadFailed = false;
    bool m_windowOpen = false;
    CallerNameIndex *m_callerNames = nullptr;
};
