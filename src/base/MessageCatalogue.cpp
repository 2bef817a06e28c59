#include "MessageCatalogue.h"

#include "OperatorUi.h"
#include "SettingsSection.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

#include <atomic>

#ifndef ZARTO_DATA_DIR
#define ZARTO_DATA_DIR "/usr/local/share/zarto"
#endif

namespace {

const char *const FileName = "ZARTOLLS.TXT";

struct ProcessState
{
    QMutex mutex;
    QString path;                                      // fixed by the first load
    QString fallbackDir = QString::fromUtf8(ZARTO_DATA_DIR);
    OperatorUi *ui = nullptr;
    std::atomic<int> mode{LanguageMode::First};
    std::atomic<int> warned{0};
    std::atomic<bool> loggedWithoutUi{false};
};

ProcessState &state()
{
    static ProcessState s;
    return s;
}

bool isKeyDelimiter(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

void warnOnce(int flag, const QString &text)
{
    ProcessState &s = state();
    if (s.warned.load() != 0)
        return;
    OperatorUi *ui = nullptr;
    {
        QMutexLocker lock(&s.mutex);
        ui = s.ui;
    }
    if (!ui) {
        // Nobody to show it to yet; keep the warning for the first load that has one.
        if (!s.loggedWithoutUi.exchange(true))
            qWarning("%s", qPrintable(text));
        return;
    }
    // Raise the flag before the modal box runs its event loop.
    s.warned.store(flag);
    ui->showFixedMessage(text, MessageCatalogue::warningTitle(), MessageStyle::Stop);
}

} // namespace

MessageCatalogue::MessageCatalogue()
{
    load();
}

void MessageCatalogue::load()
{
    ProcessState &s = state();
    QString path;
    QString fallback;
    {
        QMutexLocker lock(&s.mutex);
        if (s.path.isEmpty())
            s.path = QDir::currentPath() + QLatin1Char('/') + QLatin1String(FileName);
        path = s.path;
        fallback = s.fallbackDir;
    }

    QFile file(path);
    bool opened = file.open(QIODevice::ReadOnly);
    if (!opened && !fallback.isEmpty()) {
        file.setFileName(fallback + QLatin1Char('/') + QLatin1String(FileName));
        opened = file.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        s.mode.store(LanguageMode::Unusable);
        warnOnce(1, notFoundText());
        return;
    }

    m_content = file.readAll();
    if (m_content.size() > 2 && m_content.startsWith("LLS")) {
        m_valid = true;
        return;
    }
    s.mode.store(LanguageMode::Unusable);
    warnOnce(2, notValidText());
}

bool MessageCatalogue::lookupIn(QByteArray &out, const QByteArray &key, int language) const
{
    // Step 5: only the first occurrence is ever considered.
    const qsizetype at = m_content.indexOf(key);
    if (at < 0)
        return false;
    // Step 6: the key must be followed by a space, tab, LF or CR (or the end).
    const qsizetype size = m_content.size();
    const qsizetype p = at + key.size();
    if (p < size && !isKeyDelimiter(m_content.at(p)))
        return false;

    // Step 7: scan the entry.
    const char *data = m_content.constData();
    QByteArray result;
    int quotes = 0;
    qsizetype start = -1;
    bool escape = false;
    bool found = false;
    for (qsizetype i = p; i < size; ++i) {
        const char ch = data[i];
        if (escape) {
            if (ch == ':')
                break; // the next entry begins
            if (start >= 0) {
                result.append(data + start, (i - 1) - start);
                result.append(ch);
                start = i + 1;
            }
            escape = false;
        } else if (ch == '#') {
            escape = true;
        } else if (ch == '"') {
            if ((language == 1 && quotes == 0) || (language == 2 && quotes == 2)) {
                start = i + 1;
            } else if ((language == 1 && quotes == 1) || (language == 2 && quotes == 3)) {
                result.append(data + start, i - start);
                found = true;
                break;
            }
            ++quotes;
        }
    }
    // Step 8: an empty text counts as missing.
    if (!found || result.isEmpty())
        return false;
    out = result;
    return true;
}

bool MessageCatalogue::Lookup(QString &text, int language) const
{
    const int mode = state().mode.load();
    if (mode == LanguageMode::Unusable)
        return false;
    int l = language == -1 ? mode : language;
    if (l <= 0)
        return false;
    if (text.size() <= 3 || !text.startsWith(QLatin1String("#:")))
        return false;
    const QByteArray key = text.toUtf8();
    // Step 9: the second language falls back to the first, the first to the key.
    for (; l > 0; --l) {
        QByteArray out;
        if (lookupIn(out, key, l)) {
            text = QString::fromUtf8(out);
            return true;
        }
    }
    return false;
}

QString MessageCatalogue::text(const QString &key) const
{
    QString t = key;
    Lookup(t);
    return t;
}

int MessageCatalogue::languageMode()
{
    return state().mode.load();
}

void MessageCatalogue::setLanguageMode(int mode)
{
    state().mode.store(mode);
}

void MessageCatalogue::readLanguageMode()
{
    setLanguageMode(CSettingsSection(QStringLiteral("Language")).readInt(QStringLiteral("Mode"), 1));
}

bool MessageCatalogue::storeLanguageMode(int mode)
{
    setLanguageMode(mode);
    return CSettingsSection(QStringLiteral("Language")).writeInt(QStringLiteral("Mode"), mode);
}

void MessageCatalogue::setOperatorUi(OperatorUi *ui)
{
    QMutexLocker lock(&state().mutex);
    state().ui = ui;
}

OperatorUi *MessageCatalogue::operatorUi()
{
    QMutexLocker lock(&state().mutex);
    return state().ui;
}

void MessageCatalogue::setFallbackDirectory(const QString &dir)
{
    QMutexLocker lock(&state().mutex);
    state().fallbackDir = dir;
}

QString MessageCatalogue::fallbackDirectory()
{
    QMutexLocker lock(&state().mutex);
    return state().fallbackDir;
}

QString MessageCatalogue::filePath()
{
    QMutexLocker lock(&state().mutex);
    return state().path;
}

int MessageCatalogue::warnedFlag()
{
    return state().warned.load();
}

void MessageCatalogue::resetProcessStateForTests()
{
    ProcessState &s = state();
    {
        QMutexLocker lock(&s.mutex);
        s.path.clear();
        s.fallbackDir = QString::fromUtf8(ZARTO_DATA_DIR);
    }
    s.warned.store(0);
    s.loggedWithoutUi.store(false);
    s.mode.store(LanguageMode::First);
}

QString MessageCatalogue::notFoundText()
{
    return QStringLiteral("Cannot find ZARTOLLS.TXT. You can run this program only SYMBOL mode.");
}

QString MessageCatalogue::notValidText()
{
    return QStringLiteral("ZARTOLLS.TXT is not valid. You can run this program only SYMBOL mode.");
}

QString MessageCatalogue::warningTitle()
{
    return QStringLiteral("Zarto : CriticalError");
}

QString trKey(const QString &key)
{
    return MessageCatalogue().text(key);
}
