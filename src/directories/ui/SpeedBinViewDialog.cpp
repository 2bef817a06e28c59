#include "SpeedBinViewDialog.h"

#include "base/MessageCatalogue.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

SpeedBinViewDialog::SpeedBinViewDialog(const SpeedBinPage::Record &record, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(trKey(QStringLiteral("#:pb_cap_speed_db_op")));
    auto *form = new QFormLayout;
    auto row = [&](const char *key, const QString &text) {
        auto *edit = new QLineEdit(text, this);
        edit->setReadOnly(true);
        form->addRow(trKey(QLatin1String(key)), edit);
    };
    row("#:pb_bin_no", QString::number(record.bin));
    row("#:pb_name", record.name);
    row("#:pb_phone_no", record.number);
    row("#:pb_co_type", record.coType);
    row("#:pb_co_no", SpeedBinPage::coNumberText(record));
    row("#:pb_memo", record.memo);
    auto *edit = new QPushButton(trKey(QStringLiteral("#:pb_edit")), this);
    edit->setObjectName(QStringLiteral("editButton"));
    auto *call = new QPushButton(trKey(QStringLiteral("#:pb_call")), this);
    call->setObjectName(QStringLiteral("callButton"));
    auto *close = new QPushButton(trKey(QStringLiteral("#:pb_quit")), this);
    connect(edit, &QPushButton::clicked, this, [this] {
        accept();
        Q_EMIT editRequested();
    });
    connect(call, &QPushButton::clicked, this, [this] { Q_EMIT callRequested(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(edit);
    buttons->addWidget(call);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}
