#include "directories/CPhoneBookDB.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/TimerHost.h"
#include "base/TimerIds.h"
#include "base/Trace.h"
#include "callstate/CallerNameIndex.h"
#include "directories/CallerNameReader.h"
#include "directories/DirectoryRecordset.h"
#include "directories/DirectoryTable.h"
#include "directories/DirectoryUpsert.h"
#include "directories/SpeedBinEditor.h"
#include "link/SpeedBinRecord.h"

namespace {
constexpr int FirstWaitMs = 700;
constexpr int RepeatWaitMs = 1000;
constexpr int MaxRetries = 3;
// An empty bin other than the first goes to the PBX with this CO number.
constexpr quint8 NoCoNumber = 255;
} // namespace

CPhoneBookDB::CPhoneBookDB(QSqlDatabase db, TimerHost &timers, OperatorUi &ui, QObject *parent)
    : QObject(parent)
    , m_db(std::move(db))
    , m_timers(timers)
    , m_ui(ui)
    , m_set(std::make_unique<DirectoryRecordset>(m_db, DirectoryTable::speedBin()))
{
    m_timers.setHandler(TimerId::SpeedSyncStep, [this](int) { onTimer(); });
    m_editor = std::make_unique<SpeedBinEditor>(*this, timers, ui);
}

CPhoneBookDB::~CPhoneBookDB()
{
    m_timers.stop(TimerId::SpeedSyncStep);
    m_timers.clearHandler(TimerId::SpeedSyncStep);
    m_editor.reset();
}

void CPhoneBookDB::setSenders(RequestSender request, WriteSender write)
{
    m_request = std::move(request);
    m_write = std::move(write);
}

void CPhoneBookDB::setRange(int first, int last)
{
    m_first = first;
    m_last = last;
}

std::unique_ptr<DirectoryRecordset> CPhoneBookDB::newRecordset() const
{
    return std::make_unique<DirectoryRecordset>(m_db, DirectoryTable::speedBin());
}

QString CPhoneBookDB::coTypeText(quint8 code)
{
    switch (code) {
    case SpeedBinRecord::None:
        return QStringLiteral("None");
    case SpeedBinRecord::Line:
        return QStringLiteral("Line");
    case SpeedBinRecord::Group:
        return QStringLiteral("Group");
    default:
        return QString();
    }
}

quint8 CPhoneBookDB::coTypeCode(const QString &text)
{
    if (text == QLatin1String("Line"))
        return SpeedBinRecord::Line;
    if (text == QLatin1String("Group"))
        return SpeedBinRecord::Group;
    return SpeedBinRecord::None;
}

QString CPhoneBookDB::dialableNumber(const QString &number)
{
    static const QString dialable = QStringLiteral("0123456789PSF#*");
    QString out;
    for (const QChar c : number)
        if (dialable.contains(c))
            out += c;
    return out;
}

bool CPhoneBookDB::sendWrite(const SpeedBinRecord &record)
{
    return m_write && m_write(record);
}

void CPhoneBookDB::clearFailureFlags()
{
    m_downloadFailed = false;
    m_uploadFailed = false;
    Q_EMIT stateChanged();
}

void CPhoneBookDB::StartDownload()
{
    m_busy = true;
    m_mode = Download;
    m_retries = 0;
    m_current = m_first;
    if (m_request)
        m_request(quint16(m_current));
    m_timers.start(TimerId::SpeedSyncStep, FirstWaitMs);
    Q_EMIT stateChanged();
}

void CPhoneBookDB::StartUpload()
{
    m_busy = true;
    m_mode = Upload;
    m_retries = 0;
    m_current = m_first;
    writeBin(m_first);
    m_timers.start(TimerId::SpeedSyncStep, FirstWaitMs);
    Q_EMIT stateChanged();
}

void CPhoneBookDB::Skip()
{
    m_initialised = true;
    m_downloadFailed = true;
    m_uploadFailed = true;
    Q_EMIT stateChanged();
}

void CPhoneBookDB::stopSync()
{
    if (m_mode != Download && m_mode != Upload)
        return;
    m_timers.stop(TimerId::SpeedSyncStep);
    m_busy = false;
    m_retries = 0;
    m_mode = Idle;
    Q_EMIT stateChanged();
}

