#include "SpeedBinReinitDialog.h"

#include "base/MessageCatalogue.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

SpeedBinReinitDialog::SpeedBinReinitDialog(bool downloadFailed, bool uploadFailed, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(trKey(QStringLiteral("#:pb_cap_speedbin_db_reinit")));
    auto *status = new QLabel(trKey(QStringLiteral("#:pb_prev_init_status")) + QLatin1Char(' ')
                                  + statusText(downloadFailed, uploadFailed),
                              this);
    status->setObjectName(QStringLiteral("status"));
    m_doNotShow = new QCheckBox(trKey(QStringLiteral("#:pb_do_not_show_next_time")), this);
    auto *initialise = new QPushButton(trKey(QStringLiteral("#:pb_initialize")), this);
    initialise->setObjectName(QStringLiteral("initialiseButton"));
    auto *skip = new QPushButton(trKey(QStringLiteral("#:pb_skip")), this);
    skip->setObjectName(QStringLiteral("skipButton"));
    connect(initialise, &QPushButton::clicked, this, [this] {
        Q_EMIT chosen(Initialise, m_doNotShow->isChecked());
        done(Initialise);
    });
    connect(skip, &QPushButton::clicked, this, [this] {
        Q_EMIT chosen(Skip, m_doNotShow->isChecked());
        done(Skip);
    });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(initialise);
    buttons->addWidget(skip);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(status);
    layout->addWidget(m_doNotShow);
    layout->addLayout(buttons);
}

QString SpeedBinReinitDialog::statusText(bool downloadFailed, bool uploadFailed)
{
    if (downloadFailed && uploadFailed)
        return QStringLiteral("Cancel Initialization");
    return downloadFailed ? QStringLiteral("Download Failure") : QStringLiteral("Upload Failure");
}
