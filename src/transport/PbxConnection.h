#pragma once

#include <QObject>

// How the console reaches the PBX: which transport is configured, opening and
// closing it. The console drives only this; the program's one is
// LinkConnection (serial port and LAN socket), tests hand in their own.
class PbxConnection : public QObject
{
    Q_OBJECT
public:
    enum Type : int { Serial = 0, Lan = 1 };

    explicit PbxConnection(QObject *parent = nullptr);
    ~PbxConnection() override;

    // Section "SavedConnectionType", value "ConnectType", default 0.
    static int storedType();
    static bool storeType(int type);
    static int validType(int type) { return type == Lan ? Lan : Serial; }

    // The console's current connection type (read from the store at creation).
    int connectionType() const { return m_type; }
    // Makes type current and stores it.
    bool setConnectionType(int type);

    // Emits opened() once the open has an outcome (a failure is shown to the
    // operator). While a connect is under way a second open() does nothing.
    virtual void open(int type) = 0;
    // Closes the transport; a pending connect ends without opened().
    virtual void close(int type) = 0;
    virtual bool isOpen(int type) const = 0;
    virtual bool isConnecting() const = 0;

Q_SIGNALS:
    void opened(bool ok);
    // The PBX closed the LAN connection.
    void lanDisconnected();

private:
    int m_type;
};
