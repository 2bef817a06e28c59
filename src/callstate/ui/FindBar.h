#pragma once

#include "callstate/StationFinder.h"

#include <QFrame>

class QLabel;
class QLineEdit;
class QListView;
class FindMatchModel;

// The small find bar of a status window: a line to type in and the list of
// the ports that match it, narrowed at each key. It only shows; the keys that
// move, act and close come through StatusWindowKeys.
class FindBar : public QFrame
{
    Q_OBJECT
public:
    explicit FindBar(QWidget *parent = nullptr);
    ~FindBar() override;

    void setEntries(const QList<StationFinder::Entry> &entries);
    // Shows the bar with this text and the matches, and takes the focus.
    void open(const QString &text);
    void close();
    QString text() const;
    QLineEdit *edit() const { return m_edit; }
    QListView *list() const { return m_list; }
    StationFinder &finder() { return m_finder; }

    // The port index of the current match, -1 when nothing matches.
    int currentPort() const;
    int currentRow() const;
    int matchCount() const;
    // Moves the current match by rows (negative: up), staying inside the list.
    void moveCurrent(int rows);
    int visibleRows() const;
    void retranslate();

Q_SIGNALS:
    // The current match changed (its port index).
    void currentPortChanged(int port);
    // A match was double-clicked.
    void portActivated(int port);
    // The bar is shown over the foot of its parent, this high.
    void shown(int height);
    void closed();

private:
    void narrow();
    void showCount();
    void place();
    void setCurrentRow(int row);
    bool eventFilter(QObject *watched, QEvent *event) override;

    StationFinder m_finder;
    QLabel *m_label = nullptr;
    QLineEdit *m_edit = nullptr;
    QListView *m_list = nullptr;
    QLabel *m_count = nullptr;
    FindMatchModel *m_model = nullptr;
    QString m_countFormat;
};
