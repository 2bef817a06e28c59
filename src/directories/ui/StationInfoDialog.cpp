#include "StationInfoDialog.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/ui/Translate.h"
#include "callstate/FullName.h"
#include "directories/DirectoryColumns.h"
#include "directories/ui/PicturePreview.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QSize PictureSize(120, 140);

// Positions in StationFields.
enum {
    Port, Number, Name, First, Middle, Last, Home, Cellular, Pager, Mail, Picture, Inform1, Inform2, Inform3, Memo
};

QLineEdit *makeEdit(QWidget *parent, const char *name, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    else
        edit->setReadOnly(true);
    edit->setMinimumWidth(150);
    return edit;
}

QPushButton *makeButton(QWidget *parent, const QString &text, const char *name)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

StationInfoDialog::StationInfoDialog(OperatorUi &ui, StationDirectory &directory, const Key &key, bool loggedOn,
                                     QWidget *parent)
    : ConsoleDialog(ui.dialogs(), parent)
    , m_ui(ui)
    , m_directory(&directory)
    , m_port(key.port)
{
    build();
    m_portEdit->setText(QString::number(key.port));
    m_number->setText(key.number.isEmpty() || key.number.toLongLong() == 0 ? DirectoryColumns::noNumberText()
                                                                          : key.number);
    m_name->setText(key.name);

    if (const std::optional<StationFields> stored = directory.find(key.port)) {
        showFields(*stored);
    } else if (!directory.WriteRecord(currentFields())) {
        m_ui.showMessage(QStringLiteral("#:cannot_open_sta_db_recordset"), QStringLiteral("#:database_error"),
                         MessageStyle::Stop);
    }
    for (const char *name : {"callHome", "callCellular", "callPager"})
        button(name)->setEnabled(loggedOn);
    refreshFullName();
    showPicture();
}

