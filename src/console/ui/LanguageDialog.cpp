#include "LanguageDialog.h"

#include "base/MessageCatalogue.h"
#include "base/ui/Translate.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

LanguageDialog::LanguageDialog(int currentMode, QWidget *parent)
    : ConsoleDialog(parent)
    , m_local(new QRadioButton(QStringLiteral("&Local"), this))
    , m_english(new QRadioButton(QStringLiteral("&Poor English"), this))
    , m_symbol(new QRadioButton(QStringLiteral("&Symbol"), this))
    // An unusable catalogue offers the default language.
    , m_mode(currentMode >= LanguageMode::Symbol && currentMode <= LanguageMode::Second ? currentMode
                                                                                        : LanguageMode::First)
{
    setWindowTitle(QStringLiteral("Language Setting"));
    m_local->setObjectName(QStringLiteral("local"));
    m_english->setObjectName(QStringLiteral("poorEnglish"));
    m_symbol->setObjectName(QStringLiteral("symbol"));
    choice(m_mode)->setChecked(true);

    const auto pick = [this](QRadioButton *button, int mode) {
        connect(button, &QRadioButton::toggled, this, [this, mode](bool on) {
            if (on)
                m_mode = mode;
        });
    };
    pick(m_local, LanguageMode::Second);
    pick(m_english, LanguageMode::First);
    pick(m_symbol, LanguageMode::Symbol);

    auto *ok = new QPushButton(QStringLiteral("#:ok_btn"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("#:cancel_btn"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *choices = new QVBoxLayout;
    choices->addWidget(m_local);
    choices->addWidget(m_english);
    choices->addWidget(m_symbol);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(choices, 1);
    layout->addLayout(buttons);

    translateWindowTexts(this, {ok, cancel});
}

QRadioButton *LanguageDialog::choice(int mode) const
{
    switch (mode) {
    case LanguageMode::Symbol:
        return m_symbol;
    case LanguageMode::Second:
        return m_local;
    default:
        return m_english;
    }
}
