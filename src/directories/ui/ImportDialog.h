#pragma once

#include "base/ui/ConsoleDialog.h"

#include <functional>

class Clock;
class OperatorUi;
class QCheckBox;
class QComboBox;
class QLineEdit;

// The import dialog: directory, spreadsheet version, file and options; it
// stays open after each import until Quit.
class ImportDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    ImportDialog(OperatorUi &ui, const Clock &clock, const QString &folder, QWidget *parent = nullptr);

    // Whoever holds a directory open closes and reopens it around the import.
    void setDirectoryHooks(std::function<void(int)> close, std::function<void(int)> reopen)
    {
        m_close = std::move(close);
        m_reopen = std::move(reopen);
    }

    QComboBox *directoryBox() const { return m_directory; }
    QComboBox *versionBox() const { return m_version; }
    QLineEdit *fileEdit() const { return m_file; }
    QCheckBox *autoCorrectBox() const { return m_autoCorrect; }
    bool start();

private:
    void browse();

    OperatorUi &m_ui;
    const Clock &m_clock;
    QString m_folder;
    QComboBox *m_directory;
    QComboBox *m_version;
    QLineEdit *m_file;
    QCheckBox *m_backup;
    QCheckBox *m_autoCorrect;
    std::function<void(int)> m_close;
    std::function<void(int)> m_reopen;
};
