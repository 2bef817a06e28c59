#include "MusicSelectionDialog.h"

#include "base/MessageCatalogue.h"
#include "programming/AttendantProgramming.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

MusicSelectionDialog::MusicSelectionDialog(AttendantProgramming &programming, QWidget *parent)
    : ProgrammingDialog(programming, QStringLiteral("#:atdpgm_ms_musicselection"), parent)
    , m_channel(programming.musicChannel() <= 9 ? programming.musicChannel() : 0)
    , m_shown(addTextField(QStringLiteral("channel"), QStringLiteral("#:atdpgm_channel"), 40))
{
    m_shown->setReadOnly(true);
    auto *up = new QToolButton(this);
    up->setObjectName(QStringLiteral("up"));
    up->setArrowType(Qt::UpArrow);
    auto *down = new QToolButton(this);
    down->setObjectName(QStringLiteral("down"));
    down->setArrowType(Qt::DownArrow);
    connect(up, &QToolButton::clicked, this, [this] { step(1); });
    connect(down, &QToolButton::clicked, this, [this] { step(-1); });
    auto *arrows = new QHBoxLayout;
    arrows->addStretch();
    arrows->addWidget(up);
    arrows->addWidget(down);
    form()->addRow(arrows);
    showChannel();
    finish(down);
}

void MusicSelectionDialog::step(int delta)
{
    m_channel = AttendantProgramming::stepChannel(m_channel, delta);
    showChannel();
}

void MusicSelectionDialog::showChannel()
{
    static const char *const keys[] = {
        "#:atdpgm_ms_channel0", "#:atdpgm_ms_channel1", "#:atdpgm_ms_channel2", "#:atdpgm_ms_channel3",
        "#:atdpgm_ms_channel4", "#:atdpgm_ms_channel5", "#:atdpgm_ms_channel6", "#:atdpgm_ms_channel7",
        "#:atdpgm_ms_channel8", "#:atdpgm_ms_channel9",
    };
    m_shown->setText(MessageCatalogue().text(QString::fromLatin1(keys[m_channel])));
}

bool MusicSelectionDialog::run()
{
    return programming().runMusicSelection(m_channel);
}
