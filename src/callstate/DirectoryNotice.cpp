#include "DirectoryNotice.h"

#include "base/OperatorUi.h"
#include "base/Trace.h"

DirectoryNotice::DirectoryNotice(OperatorUi &ui, const QString &missingText, const QString &recordsetText)
    : m_ui(ui)
    , m_missingText(missingText)
    , m_recordsetText(recordsetText)
{
}

void DirectoryNotice::reset()
{
    m_missingShown = false;
    m_recordsetShown = false;
}

void DirectoryNotice::report(bool directoryMissing, const char *keyField, int number)
{
    const QString &text = directoryMissing ? m_missingText : m_recordsetText;
    bool &shown = directoryMissing ? m_missingShown : m_recordsetShown;
    if (Trace::enabled())
        Trace::instance().write(2, text + QString::asprintf(" (%s = %d)", keyField, number));
    if (shown)
        return;
    shown = true;
    m_ui.showFixedMessage(text, QString(), MessageStyle::Deferred);
}
