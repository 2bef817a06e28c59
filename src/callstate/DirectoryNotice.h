#pragma once

#include <QString>

class OperatorUi;

// The boxes of a write-through into a directory that did not happen. A
// download writes every station (or line) in turn, so a directory that cannot
// be written would raise one box per record: each box is shown once until
// reset() (the next download) and every failure goes to the trace.
class DirectoryNotice
{
public:
    DirectoryNotice(OperatorUi &ui, const QString &missingText, const QString &recordsetText);

    void reset();
    // directoryMissing: no directory to write to; else its recordset did not
    // open. The record is named by its key field and number ("Port", 5).
    void report(bool directoryMissing, const char *keyField, int number);

private:
    OperatorUi &m_ui;
    QString m_missingText;
    QString m_recordsetText;
    bool m_missingShown = false;
    bool m_recordsetShown = false;
};
