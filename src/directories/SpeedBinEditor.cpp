#include "directories/SpeedBinEditor.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/TimerHost.h"
#include "base/TimerIds.h"
#include "directories/CPhoneBookDB.h"
#include "directories/DirectoryRecordset.h"
#include "directories/DirectoryUpsert.h"

namespace {
constexpr int ConfirmWaitMs = 500;
constexpr int MaxSends = 4;
constexpr int MaxLine = 200;
constexpr int MaxGroup = 72;

std::optional<int> decimal(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// The characters of text outside allowed, each followed by a blank.
QString offending(const QString &text, const QString &allowed)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            out += QStringLiteral("<None ASCII> ");
        else if (!allowed.contains(c))
            out += c + QLatin1Char(' ');
    }
    return out;
}

QString catalogueText(const QString &key)
{
    return MessageCatalogue().text(key);
}
} // namespace

SpeedBinEditor::SpeedBinEditor(CPhoneBookDB &db, TimerHost &timers, OperatorUi &ui, QObject *parent)
    : QObject(parent)
    , m_db(db)
    , m_timers(timers)
    , m_ui(ui)
{
    m_timers.setHandler(TimerId::SpeedSyncWatchdog, [this](int) { onTimeout(); });
    connect(&m_db, &CPhoneBookDB::editReply, this, &SpeedBinEditor::onReply);
}

SpeedBinEditor::~SpeedBinEditor()
{
    m_timers.stop(TimerId::SpeedSyncWatchdog);
    m_timers.clearHandler(TimerId::SpeedSyncWatchdog);
}

