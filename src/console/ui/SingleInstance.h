#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// Keeps the console to one instance per user. The first start holds a lock
// file in the runtime directory and listens on a local socket of the instance
// name; a later start finds the lock taken and asks the first, through the
// socket, to bring its window to the front.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // The instance name: the first line of the application title and " Class".
    static QString instanceName() { return QStringLiteral("Zarto for Varo Class"); }

    // directory: where the lock file and the socket live (default: the
    // user's runtime directory).
    explicit SingleInstance(const QString &name = instanceName(), const QString &directory = {},
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    enum class Start {
        Primary,   // the lock is ours and the socket listens
        Secondary, // another instance holds the lock
        Unguarded, // the lock file cannot be made; this start runs without the guard
    };
    Start tryBecomePrimary();
    bool isPrimary() const { return m_primary; }
    // A later start: asks the instance holding the lock to come to the front.
    // Retries for up to timeoutMs while that instance is still starting.
    bool askPrimaryToRaise(int timeoutMs = 3000);

    QString lockFilePath() const;
    QString serverName() const;
    QString errorString() const { return m_error; }

Q_SIGNALS:
    // Another start asked this instance to come to the front.
    void raiseRequested();

private:
    void onNewConnection();

    QString m_name;
    QString m_directory;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    bool m_primary = false;
    QString m_error;
};