void CPhoneBookDB::writeBin(int bin)
{
    SpeedBinRecord record;
    record.bin = quint16(bin);
    record.coNumber = bin == m_first ? 0 : NoCoNumber;
    const DirectoryUpsert::KeepTexts keep(*m_set);
    if (DirectoryUpsert::openKey(*m_set, QStringLiteral("SpdNo = %1").arg(bin)) && !m_set->isEmpty()) {
        m_set->moveFirst();
        record.name = m_set->value(QStringLiteral("Name")).toString();
        record.number = m_set->value(QStringLiteral("Number")).toString();
        record.coType = coTypeCode(m_set->value(QStringLiteral("COType")).toString());
        record.coNumber = quint8(m_set->value(QStringLiteral("CONo")).toLongLong());
    }
    m_set->close();
    if (m_write)
        m_write(record);
}

void CPhoneBookDB::complete()
{
    m_timers.stop(TimerId::SpeedSyncStep);
    m_busy = false;
    m_initialised = true;
    m_mode = Idle;
    m_downloadFailed = false;
    m_uploadFailed = false;
    Q_EMIT stateChanged();
}

bool CPhoneBookDB::StoreBin(int bin, const QString &name, const QString &number, quint8 coType, quint8 coNumber)
{
    bool last = false;
    if (bin == m_last + 1) {
        --bin;
        last = true;
    }
    {
        const DirectoryUpsert::KeepTexts keep(*m_set);
        if (!DirectoryUpsert::openKey(*m_set, QStringLiteral("SpdNo = %1").arg(bin))) {
            m_ui.showMessage(QStringLiteral("#:cannot_open_pb_db_recordset"), QString(), MessageStyle::Deferred);
            return false;
        }
        const QString type = coTypeText(coType);
        bool ok = true;
        if (m_set->isEmpty()) {
            if (!number.isEmpty())
                ok = m_set->addNew({bin, name, number, type, coNumber, QString()});
        } else {
            m_set->moveFirst();
            while (ok && !m_set->isEof()) {
                if (number.isEmpty()) {
                    ok = m_set->deleteCurrent(); // the next row becomes current
                    continue;
                }
                // A note about another number no longer applies.
                QString memo = m_set->value(QStringLiteral("Memo")).toString();
                if (m_set->value(QStringLiteral("Number")).toString() != number)
                    memo.clear();
                ok = m_set->editCurrent({bin, name, number, type, coNumber, memo});
                m_set->moveNext();
            }
        }
        if (!ok)
            ZTRACE(0, "CPhoneBookDB::StoreBin %d: %s", bin, qPrintable(m_set->errorText()));
        else
            callerChanged(bin, number, name);
        m_set->close();
    }

    if (m_busy) {
        m_timers.stop(TimerId::SpeedSyncStep);
        m_retries = 0;
        if (m_current > m_last || last) {
            complete();
            return true;
        }
        if (bin == m_current) {
            if (m_current < m_last)
                ++m_current;
            if (m_request)
                m_request(quint16(m_current));
        }
        m_timers.start(TimerId::SpeedSyncStep, FirstWaitMs);
    } else if (m_windowOpen) {
        announceKeysetChange(bin, name, number, coType, coNumber);
    }
    return true;
}

void CPhoneBookDB::announceKeysetChange(int bin, const QString &name, const QString &number, quint8 coType,
                                        quint8 coNumber)
{
    const MessageCatalogue catalogue;
    const QString type = coTypeText(coType);
    const QString co = coType == SpeedBinRecord::None ? QString() : QString::number(coNumber);
    ++m_keysetMessages;
    const QString text = catalogue.text(QStringLiteral("#:speed_bin_input_by_keyset")) + QStringLiteral(" (")
                         + catalogue.text(QStringLiteral("#:message_no")) + QStringLiteral(" %1)\n\n").arg(m_keysetMessages)
                         + catalogue.text(QStringLiteral("#:pb_bin_no")) + QStringLiteral(" [%1]    ").arg(bin)
                         + catalogue.text(QStringLiteral("#:pb_name")) + QStringLiteral(" [%1]    ").arg(name)
                         + catalogue.text(QStringLiteral("#:pb_phone_no")) + QStringLiteral(" [%1]    ").arg(number)
                         + catalogue.text(QStringLiteral("#:pb_co_type")) + QStringLiteral(" [%1]    ").arg(type)
                         + catalogue.text(QStringLiteral("#:pb_co_no")) + QStringLiteral(" [%1]").arg(co);
    m_ui.showFixedMessage(text, QString(), MessageStyle::Deferred);
    Q_EMIT reloadRequested();
}

