#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class Clock;
class QPrinter;

// One print of a directory: makes the listing file in the directory-files
// folder, then hands it to "lp" (raw text, mode 0) or draws it on the chosen
// printer (graphic, mode 1). start() runs it on a worker thread of its own;
// while one runs, isRunning() is true and no second one is started. The
// texts it needs are looked up when it is made, on the user-interface thread.
class PrintJob : public QObject
{
    Q_OBJECT
public:
    // argument: print mode * 10 + kind (1 speed bins ... 4 CO lines).
    // printer: the one the print dialog chose, for graphic printing.
    PrintJob(const Clock &clock, QString folder, int argument, std::unique_ptr<QPrinter> printer = {});
    ~PrintJob() override;

    static bool isRunning() { return s_running.load(); }

    // Runs on a new thread and deletes itself when done; false when a job runs.
    bool start();
    // Runs here and now (the command line, tests).
    bool run();

    // The raw print command; "lp" unless a test sets another.
    void setRawPrintProgram(const QString &program) { m_program = program; }
    const QString &listingPath() const { return m_listingPath; }

signals:
    void statusText(const QString &text);
    // A message key to show under "#:database_error".
    void failed(const QString &key);
    void finished(bool ok);

private:
    const Clock &m_clock;
    QString m_folder;
    int m_mode;
    int m_kind;
    std::unique_ptr<QPrinter> m_printer;
    QHash<QString, QString> m_texts;
    QString m_program = QStringLiteral("lp");
    QString m_listingPath;
    static std::atomic_bool s_running;
};
