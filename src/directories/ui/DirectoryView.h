#pragma once

#include "directories/DirectoryColumns.h"
#include "directories/StationDirectory.h"

#include <QPointer>
#include <QTreeView>

#include <functional>

class CoDirectory;
class CoInfoDialog;
class DirectoryListModel;
class DirectoryRecordset;
class OperatorUi;
class StationInfoDialog;

// The list of a station or CO directory window: one row per record in the
// order of the view's sort text, full-row selection, a click on a header
// sorts by that column, a double click opens the information dialog of the
// row. It follows every write to its directory.
class DirectoryView : public QTreeView
{
    Q_OBJECT
public:
    // What the view needs of the main window.
    struct Context
    {
        OperatorUi *ui = nullptr;
        std::function<bool()> loggedOn;
        // Wires an information dialog the view opened (its call and save hooks).
        std::function<void(StationInfoDialog &)> prepareStationDialog;
        std::function<void(CoInfoDialog &)> prepareCoDialog;
    };

    // directory may be nullptr: the directory was dropped for the run.
    DirectoryView(StationDirectory *directory, Context context, QWidget *parent = nullptr);
    DirectoryView(CoDirectory *directory, Context context, QWidget *parent = nullptr);
    ~DirectoryView() override;

    DirectoryKind kind() const { return m_kind; }
    DirectoryListModel *listModel() const { return m_model; }
    const QString &filterText() const { return m_filter; }
    const QString &sortText() const { return m_sort; }

    // The first display: reports a missing directory or recordset, else fills
    // the list. False on a failure.
    bool load();
    // Reads the records with the view's filter and sort into the list.
    bool fill();
    // A click on a column header.
    void sortByColumn(int column);
    // Opens the information dialog of a row (not waiting for it).
    QDialog *openInfoDialog(int row);
    // Rows that fit in the list's height.
    int pageRows() const;
    void retranslate();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    DirectoryView(DirectoryKind kind, Context context, QWidget *parent);
    void written(int lastWrite, const QStringList &fields, StationDirectory::Origin origin);
    void refillLater();
    DirectoryRecordset *openRecordset();
    QStringList readRecord(const DirectoryRecordset &set) const;
    void reportMissingRecordset();
    // The row under a point: the row whose full width holds it.
    QModelIndex rowAt(const QPoint &pos) const;

    DirectoryKind m_kind;
    Context m_context;
    QPointer<StationDirectory> m_stations;
    QPointer<CoDirectory> m_coLines;
    DirectoryListModel *m_model;
    QString m_filter;
    QString m_sort;
    bool m_refillPending = false;
};
