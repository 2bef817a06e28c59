#pragma once

#include <QDialog>

class CLinkPort;
class CLinkRequest;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;

// The developer test sheet "Welcome to Test Sheet": echo test, about, CO
// ring, the trace switches and a temporary speed-bin test. Its texts are the
// developers' own, not catalogue keys. Not modal: the link runs while it is open.
class TestSheet : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MultipleEchoes = 20;
    static constexpr int MaxEchoBytes = 63;

    TestSheet(CLinkPort &link, CLinkRequest &request, QWidget *parent = nullptr);
    ~TestSheet() override;

    QTabWidget *pages() const { return m_pages; }

    // Echo test.
    QLineEdit *echoText() const { return m_echoText; }
    void setMultiple(bool multiple);
    // Sends the text once (Single) or MultipleEchoes times; the counters start again.
    void sendEcho();
    // An echo reply from the PBX.
    void echoReplyReceived(const QByteArray &payload);
    int echoesSent() const { return m_sent; }
    int echoRepliesReceived() const { return m_received; }
    QProgressBar *sentBar() const { return m_sentBar; }
    QProgressBar *receivedBar() const { return m_receivedBar; }

    // Options: the button reads "Open Trace" or "Close Trace".
    void setTraceOpen(bool open);
    QPushButton *viewTraceButton() const { return m_viewTrace; }
    QCheckBox *switchBox(int index) const;
    // Check boxes from the switches (after "All Clear" and at start).
    void showSwitches();

    // CO ring and temporary test.
    void ring(bool start);
    QSpinBox *coNumber() const { return m_coNumber; }
    bool readSpeedBinInfo();
    bool writeSpeedBin();
    QLineEdit *tempField(int index) const;
    void setTempKind(int kind);

Q_SIGNALS:
    // "&View Trace": open a trace window, or close the open ones.
    void viewTraceRequested();
    void traceFontRequested();

private:
    QWidget *echoPage();
    QWidget *aboutPage();
    QWidget *ringPage();
    QWidget *optionsPage();
    QWidget *tempPage();
    void updateEchoCounters();

    CLinkPort &m_link;
    CLinkRequest &m_request;
    QTabWidget *m_pages;
    QLineEdit *m_echoText = nullptr;
    QButtonGroup *m_echoChoice = nullptr;
    QProgressBar *m_sentBar = nullptr;
    QProgressBar *m_receivedBar = nullptr;
    QLabel *m_sentLabel = nullptr;
    QLabel *m_receivedLabel = nullptr;
    int m_sent = 0;
    int m_received = 0;
    QSpinBox *m_coNumber = nullptr;
    QList<QCheckBox *> m_switches;
    QPushButton *m_viewTrace = nullptr;
    QList<QLineEdit *> m_temp; // bin, CO group number, number, name
    QButtonGroup *m_tempKind = nullptr;
};
