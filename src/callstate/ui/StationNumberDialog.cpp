#include "StationNumberDialog.h"

#include "callstate/CAttendantCalls.h"
#include "base/OperatorUi.h"
#include "base/ui/Translate.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
const QString Cleared = QStringLiteral("....");
}

StationNumberDialog::StationNumberDialog(CAttendantCalls &calls, OperatorUi &ui, quint16 index,
                                         const QString &currentNumber, QWidget *parent)
    : ConsoleDialog(ui.dialogs(), parent)
    , m_calls(calls)
    , m_index(index)
{
    setObjectName(QStringLiteral("StationNumberDialog"));
    setWindowTitle(QStringLiteral("#:sta_no_change_title"));

    auto *old = new QLineEdit(currentNumber, this);
    old->setObjectName(QStringLiteral("oldNumber"));
    old->setReadOnly(true);
    m_new = new QLineEdit(this);
    m_new->setObjectName(QStringLiteral("newNumber"));
    // A station number is up to four dialled characters.
    m_new->setMaxLength(4);
    m_validator = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9*#]{0,4}")), m_new);
    m_new->setValidator(m_validator);
    m_clear = new QCheckBox(QStringLiteral("#:clear_sta_no"), this);
    m_clear->setObjectName(QStringLiteral("clearNumber"));
    connect(m_clear, &QCheckBox::toggled, this, &StationNumberDialog::clearToggled);

    auto *oldLabel = new QLabel(QStringLiteral("#:old_sta_no"), this);
    oldLabel->setBuddy(old);
    auto *newLabel = new QLabel(QStringLiteral("#:new_sta_no"), this);
    newLabel->setBuddy(m_new);
    auto *form = new QFormLayout;
    form->addRow(oldLabel, old);
    form->addRow(newLabel, m_new);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_clear);
    setTabOrder(m_new, m_clear);
    const ButtonRow row = addOkCancelRow(layout, m_clear);
    disconnect(row.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(row.ok, &QPushButton::clicked, this, &StationNumberDialog::okPressed);
    translateWindowTexts(this, {oldLabel, newLabel, m_clear, row.ok, row.cancel});
    m_new->setFocus();
}

void StationNumberDialog::clearToggled(bool on)
{
    // The validator would refuse the dots; they are shown, not typed.
    if (on) {
        m_typed = m_new->text();
        m_new->setValidator(nullptr);
        m_new->setText(Cleared);
    } else {
        m_new->setText(m_typed);
        m_new->setValidator(m_validator);
    }
    m_new->setReadOnly(on);
}

void StationNumberDialog::okPressed()
{
    m_calls.changeStationNumber(m_index, m_clear->isChecked() ? QString() : m_new->text());
    accept();
}
