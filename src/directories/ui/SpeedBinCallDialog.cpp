#include "SpeedBinCallDialog.h"

#include "base/MessageCatalogue.h"
#include "base/ui/Translate.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

SpeedBinCallDialog::SpeedBinCallDialog(const SpeedBinPage::Record &record, CallHook call, QWidget *parent)
    : QDialog(parent)
    , m_bin(QString::number(record.bin))
    , m_call(std::move(call))
{
    setWindowTitle(trKey(QStringLiteral("#:pb_cap_speedbin_call")));
    auto *form = new QFormLayout;
    form->addRow(trKey(QStringLiteral("#:pb_bin_no")), new QLabel(m_bin, this));
    form->addRow(trKey(QStringLiteral("#:pb_name")), new QLabel(record.name, this));
    auto *number = new QLabel(record.number, this);
    number->setObjectName(QStringLiteral("dialTo"));
    form->addRow(trKey(QStringLiteral("#:pb_dial_to")), number);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(trKey(QStringLiteral("#:ok_btn")));
    buttons->button(QDialogButtonBox::Cancel)->setText(trKey(QStringLiteral("#:cancel_btn")));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void SpeedBinCallDialog::accept()
{
    // The PBX's speed-dial access: S and the bin number.
    if (!m_bin.isEmpty() && m_call && !m_call(QStringLiteral("S") + m_bin))
        return;
    QDialog::accept();
}
