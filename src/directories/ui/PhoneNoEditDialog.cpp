#include "directories/ui/PhoneNoEditDialog.h"

#include "base/OperatorUi.h"
#include "base/ui/Translate.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PhoneNoEditDialog::PhoneNoEditDialog(PhoneNoDirectory &directory, OperatorUi &ui, const PhoneNoEntry *editing,
                                     QWidget *parent)
    : ConsoleDialog(ui.dialogs(), parent)
    , m_directory(directory)
    , m_ui(ui)
    , m_name(new QLineEdit)
    , m_phoneNo(new QLineEdit)
    , m_memo(new QLineEdit)
{
    setObjectName(QStringLiteral("phoneNoEditDialog"));
    setWindowTitle(QStringLiteral("#:pn_cap_phone_no_edit"));
    m_name->setMaxLength(64);
    m_phoneNo->setMaxLength(64);
    m_memo->setMaxLength(255);
    if (editing) {
        m_editing = *editing;
        m_name->setText(editing->name);
        m_phoneNo->setText(editing->phoneNo);
        m_memo->setText(editing->memo);
    }
    auto *group = new QGroupBox(QStringLiteral("#:pn_fields_of_record"));
    auto *form = new QFormLayout(group);
    auto *nameLabel = new QLabel(QStringLiteral("#:pn_name"));
    auto *numberLabel = new QLabel(QStringLiteral("#:pn_phone_no"));
    auto *memoLabel = new QLabel(QStringLiteral("#:pn_memo"));
    form->addRow(nameLabel, m_name);
    form->addRow(numberLabel, m_phoneNo);
    form->addRow(memoLabel, m_memo);

    auto *row = new QHBoxLayout;
    for (const char *key : {"#:pn_add", "#:pn_modify", "#:pn_delete", "#:pn_clear", "#:pn_quit"}) {
        auto *b = new QPushButton(QString::fromLatin1(key));
        b->setObjectName(QString::fromLatin1(key + 2));
        b->setAutoDefault(false);
        row->addWidget(b);
        m_buttons.append(b);
    }
    connect(m_buttons[0], &QPushButton::clicked, this, &PhoneNoEditDialog::add);
    connect(m_buttons[1], &QPushButton::clicked, this, &PhoneNoEditDialog::modify);
    connect(m_buttons[2], &QPushButton::clicked, this, &PhoneNoEditDialog::remove);
    connect(m_buttons[3], &QPushButton::clicked, this, &PhoneNoEditDialog::clearFields);
    connect(m_buttons[4], &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(row);
    translateWindowTexts(this, {group, nameLabel, numberLabel, memoLabel, m_buttons[0], m_buttons[1], m_buttons[2],
                                m_buttons[3], m_buttons[4]});
}

QPushButton *PhoneNoEditDialog::button(const QString &key) const
{
    for (QPushButton *b : m_buttons) {
        if (b->objectName() == key.mid(2))
            return b;
    }
    return nullptr;
}

PhoneNoEntry PhoneNoEditDialog::fields() const
{
    return {m_editing.index, m_name->text(), m_phoneNo->text(), m_memo->text()};
}

bool PhoneNoEditDialog::add()
{
    if (!m_directory.addEntry(fields(), m_ui))
        return false;
    Q_EMIT changed();
    return true;
}

bool PhoneNoEditDialog::modify()
{
    if (!m_directory.modifyEntry(fields(), m_editing, m_ui))
        return false;
    Q_EMIT changed();
    return true;
}

bool PhoneNoEditDialog::remove()
{
    if (!m_directory.deleteEntry(m_editing, m_ui))
        return false;
    // The entry is gone: nothing is left to modify or delete.
    m_editing = PhoneNoEntry();
    Q_EMIT changed();
    return true;
}

void PhoneNoEditDialog::clearFields()
{
    m_name->clear();
    m_phoneNo->clear();
    m_memo->clear();
}
