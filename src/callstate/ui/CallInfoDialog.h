#pragma once

#include "callstate/CallInfoQueue.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

// The call-information pop-up: the waiting call the queue offers, with its
// caller's picture, to pick up or to ignore. It never blocks: calls keep
// arriving while it is open.
class CallInfoDialog : public QDialog
{
    Q_OBJECT
public:
    // pictureFile: the picture of a station's owner, empty for the default one.
    CallInfoDialog(CallInfoQueue &queue, std::function<QString(quint16 stationIndex)> pictureFile,
                   QWidget *parent = nullptr);

    QLabel *numberField() const { return m_number; }
    QLabel *typeField() const { return m_type; }
    QLabel *descriptionField() const { return m_description; }
    QLabel *picture() const { return m_picture; }
    QPushButton *pickUpButton() const { return m_pickUp; }
    QPushButton *ignoreButton() const { return m_ignore; }
    // True when the shown picture is the built-in one.
    bool defaultPicture() const { return m_defaultPicture; }
    void retranslate();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showEntry(const CallInfoEntry &entry);

    CallInfoQueue &m_queue;
    std::function<QString(quint16)> m_pictureFile;
    QLabel *m_number;
    QLabel *m_type;
    QLabel *m_description;
    QLabel *m_picture;
    QPushButton *m_pickUp;
    QPushButton *m_ignore;
    QList<QLabel *> m_captions;
    bool m_defaultPicture = true;
    std::optional<CallInfoEntry> m_entry;
};