std::optional<SpeedBinEditor::Failure> SpeedBinEditor::check(Fields &f, int firstBin, int lastBin)
{
    Fields t = f;
    for (QString *s : {&t.bin, &t.name, &t.number, &t.coType, &t.coNumber, &t.memo})
        *s = s->trimmed();
    if (t.bin.isEmpty() || t.number.isEmpty())
        return Failure{QStringLiteral("#:pbe_bin_phone_must_be_entered")};
    const bool line = t.coType == QLatin1String("Line");
    const bool group = t.coType == QLatin1String("Group");
    if (!line && !group && t.coType != QLatin1String("None"))
        return Failure{QStringLiteral("#:pbe_co_type_invalid")};
    const auto bin = decimal(t.bin);
    if (!bin || *bin < firstBin || *bin > lastBin)
        return Failure{QStringLiteral("#:pbe_bin_no_invalid")};
    if ((line || group) && t.coNumber.isEmpty())
        return Failure{QStringLiteral("#:pbe_co_no_needed")};
    if (line || group) {
        const auto co = decimal(t.coNumber);
        if (!co || *co < 1 || *co > (line ? MaxLine : MaxGroup))
            return Failure{QStringLiteral("#:pbe_co_no_invalid")};
    }
    t.number = t.number.toUpper();
    if (const QString bad = offending(t.number, QStringLiteral("1234567890PSF*#")); !bad.isEmpty())
        return Failure{bad + catalogueText(QStringLiteral("#:pbe_not_in_speed_bin_char_set")), true};
    t.name = t.name.toUpper();
    if (const QString bad = offending(t.name, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890 .,:")); !bad.isEmpty())
        return Failure{bad + catalogueText(QStringLiteral("#:not_in_varo_char_set")), true};
    f = t;
    return std::nullopt;
}

bool SpeedBinEditor::inRange(const QString &bin) const
{
    const auto value = decimal(bin.trimmed());
    return value && *value >= m_db.firstBin() && *value <= m_db.lastBin();
}

void SpeedBinEditor::load(const Fields &record)
{
    m_fields = record;
    if (m_fields.coNumber == QLatin1String("255") || m_fields.coType == QLatin1String("None"))
        m_fields.coNumber.clear();
    m_originalBin = record.bin;
    m_addEnabled = false;
    m_modifyEnabled = true;
    m_deleteEnabled = true;
    Q_EMIT changed();
}

void SpeedBinEditor::clear()
{
    m_fields = Fields();
    m_originalBin.clear();
    m_addEnabled = m_modifyEnabled = m_deleteEnabled = false;
    Q_EMIT changed();
}

void SpeedBinEditor::edit(const Fields &fields)
{
    m_fields = fields;
    if (m_fields.coType == QLatin1String("None"))
        m_fields.coNumber.clear();
    const bool complete = inRange(m_fields.bin) && !m_fields.number.trimmed().isEmpty();
    m_addEnabled = complete;
    m_deleteEnabled = false;
    if (!complete)
        m_modifyEnabled = false;
    Q_EMIT changed();
}

void SpeedBinEditor::setCoType(const QString &type)
{
    Fields f = m_fields;
    f.coType = type;
    edit(f);
}

void SpeedBinEditor::showInputError(const QString &text)
{
    m_ui.showFixedMessage(text, catalogueText(QStringLiteral("#:input_error")), MessageStyle::Stop);
}

bool SpeedBinEditor::validate()
{
    Fields f = m_fields;
    const auto failure = check(f, m_db.firstBin(), m_db.lastBin());
    if (failure) {
        if (failure->fixed)
            showInputError(failure->text);
        else
            m_ui.showMessage(failure->text, QStringLiteral("#:input_error"), MessageStyle::Exclamation);
        return false;
    }
    if (f != m_fields) {
        m_fields = f;
        Q_EMIT changed();
    }
    return true;
}

QVariantList SpeedBinEditor::values(const QString &memo) const
{
    const bool none = m_fields.coType == QLatin1String("None") || m_fields.coNumber.isEmpty();
    return {m_fields.bin.toInt(), m_fields.name, m_fields.number, m_fields.coType,
            none ? 255 : m_fields.coNumber.toInt(), memo};
}

void SpeedBinEditor::showResult(const QString &key, const QString &bin)
{
    const QString text = catalogueText(key) + QStringLiteral(" (") + catalogueText(QStringLiteral("#:pbi_bin_no"))
                         + QStringLiteral(" : %1)").arg(bin);
    m_ui.showFixedMessage(text, catalogueText(QStringLiteral("#:information")), MessageStyle::Information);
}

void SpeedBinEditor::add()
{
    if (!validate())
        return;
    auto set = m_db.newRecordset();
    set->setFilter(QStringLiteral("SpdNo = %1").arg(m_fields.bin.toInt()));
    if (!set->open()) {
        m_ui.showMessage(QStringLiteral("#:pbe_cannot_open_speed_record"), QStringLiteral("#:database_error"),
                         MessageStyle::Stop);
        return;
    }
    if (!set->isEmpty()) {
        showInputError(catalogueText(QStringLiteral("#:pbi_bin_no")) + QStringLiteral(" %1 : ").arg(m_fields.bin)
                       + catalogueText(QStringLiteral("#:pbe_record_already exists")));
        return;
    }
    if (m_db.isInitialised() && !m_confirmed) {
        sendChange(Add);
        return;
    }
    if (!set->addNew(values(m_fields.memo))) {
        m_ui.showMessage(QStringLiteral("#:pbe_cannot_open_speed_record"), QStringLiteral("#:database_error"),
                         MessageStyle::Stop);
        return;
    }
    set->close();
    m_db.callerChanged(m_fields.bin.toInt(), m_fields.number, m_fields.name);
    m_originalBin = m_fields.bin;
    m_modifyEnabled = m_deleteEnabled = true;
    showResult(QStringLiteral("#:pbi_new_record_added"), m_fields.bin);
    Q_EMIT changed();
    Q_EMIT recordWritten();
}

void SpeedBinEditor::modify()
{
    if (!validate())
        return;
    if (m_fields.bin.toInt() != m_originalBin.trimmed().toInt() || m_originalBin.trimmed().isEmpty()) {
        showInputError(catalogueText(QStringLiteral("#:pbe_modified_bin_no_not_allowed")) + QStringLiteral("\n\n")
                       + catalogueText(QStringLiteral("#:pbi_original_bin_no")) + QStringLiteral(" : %1").arg(m_originalBin));
        return;
    }
    if (m_db.isInitialised() && !m_confirmed) {
        sendChange(Modify);
        return;
    }
    auto set = m_db.newRecordset();
    set->setFilter(QStringLiteral("SpdNo = %1").arg(m_fields.bin.toInt()));
    if (!set->open()) {
        m_ui.showMessage(QStringLiteral("#:pbe_cannot_open_speed_record"), QStringLiteral("#:database_error"),
                         MessageStyle::Stop);
        return;
    }
    bool ok = true;
    if (set->isEmpty())
        ok = set->addNew(values(m_fields.memo));
    for (bool more = set->moveFirst(); ok && more; more = set->moveNext())
        ok = set->editCurrent(values(m_fields.memo));
    set->close();
    if (!ok) {
        m_ui.showMessage(QStringLiteral("#:pbe_cannot_open_speed_record"), QStringLiteral("#:database_error"),
                         MessageStyle::Stop);
        return;
    }
    m_db.callerChanged(m_fields.bin.toInt(), m_fields.number, m_fields.name);
    showResult(QStringLiteral("#:pbi_record_modified"), m_fields.bin);
    Q_EMIT recordWritten();
}

void SpeedBinEditor::remove()
{
    if (m_db.isInitialised() && !m_confirmed) {
        sendChange(Delete);
        return;
    }
    const QString bin = m_originalBin.trimmed().isEmpty() ? m_fields.bin.trimmed() : m_originalBin.trimmed();
    auto set = m_db.newRecordset();
    if (!DirectoryUpsert::trim(*set, QStringLiteral("SpdNo = %1").arg(bin.toInt()))) {
        m_ui.showMessage(QStringLiteral("#:pbe_cannot_open_speed_record"), QStringLiteral("#:database_error"),
                         MessageStyle::Stop);
        return;
    }
    m_db.callerChanged(bin.toInt(), QString(), QString());
    m_modifyEnabled = m_deleteEnabled = false;
    showResult(QStringLiteral("#:pbi_record_deleted"), bin);
    Q_EMIT changed();
    Q_EMIT recordWritten();
}

void SpeedBinEditor::sendChange(Operation operation)
{
    SpeedBinRecord record;
    record.bin = quint16(m_fields.bin.trimmed().toInt());
    if (operation != Delete) {
        record.coType = CPhoneBookDB::coTypeCode(m_fields.coType);
        record.coNumber = record.coType == SpeedBinRecord::None ? 0 : quint8(m_fields.coNumber.toInt());
        record.name = m_fields.name;
        record.number = CPhoneBookDB::dialableNumber(m_fields.number);
    }
    m_sent = record;
    m_pendingFields = m_fields;
    m_pendingOriginal = m_originalBin;
    m_operation = operation;
    m_waiting = true;
    m_timeouts = 0;
    m_db.setMode(CPhoneBookDB::EditConfirmation);
    m_db.sendWrite(m_sent);
    m_timers.start(TimerId::SpeedSyncWatchdog, ConfirmWaitMs);
}

void SpeedBinEditor::onTimeout()
{
    m_timers.stop(TimerId::SpeedSyncWatchdog);
    if (m_db.mode() != CPhoneBookDB::EditConfirmation)
        return;
    ++m_timeouts;
    if (m_timeouts < MaxSends) {
        m_db.sendWrite(m_sent);
        m_timers.start(TimerId::SpeedSyncWatchdog, ConfirmWaitMs);
        return;
    }
    // The change stays pending: a reply that still comes completes it.
    m_timeouts = 0;
    m_ui.showMessage(QStringLiteral("#:pbe_pb_db_edit_failed"), QString(), MessageStyle::Deferred);
}

void SpeedBinEditor::onReply(quint16 bin, const QString &name, const QString &number, quint8 coType, quint8 coNumber)
{
    m_timers.stop(TimerId::SpeedSyncWatchdog);
    const bool same = bin == m_sent.bin && number == m_sent.number && coType == m_sent.coType
                      && (coType == SpeedBinRecord::None || coNumber == m_sent.coNumber) && name == m_sent.name;
    m_timeouts = 0;
    m_waiting = false;
    m_db.setMode(CPhoneBookDB::Idle);
    if (same) {
        // The dialog may show other fields by now; the change the PBX took is written.
        const Fields shown = m_fields;
        const QString shownOriginal = m_originalBin;
        m_fields = m_pendingFields;
        m_originalBin = m_pendingOriginal;
        m_confirmed = true;
        if (m_operation == Add)
            add();
        else if (m_operation == Modify)
            modify();
        else
            remove();
        m_confirmed = false;
        if (!(shown == m_pendingFields)) {
            m_fields = shown;
            m_originalBin = shownOriginal;
            Q_EMIT changed();
        }
    } else {
        m_db.StoreBin(bin, name, number, coType, coNumber);
    }
}
