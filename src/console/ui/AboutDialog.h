#pragma once

#include "base/ui/ConsoleDialog.h"

#include <QString>

class QLabel;
class QPushButton;

// The About dialog: the version text and a key pad whose keys fill a hidden
// buffer; "#" compares the buffer with three access codes and empties it.
class AboutDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    // Four digits and "*": the developer test sheet.
    static constexpr const char *TestSheetCode = "3817*";
    // Six digits: the log-on command request (only while logged off).
    static constexpr const char *LogOnCode = "592604";
    // Four digits: the e-mail dialog with an empty recipient.
    static constexpr const char *MailCode = "6245";
    // The buffer is emptied once it grows past this many characters.
    static constexpr int BufferLimit = 1024;

    // pbxSoftwareVersion: the long MPB version from the system information
    // (empty when unknown); protocolVersion: the PBX version value of the
    // session (0 when unknown).
    AboutDialog(OpenDialogRegistry &dialogs, const QString &pbxSoftwareVersion, quint32 protocolVersion, QWidget *parent = nullptr);

    static QString versionText(const QString &pbxSoftwareVersion, quint32 protocolVersion);

    QString shownVersionText() const;
    QPushButton *keyButton(QChar key) const;
    int bufferLength() const { return int(m_buffer.size()); }

Q_SIGNALS:
    void testSheetRequested();
    void logOnCodeEntered();
    void mailRequested();

private:
    void keyPressed(QChar key);

    QLabel *m_version;
    QList<QPushButton *> m_keys;
    QString m_buffer;
};
