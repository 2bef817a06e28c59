#pragma once

#include <QDialog>

class LogStatusModel;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

// The log-on status window: a window that does not block the main window and
// shows the download of the system information, then the speed-bin
// initialisation. Everything it shows comes from the model.
class LogStatusWindow : public QDialog
{
    Q_OBJECT
public:
    explicit LogStatusWindow(LogStatusModel &model, QWidget *parent = nullptr);

    // Where the window keeps its placement between log-ons and runs.
    static QString placementSection() { return QStringLiteral("LogStatus Frame"); }

    // The progress label before the download names its first step.
    static QString initialProgressText() { return QStringLiteral("System Information"); }

    QLabel *versionLabel() const { return m_version; }
    QLabel *progressLabel() const { return m_progress; }
    QProgressBar *downloadBar() const { return m_downloadBar; }
    QPushButton *logOffButton() const { return m_logOff; }
    QGroupBox *speedBinGroup() const { return m_speedGroup; }
    QRadioButton *uploadChoice() const { return m_upload; }
    QRadioButton *downloadChoice() const { return m_download; }
    QLabel *speedBinLabel() const { return m_speedLabel; }
    QProgressBar *speedBinBar() const { return m_speedBar; }
    QPushButton *startButton() const { return m_start; }
    QPushButton *skipButton() const { return m_skip; }

Q_SIGNALS:
    // The operator asked to log off from here; the caller sends LOG_OFF_REQ.
    void logOffRequested();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void update();
    void logOffClicked();

    LogStatusModel &m_model;
    QLabel *m_version;
    QLabel *m_progress;
    QProgressBar *m_downloadBar;
    QPushButton *m_logOff;
    QGroupBox *m_speedGroup;
    QRadioButton *m_upload;
    QRadioButton *m_download;
    QLabel *m_speedLabel;
    QProgressBar *m_speedBar;
    QPushButton *m_start;
    QPushButton *m_skip;
};
