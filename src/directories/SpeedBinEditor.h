#pragma once

#include "link/SpeedBinRecord.h"

#include <QObject>
#include <QString>

#include <optional>

class CPhoneBookDB;
class OperatorUi;
class TimerHost;

// The operator's changes to the speed-bin directory: the fields of the edit
// dialog, their validation, and Add, Modify and Delete. While the directory
// is in step with the PBX a change goes to the PBX first (timer 15 repeats
// it) and is written to the file only when the PBX sends it back unchanged.
class SpeedBinEditor : public QObject
{
    Q_OBJECT
public:
    enum Operation { Add = 0, Modify = 1, Delete = 2 };

    struct Fields
    {
        QString bin;
        QString name;
        QString number;
        QString coType = QStringLiteral("None");
        QString coNumber;
        QString memo;
        bool operator==(const Fields &) const = default;
    };

    // What a validation found wrong: a message key, or a text already built
    // from catalogue texts (fixed).
    struct Failure
    {
        QString text;
        bool fixed = false;
    };

    SpeedBinEditor(CPhoneBookDB &db, TimerHost &timers, OperatorUi &ui, QObject *parent = nullptr);
    ~SpeedBinEditor() override;

    // The checks before Add and Modify, in their order. Trims and upper-cases
    // the fields it accepts; the first failure is returned.
    static std::optional<Failure> check(Fields &fields, int firstBin, int lastBin);

    const Fields &fields() const { return m_fields; }
    // The dialog opens on a selected record (Modify and Delete enabled) or
    // on empty fields.
    void load(const Fields &record);
    void clear();
    // The operator changed a field.
    void edit(const Fields &fields);
    // The CO type steps through None, Line and Group; None empties the CO number.
    void setCoType(const QString &type);

    bool addEnabled() const { return m_addEnabled; }
    bool modifyEnabled() const { return m_modifyEnabled; }
    bool deleteEnabled() const { return m_deleteEnabled; }
    bool coNumberEnabled() const { return m_fields.coType != QLatin1String("None"); }

    void add();
    void modify();
    void remove();

    // A change waits for the PBX.
    bool isWaiting() const { return m_waiting; }

Q_SIGNALS:
    // Fields or enabled buttons changed.
    void changed();
    // A record was written: the directory window reloads.
    void recordWritten();

private:
    bool validate();
    bool inRange(const QString &bin) const;
    void sendChange(Operation operation);
    void onTimeout();
    void onReply(quint16 bin, const QString &name, const QString &number, quint8 coType, quint8 coNumber);
    void showResult(const QString &key, const QString &bin);
    void showInputError(const QString &text);
    // The values of a row; an empty CO number is stored as 255.
    QVariantList values(const QString &memo) const;

    CPhoneBookDB &m_db;
    TimerHost &m_timers;
    OperatorUi &m_ui;
    Fields m_fields;
    QString m_originalBin;
    bool m_addEnabled = false;
    bool m_modifyEnabled = false;
    bool m_deleteEnabled = false;

    // The change sent to the PBX and its operation.
    Fields m_pendingFields;
    QString m_pendingOriginal;
    SpeedBinRecord m_sent;
    Operation m_operation = Add;
    bool m_waiting = false;
    bool m_confirmed = false;
    int m_timeouts = 0;
};
