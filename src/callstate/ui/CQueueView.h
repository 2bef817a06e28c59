#pragma once

#include "callstate/CallQueue.h"

#include <QPointer>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

class CallInfoDialog;

// The list of the calls waiting for the attendant: number, waiting time,
// type and description, in order of arrival. A click on a row answers its
// call. The view owns its queue: the rows go when the window closes.
class CQueueView : public QTreeWidget
{
    Q_OBJECT
public:
    struct Context
    {
        CExtStatusList *stations = nullptr;
        CTrkStatusList *lines = nullptr;
        CLinkRequest *request = nullptr;
        const Clock *clock = nullptr;
        std::function<bool()> callerInfoEnabled;
        std::function<bool()> attendantInCall;
        // The picture file of a station's owner, empty when none.
        std::function<QString(quint16 stationIndex)> pictureFile;
    };

    explicit CQueueView(const Context &context, QWidget *parent = nullptr);
    ~CQueueView() override;

    CallQueue &queue() { return m_queue; }
    CallInfoDialog *popup() const;
    void post(const CQueueEvent &event);
    void retranslate();
    // The row under a point of the viewport, or -1.
    int rowAt(const QPoint &pos) const;

Q_SIGNALS:
    // A ringing, transferred or recalled call arrived or left.
    void raiseRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void appendItem(int row);
    void refreshTimes();
    // Stale marks: a grey hatch and the "status unknown" tool-tip on every
    // row while the status is not known, none once it is live again.
    void markStaleRows();
    void markStaleRow(int row);

    CallQueue m_queue;
    QTimer m_timer;
    QPointer<CallInfoDialog> m_popup;
};
