#include "CoInfoDialog.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/ui/Translate.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit *makeEdit(QWidget *parent, const char *name, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    else
        edit->setReadOnly(true);
    return edit;
}

} // namespace

CoInfoDialog::CoInfoDialog(OperatorUi &ui, CoDirectory &directory, const Key &key, QWidget *parent)
    : ConsoleDialog(ui.dialogs(), parent)
    , m_ui(ui)
    , m_directory(&directory)
    , m_line(key.line)
{
    build();
    m_lineEdit->setText(QString::number(key.line));
    m_name->setText(key.name);
    m_access->setText(key.accessCode);
    m_retrieve->setText(key.retrieveCode);
    if (const std::optional<CoFields> stored = directory.find(key.line)) {
        showFields(*stored);
    } else if (!directory.WriteRecord(currentFields())) {
        m_ui.showMessage(QStringLiteral("#:cannot_open_co_db_recordset"), QStringLiteral("#:database_error"),
                         MessageStyle::Stop);
    }
}

void CoInfoDialog::build()
{
    setWindowTitle(QStringLiteral("#:cd_cap_co_db"));
    setObjectName(QStringLiteral("CoInfoDialog"));
    QList<QWidget *> translated;
    const auto label = [&translated](const char *key, QWidget *parent) {
        auto *l = new QLabel(QString::fromLatin1(key), parent);
        translated.append(l);
        return l;
    };

    auto *pbx = new QGroupBox(QStringLiteral("#:cd_varo_info"), this);
    m_lineEdit = makeEdit(pbx, "lineNo", 0);
    m_name = makeEdit(pbx, "coName", 0);
    m_access = makeEdit(pbx, "accessCode", 0);
    m_retrieve = makeEdit(pbx, "retrieveCode", 0);
    auto *pbxGrid = new QGridLayout(pbx);
    pbxGrid->addWidget(label("#:cd_line_no", pbx), 0, 0);
    pbxGrid->addWidget(m_lineEdit, 0, 1);
    pbxGrid->addWidget(label("#:cd_co_name", pbx), 1, 0);
    pbxGrid->addWidget(m_name, 1, 1);
    pbxGrid->addWidget(label("#:cd_access_code", pbx), 2, 0);
    pbxGrid->addWidget(m_access, 2, 1);
    pbxGrid->addWidget(label("#:cd_retrieve_code", pbx), 3, 0);
    pbxGrid->addWidget(m_retrieve, 3, 1);

    auto *information = new QGroupBox(QStringLiteral("#:cd_information"), this);
    m_telNo = makeEdit(information, "telNo", NumberLength);
    m_fullName = makeEdit(information, "fullName", NameLength);
    m_inform = makeEdit(information, "inform1", NameLength);
    auto *infoGrid = new QGridLayout(information);
    infoGrid->addWidget(label("#:cd_tel_no", information), 0, 0);
    infoGrid->addWidget(m_telNo, 0, 1);
    infoGrid->addWidget(label("#:cd_inform1", information), 1, 0);
    infoGrid->addWidget(m_fullName, 1, 1);
    infoGrid->addWidget(label("#:cd_inform2", information), 2, 0);
    infoGrid->addWidget(m_inform, 2, 1);

    m_memo = makeEdit(this, "memo", MemoLength);
    auto *memoRow = new QHBoxLayout;
    memoRow->addWidget(label("#:cd_memo", this));
    memoRow->addWidget(m_memo, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const auto addButton = [&](const char *key, const char *name) {
        auto *b = new QPushButton(QString::fromLatin1(key), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        translated.append(b);
        return b;
    };
    QPushButton *saveButton = addButton("#:cd_save", "save");
    QPushButton *clearButton = addButton("#:cd_clear", "clear");
    QPushButton *quitButton = addButton("#:cd_quit", "quit");

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pbx);
    layout->addWidget(information);
    layout->addLayout(memoRow);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    translated += {pbx, information};
    const MessageCatalogue catalogue;
    TranslateWindowText(this, catalogue);
    for (QWidget *w : translated)
        TranslateWindowText(w, catalogue);

    connect(saveButton, &QPushButton::clicked, this, &CoInfoDialog::save);
    connect(clearButton, &QPushButton::clicked, this, &CoInfoDialog::clear);
    connect(quitButton, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit *CoInfoDialog::field(const char *objectName) const
{
    return findChild<QLineEdit *>(QString::fromLatin1(objectName));
}

QPushButton *CoInfoDialog::button(const char *objectName) const
{
    return findChild<QPushButton *>(QString::fromLatin1(objectName));
}

void CoInfoDialog::showFields(const CoFields &fields)
{
    const QList<QLineEdit *> edits{m_lineEdit, m_name, m_access, m_retrieve, m_telNo, m_fullName, m_inform, m_memo};
    for (int i = 0; i < edits.size(); ++i)
        edits[i]->setText(fields.value(i));
}

CoFields CoInfoDialog::currentFields() const
{
    CoFields fields{m_lineEdit->text().trimmed(), m_name->text(), m_access->text(), m_retrieve->text()};
    for (const QLineEdit *edit : {m_telNo, m_fullName, m_inform, m_memo})
        fields.append(edit->text().trimmed());
    return fields;
}

bool CoInfoDialog::save()
{
    const CoFields fields = currentFields();
    if (!m_directory || !m_directory->WriteRecord(fields)) {
        m_ui.showMessage(QStringLiteral("#:cannot_open_co_db_recordset"), QStringLiteral("#:database_error"),
                         MessageStyle::Stop);
        return false;
    }
    showFields(fields);
    m_ui.showFixedMessage(trKey(QStringLiteral("#:tdi_record_saved")) + QStringLiteral(" (")
                              + trKey(QStringLiteral("#:tdi_line_no")) + QStringLiteral(" : ") + fields.value(0)
                              + QStringLiteral(")"),
                          trKey(QStringLiteral("#:information")), MessageStyle::Information);
    return true;
}

void CoInfoDialog::clear()
{
    for (QLineEdit *edit : {m_telNo, m_fullName, m_inform, m_memo})
        edit->clear();
}
