#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

// A spreadsheet file read as sheets of cells. The import sees a sheet's first
// row as its column names; a cell is a number (double), a text, or empty.
class SpreadsheetReader
{
public:
    virtual ~SpreadsheetReader();

    virtual bool open(const QString &path) = 0;
    virtual void close() = 0;
    virtual QStringList sheetNames() const = 0;
    virtual bool selectSheet(const QString &name) = 0;
    // Rows and columns of the selected sheet, the heading row included.
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    // False when the cell cannot be read; value is then invalid.
    virtual bool cell(int row, int column, QVariant &value) const = 0;
    // What the last failure was, for the operator or the trace.
    virtual QString errorText() const = 0;

    // The reader of a file's format (.xls: FreeXL, BIFF5 and BIFF8).
    static std::unique_ptr<SpreadsheetReader> forFile(const QString &path);
};
