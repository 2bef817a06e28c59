#include "CPhoneBookView.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "directories/CPhoneBookDB.h"
#include "directories/SpeedBinEditor.h"
#include "directories/SpeedBinPage.h"
#include "directories/ui/SpeedBinCallDialog.h"
#include "directories/ui/SpeedBinEditDialog.h"
#include "directories/ui/SpeedBinViewDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeView>
#include <QVBoxLayout>

CPhoneBookView::CPhoneBookView(CPhoneBookDB &db, Context context, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_context(std::move(context))
    , m_page(new SpeedBinPage(db, this))
{
    m_field = new QComboBox(this);
    m_field->setObjectName(QStringLiteral("searchField"));
    for (int c = 0; c < SpeedBinPage::ColumnCount; ++c)
        m_field->addItem(trKey(QLatin1String(SpeedBinPage::headerKey(c))));
    m_keyword = new QLineEdit(this);
    m_keyword->setObjectName(QStringLiteral("keyword"));
    m_fromFirst = new QCheckBox(trKey(QStringLiteral("#:pb_from_first_char")), this);
    m_fromFirst->setObjectName(QStringLiteral("fromFirstChar"));
    m_reset = new QPushButton(trKey(QStringLiteral("#:pb_reset")), this);
    m_reset->setObjectName(QStringLiteral("resetButton"));
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(trKey(QStringLiteral("#:pb_search_field")), this));
    searchRow->addWidget(m_field);
    searchRow->addWidget(new QLabel(trKey(QStringLiteral("#:pb_search_keyword")), this));
    searchRow->addWidget(m_keyword, 1);
    searchRow->addWidget(m_fromFirst);
    searchRow->addWidget(m_reset);

    auto *pagingRow = new QHBoxLayout;
    const char *const pagingTexts[] = {"|<<", "<<", "<", ">", ">>", ">>|"};
    const std::function<void()> moves[] = {
        [this] { m_page->firstPage(); }, [this] { m_page->backPage(); },    [this] { m_page->backOne(); },
        [this] { m_page->forwardOne(); }, [this] { m_page->forwardPage(); }, [this] { m_page->lastPage(); }};
    for (int i = 0; i < 6; ++i) {
        m_paging[i] = new QPushButton(QLatin1String(pagingTexts[i]), this);
        m_paging[i]->setObjectName(QStringLiteral("paging%1").arg(i));
        connect(m_paging[i], &QPushButton::clicked, this, moves[i]);
        pagingRow->addWidget(m_paging[i]);
    }
    pagingRow->addStretch(1);
    m_edit = new QPushButton(trKey(QStringLiteral("#:pb_edit")), this);
    m_edit->setObjectName(QStringLiteral("editButton"));
    m_call = new QPushButton(trKey(QStringLiteral("#:pb_call")), this);
    m_call->setObjectName(QStringLiteral("callButton"));
    pagingRow->addWidget(m_edit);
    pagingRow->addWidget(m_call);

    m_list = new QTreeView(this);
    m_list->setObjectName(QStringLiteral("speedBinList"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setModel(m_page);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSortIndicatorShown(false);
    for (int c = 0; c < SpeedBinPage::ColumnCount; ++c)
        m_list->setColumnWidth(c, SpeedBinPage::columnWidth(c));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addLayout(pagingRow);
    layout->addWidget(m_list, 1);

    connect(m_keyword, &QLineEdit::textChanged, this, &CPhoneBookView::search);
    connect(m_fromFirst, &QCheckBox::toggled, this, &CPhoneBookView::search);
    connect(m_field, &QComboBox::currentIndexChanged, this, &CPhoneBookView::fieldChanged);
    connect(m_reset, &QPushButton::clicked, this, [this] { m_page->reset(); });
    connect(m_list->header(), &QHeaderView::sectionClicked, this, [this](int column) { m_page->sortBy(column); });
    connect(m_page, &SpeedBinPage::pageChanged, m_list, &QAbstractItemView::clearSelection);
    connect(m_edit, &QPushButton::clicked, this, &CPhoneBookView::openEditDialog);
    connect(m_call, &QPushButton::clicked, this, &CPhoneBookView::callSelected);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &CPhoneBookView::viewSelected);
    connect(&m_db.editor(), &SpeedBinEditor::recordWritten, this, [this] { m_page->reload(); });
    connect(&m_db, &CPhoneBookDB::reloadRequested, this, [this] {
        const QSignalBlocker blocker(m_keyword);
        m_keyword->clear();
        m_page->reloadUnfiltered();
    });
    m_db.setWindowOpen(true);
}

CPhoneBookView::~CPhoneBookView()
{
    m_db.setWindowOpen(false);
}

bool CPhoneBookView::load()
{
    if (m_page->reload())
        return true;
    if (m_context.ui)
        m_context.ui->showMessage(QStringLiteral("#:pbe_cannot_open_speed_record"), QStringLiteral("#:database_error"),
                                  MessageStyle::Stop);
    return false;
}

void CPhoneBookView::search()
{
    m_page->search(m_field->currentIndex(), m_keyword->text(), m_fromFirst->isChecked());
}

void CPhoneBookView::fieldChanged()
{
    {
        const QSignalBlocker blocker(m_keyword);
        m_keyword->clear();
    }
    search();
}

int CPhoneBookView::selectedRow() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CPhoneBookView::openEditDialog()
{
    SpeedBinEditor &editor = m_db.editor();
    if (const auto r = m_page->record(selectedRow()))
        editor.load({QString::number(r->bin), r->name, r->number, r->coType, QString::number(r->coNumber), r->memo});
    else
        editor.clear();
    if (!m_context.ui)
        return;
    auto *dialog = new SpeedBinEditDialog(editor, m_context.ui->dialogs(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

bool CPhoneBookView::callBin(int bin)
{
    if (!m_context.canCall || !m_context.canCall() || !m_context.call
        || !m_context.call(QStringLiteral("S%1").arg(bin))) {
        if (m_context.ui)
            m_context.ui->showMessage(QStringLiteral("#:cannot_exe_call_op"), QStringLiteral("#:warning_title"),
                                      MessageStyle::Exclamation);
        return false;
    }
    return true;
}

void CPhoneBookView::callSelected()
{
    const auto r = m_page->record(selectedRow());
    if (!r) {
        if (m_context.ui)
            m_context.ui->showMessage(QStringLiteral("#:pbe_bin_must_be_selected_b4_call"),
                                      QStringLiteral("#:warning_title"), MessageStyle::Exclamation);
        return;
    }
    if (!m_context.canCall || !m_context.canCall()) {
        if (m_context.ui)
            m_context.ui->showMessage(QStringLiteral("#:cannot_exe_call_op"), QStringLiteral("#:warning_title"),
                                      MessageStyle::Exclamation);
        return;
    }
    auto *dialog = new SpeedBinCallDialog(*r, [this](const QString &keys) {
        if (m_context.canCall && m_context.canCall() && m_context.call && m_context.call(keys))
            return true;
        if (m_context.ui)
            m_context.ui->showMessage(QStringLiteral("#:cannot_exe_call_op"), QStringLiteral("#:warning_title"),
                                      MessageStyle::Exclamation);
        return false;
    }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void CPhoneBookView::viewSelected()
{
    const auto r = m_page->record(selectedRow());
    if (!r)
        return;
    auto *dialog = new SpeedBinViewDialog(*r, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &SpeedBinViewDialog::editRequested, this, &CPhoneBookView::openEditDialog);
    const int bin = r->bin;
    connect(dialog, &SpeedBinViewDialog::callRequested, this, [this, dialog, bin] {
        if (m_context.canCall && m_context.canCall()) {
            dialog->accept();
            callBin(bin);
            m_list->clearSelection();
        } else if (m_context.ui) {
            m_context.ui->showMessage(QStringLiteral("#:cannot_exe_call_op"), QStringLiteral("#:warning_title"),
                                      MessageStyle::Exclamation);
        }
    });
    dialog->open();
}
