#include "LogStatusWindow.h"

#include "session/LogStatusModel.h"
#include "base/MessageCatalogue.h"
#include "base/SettingsSection.h"
#include "base/WindowLayout.h"
#include "base/ui/Translate.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

LogStatusWindow::LogStatusWindow(LogStatusModel &model, QWidget *parent)
    : QDialog(parent)
    , m_model(model)
{
    setModal(false);
    setWindowTitle(QStringLiteral("#:LogStatusTitle"));

    auto *downloadGroup = new QGroupBox(QStringLiteral("#:LogStatusDownload"), this);
    m_version = new QLabel(downloadGroup);
    m_version->setObjectName(QStringLiteral("versionLine"));
    m_progress = new QLabel(initialProgressText(), downloadGroup);
    m_progress->setObjectName(QStringLiteral("progressLabel"));
    m_downloadBar = new QProgressBar(downloadGroup);
    m_downloadBar->setObjectName(QStringLiteral("downloadBar"));
    m_downloadBar->setRange(0, 100);
    m_downloadBar->setValue(0);
    m_logOff = new QPushButton(QStringLiteral("#:LogStatusOff"), downloadGroup);
    m_logOff->setObjectName(QStringLiteral("logOffButton"));
    m_logOff->setAutoDefault(false);
    connect(m_logOff, &QPushButton::clicked, this, &LogStatusWindow::logOffClicked);

    auto *downloadLayout = new QVBoxLayout(downloadGroup);
    downloadLayout->addWidget(m_version);
    downloadLayout->addWidget(m_progress);
    auto *barRow = new QHBoxLayout;
    barRow->addWidget(m_downloadBar, 1);
    barRow->addWidget(m_logOff);
    downloadLayout->addLayout(barRow);

    m_speedGroup = new QGroupBox(QStringLiteral("#:pb_cap_speedbin_db_init"), this);
    m_speedGroup->setObjectName(QStringLiteral("speedBinGroup"));
    m_upload = new QRadioButton(QStringLiteral("#:pb_upload_into_varo"), m_speedGroup);
    m_upload->setObjectName(QStringLiteral("uploadChoice"));
    m_download = new QRadioButton(QStringLiteral("#:pb_download_from_varo"), m_speedGroup);
    m_download->setObjectName(QStringLiteral("downloadChoice"));
    m_speedLabel = new QLabel(m_speedGroup);
    m_speedLabel->setObjectName(QStringLiteral("speedBinLabel"));
    m_speedBar = new QProgressBar(m_speedGroup);
    m_speedBar->setObjectName(QStringLiteral("speedBinBar"));
    m_start = new QPushButton(QStringLiteral("#:start_btn"), m_speedGroup);
    m_start->setObjectName(QStringLiteral("startButton"));
    m_start->setAutoDefault(false);
    m_skip = new QPushButton(QStringLiteral("#:skip_btn"), m_speedGroup);
    m_skip->setObjectName(QStringLiteral("skipButton"));
    m_skip->setAutoDefault(false);

    m_download->setChecked(true);
    connect(m_start, &QPushButton::clicked, this, [this] { m_model.startSpeedBins(m_upload->isChecked()); });
    connect(m_skip, &QPushButton::clicked, this, [this] { m_model.skipSpeedBins(); });

    auto *speedLayout = new QVBoxLayout(m_speedGroup);
    speedLayout->addWidget(m_upload);
    speedLayout->addWidget(m_download);
    speedLayout->addWidget(m_speedLabel);
    speedLayout->addWidget(m_speedBar);
    auto *speedButtons = new QHBoxLayout;
    speedButtons->addStretch(1);
    speedButtons->addWidget(m_start);
    speedButtons->addWidget(m_skip);
    speedLayout->addLayout(speedButtons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(downloadGroup);
    layout->addWidget(m_speedGroup);

    translateWindowTexts(this, {downloadGroup, m_logOff, m_speedGroup, m_upload, m_download, m_start, m_skip});
    setMinimumWidth(360);

    connect(&m_model, &LogStatusModel::changed, this, &LogStatusWindow::update);
    update();

    // Without a stored placement the window system places it over the main window.
    const CSettingsSection section(placementSection());
    WindowPlacement placement = section.readPlacement();
    if (decideRestore(placement, false).stored) {
        placement.showCmd = ShowCmd::Normal;
        applyPlacement(this, placement);
    }
}

void LogStatusWindow::hideEvent(QHideEvent *event)
{
    CSettingsSection section(placementSection());
    savePlacement(this, section);
    QDialog::hideEvent(event);
}

void LogStatusWindow::update()
{
    m_version->setText(m_model.versionLine());
    m_progress->setText(m_model.labelKey().isEmpty() ? initialProgressText() : trKey(m_model.labelKey()));
    m_downloadBar->setValue(qBound(0, m_model.bar(), 100));
    const bool done = m_model.downloadDone();
    m_progress->setEnabled(!done);
    m_downloadBar->setEnabled(!done);
    m_logOff->setEnabled(m_model.logOffButtonEnabled());

    const int first = m_model.speedBinFirst();
    const int last = qMax(first, m_model.speedBinLast());
    // Keep the position at the first bin when only the range moves.
    const bool rangeChanged = m_speedBar->minimum() != first || m_speedBar->maximum() != last;
    m_speedBar->setRange(first, last);
    if (rangeChanged)
        m_speedBar->setValue(first);
    m_speedBar->setValue(qBound(first, m_model.speedBinPosition(), last));
    const QString key = m_model.speedBinLabelKey();
    m_speedLabel->setText(key.isEmpty() ? QString() : trKey(key) + QStringLiteral(" %1").arg(m_model.speedBinLabelBin()));

    const bool speedStage = m_model.speedBinStage();
    m_speedLabel->setEnabled(speedStage);
    m_speedBar->setEnabled(speedStage);
    const bool choices = m_model.speedBinChoicesEnabled();
    for (QWidget *w : {static_cast<QWidget *>(m_upload), static_cast<QWidget *>(m_download),
                       static_cast<QWidget *>(m_start), static_cast<QWidget *>(m_skip)})
        w->setEnabled(choices);
}

void LogStatusWindow::logOffClicked()
{
    Q_EMIT logOffRequested();
    m_model.disableLogOffButton();
}
