#include "ClockSettingDialog.h"

#include "LimitedNumberEdit.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/ui/MessageBox.h"
#include "programming/AttendantProgramming.h"
#include "programming/ClockSetting.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace {
QRadioButton *radio(QWidget *parent, const QString &name, const QString &key)
{
    auto *r = new QRadioButton(key, parent);
    r->setObjectName(name);
    return r;
}
} // namespace

ClockSettingDialog::ClockSettingDialog(AttendantProgramming &programming, TimerHost &timers, const Clock &clock,
                                       QWidget *parent)
    : ProgrammingDialog(programming, QStringLiteral("#:atdpgm_cs_clock_setting"), parent)
    , m_setting(new ClockSetting(programming, timers, clock, this))
    , m_year(addNumberField(QStringLiteral("year"), QStringLiteral("#:atdpgm_year"), 0, 99, 2))
    , m_month(addNumberField(QStringLiteral("month"), QStringLiteral("#:atdpgm_month"), 1, 12, 2))
    , m_day(addNumberField(QStringLiteral("day"), QStringLiteral("#:atdpgm_day"), 1, 31, 2))
    , m_hour(addNumberField(QStringLiteral("hour"), QStringLiteral("#:atdpgm_hour12"), 1, 12, 2))
    , m_minute(addNumberField(QStringLiteral("minute"), QStringLiteral("#:atdpgm_minute"), 0, 59, 2))
    , m_am(radio(this, QStringLiteral("am"), QStringLiteral("#:atdpgm_am")))
    , m_pm(radio(this, QStringLiteral("pm"), QStringLiteral("#:atdpgm_pm")))
    , m_pc(radio(this, QStringLiteral("pcTime"), QStringLiteral("#:atdpgm_pc_time")))
    , m_pbx(radio(this, QStringLiteral("pbxTime"), QStringLiteral("#:atdpgm_pbx_time")))
    , m_label(new QLabel(this))
{
    // Two groups of radio buttons: the half of the day and the source of the time.
    auto *halfDay = new QWidget(this);
    auto *halfLayout = new QHBoxLayout(halfDay);
    halfLayout->setContentsMargins(0, 0, 0, 0);
    m_am->setParent(halfDay);
    m_pm->setParent(halfDay);
    halfLayout->addWidget(m_am);
    halfLayout->addWidget(m_pm);
    form()->addRow(halfDay);
    auto *source = new QWidget(this);
    auto *sourceLayout = new QHBoxLayout(source);
    sourceLayout->setContentsMargins(0, 0, 0, 0);
    m_pc->setParent(source);
    m_pbx->setParent(source);
    sourceLayout->addWidget(m_pc);
    sourceLayout->addWidget(m_pbx);
    form()->addRow(source);

    m_label->setObjectName(QStringLiteral("setting"));
    auto *adaptButton = new QPushButton(QStringLiteral("#:atdpgm_adapt"), this);
    adaptButton->setObjectName(QStringLiteral("adapt"));
    adaptButton->setAutoDefault(false);
    form()->addRow(m_label, adaptButton);

    connect(adaptButton, &QPushButton::clicked, this, &ClockSettingDialog::adapt);
    connect(m_month->edit(), &QLineEdit::textChanged, this, &ClockSettingDialog::limitDay);
    connect(m_year->edit(), &QLineEdit::textChanged, this, &ClockSettingDialog::limitDay);
    connect(m_pc, &QRadioButton::clicked, m_setting, &ClockSetting::selectPcTime);
    connect(m_pbx, &QRadioButton::clicked, m_setting, &ClockSetting::selectPbxTime);
    connect(m_setting, &ClockSetting::fieldsChanged, this, &ClockSettingDialog::showFields);
    connect(m_setting, &ClockSetting::sourceChanged, this,
            [this](ClockSetting::Source s) { (s == ClockSetting::Source::Pc ? m_pc : m_pbx)->setChecked(true); });
    connect(m_setting, &ClockSetting::noResponse, this, &ClockSettingDialog::askAgain);

    m_pc->setChecked(true);
    showFields();
    finish(adaptButton);
}

void ClockSettingDialog::showFields()
{
    const ClockSetting::Fields &f = m_setting->fields();
    m_year->setValue(f.year);
    m_month->setValue(f.month);
    m_day->field().setUpper(ClockSetting::monthLength(f.month, f.year));
    m_day->setValue(f.day);
    m_hour->setValue(f.hour);
    m_minute->setValue(f.minute);
    (f.pm ? m_pm : m_am)->setChecked(true);
    m_label->setText(m_setting->label());
}

void ClockSettingDialog::limitDay()
{
    const int year = m_year->value().value_or(0);
    const int length = ClockSetting::monthLength(m_month->value().value_or(1), year);
    m_day->field().setUpper(length);
    if (m_day->value().value_or(0) > length)
        m_day->setValue(length);
}

bool ClockSettingDialog::adapt()
{
    const LimitedNumberEdit *fields[] = {m_year, m_month, m_day, m_hour, m_minute};
    for (const LimitedNumberEdit *f : fields) {
        if (!f->value() || !f->field().holds(*f->value())) {
            QApplication::beep();
            return false;
        }
    }
    m_setting->setFields({*m_year->value(), *m_month->value(), *m_day->value(), *m_hour->value(),
                          m_pm->isChecked(), *m_minute->value()});
    m_label->setText(m_setting->label());
    return true;
}

void ClockSettingDialog::askAgain()
{
    // Asked from the timer: the box opens and the answer comes later, so the
    // link is read meanwhile.
    const MessageCatalogue catalogue;
    const QString text = catalogue.text(QStringLiteral("#:atdpgm_no_response_msg"));
    const QString title = catalogue.text(QStringLiteral("#:warning_title"));
    if (MessageBoxAnswerer *answerer = MessageBoxAnswerer::current()) {
        m_setting->answerNoResponse(answerer->answer({text, title, MessageStyle::YesNoExclamation})
                                    == MessageBoxResult::Yes);
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setDefaultButton(QMessageBox::Yes);
    QPointer<ClockSetting> setting(m_setting);
    connect(box, &QMessageBox::finished, this, [setting, box](int) {
        if (setting)
            setting->answerNoResponse(box->clickedButton() == box->button(QMessageBox::Yes));
    });
    box->open();
}

bool ClockSettingDialog::run()
{
    if (!programming().checkAllowed())
        return false;
    if (!adapt()) {
        programming().ui().showMessage(QStringLiteral("#:empty_field_not_allowed"), QStringLiteral("#:input_error"),
                                       MessageStyle::Stop);
        return false;
    }
    return m_setting->run();
}

void ClockSettingDialog::reject()
{
    m_setting->cancel();
    ProgrammingDialog::reject();
}