void StationInfoDialog::build()
{
    setWindowTitle(QStringLiteral("#:sd_cap_sta_db"));
    setObjectName(QStringLiteral("StationInfoDialog"));
    QList<QWidget *> translated;
    const auto label = [&translated](const char *key, QWidget *parent) {
        auto *l = new QLabel(QString::fromLatin1(key), parent);
        translated.append(l);
        return l;
    };

    auto *pbx = new QGroupBox(QStringLiteral("#:sd_varo_info"), this);
    m_number = makeEdit(pbx, "number", 0);
    m_name = makeEdit(pbx, "stationName", 0);
    m_portEdit = makeEdit(pbx, "port", 0);
    auto *pbxGrid = new QGridLayout(pbx);
    pbxGrid->addWidget(label("#:sd_number", pbx), 0, 0);
    pbxGrid->addWidget(m_number, 0, 1);
    pbxGrid->addWidget(label("#:sd_sta_name", pbx), 1, 0);
    pbxGrid->addWidget(m_name, 1, 1);
    pbxGrid->addWidget(label("#:sd_port", pbx), 2, 0);
    pbxGrid->addWidget(m_portEdit, 2, 1);

    auto *names = new QGroupBox(QStringLiteral("#:sd_name"), this);
    m_last = makeEdit(names, "lastName", NameLength);
    m_first = makeEdit(names, "firstName", NameLength);
    m_full = makeEdit(names, "fullName", 0);
    m_middle = makeEdit(names, "middleName", NameLength);
    auto *nameGrid = new QGridLayout(names);
    nameGrid->addWidget(label("#:sd_last_name", names), 0, 0);
    nameGrid->addWidget(m_last, 0, 1);
    nameGrid->addWidget(label("#:sd_first_name", names), 1, 0);
    nameGrid->addWidget(m_first, 1, 1);
    nameGrid->addWidget(label("#:sd_full_name", names), 2, 0);
    nameGrid->addWidget(m_full, 2, 1);
    nameGrid->addWidget(label("#:sd_middle_name", names), 3, 0);
    nameGrid->addWidget(m_middle, 3, 1);

    auto *numbers = new QGroupBox(QStringLiteral("#:sd_tel_no"), this);
    m_home = makeEdit(numbers, "home", NumberLength);
    m_cellular = makeEdit(numbers, "cellular", NumberLength);
    m_pager = makeEdit(numbers, "pager", NumberLength);
    auto *numberGrid = new QGridLayout(numbers);
    int row = 0;
    for (auto [key, edit, name] : {std::tuple{"#:sd_home", m_home, "callHome"},
                                   std::tuple{"#:sd_cellular", m_cellular, "callCellular"},
                                   std::tuple{"#:sd_pager", m_pager, "callPager"}}) {
        QPushButton *call = makeButton(numbers, QStringLiteral("#:sd_call"), name);
        call->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
        call->setMaximumWidth(70);
        translated.append(call);
        numberGrid->addWidget(label(key, numbers), row, 0);
        numberGrid->addWidget(edit, row, 1);
        numberGrid->addWidget(call, row, 2);
        QLineEdit *number = edit;
        connect(call, &QPushButton::clicked, this, [this, number] { callNumber(number); });
        ++row;
    }

    auto *information = new QGroupBox(QStringLiteral("#:sd_information"), this);
    auto *informGrid = new QGridLayout(information);
    const char *informKeys[] = {"#:sd_inform1", "#:sd_inform2", "#:sd_inform3"};
    const char *informNames[] = {"inform1", "inform2", "inform3"};
    for (int i = 0; i < 3; ++i) {
        m_inform[i] = makeEdit(information, informNames[i], InformLength);
        informGrid->addWidget(label(informKeys[i], information), i, 0);
        informGrid->addWidget(m_inform[i], i, 1);
    }

    m_mail = makeEdit(this, "mail", LongTextLength);
    m_picture = makeEdit(this, "picture", LongTextLength);
    QPushButton *browse = makeButton(this, QStringLiteral("..."), "browse");
    browse->setFixedWidth(32);
    QPushButton *remove = makeButton(this, QStringLiteral("X"), "removePicture");
    remove->setFixedWidth(32);
    m_pictureView = new QLabel(this);
    m_pictureView->setObjectName(QStringLiteral("pictureView"));
    m_pictureView->setFixedSize(PictureSize);
    m_pictureView->setAlignment(Qt::AlignCenter);
    m_memo = makeEdit(this, "memo", LongTextLength);

    auto *mailGrid = new QGridLayout;
    mailGrid->addWidget(label("#:sd_email", this), 0, 0);
    mailGrid->addWidget(m_mail, 0, 1, 1, 3);
    mailGrid->addWidget(label("#:sd_picture", this), 1, 0);
    mailGrid->addWidget(m_picture, 1, 1);
    mailGrid->addWidget(browse, 1, 2);
    mailGrid->addWidget(remove, 1, 3);
    mailGrid->addWidget(label("#:sd_memo", this), 2, 0);
    mailGrid->addWidget(m_memo, 2, 1, 1, 3);

    QPushButton *saveButton = makeButton(this, QStringLiteral("#:sd_save"), "save");
    QPushButton *clearButton = makeButton(this, QStringLiteral("#:sd_clear"), "clear");
    QPushButton *callButton = makeButton(this, QStringLiteral("#:sd_call"), "call");
    QPushButton *quitButton = makeButton(this, QStringLiteral("#:sd_quit"), "quit");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {saveButton, clearButton, callButton, quitButton}) {
        buttons->addWidget(b);
        translated.append(b);
    }

    auto *left = new QVBoxLayout;
    left->addWidget(pbx);
    left->addWidget(names);
    auto *right = new QVBoxLayout;
    right->addWidget(numbers);
    right->addWidget(information);
    auto *top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right);
    top->addWidget(m_pictureView, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(mailGrid);
    layout->addLayout(buttons);

    translated += {pbx, names, numbers, information};
    const MessageCatalogue catalogue;
    TranslateWindowText(this, catalogue);
    for (QWidget *w : translated)
        TranslateWindowText(w, catalogue);

    for (QLineEdit *part : {m_first, m_middle, m_last})
        connect(part, &QLineEdit::textChanged, this, &StationInfoDialog::refreshFullName);
    connect(saveButton, &QPushButton::clicked, this, &StationInfoDialog::save);
    connect(clearButton, &QPushButton::clicked, this, &StationInfoDialog::clear);
    connect(callButton, &QPushButton::clicked, this, &StationInfoDialog::callStation);
    connect(quitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, [this] {
        openPictureBrowser(this, [self = QPointer<StationInfoDialog>(this)](const QString &path) {
            if (self)
                self->setPictureFile(path);
        });
    });
    connect(remove, &QPushButton::clicked, this, [this] { setPictureFile(QString()); });
}