void CPhoneBookDB::OnSpeedBinReply(quint16 bin, const QString &name, const QString &number, quint8 coType,
                                   quint8 coNumber)
{
    switch (m_mode) {
    case Download:
        if (bin == m_last) {
            Q_EMIT progress(bin);
            StoreBin(bin + 1, name, number, coType, coNumber);
            Q_EMIT stepEnded();
        } else {
            StoreBin(bin, name, number, coType, coNumber);
            Q_EMIT progress(bin);
        }
        break;
    case Upload:
        UploadAcknowledged(bin, name, number, coType, coNumber);
        Q_EMIT progress(bin);
        if (bin == m_last)
            Q_EMIT stepEnded();
        break;
    case EditConfirmation:
        Q_EMIT editReply(bin, name, number, coType, coNumber);
        break;
    default:
        StoreBin(bin, name, number, coType, coNumber);
        break;
    }
}

void CPhoneBookDB::UploadAcknowledged(int bin, const QString &name, const QString &number, quint8 coType,
                                      quint8 coNumber)
{
    m_timers.stop(TimerId::SpeedSyncStep);
    if (bin == m_current) {
        m_retries = 0;
        if (m_current < m_last) {
            ++m_current;
            writeBin(m_current);
            m_timers.start(TimerId::SpeedSyncStep, FirstWaitMs);
        } else {
            complete();
        }
        return;
    }
    // A change made elsewhere while the upload runs is stored like any other.
    m_busy = false;
    StoreBin(bin, name, number, coType, coNumber);
    m_busy = true;
    if (m_current <= m_last)
        m_timers.start(TimerId::SpeedSyncStep, FirstWaitMs);
}

void CPhoneBookDB::onTimer()
{
    ZTRACE(2, "CPhoneBookDB::OnTimer");
    if (m_mode != Download && m_mode != Upload)
        return;
    ++m_retries;
    if (m_retries <= MaxRetries) {
        m_timers.stop(TimerId::SpeedSyncStep);
        if (m_mode == Download) {
            if (m_request)
                m_request(quint16(m_current));
            m_timers.start(TimerId::SpeedSyncStep, RepeatWaitMs);
        } else {
            // The same bin again; the count of timeouts goes on.
            writeBin(m_current);
            m_timers.start(TimerId::SpeedSyncStep, FirstWaitMs);
        }
        return;
    }
    const bool download = m_mode == Download;
    m_timers.stop(TimerId::SpeedSyncStep);
    m_downloadFailed = download;
    m_uploadFailed = !download;
    m_busy = false;
    m_retries = 0;
    // A late reply must not be taken for the next step of a finished run.
    m_mode = Idle;
    const QString key = download ? QStringLiteral("#:pb_db_init_failed") : QStringLiteral("#:mesk_speed_bin_init_failed");
    Q_EMIT initFailed(key, m_first);
    Q_EMIT stepEnded();
    Q_EMIT stateChanged();
    m_ui.showMessage(key, QString(), MessageStyle::Deferred);
}

bool CPhoneBookDB::TrimToRange()
{
    if (!DirectoryUpsert::trim(*m_set, QStringLiteral("SpdNo > %1").arg(m_last))) {
        m_ui.showMessage(QStringLiteral("#:pbe_cannot_open_speed_record"), QString(), MessageStyle::Deferred);
        return false;
    }
    if (m_callerNames)
        m_callerNames->removeAbove(CallerNameIndex::SpeedBins, m_last);
    return true;
}

void CPhoneBookDB::setCallerNames(CallerNameIndex *index)
{
    m_callerNames = index;
    if (m_callerNames)
        m_callerNames->replace(CallerNameIndex::SpeedBins, CallerNameReader::speedBins(m_db));
}

void CPhoneBookDB::callerChanged(int bin, const QString &number, const QString &name)
{
    if (m_callerNames)
        m_callerNames->set(CallerNameIndex::SpeedBins, bin, number, name);
}
