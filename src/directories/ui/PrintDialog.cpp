#include "directories/ui/PrintDialog.h"

#include "base/MessageCatalogue.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

PrintDialog::PrintDialog(OpenDialogRegistry &dialogs, int kind, QWidget *parent)
    : ConsoleDialog(dialogs, parent)
{
    const MessageCatalogue catalogue;
    const auto tr = [&catalogue](const char *key) { return catalogue.text(QString::fromLatin1(key)); };
    setWindowTitle(tr("#:pd_cap_print_db"));
    auto *layout = new QVBoxLayout(this);
    auto *directories = new QGroupBox(tr("#:pd_db_select"), this);
    auto *dirLayout = new QVBoxLayout(directories);
    const char *keys[] = {"#:pd_speed_db", "#:pd_phone_db", "#:pd_ext_db", "#:pd_trk_db"};
    for (int i = 0; i < 4; ++i) {
        m_kinds[i] = new QRadioButton(tr(keys[i]), directories);
        m_kinds[i]->setObjectName(QStringLiteral("kind%1").arg(i + 1));
        dirLayout->addWidget(m_kinds[i]);
    }
    m_kinds[(kind >= 1 && kind <= 4 ? kind : 1) - 1]->setChecked(true);
    auto *modes = new QGroupBox(tr("#:pd_print_mode"), this);
    auto *modeLayout = new QVBoxLayout(modes);
    m_raw = new QRadioButton(tr("#:pd_raw_text_print"), modes);
    m_graphic = new QRadioButton(tr("#:pd_graphic_print"), modes);
    m_raw->setObjectName(QStringLiteral("raw"));
    m_graphic->setObjectName(QStringLiteral("graphic"));
    m_raw->setChecked(true);
    modeLayout->addWidget(m_raw);
    modeLayout->addWidget(m_graphic);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("#:ok_btn"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("#:cancel_btn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(directories);
    layout->addWidget(modes);
    layout->addWidget(buttons);
}

int PrintDialog::kind() const
{
    for (int i = 0; i < 4; ++i) {
        if (m_kinds[i]->isChecked())
            return i + 1;
    }
    return 1;
}

int PrintDialog::mode() const
{
    return m_graphic->isChecked() ? 1 : 0;
}
