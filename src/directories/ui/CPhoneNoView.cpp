#include "directories/ui/CPhoneNoView.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/ui/ConsoleDialog.h"
#include "base/ui/Translate.h"
#include "directories/ui/PhoneNoEditDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const char *const PagingTexts[] = {"|<<", "<<", "<", ">", ">>", ">>|"};
const char *const SearchFieldKeys[] = {"#:pn_name", "#:pn_phone_no", "#:pn_memo"};

QLineEdit *readOnlyField(const QString &text)
{
    auto *field = new QLineEdit(text);
    field->setReadOnly(true);
    return field;
}

// The call dialog: name and number of the entry under "Call to:", OK and Cancel.
class PhoneNoCallDialog : public ConsoleDialog
{
public:
    PhoneNoCallDialog(OpenDialogRegistry &dialogs, const PhoneNoEntry &entry, QWidget *parent)
        : ConsoleDialog(dialogs, parent)
    {
        setObjectName(QStringLiteral("phoneNoCallDialog"));
        setWindowTitle(QStringLiteral("#:pn_cap_phone_no_call"));
        auto *layout = new QVBoxLayout(this);
        auto *dialTo = new QLabel(QStringLiteral("#:pn_dial_to"));
        layout->addWidget(dialTo);
        QLineEdit *name = readOnlyField(entry.name);
        QLineEdit *number = readOnlyField(entry.phoneNo);
        layout->addWidget(name);
        layout->addWidget(number);
        const ButtonRow row = addOkCancelRow(layout, number);
        translateWindowTexts(this, {dialTo, row.ok, row.cancel});
    }
};

// The view dialog: the entry read-only, with Edit, Call and Cancel.
class PhoneNoViewDialog : public ConsoleDialog
{
public:
    PhoneNoViewDialog(OpenDialogRegistry &dialogs, const PhoneNoEntry &entry, bool loggedOn, QWidget *parent)
        : ConsoleDialog(dialogs, parent)
    {
        setObjectName(QStringLiteral("phoneNoViewDialog"));
        setWindowTitle(QStringLiteral("#:pn_cap_phone_no_db_op"));
        auto *form = new QFormLayout;
        auto *nameLabel = new QLabel(QStringLiteral("#:pn_name"));
        auto *numberLabel = new QLabel(QStringLiteral("#:pn_phone_no"));
        auto *memoLabel = new QLabel(QStringLiteral("#:pn_memo"));
        form->addRow(nameLabel, readOnlyField(entry.name));
        form->addRow(numberLabel, readOnlyField(entry.phoneNo));
        form->addRow(memoLabel, readOnlyField(entry.memo));
        editButton = new QPushButton(QStringLiteral("#:pn_edit"));
        editButton->setObjectName(QStringLiteral("pn_edit"));
        callButton = new QPushButton(QStringLiteral("#:pn_call"));
        callButton->setObjectName(QStringLiteral("pn_call"));
        callButton->setEnabled(loggedOn);
        auto *cancel = new QPushButton(QStringLiteral("#:cancel_btn"));
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        auto *buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(editButton);
        buttons->addWidget(callButton);
        buttons->addWidget(cancel);
        auto *layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addLayout(buttons);
        translateWindowTexts(this, {nameLabel, numberLabel, memoLabel, editButton, callButton, cancel});
    }
    QPushButton *editButton;
    QPushButton *callButton;
};

} // namespace