QLineEdit *StationInfoDialog::field(const char *objectName) const
{
    return findChild<QLineEdit *>(QString::fromLatin1(objectName));
}

QPushButton *StationInfoDialog::button(const char *objectName) const
{
    return findChild<QPushButton *>(QString::fromLatin1(objectName));
}

void StationInfoDialog::showFields(const StationFields &fields)
{
    m_portEdit->setText(fields.value(Port));
    const QString number = fields.value(Number);
    m_number->setText(number.toLongLong() == 0 ? DirectoryColumns::noNumberText() : number);
    m_name->setText(fields.value(Name));
    m_first->setText(fields.value(First));
    m_middle->setText(fields.value(Middle));
    m_last->setText(fields.value(Last));
    m_home->setText(fields.value(Home));
    m_cellular->setText(fields.value(Cellular));
    m_pager->setText(fields.value(Pager));
    m_mail->setText(fields.value(Mail));
    m_picture->setText(fields.value(Picture));
    m_inform[0]->setText(fields.value(Inform1));
    m_inform[1]->setText(fields.value(Inform2));
    m_inform[2]->setText(fields.value(Inform3));
    m_memo->setText(fields.value(Memo));
}

StationFields StationInfoDialog::currentFields() const
{
    const QString number = m_number->text().trimmed();
    StationFields fields{
        m_portEdit->text().trimmed(),
        number == DirectoryColumns::noNumberText() || number.isEmpty() ? QStringLiteral("0") : number,
        m_name->text(),
    };
    for (const QLineEdit *edit : {m_first, m_middle, m_last, m_home, m_cellular, m_pager, m_mail, m_picture,
                                  m_inform[0], m_inform[1], m_inform[2], m_memo})
        fields.append(edit->text().trimmed());
    return fields;
}

bool StationInfoDialog::save()
{
    const StationFields fields = currentFields();
    if (!m_directory || !m_directory->WriteRecord(fields)) {
        m_ui.showMessage(QStringLiteral("#:cannot_open_sta_db_recordset"), QStringLiteral("#:database_error"),
                         MessageStyle::Stop);
        return false;
    }
    // The controls show what was stored.
    showFields(fields);
    m_ui.showFixedMessage(trKey(QStringLiteral("#:edi_record_saved")) + QStringLiteral(" (")
                              + trKey(QStringLiteral("#:edi_port_no")) + QStringLiteral(" : ") + fields.value(Port)
                              + QStringLiteral(")"),
                          trKey(QStringLiteral("#:information")), MessageStyle::Information);
    if (m_fullNameSaved)
        m_fullNameSaved(m_port, fullName(fields.value(First), fields.value(Middle), fields.value(Last)));
    return true;
}

void StationInfoDialog::clear()
{
    for (QLineEdit *edit : {m_first, m_middle, m_last, m_home, m_cellular, m_pager, m_mail, m_picture, m_inform[0],
                            m_inform[1], m_inform[2], m_memo})
        edit->clear();
    refreshFullName();
    showPicture();
}

void StationInfoDialog::setPictureFile(const QString &path)
{
    m_picture->setText(path);
    showPicture();
}

void StationInfoDialog::refreshFullName()
{
    m_full->setText(fullName(m_first->text(), m_middle->text(), m_last->text()));
}

void StationInfoDialog::showPicture()
{
    m_pictureView->setPixmap(stationPicture(m_picture->text().trimmed(), m_pictureView->size()));
}

void StationInfoDialog::cannotCall()
{
    m_ui.showMessage(QStringLiteral("#:cannot_exe_call_op"), QStringLiteral("#:warning_title"),
                     MessageStyle::Exclamation);
}

void StationInfoDialog::callNumber(QLineEdit *number)
{
    QString digits;
    for (const QChar c : number->text()) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    }
    if (!m_callNumber || !m_callNumber(digits)) {
        cannotCall();
        return;
    }
    accept();
}

void StationInfoDialog::callStation()
{
    const QString number = m_number->text().trimmed();
    if (number.isEmpty() || number == DirectoryColumns::noNumberText() || !m_callStation || !m_callStation(number)) {
        cannotCall();
        return;
    }
    accept();
}
