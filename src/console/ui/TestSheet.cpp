#include "console/ui/TestSheet.h"

#include "base/Trace.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "link/SpeedBinRecord.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
// The switches in the order of the options page.
bool TraceSwitches::*const SwitchMembers[] = {&TraceSwitches::stationState, &TraceSwitches::coState,
                                              &TraceSwitches::pktuCommand,  &TraceSwitches::pktuEvent,
                                              &TraceSwitches::rxAll,        &TraceSwitches::txAll};
const char *const SwitchLabels[] = {"station state view", "CO state view",         "PKTU Command view",
                                    "PKTU Event view",    "All Zemra1 Rx Packet", "All Zemra1 Tx Packet"};
} // namespace

TestSheet::TestSheet(CLinkPort &link, CLinkRequest &request, QWidget *parent)
    : QDialog(parent)
    , m_link(link)
    , m_request(request)
    , m_pages(new QTabWidget)
{
    setObjectName(QStringLiteral("testSheet"));
    setWindowTitle(QStringLiteral("Welcome to Test Sheet"));
    m_pages->addTab(echoPage(), QStringLiteral("Echo Test"));
    m_pages->addTab(aboutPage(), QStringLiteral("About"));
    m_pages->addTab(ringPage(), QStringLiteral("CO Ring"));
    m_pages->addTab(optionsPage(), QStringLiteral("Plus Option Setting"));
    m_pages->addTab(tempPage(), QStringLiteral("for Temporary Test"));
    auto *close = new QPushButton(QStringLiteral("Close"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(close);
    layout->addLayout(row);
    showSwitches();
    setTraceOpen(Trace::instance().viewCount() > 0);
}

TestSheet::~TestSheet() = default;

// ---------------------------------------------------------------- echo test

QWidget *TestSheet::echoPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Enter string for Echo Test Packet :(max.63bytes)")));
    m_echoText = new QLineEdit;
    m_echoText->setObjectName(QStringLiteral("echoText"));
    m_echoText->setMaxLength(MaxEchoBytes);
    layout->addWidget(m_echoText);
    auto *single = new QRadioButton(QStringLiteral("Single"));
    auto *multiple = new QRadioButton(QStringLiteral("Multiple"));
    single->setChecked(true);
    m_echoChoice = new QButtonGroup(page);
    m_echoChoice->addButton(single, 0);
    m_echoChoice->addButton(multiple, 1);
    auto *send = new QPushButton(QStringLiteral("Send"));
    send->setObjectName(QStringLiteral("echoSend"));
    connect(send, &QPushButton::clicked, this, &TestSheet::sendEcho);
    auto *row = new QHBoxLayout;
    row->addWidget(single);
    row->addWidget(multiple);
    row->addStretch();
    row->addWidget(send);
    layout->addLayout(row);
    auto *grid = new QGridLayout;
    m_sentBar = new QProgressBar;
    m_receivedBar = new QProgressBar;
    m_sentLabel = new QLabel;
    m_receivedLabel = new QLabel;
    grid->addWidget(new QLabel(QStringLiteral("Sent")), 0, 0);
    grid->addWidget(m_sentBar, 0, 1);
    grid->addWidget(m_sentLabel, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Received")), 1, 0);
    grid->addWidget(m_receivedBar, 1, 1);
    grid->addWidget(m_receivedLabel, 1, 2);
    layout->addLayout(grid);
    layout->addStretch();
    updateEchoCounters();
    return page;
}

void TestSheet::setMultiple(bool multiple)
{
    m_echoChoice->button(multiple ? 1 : 0)->setChecked(true);
}

void TestSheet::sendEcho()
{
    const int count = m_echoChoice->checkedId() == 1 ? MultipleEchoes : 1;
    // At most 63 bytes, cut at a character boundary.
    QString text = m_echoText->text();
    QByteArray bytes = text.toUtf8();
    while (bytes.size() > MaxEchoBytes) {
        text.chop(1);
        bytes = text.toUtf8();
    }
    m_sent = 0;
    m_received = 0;
    m_sentBar->setRange(0, count);
    m_receivedBar->setRange(0, count);
    for (int i = 0; i < count; ++i) {
        if (m_link.sendEcho(bytes))
            ++m_sent;
    }
    updateEchoCounters();
}

void TestSheet::echoReplyReceived(const QByteArray &payload)
{
    Q_UNUSED(payload);
    ++m_received;
    updateEchoCounters();
}

void TestSheet::updateEchoCounters()
{
    m_sentBar->setValue(std::min(m_sent, m_sentBar->maximum()));
    m_receivedBar->setValue(std::min(m_received, m_receivedBar->maximum()));
    m_sentLabel->setText(QString::number(m_sent));
    m_receivedLabel->setText(QString::number(m_received));
}

// ---------------------------------------------------------------- about

QWidget *TestSheet::aboutPage()
{
    auto *text = new QPlainTextEdit(
        QStringLiteral("This test sheet is for testing under development only.\n"
                       "Its pages send test traffic to the PBX; do not use them on a system in service."));
    text->setReadOnly(true);
    return text;
}

// ---------------------------------------------------------------- CO ring

QWidget *TestSheet::ringPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("CO Number: ")));
    m_coNumber = new QSpinBox;
    m_coNumber->setObjectName(QStringLiteral("coNumber"));
    m_coNumber->setRange(1, 999);
    row->addWidget(m_coNumber);
    row->addStretch();
    layout->addLayout(row);
    auto *start = new QPushButton(QStringLiteral("Ring Start"));
    auto *stop = new QPushButton(QStringLiteral("Ring Stop"));
    connect(start, &QPushButton::clicked, this, [this] { ring(true); });
    connect(stop, &QPushButton::clicked, this, [this] { ring(false); });
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(start);
    buttons->addWidget(stop);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();
    return page;
}

