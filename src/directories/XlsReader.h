#pragma once

#include "directories/SpreadsheetReader.h"

// Excel 5.0/95 (BIFF5) and 97-2003 (BIFF8) files through FreeXL. Formula
// cells come back empty; dates and times as their texts.
class XlsReader : public SpreadsheetReader
{
public:
    XlsReader() = default;
    ~XlsReader() override;
    XlsReader(const XlsReader &) = delete;
    XlsReader &operator=(const XlsReader &) = delete;

    bool open(const QString &path) override;
    void close() override;
    QStringList sheetNames() const override { return m_sheets; }
    bool selectSheet(const QString &name) override;
    int rowCount() const override { return m_rows; }
    int columnCount() const override { return m_columns; }
    bool cell(int row, int column, QVariant &value) const override;
    QString errorText() const override { return m_error; }

private:
    const void *m_handle = nullptr;
    QStringList m_sheets;
    int m_rows = 0;
    int m_columns = 0;
    mutable QString m_error;
};
