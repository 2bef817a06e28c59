#include "SpeedBinEditDialog.h"

#include "base/MessageCatalogue.h"
#include "base/OpenDialogRegistry.h"
#include "base/ui/Translate.h"
#include "directories/SpeedBinEditor.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QStringList CoTypes = {QStringLiteral("None"), QStringLiteral("Line"), QStringLiteral("Group")};

QLineEdit *field(QWidget *parent, const char *name, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    return edit;
}

QPushButton *button(QWidget *parent, const char *key, const char *name)
{
    auto *b = new QPushButton(QLatin1String(key), parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

SpeedBinEditDialog::SpeedBinEditDialog(SpeedBinEditor &editor, OpenDialogRegistry &dialogs, QWidget *parent)
    : QDialog(parent)
    , m_editor(editor)
    , m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("#:pb_cap_speed_db_edit"));
    auto *group = new QGroupBox(QStringLiteral("#:pb_fields_of_record"), this);
    m_bin = field(group, "binEdit", 4);
    m_name = field(group, "nameEdit", 16);
    m_number = field(group, "numberEdit", 24);
    m_coType = field(group, "coTypeEdit", 5);
    m_coNumber = field(group, "coNumberEdit", 3);
    m_memo = field(group, "memoEdit", 255);
    auto *up = new QToolButton(group);
    up->setArrowType(Qt::UpArrow);
    up->setObjectName(QStringLiteral("coTypeUp"));
    auto *down = new QToolButton(group);
    down->setArrowType(Qt::DownArrow);
    down->setObjectName(QStringLiteral("coTypeDown"));
    auto *typeRow = new QHBoxLayout;
    typeRow->addWidget(m_coType, 1);
    typeRow->addWidget(up);
    typeRow->addWidget(down);

    auto *form = new QFormLayout(group);
    auto addRow = [&](const char *key, QWidget *w) { form->addRow(trKey(QLatin1String(key)), w); };
    addRow("#:pb_bin_no", m_bin);
    addRow("#:pb_name", m_name);
    addRow("#:pb_phone_no", m_number);
    form->addRow(trKey(QStringLiteral("#:pb_co_type")), typeRow);
    addRow("#:pb_co_no", m_coNumber);
    addRow("#:pb_memo", m_memo);

    m_add = button(this, "#:pb_add", "addButton");
    m_modify = button(this, "#:pb_modify", "modifyButton");
    m_delete = button(this, "#:pb_delete", "deleteButton");
    m_clear = button(this, "#:pb_clear", "clearButton");
    m_quit = button(this, "#:pb_quit", "quitButton");
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_add, m_modify, m_delete, m_clear, m_quit})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    translateWindowTexts(this, {group, m_add, m_modify, m_delete, m_clear, m_quit});

    for (QLineEdit *e : {m_bin, m_name, m_number, m_coType, m_coNumber, m_memo})
        connect(e, &QLineEdit::textEdited, this, &SpeedBinEditDialog::fieldEdited);
    connect(up, &QToolButton::clicked, this, [this] { stepCoType(1); });
    connect(down, &QToolButton::clicked, this, [this] { stepCoType(-1); });
    connect(m_add, &QPushButton::clicked, &m_editor, &SpeedBinEditor::add);
    connect(m_modify, &QPushButton::clicked, &m_editor, &SpeedBinEditor::modify);
    connect(m_delete, &QPushButton::clicked, &m_editor, &SpeedBinEditor::remove);
    connect(m_clear, &QPushButton::clicked, &m_editor, &SpeedBinEditor::clear);
    connect(m_quit, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_editor, &SpeedBinEditor::changed, this, &SpeedBinEditDialog::showEditor);
    showEditor();

    m_dialogSlot = m_dialogs.enter([this] { accept(); });
    connect(this, &QDialog::finished, this, [this] {
        m_dialogs.leave(m_dialogSlot);
        m_dialogSlot = -1;
    });
}

SpeedBinEditDialog::~SpeedBinEditDialog()
{
    if (m_dialogSlot >= 0)
        m_dialogs.leave(m_dialogSlot);
}

void SpeedBinEditDialog::showEditor()
{
    m_showing = true;
    const SpeedBinEditor::Fields &f = m_editor.fields();
    const std::pair<QLineEdit *, QString> texts[] = {{m_bin, f.bin},         {m_name, f.name},
                                                     {m_number, f.number},   {m_coType, f.coType},
                                                     {m_coNumber, f.coNumber}, {m_memo, f.memo}};
    for (const auto &[edit, text] : texts) {
        if (edit->text() != text)
            edit->setText(text);
    }
    m_coNumber->setEnabled(m_editor.coNumberEnabled());
    m_add->setEnabled(m_editor.addEnabled());
    m_modify->setEnabled(m_editor.modifyEnabled());
    m_delete->setEnabled(m_editor.deleteEnabled());
    m_showing = false;
}

void SpeedBinEditDialog::fieldEdited()
{
    if (m_showing)
        return;
    m_editor.edit({m_bin->text(), m_name->text(), m_number->text(), m_coType->text(), m_coNumber->text(),
                   m_memo->text()});
}

void SpeedBinEditDialog::stepCoType(int step)
{
    const qsizetype i = CoTypes.indexOf(m_coType->text().trimmed());
    const qsizetype next = i < 0 ? 0 : qBound(qsizetype(0), i + step, CoTypes.size() - 1);
    m_coType->setText(CoTypes[next]);
    fieldEdited();
}