void TestSheet::ring(bool start)
{
    m_request.EVT_Trk(quint16(m_coNumber->value() - 1), start ? 16 : 17, 0, 0);
}

// ---------------------------------------------------------------- options

QWidget *TestSheet::optionsPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    for (int i = 0; i < 6; ++i) {
        auto *box = new QCheckBox(QString::fromLatin1(SwitchLabels[i]));
        connect(box, &QCheckBox::toggled, this, [i](bool on) { Trace::switches().*SwitchMembers[i] = on; });
        layout->addWidget(box);
        m_switches.append(box);
    }
    auto *allClear = new QPushButton(QStringLiteral("All Clear"));
    allClear->setObjectName(QStringLiteral("allClear"));
    connect(allClear, &QPushButton::clicked, this, [this] {
        Trace::switches().clearAll();
        showSwitches();
    });
    m_viewTrace = new QPushButton(QStringLiteral("&View Trace"));
    m_viewTrace->setObjectName(QStringLiteral("viewTrace"));
    connect(m_viewTrace, &QPushButton::clicked, this, &TestSheet::viewTraceRequested);
    auto *font = new QPushButton(QStringLiteral("&Trace Font"));
    connect(font, &QPushButton::clicked, this, &TestSheet::traceFontRequested);
    auto *lifeTime = new QPushButton(QStringLiteral("&Life Time?"));
    connect(lifeTime, &QPushButton::clicked, this, [this] { m_request.LOG_LifeTime(); });
    auto *grid = new QGridLayout;
    grid->addWidget(allClear, 0, 0);
    grid->addWidget(m_viewTrace, 0, 1);
    grid->addWidget(font, 1, 0);
    grid->addWidget(lifeTime, 1, 1);
    layout->addLayout(grid);
    layout->addStretch();
    return page;
}

QCheckBox *TestSheet::switchBox(int index) const
{
    return index >= 0 && index < m_switches.size() ? m_switches[index] : nullptr;
}

void TestSheet::showSwitches()
{
    const TraceSwitches sw = Trace::switches();
    for (int i = 0; i < m_switches.size(); ++i)
        m_switches[i]->setChecked(sw.*SwitchMembers[i]);
}

void TestSheet::setTraceOpen(bool open)
{
    m_viewTrace->setText(open ? QStringLiteral("Close Trace") : QStringLiteral("Open Trace"));
}

// ---------------------------------------------------------------- temporary test

QWidget *TestSheet::tempPage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout;
    for (const char *label : {"BIN No :", "Co G No :", "Number :", "Name :"}) {
        auto *field = new QLineEdit;
        form->addRow(QString::fromLatin1(label), field);
        m_temp.append(field);
    }
    connect(m_temp[3], &QLineEdit::textEdited, this, [this](const QString &text) {
        const int pos = m_temp[3]->cursorPosition();
        m_temp[3]->setText(text.toUpper());
        m_temp[3]->setCursorPosition(pos);
    });
    m_tempKind = new QButtonGroup(page);
    auto *kinds = new QHBoxLayout;
    int id = 0;
    for (const char *kind : {"None", "Line", "Group"}) {
        auto *b = new QRadioButton(QString::fromLatin1(kind));
        m_tempKind->addButton(b, id++);
        kinds->addWidget(b);
    }
    m_tempKind->button(0)->setChecked(true);
    auto *read = new QPushButton(QStringLiteral("READ"));
    auto *write = new QPushButton(QStringLiteral("WRITE"));
    connect(read, &QPushButton::clicked, this, [this] {
        readSpeedBinInfo();
        close();
    });
    connect(write, &QPushButton::clicked, this, &TestSheet::writeSpeedBin);
    kinds->addStretch();
    kinds->addWidget(read);
    kinds->addWidget(write);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addLayout(kinds);
    layout->addStretch();
    return page;
}

QLineEdit *TestSheet::tempField(int index) const
{
    return index >= 0 && index < m_temp.size() ? m_temp[index] : nullptr;
}

void TestSheet::setTempKind(int kind)
{
    if (QAbstractButton *b = m_tempKind->button(kind))
        b->setChecked(true);
}

bool TestSheet::readSpeedBinInfo()
{
    const bool range = m_request.SYSI_Sysspdrange();
    const bool paging = m_request.IntPageNum();
    const bool names = m_request.SYSI_CoNameNum();
    return range && paging && names;
}

bool TestSheet::writeSpeedBin()
{
    SpeedBinRecord record;
    record.bin = quint16(m_temp[0]->text().trimmed().toUInt());
    record.coType = quint8(std::max(0, m_tempKind->checkedId()));
    int co = m_temp[1]->text().trimmed().toInt();
    if (record.coType == SpeedBinRecord::Line)
        --co;
    record.coNumber = quint8(co);
    record.number = m_temp[2]->text().trimmed();
    record.name = m_temp[3]->text().trimmed().toUpper();
    return m_request.SPDI_Write(record);
}