CPhoneNoView::CPhoneNoView(PhoneNoDirectory *directory, Context context, QWidget *parent)
    : QWidget(parent)
    , m_context(std::move(context))
    , m_doc(directory)
    , m_field(new QComboBox)
    , m_keyword(new QLineEdit)
    , m_fromFirst(new QCheckBox(QStringLiteral("#:pn_from_first_char")))
    , m_list(new QTreeWidget)
{
    setObjectName(QStringLiteral("phoneNoView"));
    m_field->setObjectName(QStringLiteral("pn_search_field"));
    m_keyword->setObjectName(QStringLiteral("pn_search_keyword"));
    m_keyword->installEventFilter(this);
    m_list->setObjectName(QStringLiteral("phoneNoList"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setColumnCount(3);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSortIndicatorShown(false);
    m_list->setColumnWidth(0, 140);
    m_list->setColumnWidth(1, 140);
    m_list->setColumnWidth(2, 162);

    auto *search = new QHBoxLayout;
    m_labels = {new QLabel(QStringLiteral("#:pn_search_field")), new QLabel(QStringLiteral("#:pn_search_keyword"))};
    search->addWidget(m_labels[0]);
    search->addWidget(m_field);
    search->addWidget(m_labels[1]);
    search->addWidget(m_keyword, 1);
    search->addWidget(m_fromFirst);
    auto *paging = new QHBoxLayout;
    for (const char *text : PagingTexts) {
        auto *b = new QPushButton(QString::fromLatin1(text));
        b->setObjectName(QString::fromLatin1(text));
        paging->addWidget(b);
        m_buttons.append(b);
    }
    paging->addStretch();
    for (const char *key : {"#:pn_edit", "#:pn_call", "#:pn_reset"}) {
        auto *b = new QPushButton(QString::fromLatin1(key));
        b->setObjectName(QString::fromLatin1(key));
        m_buttons.append(b);
    }
    search->addWidget(m_buttons[8]);
    paging->addWidget(m_buttons[6]);
    paging->addWidget(m_buttons[7]);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addLayout(paging);
    layout->addWidget(m_list, 1);

    const CPhoneNoDoc::Move moves[] = {CPhoneNoDoc::First,      CPhoneNoDoc::BackPage,    CPhoneNoDoc::BackOne,
                                       CPhoneNoDoc::ForwardOne, CPhoneNoDoc::ForwardPage, CPhoneNoDoc::Last};
    for (int i = 0; i < 6; ++i)
        connect(m_buttons[i], &QPushButton::clicked, this, [this, m = moves[i]] { m_doc.move(m); });
    connect(m_buttons[6], &QPushButton::clicked, this, &CPhoneNoView::edit);
    connect(m_buttons[7], &QPushButton::clicked, this, &CPhoneNoView::call);
    connect(m_buttons[8], &QPushButton::clicked, this, [this] {
        m_showing = true;
        m_keyword->clear();
        m_showing = false;
        m_doc.reset();
    });
    connect(m_keyword, &QLineEdit::textChanged, this, &CPhoneNoView::search);
    connect(m_fromFirst, &QCheckBox::toggled, this, &CPhoneNoView::search);
    connect(m_field, &QComboBox::currentIndexChanged, this, &CPhoneNoView::fieldChanged);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, [this](int column) { m_doc.sortByColumn(column); });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CPhoneNoView::rowSelected);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { openViewDialog(); });
    connect(&m_doc, &CPhoneNoDoc::pageChanged, this, &CPhoneNoView::showPage);
    retranslate();
}

CPhoneNoView::~CPhoneNoView() = default;

QPushButton *CPhoneNoView::button(const QString &text) const
{
    for (QPushButton *b : m_buttons) {
        if (b->objectName() == text)
            return b;
    }
    return nullptr;
}

void CPhoneNoView::retranslate()
{
    const MessageCatalogue catalogue;
    m_showing = true;
    const int field = std::max(0, m_field->currentIndex());
    m_field->clear();
    for (const char *key : SearchFieldKeys)
        m_field->addItem(catalogue.text(QString::fromLatin1(key)));
    m_field->setCurrentIndex(field);
    m_showing = false;
    m_fromFirst->setText(catalogue.text(QStringLiteral("#:pn_from_first_char")));
    m_labels[0]->setText(catalogue.text(QStringLiteral("#:pn_search_field")));
    m_labels[1]->setText(catalogue.text(QStringLiteral("#:pn_search_keyword")));
    for (int i = 6; i < m_buttons.size(); ++i)
        m_buttons[i]->setText(catalogue.text(m_buttons[i]->objectName()));
    m_list->setHeaderLabels({catalogue.text(QStringLiteral("#:pn_name")), catalogue.text(QStringLiteral("#:pn_phone_no")),
                             catalogue.text(QStringLiteral("#:pn_memo"))});
}

