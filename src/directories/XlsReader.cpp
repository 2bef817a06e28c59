#include "directories/XlsReader.h"

#include <QFile>
#include <QStringDecoder>

#include <freexl.h>

SpreadsheetReader::~SpreadsheetReader() = default;

namespace {
// FreeXL hands 8-bit strings of a BIFF8 file over UTF-8 encoded twice ("ü"
// arrives as "Ã¼"). A text whose characters all fit one byte and whose bytes
// then form valid UTF-8 with more than ASCII is decoded once more.
QString textOf(const char *utf8)
{
    const QString text = QString::fromUtf8(utf8);
    bool high = false;
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return text;
        high = high || c.unicode() >= 0x80;
    }
    if (!high)
        return text;
    const QByteArray once = text.toLatin1();
    auto decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString again = decoder.decode(once);
    return decoder.hasError() ? text : again;
}
} // namespace

std::unique_ptr<SpreadsheetReader> SpreadsheetReader::forFile(const QString &path)
{
    Q_UNUSED(path);
    // Only .xls is read today; the file's content decides, not its name.
    return std::make_unique<XlsReader>();
}

XlsReader::~XlsReader()
{
    close();
}

bool XlsReader::open(const QString &path)
{
    close();
    const void *handle = nullptr;
    const int rc = freexl_open(QFile::encodeName(path).constData(), &handle);
    // A file FreeXL cannot parse may still report success, with no handle.
    if (rc != FREEXL_OK || !handle) {
        if (handle)
            freexl_close(handle);
        m_error = QStringLiteral("not a readable .xls file (FreeXL error %1)").arg(rc);
        return false;
    }
    m_handle = handle;
    unsigned int count = 0;
    if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK) {
        m_error = QStringLiteral("no worksheets");
        close();
        return false;
    }
    for (unsigned int i = 0; i < count && i <= 0xFFFF; ++i) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(m_handle, (unsigned short)i, &name) == FREEXL_OK && name)
            m_sheets.append(QString::fromUtf8(name));
        else
            m_sheets.append(QString());
    }
    return true;
}

void XlsReader::close()
{
    if (m_handle)
        freexl_close(m_handle);
    m_handle = nullptr;
    m_sheets.clear();
    m_rows = 0;
    m_columns = 0;
}

bool XlsReader::selectSheet(const QString &name)
{
    m_rows = 0;
    m_columns = 0;
    const qsizetype index = m_sheets.indexOf(name);
    if (!m_handle || index < 0 || freexl_select_active_worksheet(m_handle, (unsigned short)index) != FREEXL_OK) {
        m_error = QStringLiteral("no worksheet \"%1\"").arg(name);
        return false;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(m_handle, &rows, &columns) != FREEXL_OK) {
        m_error = QStringLiteral("the worksheet \"%1\" cannot be read").arg(name);
        return false;
    }
    m_rows = int(qMin<unsigned int>(rows, 0x7FFFFFFF));
    m_columns = columns;
    return true;
}

bool XlsReader::cell(int row, int column, QVariant &value) const
{
    value = QVariant();
    if (!m_handle || row < 0 || column < 0 || row >= m_rows || column >= m_columns) {
        m_error = QStringLiteral("cell %1,%2 lies outside the worksheet").arg(row).arg(column);
        return false;
    }
    FreeXL_CellValue v;
    const int rc = freexl_get_cell_value(m_handle, (unsigned int)row, (unsigned short)column, &v);
    if (rc != FREEXL_OK) {
        m_error = QStringLiteral("cell %1,%2 cannot be read (FreeXL error %3)").arg(row).arg(column).arg(rc);
        return false;
    }
    switch (v.type) {
    case FREEXL_CELL_INT:
        value = double(v.value.int_value);
        break;
    case FREEXL_CELL_DOUBLE:
        value = v.value.double_value;
        break;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        value = v.value.text_value ? textOf(v.value.text_value) : QString();
        break;
    default:
        break;
    }
    return true;
}
