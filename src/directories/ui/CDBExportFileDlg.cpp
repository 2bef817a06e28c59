#include "directories/ui/CDBExportFileDlg.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "directories/DirectoryExport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CDBExportFileDlg::CDBExportFileDlg(OperatorUi &ui, const Clock &clock, const QString &folder, QWidget *parent)
    : ConsoleDialog(ui.dialogs(), parent)
    , m_ui(ui)
    , m_clock(clock)
    , m_databaseFolder(folder)
{
    const MessageCatalogue catalogue;
    const auto tr = [&catalogue](const char *key) { return catalogue.text(QString::fromLatin1(key)); };
    setWindowTitle(tr("#:xp_cap_export_db"));
    auto *layout = new QVBoxLayout(this);
    auto *settings = new QGroupBox(tr("#:xp_settings"), this);
    auto *form = new QFormLayout(settings);
    m_directory = new QComboBox(settings);
    m_directory->addItems({tr("#:xp_speed_db"), tr("#:xp_phone_db")});
    m_directory->setCurrentIndex(-1);
    m_format = new QComboBox(settings);
    m_format->addItems({tr("#:xp_sylk_format"), tr("#:xp_ascii_text_format")});
    m_format->setCurrentIndex(-1);
    m_name = new QLineEdit(settings);
    m_name->setReadOnly(true);
    m_folder = new QLineEdit(QDir::toNativeSeparators(folder), settings);
    m_browse = new QPushButton(tr("#:browse_btn"), settings);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder);
    folderRow->addWidget(m_browse);
    form->addRow(tr("#:xp_database"), m_directory);
    form->addRow(tr("#:xp_target_file_format"), m_format);
    form->addRow(tr("#:xp_target_file_name"), m_name);
    form->addRow(tr("#:xp_target_directory"), folderRow);
    auto *options = new QGroupBox(tr("#:xp_options"), this);
    auto *optionLayout = new QVBoxLayout(options);
    m_backup = new QCheckBox(tr("#:xp_backup_existing_target"), options);
    m_backup->setChecked(true);
    m_sorting = new QCheckBox(tr("#:xp_enable_sorting"), options);
    m_sorting->setChecked(true);
    optionLayout->addWidget(m_backup);
    optionLayout->addWidget(m_sorting);
    auto *buttons = new QHBoxLayout;
    auto *startButton = new QPushButton(tr("#:start_btn"), this);
    auto *quitButton = new QPushButton(tr("#:quit_btn"), this);
    startButton->setObjectName(QStringLiteral("start"));
    quitButton->setObjectName(QStringLiteral("quit"));
    buttons->addStretch();
    buttons->addWidget(startButton);
    buttons->addWidget(quitButton);
    layout->addWidget(settings);
    layout->addWidget(options);
    layout->addLayout(buttons);

    connect(m_directory, &QComboBox::currentIndexChanged, this, &CDBExportFileDlg::updateName);
    connect(m_format, &QComboBox::currentIndexChanged, this, &CDBExportFileDlg::updateName);
    connect(m_browse, &QPushButton::clicked, this, &CDBExportFileDlg::browse);
    connect(startButton, &QPushButton::clicked, this, &CDBExportFileDlg::start);
    connect(quitButton, &QPushButton::clicked, this, &QDialog::accept);
    updateName();
}

QString CDBExportFileDlg::fileName() const
{
    return DirectoryExport::targetFileName(m_directory->currentIndex(), m_format->currentIndex());
}

void CDBExportFileDlg::updateName()
{
    m_name->setText(fileName());
    m_browse->setEnabled(m_directory->currentIndex() >= 0 && m_format->currentIndex() >= 0);
}

void CDBExportFileDlg::browse()
{
    const QString chosen = QFileDialog::getExistingDirectory(
        this, MessageCatalogue().text(QStringLiteral("#:xp_directory_select")), m_folder->text());
    if (!chosen.isEmpty())
        m_folder->setText(QDir::toNativeSeparators(chosen));
}

bool CDBExportFileDlg::start()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DirectoryExport job(m_ui, m_clock, m_databaseFolder);
    const bool ok = job.run({m_directory->currentIndex(), m_format->currentIndex(), QDir::fromNativeSeparators(m_folder->text()),
                             m_backup->isChecked(), m_sorting->isChecked()});
    QApplication::restoreOverrideCursor();
    return ok;
}