bool CPhoneNoView::load()
{
    if (!m_doc.directory()) {
        m_context.ui->showMessage(QStringLiteral("#:pbe_cannot_create_phone_no_db"), QStringLiteral("#:database_error"),
                                  MessageStyle::Stop);
        showPage();
        return false;
    }
    if (!m_doc.reload()) {
        m_context.ui->showMessage(QStringLiteral("#:pbe_cannot_open_phone_no_record"),
                                  QStringLiteral("#:database_error"), MessageStyle::Stop);
        return false;
    }
    return true;
}

void CPhoneNoView::search()
{
    if (m_showing || !m_doc.directory())
        return;
    m_doc.search(CPhoneNoDoc::SearchField(std::max(0, m_field->currentIndex())), m_keyword->text(),
                 m_fromFirst->isChecked());
}

void CPhoneNoView::fieldChanged()
{
    if (m_showing)
        return;
    // Another field empties the keyword; the search runs once, for the new field.
    m_showing = true;
    m_keyword->clear();
    m_showing = false;
    search();
}

void CPhoneNoView::showPage()
{
    m_showing = true;
    m_list->clear();
    for (const PhoneNoEntry &e : m_doc.page())
        m_list->addTopLevelItem(new QTreeWidgetItem({e.name, e.phoneNo, e.memo}));
    m_showing = false;
}

void CPhoneNoView::rowSelected()
{
    if (m_showing)
        return;
    const QList<QTreeWidgetItem *> items = m_list->selectedItems();
    m_doc.select(items.isEmpty() ? -1 : m_list->indexOfTopLevelItem(items.first()));
}

bool CPhoneNoView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_keyword && event->type() == QEvent::FocusIn) {
        m_list->clearSelection();
        m_doc.select(-1);
    }
    return QWidget::eventFilter(watched, event);
}

QDialog *CPhoneNoView::edit()
{
    if (!m_doc.directory())
        return nullptr;
    auto *dialog = new PhoneNoEditDialog(*m_doc.directory(), *m_context.ui, m_doc.selectedEntry(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &PhoneNoEditDialog::changed, this, [this] { m_doc.refresh(); });
    dialog->open();
    return dialog;
}

bool CPhoneNoView::dial(const PhoneNoEntry &entry)
{
    if (!m_context.canCall || !m_context.canCall()) {
        m_context.ui->showMessage(QStringLiteral("#:cannot_exe_call_op"), QStringLiteral("#:warning_title"),
                                  MessageStyle::Exclamation);
        return false;
    }
    if (m_context.sendDigits)
        m_context.sendDigits(PhoneNoDirectory::dialDigits(entry.phoneNo));
    return true;
}

QDialog *CPhoneNoView::call()
{
    const PhoneNoEntry *selected = m_doc.selectedEntry();
    if (!selected) {
        m_context.ui->showMessage(QStringLiteral("#:pne_name_must_be_selected_b4_call"),
                                  QStringLiteral("#:information"), MessageStyle::Information);
        return nullptr;
    }
    if (!m_context.canCall || !m_context.canCall()) {
        dial(*selected);
        return nullptr;
    }
    auto *dialog = new PhoneNoCallDialog(m_context.ui->dialogs(), *selected, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, entry = *selected] {
        dial(entry);
        m_doc.refresh();
    });
    dialog->open();
    return dialog;
}

QDialog *CPhoneNoView::openViewDialog()
{
    const PhoneNoEntry *selected = m_doc.selectedEntry();
    if (!selected)
        return nullptr;
    auto *dialog = new PhoneNoViewDialog(m_context.ui->dialogs(), *selected, m_doc.loggedOn(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog->editButton, &QPushButton::clicked, this, [this, dialog] {
        dialog->reject();
        edit();
    });
    connect(dialog->callButton, &QPushButton::clicked, this, [this, dialog, entry = *selected] {
        if (dial(entry)) {
            dialog->accept();
            m_doc.refresh();
        }
    });
    dialog->open();
    return dialog;
}
