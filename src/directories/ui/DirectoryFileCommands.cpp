#include "directories/ui/DirectoryFileCommands.h"

#include "base/OperatorUi.h"
#include "directories/ui/CDBExportFileDlg.h"
#include "directories/ui/ImportDialog.h"
#include "directories/ui/PrintDialog.h"
#include "directories/ui/PrintJob.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPointer>

void DirectoryFileCommands::openExport(OperatorUi &ui, const Clock &clock, const QString &folder, QWidget *parent)
{
    auto *dialog = new CDBExportFileDlg(ui, clock, folder, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void DirectoryFileCommands::openImport(OperatorUi &ui, const Clock &clock, const QString &folder, QWidget *parent,
                                       std::function<void(int)> closeDirectory, std::function<void(int)> reopenDirectory)
{
    auto *dialog = new ImportDialog(ui, clock, folder, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setDirectoryHooks(std::move(closeDirectory), std::move(reopenDirectory));
    dialog->open();
}

void DirectoryFileCommands::openPrint(OperatorUi &ui, const Clock &clock, const QString &folder, int kind,
                                      QWidget *parent, std::function<void(const QString &)> status,
                                      std::function<void(bool)> printingChanged)
{
    if (PrintJob::isRunning())
        return;
    auto *dialog = new PrintDialog(ui.dialogs(), kind, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::accepted, parent, [&ui, &clock, folder, parent, dialog, status, printingChanged] {
        const int argument = dialog->argument();
        std::unique_ptr<QPrinter> printer;
        if (argument / 10 == 1) {
            printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            QPrintDialog choose(printer.get(), parent);
            choose.setOptions(QAbstractPrintDialog::PrintShowPageSize);
            choose.setPrintRange(QAbstractPrintDialog::AllPages);
            if (choose.exec() != QDialog::Accepted)
                return;
        }
        auto *job = new PrintJob(clock, folder, argument, std::move(printer));
        QObject::connect(job, &PrintJob::statusText, parent, [status](const QString &text) {
            if (status)
                status(text);
        });
        QObject::connect(job, &PrintJob::failed, parent, [&ui](const QString &key) {
            ui.showMessage(key, QStringLiteral("#:database_error"), MessageStyle::Stop);
        });
        QObject::connect(job, &PrintJob::finished, parent, [printingChanged](bool) {
            if (printingChanged)
                printingChanged(false);
        });
        if (job->start()) {
            if (printingChanged)
                printingChanged(true);
        } else {
            delete job;
        }
    });
    dialog->open();
}
