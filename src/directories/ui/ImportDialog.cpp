#include "directories/ui/ImportDialog.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "directories/DirectoryImport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ImportDialog::ImportDialog(OperatorUi &ui, const Clock &clock, const QString &folder, QWidget *parent)
    : ConsoleDialog(ui.dialogs(), parent)
    , m_ui(ui)
    , m_clock(clock)
    , m_folder(folder)
{
    const MessageCatalogue catalogue;
    const auto tr = [&catalogue](const char *key) { return catalogue.text(QString::fromLatin1(key)); };
    setWindowTitle(tr("#:xl_cap_import_excel"));
    auto *layout = new QVBoxLayout(this);
    auto *settings = new QGroupBox(tr("#:xl_settings"), this);
    auto *form = new QFormLayout(settings);
    m_directory = new QComboBox(settings);
    m_directory->addItems({tr("#:xl_speed_db"), tr("#:xl_phone_db")});
    m_directory->setCurrentIndex(-1);
    m_version = new QComboBox(settings);
    m_version->addItems({tr("#:xl_excel_50_95"), tr("#:xl_excel_40"), tr("#:xl_excel_30")});
    m_version->setCurrentIndex(-1);
    m_file = new QLineEdit(QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral("*.xls"))), settings);
    auto *browseButton = new QPushButton(tr("#:browse_btn"), settings);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file);
    fileRow->addWidget(browseButton);
    form->addRow(tr("#:xl_database"), m_directory);
    form->addRow(tr("#:xl_excel_version"), m_version);
    form->addRow(tr("#:xl_excel_file_name"), fileRow);
    auto *options = new QGroupBox(tr("#:xl_options"), this);
    auto *optionLayout = new QVBoxLayout(options);
    m_backup = new QCheckBox(tr("#:xl_backup_current_db"), options);
    m_backup->setChecked(true);
    m_autoCorrect = new QCheckBox(tr("#:xl_auto_data_correction"), options);
    optionLayout->addWidget(m_backup);
    optionLayout->addWidget(m_autoCorrect);
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

    connect(browseButton, &QPushButton::clicked, this, &ImportDialog::browse);
    connect(startButton, &QPushButton::clicked, this, &ImportDialog::start);
    connect(quitButton, &QPushButton::clicked, this, &QDialog::accept);
}

void ImportDialog::browse()
{
    const QString chosen = QFileDialog::getOpenFileName(
        this, MessageCatalogue().text(QStringLiteral("#:xl_file_select")),
        QFileInfo(QDir::fromNativeSeparators(m_file->text())).path(),
        QStringLiteral("Excel Worksheet Files (*.xls);;All Files (*)"));
    if (!chosen.isEmpty())
        m_file->setText(QDir::toNativeSeparators(chosen));
}

bool ImportDialog::start()
{
    QApplication::setOverrideCursor(Qt::BusyCursor);
    DirectoryImport job(m_ui, m_clock, m_folder);
    job.setDirectoryHooks(m_close, m_reopen);
    const bool ok = job.run({m_directory->currentIndex(), m_version->currentIndex(),
                             QDir::fromNativeSeparators(m_file->text()), m_backup->isChecked(),
                             m_autoCorrect->isChecked()});
    QApplication::restoreOverrideCursor();
    return ok;
}
