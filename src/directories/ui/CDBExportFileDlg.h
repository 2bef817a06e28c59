#pragma once

#include "base/ui/ConsoleDialog.h"

class Clock;
class OperatorUi;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// The export dialog: directory, file format, target folder and options; each
// Start exports once, Quit closes.
class CDBExportFileDlg : public ConsoleDialog
{
    Q_OBJECT
public:
    // folder: the directory-files folder, the first target folder.
    CDBExportFileDlg(OperatorUi &ui, const Clock &clock, const QString &folder, QWidget *parent = nullptr);

    QComboBox *directoryBox() const { return m_directory; }
    QComboBox *formatBox() const { return m_format; }
    QLineEdit *targetFolderEdit() const { return m_folder; }
    // The shown file name ("SpeedDB.slk", "*.*" while nothing is chosen).
    QString fileName() const;
    bool start();

private:
    void updateName();
    void browse();

    OperatorUi &m_ui;
    const Clock &m_clock;
    QString m_databaseFolder;
    QComboBox *m_directory;
    QComboBox *m_format;
    QLineEdit *m_name;
    QLineEdit *m_folder;
    QPushButton *m_browse;
    QCheckBox *m_backup;
    QCheckBox *m_sorting;
};
