#include "directories/ui/PrintJob.h"

#include "base/MessageCatalogue.h"
#include "directories/DirectoryListing.h"
#include "directories/ui/ListingPrinter.h"

#include <QCoreApplication>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QThread>

std::atomic_bool PrintJob::s_running{false};

PrintJob::PrintJob(const Clock &clock, QString folder, int argument, std::unique_ptr<QPrinter> printer)
    : m_clock(clock)
    , m_folder(std::move(folder))
    , m_mode(argument / 10)
    , m_kind(argument % 10)
    , m_printer(std::move(printer))
{
    const MessageCatalogue catalogue;
    QStringList keys = DirectoryListing::labelKeys();
    keys << QStringLiteral("#:pm_create_db_text_file") << QStringLiteral("#:pm_print_db_file");
    for (const QString &key : keys)
        m_texts.insert(key, catalogue.text(key));
}

PrintJob::~PrintJob() = default;

bool PrintJob::start()
{
    if (s_running.exchange(true))
        return false;
    QThread *thread = QThread::create([this] {
        run();
        // Back to the main thread to be deleted there: the worker's own
        // event loop never runs.
        moveToThread(QCoreApplication::instance()->thread());
        s_running = false;
        deleteLater();
    });
    moveToThread(thread);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
    return true;
}

bool PrintJob::run()
{
    const bool ok = [this] {
        emit statusText(m_texts.value(QStringLiteral("#:pm_create_db_text_file")));
        DirectoryListing listing(m_clock, m_folder, m_folder);
        listing.setTranslator([this](const QString &key) { return m_texts.value(key, key); });
        const bool written = listing.write(m_kind);
        m_listingPath = listing.listingPath();
        if (!written) {
            if (!listing.errorKey().isEmpty())
                emit failed(listing.errorKey());
            return false;
        }
        const QString printing = m_texts.value(QStringLiteral("#:pm_print_db_file"));
        if (m_mode == 0) {
            if (!QFile::exists(m_listingPath))
                return false;
            emit statusText(printing);
            QProcess lp;
            lp.start(m_program, {m_listingPath});
            return lp.waitForFinished(60000) && lp.exitStatus() == QProcess::NormalExit && lp.exitCode() == 0;
        }
        if (!m_printer)
            return false;
        m_printer->setDocName(DirectoryListing::documentName(m_kind));
        ListingPrinter printer(*m_printer, m_kind);
        return printer.print(m_listingPath, listing.lineCount(),
                             [this, printing](int page) { emit statusText(printing + QStringLiteral(" : %1").arg(page)); });
    }();
    emit statusText(QString());
    emit finished(ok);
    return ok;
}
